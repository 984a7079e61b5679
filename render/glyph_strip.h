// GlyphStrip: a bitmap cut into equal cells, composed once onto the control's
// back colour with pure yellow as the transparent key, so that painting a
// glyph is a single opaque block copy. A strip belongs to one back colour:
// the control builds a new one when that colour, the alignment or the mirror
// state changes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "render/row_layout.h"
#include "resources/resource_ids.h"

namespace orvane {

// Bitmap resources of the module.
inline constexpr int kCheckStripBitmap = IDB_CHECK_STRIP;  // icons and check boxes, 3 x 10 cells
inline constexpr int kTreeStripLtrBitmap = IDB_TREE_STRIP_LTR;  // tree lines for tvLeft, 10 x 1
inline constexpr int kTreeStripRtlBitmap = IDB_TREE_STRIP_RTL;  // the cell-by-cell mirror of LTR
inline constexpr int kCheckStripColumns = 3;
inline constexpr int kCheckStripRows = 10;
inline constexpr int kTreeStripColumns = 10;
inline constexpr int kTreeStripRows = 1;

// The transparent key of every strip bitmap.
inline constexpr COLORREF kGlyphKeyColour = RGB(255, 255, 0);

// The tree-line bitmap for an alignment value: the LTR one for tvLeft, the
// RTL one for any other value. (The layout itself treats only tvRight as
// right-aligned, so a stored 1 draws left-aligned rows with the mirrored
// lines.) `scale` is one of kStripScales (display_scale.h); any other value
// takes the 100 % bitmaps.
int TreeStripBitmapFor(int alignment, int scale = 100);
// The icon and check-box bitmap drawn at `scale`.
int CheckStripBitmapFor(int scale = 100);

// The cell widths of the two strips' bitmaps at 100 %. A strip that is
// missing or could not be built keeps the widths of its scale, so titles,
// balloons and hit columns stay where they would be with it.
inline constexpr int kTreeCellWidth = 17;
inline constexpr int kIconCellWidth = 16;
int TreeCellWidthAt(int scale);
int IconCellWidthAt(int scale);

// How a strip is coloured. As drawn; or, for high contrast, every pixel of
// the cell rows from `firstRow` on that is a line, a button or a box outline
// (black, dark grey, light grey) in `ink` and every white one (the inside of
// a button or a box) in `paper`. Rows above `firstRow` (the icons) keep their
// colours.
struct StripInk {
  bool recolour = false;
  int firstRow = 0;
  COLORREF ink = RGB(0, 0, 0);
  COLORREF paper = RGB(255, 255, 255);
};

class GlyphStrip {
 public:
  // Loads bitmap `bitmapId` from `module`. `dc` is only the reference for
  // compatible bitmaps and contexts; null means the screen. `backColour` is a
  // resolved colour. A bitmap that cannot be loaded leaves an empty strip
  // (Valid() false) that draws nothing.
  GlyphStrip(HINSTANCE module, HDC dc, int bitmapId, int columns, int rows, COLORREF backColour,
             const StripInk& ink = StripInk{});
  // The same from a bitmap the strip takes over (null gives an empty strip).
  GlyphStrip(HBITMAP source, HDC dc, int columns, int rows, COLORREF backColour,
             const StripInk& ink = StripInk{});
  virtual ~GlyphStrip();
  GlyphStrip(const GlyphStrip&) = delete;
  GlyphStrip& operator=(const GlyphStrip&) = delete;

  // Copies cell (row, column) to `dc` at (x, y), SRCCOPY, unclipped. A cell
  // outside the grid, or any cell of an empty strip, draws nothing.
  void DrawCell(int row, int column, HDC dc, int x, int y) const;

  bool Valid() const { return m_cells != nullptr; }
  int32_t CellWidth() const { return m_cellWidth; }
  int32_t CellHeight() const { return m_cellHeight; }
  int32_t Columns() const { return m_columns; }
  int32_t Rows() const { return m_rows; }
  // The bitmap the strip was built from; kept unchanged for its whole life.
  HBITMAP SourceBitmap() const { return m_source; }

 private:
  void Build(HDC dc, COLORREF backColour, const StripInk& ink);
  void Release();

  int32_t m_cellWidth = 0;
  int32_t m_cellHeight = 0;
  int32_t m_columns = 0;
  int32_t m_rows = 0;
  HBITMAP m_source = nullptr;
  std::unique_ptr<HBITMAP[]> m_cells;
  // One memory context for the strip's life, holding the cell being copied:
  // making a context per glyph costs more than the copy itself.
  mutable HDC m_cellDc = nullptr;
  mutable HGDIOBJ m_cellDcOriginal = nullptr;
};

// The width of `strip`'s cells; `fallback` for no strip or an empty one.
// Painting and input both take a row's widths from here.
inline int CellWidthOr(const GlyphStrip* strip, int fallback) {
  return strip && strip->Valid() ? strip->CellWidth() : fallback;
}

// Copies `source` onto `dest` at (x, y), leaving the destination visible
// wherever the source has exactly `keyColour`. The source bitmap is left as
// it was. Used once per strip build, never while painting rows.
void DrawTransparent(HDC dest, HBITMAP source, int16_t x, int16_t y, COLORREF keyColour);

}  // namespace orvane
