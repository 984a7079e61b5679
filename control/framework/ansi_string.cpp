#include "control/framework/ansi_string.h"

#include <climits>

namespace orvane {

std::string AnsiFromWide(std::wstring_view text) {
  // The control keeps zero-terminated 8-bit strings: a host string ends at
  // its first zero, whatever its length says, so that a title's length, the
  // balloon's text and a file name all see the same characters.
  text = text.substr(0, text.find(L'\0'));
  if (text.empty() || text.size() > INT_MAX / 4) return {};
  int length = static_cast<int>(text.size());
  int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string result(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, result.data(), bytes, nullptr, nullptr);
  return result;
}

std::string AnsiFromBstr(BSTR text) {
  if (text == nullptr) return {};
  return AnsiFromWide(std::wstring_view(text, SysStringLen(text)));
}

std::wstring WideFromAnsi(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX / 2) return {};
  int length = static_cast<int>(text.size());
  int chars = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (chars <= 0) return {};
  std::wstring result(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.data(), chars);
  return result;
}

BSTR BstrFromAnsi(std::string_view text) {
  std::wstring wide = WideFromAnsi(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

}  // namespace orvane
