// The keyboard on the rows: opening and closing with the arrow keys, '+' and
// '-', moving to the parent or the first child, and the mirror chords. Keys
// the control takes never reach the host's KeyDown or the list box; typed
// characters never reach KeyPress.
#pragma once

#include <windows.h>

#include <cstdint>

namespace orvane {

class InteractionHost;
class OrvaneCore;
class OutlineNode;

// WM_KEYDOWN. Shift and Ctrl held mirror the layout on every key-down,
// auto-repeats included, unless the host turned MirrorKeys off; Left, Right,
// '+' and '-' are consumed, and Space in the check view on a category's or a
// book's row, which changes its box as a click on it does; every other key
// goes to the stock KeyDown and then the list box.
LRESULT OnKeyDown(InteractionHost& host, WPARAM key, LPARAM flags);

// The 8-bit character of a key in `codePage` (the control's strings are in
// the system's ANSI code page), from the UTF-16 character the layout's
// virtual-key mapping gives: the byte, or -1 for no key character (a dead
// key, none, or one the code page lacks or writes in two bytes). On the
// Arabic layout ث and ح are 0xCB and 0xCD in code page 1256, not '+' and '-'
// as the low bytes of U+062B and U+062D would be.
int AnsiKeyCharacter(UINT mapped, UINT codePage);

// WM_CHAR: Shift+'a' or Shift+'A' mirrors the layout (unless MirrorKeys is
// off); with type-ahead on, any other character goes to KeyPress and then
// moves the current row (interaction/type_ahead.h). No character reaches the
// list box.
LRESULT OnChar(InteractionHost& host, WPARAM character, LPARAM flags);

// How many children the outward move counts for a node: a category's checked
// books (none for a root item that is no catalogue category), any other
// node's declared ChildCount.
int32_t OutwardChildCount(const OrvaneCore& core, const OutlineNode& node);

}  // namespace orvane
