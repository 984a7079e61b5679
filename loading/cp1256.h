// Conversion between UTF-8 and Windows-1256, the 8-bit Arabic code page every
// title in a catalogue, a TOC file and a text outline is stored in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// The Unicode scalar value of a Windows-1256 byte. Every one of the 256 bytes
// is assigned, so this never fails.
char32_t Cp1256ToUnicode(uint8_t byte);

// The Windows-1256 byte for a Unicode scalar value; false when the code page
// has no byte for it.
bool UnicodeToCp1256(char32_t code, uint8_t& byte);

// Windows-1256 text as UTF-8. Total: every byte has a character.
std::string Cp1256ToUtf8(std::string_view cp1256);

// What went wrong in a UTF-8 to Windows-1256 conversion.
struct Cp1256Error {
  enum class Kind { None, InvalidUtf8, Unmappable };
  Kind kind = Kind::None;
  size_t offset = 0;             // byte offset of the offending sequence in the input
  char32_t code = 0;             // the character, for Unmappable
  std::string Describe() const;  // e.g. "U+FDFA has no Windows-1256 byte"
};

// UTF-8 text as Windows-1256. Fails on malformed UTF-8 (overlong forms,
// surrogates, truncated sequences) and on any character the code page cannot
// hold; `out` is then left empty and `error` says where.
bool Utf8ToCp1256(std::string_view utf8, std::string& out, Cp1256Error* error = nullptr);

}  // namespace orvane
