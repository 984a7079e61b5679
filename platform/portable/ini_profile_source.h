// ProfileSource that reads profile files itself, through a FileSystem, with the
// rules of the system's GetPrivateProfileStringA (see profile_file.h) so that
// a catalogue reads the same here as inside the control.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "loading/file_system.h"
#include "loading/profile_source.h"
#include "platform/portable/profile_file.h"

namespace orvane {

class IniProfileSource : public ProfileSource {
 public:
  // `bareNameDirectory`, when not empty, is where a file name without any
  // directory is looked for (the system looks in its Windows directory);
  // otherwise such a name goes to the file system as it is.
  explicit IniProfileSource(FileSystem& fileSystem, std::string bareNameDirectory = {});

  // The value, quotes stripped as the system strips them and cut to
  // kMaxProfileValue bytes; the default (trailing spaces dropped, quotes
  // stripped, cut likewise) when the file, section or key is missing. When
  // the file cannot be read for another reason (its folder is missing, it is
  // a folder) the default keeps its quotes, as with the system.
  std::string GetString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view deflt) override;

  // Within a batch a file is opened and checked once; later values come from
  // what was parsed then.
  void BeginBatch() override { ++m_batchDepth; }
  void EndBatch() override;

  // How many times a file was read and parsed, for checking the cache.
  uint64_t ParseCount() const { return m_parseCount; }

 private:
  struct CachedFile {
    int64_t size = -1;
    std::optional<int64_t> stamp;
    ProfileFile profile;
  };

  // The parsed file, from the cache while its size and stamp are unchanged;
  // null when it cannot be opened.
  const ProfileFile* Load(const std::string& path);
  const ProfileFile* LoadFromFile(const std::string& path);
  // For a file that did not open: whether the system would read it as an
  // empty profile (it is missing from an existing folder) rather than fail.
  bool IsMissingFromExistingFolder(const std::string& path) const;

  FileSystem& m_fileSystem;
  std::string m_bareNameDirectory;
  std::unordered_map<std::string, CachedFile> m_cache;
  uint64_t m_parseCount = 0;
  int m_batchDepth = 0;
  // Files already looked at in the current batch: true when it was there.
  std::unordered_map<std::string, bool> m_seenInBatch;
  // Reused by GetString.
  std::string m_path;
  std::u16string m_section;
  std::u16string m_key;
};

// The system's copy of a value into a kMaxProfileValue + 1 unit buffer: a value
// that starts and ends with the same quote (' or ") loses both, and it is cut
// to kMaxProfileValue units; when the closing quote only just fits, the cut
// takes a character with it, as the system's copy does.
std::u16string CopyProfileValue(std::u16string_view value);

}  // namespace orvane
