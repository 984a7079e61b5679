// The text conversions the system's profile reading applies: a file is read
// into UTF-16 (from the ANSI code page, Windows-1256 here, or from UTF-8 or
// UTF-16 when it carries a byte-order mark) and a value is handed back in the
// ANSI code page. Those conversions are lenient, and their leniency shows in
// the values a catalogue yields, so it is reproduced here exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// The byte the system writes for a UTF-16 code unit: the exact byte when the
// character is in Windows-1256, else its best fit (a presentation form to its
// letter, an Arabic-Indic digit to its ASCII digit, a full-width form to
// ASCII, some accented capitals to their base letters), else '?'. Each
// surrogate, paired or not, becomes one '?'.
uint8_t Utf16UnitToAnsi(char16_t unit);

std::u16string AnsiToUtf16(std::string_view bytes);
// The same into `units`, reusing its storage.
void AnsiToUtf16(std::string_view bytes, std::u16string& units);
std::string Utf16ToAnsi(std::u16string_view units);

// UTF-8 to UTF-16 the system's way: one U+FFFD for a byte that cannot start a
// sequence, for a sequence cut short by a byte that does not continue it, for
// a sequence whose second byte already makes it overlong, a surrogate or
// greater than U+10FFFF (the lead and that byte then count as one), and for a
// lead byte too close to the end for its sequence (which takes all the bytes
// after it along); characters beyond the BMP become surrogate pairs.
std::u16string Utf8ToUtf16(std::string_view bytes);

}  // namespace orvane
