// The container's top-level window: a plain frame whose client area, from
// its origin, is the control's place.
#pragma once

#include <windows.h>

namespace testcon {

// A visible frame whose client area is `clientSize`, at the top of the
// screen. Null when no window can be made (for example without a display).
HWND CreateFrameWindow(SIZE clientSize);

// The window that gets the keyboard focus whenever the frame does.
void SetFrameFocusTarget(HWND frame, HWND target);

}  // namespace testcon
