// A white memory bitmap to draw into, and the questions the tests ask of the
// pixels afterwards.
#ifndef HARFIX_TESTS_CANVAS_H
#define HARFIX_TESTS_CANVAS_H

#include <windows.h>

#include <cstdint>
#include <string>

namespace harfix_tests {

// Bounds of the pixels that differ from the background; empty when none do.
struct InkBox {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool empty = true;
};

class Canvas {
 public:
  Canvas(int width, int height, COLORREF background = RGB(255, 255, 255));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF background() const { return background_; }

  void Clear();
  COLORREF Pixel(int x, int y) const;
  InkBox Ink() const { return Ink(RECT{0, 0, width_, height_}); }
  InkBox Ink(const RECT& area) const;
  // Whether column x holds any ink between rows top and bottom.
  bool ColumnHasInk(int x, int top, int bottom) const;
  // Whether the pixels of area here equal those of other's area moved by (dx, dy).
  bool SameAs(const Canvas& other, const RECT& area, int dx = 0, int dy = 0) const;

  // Writes the picture as a 24-bit PNG through the imaging component.
  HRESULT SavePng(const std::wstring& path) const;

 private:
  std::uint32_t Raw(int x, int y) const {
    return bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF;
  }

  int width_;
  int height_;
  COLORREF background_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

}  // namespace harfix_tests

#endif
