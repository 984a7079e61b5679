#include "control/framework/ansi_string.h"

#include <climits>

#include "loading/cp1256.h"

namespace orvane {

std::string AnsiFromWide(std::wstring_view text) {
  // The control keeps zero-terminated 8-bit strings: a host string ends at
  // its first zero, whatever its length says, so that a title's length, the
  // balloon's text and a file name all see the same characters.
  text = text.substr(0, text.find(L'\0'));
  if (text.empty() || text.size() > INT_MAX / 4) return {};
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t code = static_cast<char16_t>(text[i]);
    // A pair of surrogates is one character, and no 1256 byte holds one.
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() &&
        static_cast<char16_t>(text[i + 1]) >= 0xDC00 &&
        static_cast<char16_t>(text[i + 1]) <= 0xDFFF) {
      ++i;
      code = 0x10000;
    }
    uint8_t byte = '?';
    if (!UnicodeToCp1256(code, byte)) byte = '?';
    result.push_back(static_cast<char>(byte));
  }
  return result;
}

std::string AnsiFromBstr(BSTR text) {
  if (text == nullptr) return {};
  return AnsiFromWide(std::wstring_view(text, SysStringLen(text)));
}

std::wstring WideFromAnsi(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX / 2) return {};
  std::wstring result(text.size(), L'\0');
  // Every 1256 byte is one character of the basic plane.
  for (size_t i = 0; i < text.size(); ++i)
    result[i] = static_cast<wchar_t>(Cp1256ToUnicode(static_cast<uint8_t>(text[i])));
  return result;
}

BSTR BstrFromAnsi(std::string_view text) {
  std::wstring wide = WideFromAnsi(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

}  // namespace orvane
