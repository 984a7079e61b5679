// Painting one row of the owner-drawn list box: tree lines and button from the
// tree strip, icon and check box from the icon strip, the title through the
// bidirectional text library (through the system's text output when the
// library is missing or incomplete), in the right layout (tvRight) or the left one
// (any other alignment value), with the selection highlight on the title only.
//
// The control fills one RowContext with its state once per paint and calls
// DrawRow for each WM_DRAWITEM after SetItem:
//
//   RowContext row = ...;   // the control's strips, colours, fonts, DPI, outline
//   row.SetItem(*drawItem);
//   DrawRow(row);
#pragma once

#include <windows.h>

#include <cstdint>

#include "render/bidi_text_api.h"
#include "render/display_scale.h"
#include "render/glyph_strip.h"
#include "render/row_layout.h"

namespace orvane {

class OutlineNode;

// The face name of the first font description handed to the text library.
inline constexpr char kTitleFaceName[] = "Ariel";

// The first of the two font descriptions the text library takes (Fonta's
// own is the second): a copy of Fonta with the face kTitleFaceName and
// character set 0. The titles and the balloon both draw with this pair.
LOGFONTA FirstFontDescription(const LOGFONTA& fonta);

// Pixels between a title and the icon or check box beside it, at 96 DPI.
inline constexpr int kTitleGap = 2;

// The colours rows are painted with.
struct RowColours {
  COLORREF back;
  COLORREF fore;
};

// The host's BackColor and ForeColor (resolved), or, while the system's high
// contrast is on, the system's window and window-text colours, which the
// reader chose over any host's.
RowColours PaintColours(bool highContrast, COLORREF back, COLORREF fore);

// Whether the system's high-contrast mode is on.
bool HighContrastOn();

struct RowContext {
  // The row being painted, as the list box describes it.
  HDC dc = nullptr;
  RECT item{};
  UINT itemId = static_cast<UINT>(-1);
  UINT action = 0;  // ODA_DRAWENTIRE, ODA_SELECT, ODA_FOCUS
  UINT state = 0;   // ODS_SELECTED, ODS_GRAYED, ODS_DISABLED
  OutlineNode* node = nullptr;

  // The control. ApplyCheck and check states are read from the outline's
  // own parts, so the painting never sees a value they have since changed.
  OutlineState outline;
  const GlyphStrip* checkStrip = nullptr;  // m_checkStrip, 16 x 16 cells at 96 DPI
  const GlyphStrip* treeStrip = nullptr;   // m_treeStrip, 17 x 17 cells at 96 DPI
  int16_t alignment = tvRight;
  int16_t readingOrder = LTR;
  int16_t indent = kDefaultIndent;           // Indent: pixels at 96 DPI
  int dpi = kDefaultDpi;                     // the DPI of the control's window
  COLORREF backColour = RGB(255, 255, 255);  // PaintColours' back
  COLORREF foreColour = RGB(0, 0, 0);        // PaintColours' fore
  HFONT font = nullptr;                      // the stock Font, selected before measuring a title
  LOGFONTA fonta{};                          // the Fonta font's description
  const BidiTextApi* text = nullptr;
  int32_t* filePos = nullptr;  // the control's m_filePos, written for every row painted

  // Takes the row's index, actions, state, device context, rectangle and node
  // (the item data) from the list box's description.
  void SetItem(const DRAWITEMSTRUCT& drawItem);
};

// The row height at `dpi`: 16 pixels at 96 DPI, scaled and rounded (20 at
// 120, 24 at 144, 32 at 192).
inline int RowHeightAt(int dpi) { return ScaleToDpi(kRowHeight, dpi); }

// The list box asks once for the fixed row height.
inline void MeasureRow(MEASUREITEMSTRUCT& measureItem, int dpi = kDefaultDpi) {
  measureItem.itemHeight = static_cast<UINT>(RowHeightAt(dpi));
}

// Indent and the title gap in the window's pixels.
inline int LayoutIndent(const RowContext& row) { return ScaleToDpi(row.indent, row.dpi); }
inline int LayoutTitleGap(int dpi) { return ScaleToDpi(kTitleGap, dpi); }

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
