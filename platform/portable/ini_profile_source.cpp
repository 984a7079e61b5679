#include "platform/portable/ini_profile_source.h"

#include <vector>

#include "platform/portable/profile_encoding.h"
#include "platform/portable/posix_file_system.h"

namespace orvane {
namespace {

// Arguments reach the system as C strings.
std::string_view UpToNul(std::string_view text) {
  size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// The system drops trailing spaces (spaces only) from a default.
std::string_view TrimTrailingSpaces(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool HasDirectory(std::string_view name) {
  return name.find_first_of("\\/") != std::string_view::npos ||
         (name.size() >= 2 && name[1] == ':');
}

// Cached files beyond this many are dropped; a control reads one catalogue.
constexpr size_t kMaxCachedFiles = 16;

// A file larger than this is not a catalogue; reading stops there.
constexpr int64_t kMaxProfileFileSize = 64 * 1024 * 1024;

}  // namespace

std::u16string CopyProfileValue(std::u16string_view value) {
  bool quoted = false;
  if (value.size() > 1 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::u16string copy(value.substr(0, kMaxProfileValue));
  if (quoted && kMaxProfileValue + 1 >= value.size()) copy.pop_back();
  return copy;
}

IniProfileSource::IniProfileSource(FileSystem& fileSystem, std::string bareNameDirectory)
    : m_fileSystem(fileSystem), m_bareNameDirectory(std::move(bareNameDirectory)) {}

bool IniProfileSource::IsMissingFromExistingFolder(const std::string& path) const {
  // Without a way to tell, a missing file is taken for the common case.
  const auto* probe = dynamic_cast<const MissingFileProbe*>(&m_fileSystem);
  return probe == nullptr || probe->IsMissingFromExistingFolder(path);
}

void IniProfileSource::EndBatch() {
  if (m_batchDepth > 0 && --m_batchDepth == 0) m_seenInBatch.clear();
}

const ProfileFile* IniProfileSource::Load(const std::string& path) {
  if (m_batchDepth > 0) {
    auto seen = m_seenInBatch.find(path);
    if (seen != m_seenInBatch.end()) {
      if (!seen->second) return nullptr;
      auto cached = m_cache.find(path);
      if (cached != m_cache.end()) return &cached->second.profile;
    }
  }
  const ProfileFile* loaded = LoadFromFile(path);
  if (m_batchDepth > 0) m_seenInBatch[path] = loaded != nullptr;
  return loaded;
}

const ProfileFile* IniProfileSource::LoadFromFile(const std::string& path) {
  std::unique_ptr<File> file = m_fileSystem.OpenRead(path, Share::ReadWrite);
  if (!file) {
    m_cache.erase(path);
    return nullptr;
  }
  const int64_t size = file->Size();
  std::optional<int64_t> stamp;
  if (auto* stamped = dynamic_cast<StampedFile*>(file.get())) stamp = stamped->ModifiedStamp();

  auto cached = m_cache.find(path);
  // Without a stamp a change of the same size could go unseen: read again.
  if (cached != m_cache.end() && stamp && cached->second.stamp == stamp &&
      cached->second.size == size) {
    return &cached->second.profile;
  }

  std::string bytes;
  if (size > 0) {
    bytes.resize(static_cast<size_t>(std::min(size, kMaxProfileFileSize)));
    size_t got = 0;
    while (got < bytes.size()) {
      size_t n = file->Read(bytes.data() + got, bytes.size() - got);
      if (n == 0) break;
      got += n;
    }
    bytes.resize(got);
  }
  if (m_cache.size() >= kMaxCachedFiles && cached == m_cache.end()) m_cache.clear();
  ++m_parseCount;
  CachedFile& entry = m_cache[path];
  entry.size = size;
  entry.stamp = stamp;
  entry.profile = ProfileFile::Parse(bytes);
  return &entry.profile;
}

std::string IniProfileSource::GetString(std::string_view file, std::string_view section,
                                        std::string_view key, std::string_view deflt) {
  try {
    file = UpToNul(file);
    // Scratch strings kept between calls: a catalogue load asks for tens of
    // thousands of values, and each would otherwise allocate its own.
    std::string& path = m_path;
    path.assign(file);
    if (!m_bareNameDirectory.empty() && !path.empty() && !HasDirectory(path)) {
      path = m_bareNameDirectory + "\\" + path;
    }
    auto fallback = [&] { return AnsiToUtf16(TrimTrailingSpaces(UpToNul(deflt))); };

    const ProfileFile* profile = path.empty() ? nullptr : Load(path);
    if (profile == nullptr && !IsMissingFromExistingFolder(path)) {
      // The system gives up on such a file before it looks at quotes.
      return Utf16ToAnsi(std::u16string_view(fallback()).substr(0, kMaxProfileValue));
    }
    const std::u16string* value = nullptr;
    if (profile) {
      AnsiToUtf16(UpToNul(section), m_section);
      AnsiToUtf16(UpToNul(key), m_key);
      value = profile->Find(m_section, m_key);
    }
    return Utf16ToAnsi(CopyProfileValue(value ? *value : fallback()));
  } catch (...) {
    // Only allocation can fail here; the seam answers with the default then.
    std::string copy(UpToNul(deflt).substr(0, kMaxProfileValue));
    return copy;
  }
}

}  // namespace orvane
