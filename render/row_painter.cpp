#include "render/row_painter.h"

#include <cstring>
#include <limits>
#include <string>

#include "model/library.h"
#include "model/outline_node.h"
#include "render/system_text.h"
#include "rows/check_states.h"

namespace orvane {

namespace {

int TreeCellWidth(const RowContext& row) {
  return CellWidthOr(row.treeStrip, TreeCellWidthAt(StripScaleFor(row.dpi)));
}
int IconCellWidth(const RowContext& row) {
  return CellWidthOr(row.checkStrip, IconCellWidthAt(StripScaleFor(row.dpi)));
}

bool ApplyCheckOn(const RowContext& row) { return ApplyCheckOn(row.outline); }

int ClampToInt(int64_t v) {
  constexpr int64_t lo = std::numeric_limits<int>::min();
  constexpr int64_t hi = std::numeric_limits<int>::max();
  return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}

void DrawTreeCell(const RowContext& row, HDC dc, int cell, int64_t x, int64_t y) {
  if (row.treeStrip) row.treeStrip->DrawCell(0, cell, dc, ClampToInt(x), ClampToInt(y));
}

void DrawIconCell(const RowContext& row, HDC dc, int r, int c, int64_t x, int64_t y) {
  if (row.checkStrip) row.checkStrip->DrawCell(r, c, dc, ClampToInt(x), ClampToInt(y));
}

bool TextLibraryReady(const RowContext& row) { return row.text && row.text->Complete(); }

bool Dimmed(UINT state) { return (state & (ODS_GRAYED | ODS_DISABLED)) != 0; }

void SetPlainColours(const RowContext& row, HDC dc, bool grey) {
  SetTextColor(dc, grey ? GetSysColor(COLOR_GRAYTEXT) : row.foreColour);
  SetBkColor(dc, row.backColour);
}

// Fills the title's rectangle only; the glyph cells keep the back colour.
void Highlight(const RowContext& row, const OutlineNode& node, const char* title, int length,
               HDC dc) {
  RECT text = GetTextRect(row, node, row.item, title, length, dc);
  FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
  SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
}

void DrawContent(const RowContext& row, const OutlineNode& node, const char* title, int length,
                 HDC dc) {
  RECT rect = row.item;
  DrawTreeLines(row, node, rect, dc);
  DrawIconsAndText(row, title, length, rect, dc, node);
}

}  // namespace

RowColours PaintColours(bool highContrast, COLORREF back, COLORREF fore) {
  if (highContrast) return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
  return {back, fore};
}

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)) return false;
  return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

LOGFONTA FirstFontDescription(const LOGFONTA& fonta) {
  LOGFONTA first = fonta;
  std::memset(first.lfFaceName, 0, sizeof first.lfFaceName);
  std::memcpy(first.lfFaceName, kTitleFaceName, sizeof kTitleFaceName);
  first.lfCharSet = 0;
  return first;
}

void RowContext::SetItem(const DRAWITEMSTRUCT& drawItem) {
  dc = drawItem.hDC;
  item = drawItem.rcItem;
  itemId = drawItem.itemID;
  action = drawItem.itemAction;
  state = drawItem.itemState;
  // Each row's item data is its node; the list box stores no text.
  node =
      itemId == static_cast<UINT>(-1) ? nullptr : reinterpret_cast<OutlineNode*>(drawItem.itemData);
}

void DrawRow(const RowContext& row) {
  if (row.itemId == static_cast<UINT>(-1) || !row.node || !row.dc) return;
  const OutlineNode& node = *row.node;
  HDC dc = row.dc;

  if (row.filePos) *row.filePos = node.Level() < 2 ? -1 : node.FilePos();

  // The title is painted from a terminated copy: a section's title lies in
  // its book's TocBuffer, where the byte after it belongs to the next record,
  // and the copy leaves that buffer untouched on every path. A stored zero
  // byte ends the title, as it ends its decoding.
  std::string title;
  if (node.Title()) {
    const char* bytes = reinterpret_cast<const char*>(node.Title());
    title.assign(bytes, strnlen(bytes, node.TitleLength()));
  }
  const int length = static_cast<int>(title.size());

  // The list box hands over its own context: leave it as it came.
  const int saved = SaveDC(dc);
  HBRUSH back = CreateSolidBrush(row.backColour);
  const bool active = node.m_active != 0;

  if (row.action & ODA_DRAWENTIRE) {
    // A full redraw never highlights, even a selected row.
    FillRect(dc, &row.item, back);
    SetPlainColours(row, dc, Dimmed(row.state) || !active);
    DrawContent(row, node, title.c_str(), length, dc);
  }
  if ((row.action & ODA_SELECT) && active) {
    if (row.state & ODS_SELECTED) {
      Highlight(row, node, title.c_str(), length, dc);
    } else {
      FillRect(dc, &row.item, back);
      SetPlainColours(row, dc, Dimmed(row.state));
    }
    DrawContent(row, node, title.c_str(), length, dc);
  }
  if ((row.action & ODA_FOCUS) && active) {
    // The focus rectangle travels with the selected row, so a focus action
    // highlights whether the focus comes or goes.
    Highlight(row, node, title.c_str(), length, dc);
    DrawContent(row, node, title.c_str(), length, dc);
  }

  DeleteObject(back);
  if (saved) RestoreDC(dc, saved);
}

void DrawTreeLines(const RowContext& row, const OutlineNode& node, RECT& rect, HDC dc) {
  const int64_t indent = LayoutIndent(row);
  const int64_t level = node.Level();
  const int64_t y = rect.top;
  const TreeGlyph own = GetRowGlyph(row.outline, node);

  // Each ancestor's continuing line stands in that ancestor's own button
  // column, one indent further out per generation.
  if (IsRightLayout(row.alignment)) {
    int64_t x = rect.right - level * indent;
    for (const OutlineNode* a = node.m_parent; a; a = a->m_parent, x += indent) {
      if (HasNextSibling(row.outline, *a)) DrawTreeCell(row, dc, tgLine, x, y);
    }
    const int64_t right = rect.right - (level + 1) * indent;
    rect.right = ClampToInt(right);
    DrawTreeCell(row, dc, own, right, y);
  } else {
    int64_t x = rect.left + (level - 1) * indent;
    for (const OutlineNode* a = node.m_parent; a; a = a->m_parent, x -= indent) {
      if (HasNextSibling(row.outline, *a)) DrawTreeCell(row, dc, tgLine, x, y);
    }
    const int64_t left = rect.left + level * indent;
    DrawTreeCell(row, dc, own, left, y);
    rect.left = ClampToInt(left + TreeCellWidth(row));
  }
}

void DrawIconsAndText(const RowContext& row, const char* title, int length, RECT& rect, HDC dc,
                      const OutlineNode& node) {
  const int column = !node.m_active ? kIconInactive : (node.m_expanded ? kIconOpen : kIconClosed);
  const bool hasChildren = CanOpen(row.outline, node);
  const int w = IconCellWidth(row);

  // A check state outside the strip's columns (a node no catalogue knows)
  // shows no box rather than a cell that does not exist.
  int checkColumn = -1;
  if (ApplyCheckOn(row)) {
    const int16_t state = row.outline.checks->GetCheckState(&node);
    checkColumn = state >= csChecked && state <= csPartial ? state : -1;
  }

  if (IsRightLayout(row.alignment)) {
    const int iconRow = hasChildren ? kBookIconRowRight : kPageIconRow;
    rect.right -= w;
    DrawIconCell(row, dc, iconRow, column, rect.right, rect.top);
    if (ApplyCheckOn(row)) {
      rect.right -= w;
      if (checkColumn >= 0) DrawIconCell(row, dc, kCheckBoxRow, checkColumn, rect.right, rect.top);
    }
  } else {
    const int iconRow = hasChildren ? kBookIconRowLeft : kPageIconRow;
    DrawIconCell(row, dc, iconRow, column, rect.left, rect.top);
    rect.left += w;
    if (ApplyCheckOn(row)) {
      if (checkColumn >= 0) DrawIconCell(row, dc, kCheckBoxRow, checkColumn, rect.left, rect.top);
      rect.left += w;
    }
  }

  // An initial alef or lam would touch the glyph beside it.
  if (IsRightLayout(row.alignment)) {
    rect.right -= LayoutTitleGap(row.dpi);
  } else {
    rect.left += LayoutTitleGap(row.dpi);
  }

  if (!title) return;
  if (!TextLibraryReady(row)) {
    // Without the library the title still shows, through the system.
    SystemDrawText(dc, row.fonta, title, length, rect, TitleTextFlags(row.alignment),
                   row.readingOrder == RTL);
    return;
  }
  const BidiTextApi& text = *row.text;
  const LOGFONTA first = FirstFontDescription(row.fonta);
  if (HGDIOBJ system = GetStockObject(SYSTEM_FONT)) SelectObject(dc, system);
  text.aSelectDC(dc, &first, &row.fonta);
  SetTextAlign(dc, TA_BASELINE);
  text.aSetReadingOrder(LibraryReadingOrder(row.readingOrder));
  SetBkMode(dc, TRANSPARENT);
  text.aDrawText(dc, title, length, &rect, TitleTextFlags(row.alignment));
  text.aReleaseDC(dc);
}

RECT GetTextRect(const RowContext& row, const OutlineNode& node, const RECT& item,
                 const char* title, int length, HDC dc) {
  int64_t width = 0;
  if (TextLibraryReady(row) && title) {
    const BidiTextApi& text = *row.text;
    // Measuring is asked for outside a row's paint too (the balloon), so the
    // caller's font is put back afterwards.
    HGDIOBJ previous = row.font ? SelectObject(dc, row.font) : nullptr;
    const LOGFONTA first = FirstFontDescription(row.fonta);
    text.aSelectDC(dc, &first, &row.fonta);
    // Measured at the size the title is drawn at in this row's height.
    FitLineHeight(text, dc, item.bottom - item.top);
    width = text.aTextExtent(dc, title, length).cx;
    text.aReleaseDC(dc);
    if (previous) SelectObject(dc, previous);
  } else if (title) {
    width = SystemTextExtent(dc, row.fonta, title, length).cx;
  }

  // The highlight lies where the title is drawn: the same indent steps as
  // the tree lines, past the icon, the check box and the gap. Stepping by
  // the cell widths instead would part them by (Indent - 18) x level pixels,
  // and the title, drawn in the highlight colour, vanishes outside it.
  const int64_t indent = LayoutIndent(row);
  const int64_t gap = LayoutTitleGap(row.dpi);
  const int64_t level = node.Level();
  const int64_t icon = IconCellWidth(row);
  const int64_t check = ApplyCheckOn(row) ? icon : 0;
  RECT r = item;
  if (IsRightLayout(row.alignment)) {
    const int64_t right = item.right - (level + 1) * indent - icon - check - gap;
    r.right = ClampToInt(right);
    r.left = ClampToInt(right - width);
  } else {
    const int64_t left = item.left + level * indent + TreeCellWidth(row) + icon + check + gap;
    r.left = ClampToInt(left);
    r.right = ClampToInt(left + width);
  }
  return r;
}

}  // namespace orvane
