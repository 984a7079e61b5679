// Where the parts of a row go: the tree-line glyph a node's row shows, whether
// its line continues to a following sibling, and the two hit columns the mouse
// handling tests. Nothing here draws.
//
// Alignment: tvRight lays a row out from the right edge, every other value
// from the left edge. I is the indent (pixels per level), L the level.
#pragma once

#include <windows.h>

#include <cstdint>

#include "harfix/harfix.h"
#include "orvane_h.h"

namespace orvane {

class CheckStates;
class Library;
class OutlineNode;

// What the layout and painting read of the outline: the library's nodes and
// categories, and the check states with the ApplyCheck switch. Either may be
// null (a bare node list), and the layout then answers from the nodes alone.
struct OutlineState {
  const Library* library = nullptr;
  const CheckStates* checks = nullptr;
};

// The alignment (tvLeft, tvRight) and reading-order (RTL, LTR) values are
// the type library's enumerations, from orvane_h.h. The properties store any
// 16-bit value, so the layout takes plain int16_t and tests it against them.

inline constexpr int kRowHeight = 16;
inline constexpr int16_t kDefaultIndent = 18;

// m_treeStrip cells.
enum TreeGlyph : int {
  tgBlank = 0,
  tgLine = 1,
  tgTee = 2,
  tgCorner = 3,
  tgOpenRoot = 4,
  tgOpen = 5,
  tgOpenLast = 6,
  tgClosedRoot = 7,
  tgClosed = 8,
  tgClosedLast = 9,
};

// m_checkStrip rows and columns the painting uses.
inline constexpr int kBookIconRowLeft = 1;
inline constexpr int kPageIconRow = 3;
inline constexpr int kBookIconRowRight = 5;
inline constexpr int kCheckBoxRow = 9;
inline constexpr int kIconClosed = 0;
inline constexpr int kIconOpen = 1;
inline constexpr int kIconInactive = 2;

inline bool IsRightLayout(int16_t alignment) { return alignment == tvRight; }

// Flags for the text library: right-aligned only in the right layout, always
// vertically centred. An alignment value outside the enumeration is drawn as
// the left layout draws it, so the title stays next to its icon.
inline int TitleTextFlags(int16_t alignment) {
  return (IsRightLayout(alignment) ? HARFIX_ALIGN_RIGHT : HARFIX_ALIGN_LEFT) + HARFIX_VCENTER;
}

// Reading-order code for the library: 2 for RTL (0), 1 for any other value.
inline int LibraryReadingOrder(int16_t readingOrder) {
  return readingOrder == RTL ? HARFIX_ORDER_RTL : HARFIX_ORDER_LTR;
}

// Whether the node has a button: it has children, loaded or waiting in its
// book's file. Without a library, loaded children only.
bool CanOpen(const OutlineState& outline, const OutlineNode& node);
// Whether check boxes are shown; off without check states.
bool ApplyCheckOn(const OutlineState& outline);

// Whether another sibling is shown after `node` in the current view. Rows of
// the root list are never joined by lines; a book in the checked-only view is
// the last one when it is the last book shown of its category.
bool HasNextSibling(const OutlineState& outline, const OutlineNode& node);

// The m_treeStrip cell for the row's own button or line.
TreeGlyph GetRowGlyph(const OutlineState& outline, const OutlineNode& node);

// The hit columns the mouse handling tests: the full height of `client`,
// `indent` pixels wide (Indent at the window's DPI), at the node's button and
// check-box columns.
RECT GetButtonRect(const OutlineNode& node, const RECT& client, int16_t alignment, int indent);
RECT GetCheckBoxRect(const OutlineNode& node, const RECT& client, int16_t alignment, int indent);

}  // namespace orvane
