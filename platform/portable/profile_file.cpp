#include "platform/portable/profile_file.h"

#include <cstdint>

#include "platform/portable/profile_encoding.h"

namespace orvane {
namespace {

char16_t FoldUnit(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

std::u16string FoldAscii(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = FoldUnit(c);
  return folded;
}

// Names and values end at a NUL, which a file may hold anywhere.
std::u16string_view UpToNul(std::u16string_view text) {
  size_t nul = text.find(char16_t{0});
  return nul == std::u16string_view::npos ? text : text.substr(0, nul);
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  // An odd last byte is not part of any unit.
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto b0 = static_cast<uint8_t>(bytes[i]);
    const auto b1 = static_cast<uint8_t>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0));
  }
  return units;
}

}  // namespace

bool IsProfileBlank(char16_t unit) {
  return unit == u' ' || (unit >= 0x09 && unit <= 0x0D) || unit == 0x1A;
}

std::u16string_view TrimProfileBlanks(std::u16string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsProfileBlank(text[begin])) ++begin;
  while (end > begin && IsProfileBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::u16string DecodeProfileText(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    return Utf8ToUtf16(bytes.substr(3));
  }
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") {
    return DecodeUtf16(bytes.substr(2), false);
  }
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") {
    return DecodeUtf16(bytes.substr(2), true);
  }
  return AnsiToUtf16(bytes);
}

ProfileFile ProfileFile::Parse(std::string_view bytes) {
  ProfileFile profile;
  profile.StartSection(u"");
  const std::u16string text = DecodeProfileText(bytes);
  const std::u16string_view all(text);
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find_first_of(u"\r\n", pos);
    if (end == std::u16string_view::npos) end = all.size();
    std::u16string_view line = TrimProfileBlanks(all.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty()) continue;

    if (line.front() == u'[') {
      size_t close = line.rfind(u']');
      if (close != std::u16string_view::npos) {
        profile.StartSection(TrimProfileBlanks(line.substr(1, close - 1)));
        continue;
      }
    }
    size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) {
      profile.AddKey(line, std::nullopt);
    } else {
      profile.AddKey(TrimProfileBlanks(line.substr(0, equals)),
                     TrimProfileBlanks(line.substr(equals + 1)));
    }
  }
  return profile;
}

void ProfileFile::StartSection(std::u16string_view name) {
  m_sectionIndex.try_emplace(FoldAscii(UpToNul(name)), m_sections.size());
  m_sections.emplace_back();
}

void ProfileFile::AddKey(std::u16string_view name, std::optional<std::u16string_view> value) {
  std::optional<std::u16string> stored;
  if (value) stored.emplace(UpToNul(*value));
  // The first key of a name wins, even when it has no value.
  m_sections.back().try_emplace(FoldAscii(UpToNul(name)), std::move(stored));
}

size_t ProfileFile::FoldedHash::operator()(std::u16string_view name) const {
  // FNV-1a over the folded units.
  uint64_t hash = 14695981039346656037ull;
  for (char16_t c : name) {
    hash = (hash ^ FoldUnit(c)) * 1099511628211ull;
  }
  return static_cast<size_t>(hash);
}

bool ProfileFile::FoldedEqual::operator()(std::u16string_view a, std::u16string_view b) const {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldUnit(a[i]) != FoldUnit(b[i])) return false;
  }
  return true;
}

const std::u16string* ProfileFile::Find(std::u16string_view section,
                                        std::u16string_view key) const {
  auto sectionIt = m_sectionIndex.find(TrimProfileBlanks(section));
  if (sectionIt == m_sectionIndex.end()) return nullptr;
  const KeyMap& keys = m_sections[sectionIt->second];
  auto keyIt = keys.find(TrimProfileBlanks(key));
  if (keyIt == keys.end() || !keyIt->second) return nullptr;
  return &*keyIt->second;
}

}  // namespace orvane
