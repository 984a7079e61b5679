// A memory device context over a 24-bit top-down DIB section: rows are painted
// into it and its pixels read back at the positions the layout defines.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace orvane::test {

class PaintSurface {
 public:
  PaintSurface(int width, int height, COLORREF fill = RGB(255, 255, 255));
  ~PaintSurface();
  PaintSurface(const PaintSurface&) = delete;
  PaintSurface& operator=(const PaintSurface&) = delete;

  HDC Dc() const { return m_dc; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  void Fill(COLORREF colour);
  // RGB of pixel (x, y); 0xFFFFFFFF, which no pixel holds, outside the surface.
  COLORREF Pixel(int x, int y) const;
  // Pixels of the rectangle that have exactly `colour`.
  int CountColour(const RECT& r, COLORREF colour) const;
  // Every pixel of the rectangle has `colour`.
  bool AllColour(const RECT& r, COLORREF colour) const { return CountColour(r, colour) == Area(r); }
  static int Area(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }
  // The leftmost and rightmost column in row `y` holding `colour`, or -1.
  int FirstColumnOf(int y, COLORREF colour) const;
  int LastColumnOf(int y, COLORREF colour) const;
  std::string Bytes() const;
  // Writes the surface as a PNG through the imaging component; false on failure.
  bool SavePng(const std::wstring& path) const;

 private:
  int m_width;
  int m_height;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  uint8_t* m_bits = nullptr;
  int m_stride = 0;
};

// Writes `surface` to build\render\<name>.png under the current directory,
// making the folder when needed.
bool SaveScreenshot(const PaintSurface& surface, const std::wstring& name);

}  // namespace orvane::test
