#include "loading/cp1256.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace orvane {
namespace {

// Bytes 0x80..0xFF of Windows-1256; the lower half is ASCII.
constexpr std::array<char16_t, 128> kUpperHalf = {
    0x20AC, 0x067E, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0679, 0x2039, 0x0152, 0x0686, 0x0698, 0x0688,  // 0x88
    0x06AF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x06A9, 0x2122, 0x0691, 0x203A, 0x0153, 0x200C, 0x200D, 0x06BA,  // 0x98
    0x00A0, 0x060C, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x06BE, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // 0xA8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x00B9, 0x061B, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x061F,  // 0xB8
    0x06C1, 0x0621, 0x0622, 0x0623, 0x0624, 0x0625, 0x0626, 0x0627,  // 0xC0
    0x0628, 0x0629, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F,  // 0xC8
    0x0630, 0x0631, 0x0632, 0x0633, 0x0634, 0x0635, 0x0636, 0x00D7,  // 0xD0
    0x0637, 0x0638, 0x0639, 0x063A, 0x0640, 0x0641, 0x0642, 0x0643,  // 0xD8
    0x00E0, 0x0644, 0x00E2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00E7,  // 0xE0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x0649, 0x064A, 0x00EE, 0x00EF,  // 0xE8
    0x064B, 0x064C, 0x064D, 0x064E, 0x00F4, 0x064F, 0x0650, 0x00F7,  // 0xF0
    0x0651, 0x00F9, 0x0652, 0x00FB, 0x00FC, 0x200E, 0x200F, 0x06D2,  // 0xF8
};

// The upper half sorted by character, so that encoding is a binary search.
constexpr std::array<std::pair<char16_t, uint8_t>, 128> MakeReverseTable() {
  std::array<std::pair<char16_t, uint8_t>, 128> table{};
  for (size_t i = 0; i < table.size(); ++i) {
    table[i] = {kUpperHalf[i], static_cast<uint8_t>(0x80 + i)};
  }
  std::sort(table.begin(), table.end());
  return table;
}
constexpr auto kReverse = MakeReverseTable();

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {  // every character of the code page lies in the basic plane
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `pos`; returns its length, or 0 when the
// bytes there are not a well-formed sequence.
size_t DecodeUtf8(std::string_view s, size_t pos, char32_t& code) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[pos + i]); };
  const uint8_t lead = byte(0);
  size_t length;
  char32_t min;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, min = 0x80, code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, min = 0x800, code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, min = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (s.size() - pos < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

char32_t Cp1256ToUnicode(uint8_t byte) {
  return byte < 0x80 ? char32_t{byte} : char32_t{kUpperHalf[byte - 0x80]};
}

bool UnicodeToCp1256(char32_t code, uint8_t& byte) {
  if (code < 0x80) {
    byte = static_cast<uint8_t>(code);
    return true;
  }
  if (code > 0xFFFF) return false;
  const auto key = static_cast<char16_t>(code);
  auto it = std::lower_bound(kReverse.begin(), kReverse.end(), key,
                             [](const auto& entry, char16_t c) { return entry.first < c; });
  if (it == kReverse.end() || it->first != key) return false;
  byte = it->second;
  return true;
}

std::string Cp1256ToUtf8(std::string_view cp1256) {
  std::string out;
  out.reserve(cp1256.size() * 2);
  for (char c : cp1256) AppendUtf8(out, Cp1256ToUnicode(static_cast<uint8_t>(c)));
  return out;
}

bool Utf8ToCp1256(std::string_view utf8, std::string& out, Cp1256Error* error) {
  out.clear();
  std::string result;
  result.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t code = 0;
    const size_t length = DecodeUtf8(utf8, pos, code);
    uint8_t byte = 0;
    if (length == 0 || !UnicodeToCp1256(code, byte)) {
      if (error) {
        error->kind = length == 0 ? Cp1256Error::Kind::InvalidUtf8 : Cp1256Error::Kind::Unmappable;
        error->offset = pos;
        error->code = length == 0 ? 0 : code;
      }
      return false;
    }
    result += static_cast<char>(byte);
    pos += length;
  }
  out = std::move(result);
  if (error) *error = Cp1256Error{};
  return true;
}

std::string Cp1256Error::Describe() const {
  char text[80];
  switch (kind) {
    case Kind::None:
      return "no error";
    case Kind::InvalidUtf8:
      std::snprintf(text, sizeof text, "malformed UTF-8 at byte %zu", offset);
      return text;
    case Kind::Unmappable:
      std::snprintf(text, sizeof text, "U+%04X has no Windows-1256 byte (at byte %zu)",
                    static_cast<unsigned>(code), offset);
      return text;
  }
  return "unknown error";
}

}  // namespace orvane
