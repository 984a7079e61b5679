// The control's side of the hover balloon: noticing that the pointer has come
// to rest on a new row (mouse move) and showing the balloon when the hover
// timer fires.
#pragma once

#include <windows.h>

namespace orvane {

class InteractionHost;

// Hover detection at a client point: arms the hover timer and records the row
// when the pointer enters a row rectangle other than the recorded one. Moving
// within the recorded rectangle costs one comparison and never arms it again.
void DetectHover(InteractionHost& host, POINT point);

// The control's timer message, whatever its identifier: unless the balloon is
// already shown, stops that timer, places the balloon for the recorded row
// and shows it; then the list box's own timer handling.
LRESULT OnHoverTimer(InteractionHost& host, WPARAM timerId, LPARAM lParam);

}  // namespace orvane
