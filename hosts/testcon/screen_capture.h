// PNG pictures of what the control shows on the screen.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testcon {

// The screen area of `control` together with the visible windows of this
// process that belong to it (the hover balloon when it is up): those it
// owns, and tool windows owned by its top-level window or by none. Only the
// part on the screen counts.
RECT ControlScreenArea(HWND control);

// Copies `area` of the screen into a 24-bit PNG file; false with `error`
// set when it cannot.
bool WriteScreenPng(const RECT& area, const std::wstring& path, std::wstring& error);

// The colours (0x00BBGGRR) of `area` of the control's client area as the
// screen shows it, row by row; empty when the area is empty or not copied.
std::vector<COLORREF> CaptureClientArea(HWND control, const RECT& area);

}  // namespace testcon
