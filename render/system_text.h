// Titles through the system's own text output, for a process where the
// text library could not be loaded or lacks an entry point: the same
// Windows-1256 bytes, converted to UTF-16 and drawn with the title font, in
// the same alignment and reading order. Arabic is shaped by the system; only
// the library's own line fitting and kept lines are missing.
#pragma once

#include <windows.h>

namespace orvane {

// The width and height `SystemDrawText` covers for the first `length` bytes
// of `title` in `font`; {0, 0} for no text or no device context.
SIZE SystemTextExtent(HDC dc, const LOGFONTA& font, const char* title, int length);

// Draws the title in `rect` with the device context's text colour, aligned
// by `flags` (the text library's alignment flags, which are DrawText's) and
// laid out right to left when `rightToLeft`. The caller's font and
// background mode are left as they were.
void SystemDrawText(HDC dc, const LOGFONTA& font, const char* title, int length, const RECT& rect,
                    int flags, bool rightToLeft);

}  // namespace orvane
