#include "render/glyph_strip.h"

namespace orvane {

namespace {

// More cells than any strip of ours has; a larger grid is refused rather
// than allocated.
constexpr int64_t kMaxCells = 4096;

}  // namespace

GlyphStrip::GlyphStrip(HINSTANCE module, HDC dc, int bitmapId, int columns, int rows,
                       COLORREF backColour)
    : GlyphStrip(static_cast<HBITMAP>(
                     LoadImageA(module, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, 0)),
                 dc, columns, rows, backColour) {}

GlyphStrip::GlyphStrip(HBITMAP source, HDC dc, int columns, int rows, COLORREF backColour)
    : m_columns(columns), m_rows(rows), m_source(source) {
  Build(dc, backColour);
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

void GlyphStrip::Build(HDC dc, COLORREF backColour) {
  BITMAP info{};
  if (!m_source || !GetObjectA(m_source, sizeof info, &info)) return;
  if (m_columns <= 0 || m_rows <= 0) return;
  if (static_cast<int64_t>(m_columns) * m_rows > kMaxCells) return;
  const int width = info.bmWidth;
  const int height = info.bmHeight;
  m_cellWidth = width / m_columns;
  m_cellHeight = height / m_rows;
  if (m_cellWidth <= 0 || m_cellHeight <= 0) return;

  // Compose the whole bitmap onto a field of the back colour.
  HDC screen = GetDC(nullptr);
  HBITMAP composed = CreateCompatibleBitmap(screen, width, height);
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
