// Automation strings to and from the 8-bit strings kept inside the control,
// always through Windows-1256, the library's encoding, whatever the system's
// ANSI code page: painting decodes the same bytes the same way, so a host on
// an English or French system reads and writes what the rows show. A host
// character 1256 has no byte for becomes '?'.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace orvane {

// The 8-bit text of an automation string, up to its first zero character;
// a null string is empty.
std::string AnsiFromBstr(BSTR text);
std::string AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view text);
// A new automation string, or null when out of memory.
BSTR BstrFromAnsi(std::string_view text);

}  // namespace orvane
