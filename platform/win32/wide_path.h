// File and folder names as the file system takes them: the library's 8-bit
// names are Windows-1256, so they reach the system as Unicode converted from
// that code page, and Arabic names open whatever the system's ANSI code
// page is (an English system would read the same bytes as Latin letters).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "loading/cp1256.h"

namespace orvane {

inline std::wstring WidePath(std::string_view path) {
  std::wstring wide(path.size(), L'\0');
  for (size_t i = 0; i < path.size(); ++i)
    wide[i] = static_cast<wchar_t>(Cp1256ToUnicode(static_cast<uint8_t>(path[i])));
  return wide;
}

}  // namespace orvane
