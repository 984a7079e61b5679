#include "platform/portable/posix_file_system.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "loading/cp1256.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

std::vector<std::string_view> SplitComponents(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && IsSeparator(path[i])) ++i;
    size_t start = i;
    while (i < path.size() && !IsSeparator(path[i])) ++i;
    if (i > start) parts.push_back(path.substr(start, i - start));
  }
  return parts;
}

// The spellings a name from a catalogue (Windows-1256 bytes) may have on disk.
// On Windows the standard library converts through the ANSI code page itself;
// elsewhere names are bytes, and a file named in UTF-8 must be found too.
std::vector<std::string> Spellings(std::string_view name) {
  std::vector<std::string> spellings{std::string(name)};
#ifndef _WIN32
  std::string utf8 = Cp1256ToUtf8(name);
  if (utf8 != name) spellings.push_back(std::move(utf8));
#endif
  return spellings;
}

// The entry of `dir` spelled `name`: the exact spelling when it exists, else
// the first (in name order, so the choice does not depend on the directory's
// listing order) that differs only in ASCII case.
std::optional<fs::path> FindEntry(const fs::path& dir, std::string_view name) {
  std::error_code ec;
  const std::vector<std::string> spellings = Spellings(name);
  for (const std::string& spelling : spellings) {
    fs::path exact = dir / fs::path(spelling);
    if (fs::exists(exact, ec)) return exact;
  }
  std::optional<fs::path> best;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    fs::path candidate = it->path().filename();
    const std::string text = candidate.string();
    bool matches = false;
    for (const std::string& spelling : spellings) {
      matches = matches || EqualsIgnoringAsciiCase(text, spelling);
    }
    if (!matches) continue;
    if (!best || candidate < best->filename()) best = it->path();
  }
  return best;
}

class PosixFile : public File, public StampedFile {
 public:
  explicit PosixFile(fs::path path) : m_path(std::move(path)), m_stream(m_path, std::ios::binary) {}

  bool IsOpen() const { return m_stream.is_open(); }

  int64_t Size() override {
    std::error_code ec;
    auto size = fs::file_size(m_path, ec);
    return ec ? -1 : static_cast<int64_t>(size);
  }

  bool Seek(uint32_t pos) override {
    m_stream.clear();
    m_stream.seekg(static_cast<std::streamoff>(pos), std::ios::beg);
    return static_cast<bool>(m_stream);
  }

  size_t Read(void* buffer, size_t count) override {
    if (buffer == nullptr || count == 0) return 0;
    m_stream.read(static_cast<char*>(buffer), static_cast<std::streamsize>(count));
    auto got = m_stream.gcount();
    // A short read sets the fail bits; the next Seek clears them.
    return got > 0 ? static_cast<size_t>(got) : 0;
  }

  std::optional<int64_t> ModifiedStamp() override {
    std::error_code ec;
    auto time = fs::last_write_time(m_path, ec);
    if (ec) return std::nullopt;
    return static_cast<int64_t>(time.time_since_epoch().count());
  }

  int64_t ModifiedTime() override { return ModifiedStamp().value_or(0); }

 private:
  fs::path m_path;
  std::ifstream m_stream;
};

}  // namespace

PosixFileSystem::PosixFileSystem(std::map<char, std::string> driveRoots, std::string rootDirectory)
    : m_rootDirectory(std::move(rootDirectory)) {
  for (auto& [letter, root] : driveRoots) m_driveRoots[UpperAscii(letter)] = std::move(root);
}

std::optional<fs::path> PosixFileSystem::Resolve(std::string_view path) const {
  if (path.empty()) return std::nullopt;
  return ResolveFrom(path, false);
}

bool PosixFileSystem::IsMissingFromExistingFolder(std::string_view path) const {
  if (path.empty() || IsSeparator(path.back()) || Resolve(path)) return false;
  size_t cut = path.find_last_of("\\/");
  std::string_view folder;
  if (cut != std::string_view::npos) {
    folder = path.substr(0, cut + 1);
  } else if (path.size() >= 2 && path[1] == ':') {
    folder = path.substr(0, 2);
  }
  auto resolved = ResolveFrom(folder, true);
  std::error_code ec;
  return resolved && fs::is_directory(*resolved, ec);
}

std::optional<fs::path> PosixFileSystem::ResolveFrom(std::string_view path, bool allowBase) const {
  try {
    if (path.find('\0') != std::string_view::npos) return std::nullopt;
    fs::path base;
    bool clampAtBase = true;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
      auto root = m_driveRoots.find(UpperAscii(path[0]));
      if (root == m_driveRoots.end()) return std::nullopt;
      base = root->second;
      path.remove_prefix(2);
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
      return std::nullopt;  // network and device paths have no mapping here
    } else if (!path.empty() && IsSeparator(path[0])) {
      base = m_rootDirectory.empty() ? fs::current_path() : fs::path(m_rootDirectory);
    } else {
      base = fs::current_path();
      clampAtBase = false;
    }

    // ".." never climbs above a drive's root or the configured root, as on
    // Windows; from the current directory it climbs as far as the real root.
    std::vector<std::string_view> parts;
    for (std::string_view part : SplitComponents(path)) {
      if (part == ".") continue;
      if (part == "..") {
        if (!parts.empty()) {
          parts.pop_back();
        } else if (!clampAtBase && base.has_relative_path()) {
          base = base.parent_path();
        }
        continue;
      }
      parts.push_back(part);
    }
    if (parts.empty() && !allowBase) return std::nullopt;

    fs::path current = base;
    for (std::string_view part : parts) {
      auto next = FindEntry(current, part);
      if (!next) return std::nullopt;
      current = std::move(*next);
    }
    return current;
  } catch (...) {
    // Bad encodings and allocation failures end up here; the seam never throws.
    return std::nullopt;
  }
}

std::unique_ptr<File> PosixFileSystem::OpenRead(std::string_view path, Share /*share*/) {
  try {
    auto resolved = Resolve(path);
    if (!resolved) return nullptr;
    std::error_code ec;
    if (!fs::is_regular_file(*resolved, ec)) return nullptr;
    auto file = std::make_unique<PosixFile>(*resolved);
    if (!file->IsOpen()) return nullptr;
    return file;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace orvane
