// PNG pictures of what the control shows on the screen.
#pragma once

#include <windows.h>

#include <string>

namespace testcon {

// The screen area of `control` together with every visible window of this
// process that the control owns (the hover balloon when it is up).
RECT ControlScreenArea(HWND control);

// Copies `area` of the screen into a 24-bit PNG file; false with `error`
// set when it cannot.
bool WriteScreenPng(const RECT& area, const std::wstring& path, std::wstring& error);

}  // namespace testcon
