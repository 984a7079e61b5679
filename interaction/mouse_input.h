// The mouse on the rows: a press changes a book's check state in the
// check-box column or opens and closes a node in the button column, a press
// or release hides the balloon, a move looks for a row to hover on, and the
// scroll bar is the list box's own. Each runs the stock handling, and with it
// the host's event, at the point the events must see the input.
#pragma once

#include <windows.h>

namespace orvane {

class InteractionHost;

// WM_LBUTTONDOWN, after the stock MouseDown and the list box's selection.
// The control's own presses and those the balloon forwards take this path.
LRESULT OnLButtonDown(InteractionHost& host, WPARAM keys, LPARAM point);

// WM_LBUTTONUP: hides a visible balloon for good on this row, then the
// stock handling with its Click.
LRESULT OnLButtonUp(InteractionHost& host, WPARAM keys, LPARAM point);

// WM_MOUSEMOVE: the stock MouseMove, then hover detection.
LRESULT OnMouseMove(InteractionHost& host, WPARAM keys, LPARAM point);

// WM_VSCROLL: the list box scrolls itself; no event.
LRESULT OnVScroll(InteractionHost& host, WPARAM request, LPARAM scrollBar);

}  // namespace orvane
