#include "render/glyph_strip.h"

namespace orvane {

namespace {

// More cells than any strip of ours has; a larger grid is refused rather
// than allocated.
constexpr int64_t kMaxCells = 4096;

struct ScaledStrips {
  int scale;
  int check;
  int treeLtr;
  int treeRtl;
  int treeCell;
  int iconCell;
};

constexpr ScaledStrips kScaledStrips[] = {
    {100, IDB_CHECK_STRIP, IDB_TREE_STRIP_LTR, IDB_TREE_STRIP_RTL, kTreeCellWidth, kIconCellWidth},
    {125, IDB_CHECK_STRIP_125, IDB_TREE_STRIP_LTR_125, IDB_TREE_STRIP_RTL_125, 21, 20},
    {150, IDB_CHECK_STRIP_150, IDB_TREE_STRIP_LTR_150, IDB_TREE_STRIP_RTL_150, 25, 24},
    {200, IDB_CHECK_STRIP_200, IDB_TREE_STRIP_LTR_200, IDB_TREE_STRIP_RTL_200, 34, 32},
};

const ScaledStrips& StripsAt(int scale) {
  for (const ScaledStrips& strips : kScaledStrips) {
    if (strips.scale == scale) return strips;
  }
  return kScaledStrips[0];
}

bool IsLineColour(COLORREF c) {
  return c == RGB(0, 0, 0) || c == RGB(128, 128, 128) || c == RGB(192, 192, 192);
}

// The source composed onto the back colour with the key keyed out, and the
// line colours of the rows from `fromY` down taken to the ink's: one pass
// over the pixels, so an ink or paper that happens to be the key colour (a
// high-contrast scheme with yellow text) still shows. Null on failure.
HBITMAP ComposeRecoloured(HBITMAP source, int width, int height, COLORREF backColour,
                          const StripInk& ink, int fromY) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP composed = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const int copied = composed ? GetDIBits(screen, source, 0, static_cast<UINT>(height), bits, &info,
                                          DIB_RGB_COLORS)
                              : 0;
  ReleaseDC(nullptr, screen);
  if (!composed || !bits || copied != height) {
    if (composed) DeleteObject(composed);
    return nullptr;
  }
  auto toPixel = [](COLORREF c) -> uint32_t {
    return (static_cast<uint32_t>(GetRValue(c)) << 16) |
           (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
  };
  uint32_t* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t& p = pixels[static_cast<size_t>(y) * width + x];
      const COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      if (c == kGlyphKeyColour) {
        p = toPixel(backColour);
      } else if (y >= fromY && IsLineColour(c)) {
        p = toPixel(ink.ink);
      } else if (y >= fromY && c == RGB(255, 255, 255)) {
        p = toPixel(ink.paper);
      }
    }
  }
  GdiFlush();
  return composed;
}

}  // namespace

int TreeStripBitmapFor(int alignment, int scale) {
  const ScaledStrips& strips = StripsAt(scale);
  return alignment == tvLeft ? strips.treeLtr : strips.treeRtl;
}

int CheckStripBitmapFor(int scale) { return StripsAt(scale).check; }
int TreeCellWidthAt(int scale) { return StripsAt(scale).treeCell; }
int IconCellWidthAt(int scale) { return StripsAt(scale).iconCell; }

GlyphStrip::GlyphStrip(HINSTANCE module, HDC dc, int bitmapId, int columns, int rows,
                       COLORREF backColour, const StripInk& ink)
    : GlyphStrip(static_cast<HBITMAP>(
                     LoadImageA(module, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0)),
                 dc, columns, rows, backColour, ink) {}

GlyphStrip::GlyphStrip(HBITMAP source, HDC dc, int columns, int rows, COLORREF backColour,
                       const StripInk& ink)
    : m_columns(columns), m_rows(rows), m_source(source) {
  Build(dc, backColour, ink);
}

GlyphStrip::~GlyphStrip() {
  Release();
  if (m_source) DeleteObject(m_source);
}

void GlyphStrip::Release() {
  if (m_cellDc) {
    SelectObject(m_cellDc, m_cellDcOriginal);
    DeleteDC(m_cellDc);
    m_cellDc = nullptr;
  }
  if (!m_cells) return;
  const int32_t count = m_columns * m_rows;
  for (int32_t i = 0; i < count; ++i) {
    if (m_cells[i]) DeleteObject(m_cells[i]);
  }
  m_cells.reset();
}

void GlyphStrip::Build(HDC dc, COLORREF backColour, const StripInk& ink) {
  BITMAP info{};
  if (!m_source || !GetObjectA(m_source, sizeof info, &info)) return;
  if (m_columns <= 0 || m_rows <= 0) return;
  if (static_cast<int64_t>(m_columns) * m_rows > kMaxCells) return;
  const int width = info.bmWidth;
  const int height = info.bmHeight;
  m_cellWidth = width / m_columns;
  m_cellHeight = height / m_rows;
  if (m_cellWidth <= 0 || m_cellHeight <= 0) return;

  HBITMAP composed = nullptr;
  if (ink.recolour) {
    const int64_t fromY = static_cast<int64_t>(ink.firstRow < 0 ? 0 : ink.firstRow) * m_cellHeight;
    composed = ComposeRecoloured(m_source, width, height, backColour, ink,
                                 static_cast<int>(fromY < height ? fromY : height));
    if (!composed) return;
  } else {
    // Compose the whole bitmap onto a field of the back colour.
    HDC screen = GetDC(nullptr);
    composed = CreateCompatibleBitmap(screen, width, height);
    HDC field = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!composed || !field) {
      if (composed) DeleteObject(composed);
      if (field) DeleteDC(field);
      return;
    }
    HGDIOBJ fieldOld = SelectObject(field, composed);
    RECT all{0, 0, width, height};
    HBRUSH back = CreateSolidBrush(backColour);
    FillRect(field, &all, back);
    DeleteObject(back);
    DrawTransparent(field, m_source, 0, 0, kGlyphKeyColour);
    SelectObject(field, fieldOld);
    DeleteDC(field);
  }

  // Cut it into cells, each its own bitmap so that a cell is copied from the
  // origin of a context that holds nothing else.
  HDC whole = CreateCompatibleDC(dc);
  HDC cell = CreateCompatibleDC(dc);
  if (whole && cell) {
    HGDIOBJ wholeOld = SelectObject(whole, composed);
    const int32_t count = m_columns * m_rows;
    m_cells = std::make_unique<HBITMAP[]>(static_cast<size_t>(count));
    int32_t index = 0;
    for (int32_t r = 0; r < m_rows; ++r) {
      for (int32_t c = 0; c < m_columns; ++c, ++index) {
        HBITMAP bitmap = CreateCompatibleBitmap(whole, m_cellWidth, m_cellHeight);
        m_cells[index] = bitmap;
        if (!bitmap) continue;
        HGDIOBJ cellOld = SelectObject(cell, bitmap);
        BitBlt(cell, 0, 0, m_cellWidth, m_cellHeight, whole, c * m_cellWidth, r * m_cellHeight,
               SRCCOPY);
        SelectObject(cell, cellOld);
      }
    }
    SelectObject(whole, wholeOld);
  }
  if (whole) DeleteDC(whole);
  if (cell) DeleteDC(cell);
  DeleteObject(composed);
}

void GlyphStrip::DrawCell(int row, int column, HDC dc, int x, int y) const {
  if (!m_cells || row < 0 || row >= m_rows || column < 0 || column >= m_columns) return;
  HBITMAP bitmap = m_cells[row * m_columns + column];
  if (!bitmap) return;
  if (!m_cellDc) {
    m_cellDc = CreateCompatibleDC(dc);
    if (!m_cellDc) return;
    m_cellDcOriginal = GetCurrentObject(m_cellDc, OBJ_BITMAP);
  }
  SelectObject(m_cellDc, bitmap);
  BitBlt(dc, x, y, m_cellWidth, m_cellHeight, m_cellDc, 0, 0, SRCCOPY);
}

void DrawTransparent(HDC dest, HBITMAP source, int16_t x, int16_t y, COLORREF keyColour) {
  BITMAP info{};
  if (!source || !GetObjectA(source, sizeof info, &info)) return;

  HDC temp = CreateCompatibleDC(dest);
  if (!temp) return;
  HGDIOBJ tempOld = SelectObject(temp, source);
  POINT size{info.bmWidth, info.bmHeight};
  DPtoLP(temp, &size, 1);
  const int w = size.x;
  const int h = size.y;

  HDC inverseMask = CreateCompatibleDC(dest);
  HDC mask = CreateCompatibleDC(dest);
  HDC result = CreateCompatibleDC(dest);
  HDC save = CreateCompatibleDC(dest);
  HBITMAP inverseMaskBitmap = CreateBitmap(w, h, 1, 1, nullptr);
  HBITMAP maskBitmap = CreateBitmap(w, h, 1, 1, nullptr);
  HBITMAP resultBitmap = CreateCompatibleBitmap(dest, w, h);
  HBITMAP saveBitmap = CreateCompatibleBitmap(dest, w, h);

  if (inverseMask && mask && result && save && inverseMaskBitmap && maskBitmap && resultBitmap &&
      saveBitmap) {
    HGDIOBJ inverseMaskOld = SelectObject(inverseMask, inverseMaskBitmap);
    HGDIOBJ maskOld = SelectObject(mask, maskBitmap);
    HGDIOBJ resultOld = SelectObject(result, resultBitmap);
    HGDIOBJ saveOld = SelectObject(save, saveBitmap);

    SetMapMode(temp, GetMapMode(dest));
    BitBlt(save, 0, 0, w, h, temp, 0, 0, SRCCOPY);

    // Colour to monochrome: 1 where the source has the background colour.
    COLORREF tempBack = SetBkColor(temp, keyColour);
    BitBlt(mask, 0, 0, w, h, temp, 0, 0, SRCCOPY);
    SetBkColor(temp, tempBack);

    BitBlt(inverseMask, 0, 0, w, h, mask, 0, 0, NOTSRCCOPY);
    BitBlt(result, 0, 0, w, h, dest, x, y, SRCCOPY);
    // Monochrome to colour maps 1 to white and 0 to black (the defaults of
    // `result`), keeping what lies underneath only where the key was.
    BitBlt(result, 0, 0, w, h, mask, 0, 0, SRCAND);
    BitBlt(temp, 0, 0, w, h, inverseMask, 0, 0, SRCAND);
    BitBlt(result, 0, 0, w, h, temp, 0, 0, SRCPAINT);
    BitBlt(dest, x, y, w, h, result, 0, 0, SRCCOPY);
    BitBlt(temp, 0, 0, w, h, save, 0, 0, SRCCOPY);

    SelectObject(inverseMask, inverseMaskOld);
    SelectObject(mask, maskOld);
    SelectObject(result, resultOld);
    SelectObject(save, saveOld);
  }
  SelectObject(temp, tempOld);
  for (HBITMAP b : {inverseMaskBitmap, maskBitmap, resultBitmap, saveBitmap}) {
    if (b) DeleteObject(b);
  }
  for (HDC d : {inverseMask, mask, result, save, temp}) {
    if (d) DeleteDC(d);
  }
}

}  // namespace orvane
