// FileSystem over the standard library's files, with Windows path rules: "\"
// and "/" both separate, drive letters map to configured directories, a path
// that starts with a separator is relative to a configured root, and names
// match case-insensitively when the exact spelling does not exist. Paths are
// Windows-1256 text, as catalogues hold them; outside Windows a name is also
// found when the file on disk is named in UTF-8.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "loading/file_system.h"

namespace orvane {

// A file that can tell when it last changed, so that what was parsed from it
// can be kept until it changes.
class StampedFile {
 public:
  virtual ~StampedFile() = default;
  // Opaque, comparable stamp of the last change; nullopt when unknown.
  virtual std::optional<int64_t> ModifiedStamp() = 0;
};

// A file system that can tell why a file did not open: the system's profile
// reading treats a file missing from an existing folder (its default then
// loses its quotes) differently from any other failure.
class MissingFileProbe {
 public:
  virtual ~MissingFileProbe() = default;
  // True when nothing exists at `path` but the folder it names does.
  virtual bool IsMissingFromExistingFolder(std::string_view path) const = 0;
};

class PosixFileSystem : public FileSystem, public MissingFileProbe {
 public:
  // `driveRoots` maps a drive letter (either case) to the directory that
  // stands for that drive's root; `rootDirectory` is the directory a path
  // starting with a separator is relative to (empty: the current directory).
  explicit PosixFileSystem(std::map<char, std::string> driveRoots = {},
                           std::string rootDirectory = {});

  // Share modes are not enforced here.
  std::unique_ptr<File> OpenRead(std::string_view path, Share share) override;

  // The existing file a Windows-style path names, or nullopt when it names
  // none (unmapped drive, missing component, network path).
  std::optional<std::filesystem::path> Resolve(std::string_view path) const;

  bool IsMissingFromExistingFolder(std::string_view path) const override;

 private:
  // As Resolve; with `allowBase` a path with no components names its base
  // folder (the drive's root, the root, or the current directory).
  std::optional<std::filesystem::path> ResolveFrom(std::string_view path, bool allowBase) const;

  std::map<char, std::string> m_driveRoots;  // keyed by upper-case letter
  std::string m_rootDirectory;
};

}  // namespace orvane
