// Painting one row of the owner-drawn list box: tree lines and button from the
// tree strip, icon and check box from the icon strip, the title through the
// bidirectional text library (through the system's text output when the
// library is missing or incomplete), in the right layout (tvRight) or the left one
// (any other alignment value), with the selection highlight on the title only.
//
// The control fills one RowContext with its state once per paint and calls
// DrawRow for each WM_DRAWITEM after SetItem:
//
//   RowContext row = ...;   // the control's strips, colours, fonts, core
//   row.SetItem(*drawItem);
//   DrawRow(row);
#pragma once

#include <windows.h>

#include <cstdint>

#include "render/bidi_text_api.h"
#include "render/glyph_strip.h"
#include "render/row_layout.h"

namespace orvane {

class OrvaneCore;
class OutlineNode;

// The face name of the first font description handed to the text library.
inline constexpr char kTitleFaceName[] = "Ariel";

// The first of the two font descriptions the text library takes (Fonta's
// own is the second): a copy of Fonta with the face kTitleFaceName and
// character set 0. The titles and the balloon both draw with this pair.
LOGFONTA FirstFontDescription(const LOGFONTA& fonta);

// Pixels between a title and the icon or check box beside it.
inline constexpr int kTitleGap = 2;

struct RowContext {
  // The row being painted, as the list box describes it.
  HDC dc = nullptr;
  RECT item{};
  UINT itemId = static_cast<UINT>(-1);
  UINT action = 0;  // ODA_DRAWENTIRE, ODA_SELECT, ODA_FOCUS
  UINT state = 0;   // ODS_SELECTED, ODS_GRAYED, ODS_DISABLED
  OutlineNode* node = nullptr;

  // The control. ApplyCheck and check states are read from the core, so the
  // painting never sees a value the core has since changed.
  const OrvaneCore* core = nullptr;
  const GlyphStrip* checkStrip = nullptr;  // m_checkStrip, 16 x 16 cells
  const GlyphStrip* treeStrip = nullptr;   // m_treeStrip, 17 x 17 cells
  int16_t alignment = tvRight;
  int16_t readingOrder = LTR;
  int16_t indent = kDefaultIndent;
  COLORREF backColour = RGB(255, 255, 255);  // resolved BackColor
  COLORREF foreColour = RGB(0, 0, 0);        // resolved ForeColor
  HFONT font = nullptr;                      // the stock Font, selected before measuring a title
  LOGFONTA fonta{};                          // the Fonta font's description
  const BidiTextApi* text = nullptr;
  int32_t* filePos = nullptr;  // the control's m_filePos, written for every row painted

  // Takes the row's index, actions, state, device context, rectangle and node
  // (the item data) from the list box's description.
  void SetItem(const DRAWITEMSTRUCT& drawItem);
};

// The list box asks once for the fixed row height.
inline void MeasureRow(MEASUREITEMSTRUCT& measureItem) { measureItem.itemHeight = kRowHeight; }

// Paints the row for the actions the list box reports and records its file
// position: -1 for a category, book or top-level text item, else the
// section's FilePos. No index or no node paints nothing and records nothing.
void DrawRow(const RowContext& row);

// Draws the ancestors' continuing lines and the node's own button or line
// cell, and narrows `rect` to what is left for icon and title.
void DrawTreeLines(const RowContext& row, const OutlineNode& node, RECT& rect, HDC dc);

// Draws icon, check box (with ApplyCheck on) and title inside `rect`,
// narrowing it past the glyphs. `title` is `length` bytes, not necessarily
// terminated.
void DrawIconsAndText(const RowContext& row, const char* title, int length, RECT& rect, HDC dc,
                      const OutlineNode& node);

// The rectangle the selection highlight fills: the title's measured width
// where DrawTreeLines and DrawIconsAndText place the title (past the indent
// steps, icon, check box and gap), the height of `item`.
RECT GetTextRect(const RowContext& row, const OutlineNode& node, const RECT& item,
                 const char* title, int length, HDC dc);

}  // namespace orvane
