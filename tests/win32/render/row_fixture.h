// A sample library, both strips built from the module's bitmaps, a surface
// one row high (plus the tree cells' extra pixel row) and a context that
// paints into it with the bar-drawing text fake.
#pragma once

#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include "fake_text_library.h"
#include "paint_surface.h"
#include "render/row_painter.h"
#include "sample_library.h"

namespace orvane::test {

inline constexpr COLORREF kBack = RGB(250, 240, 230);
inline constexpr COLORREF kFore = RGB(0, 0, 160);
inline constexpr COLORREF kPaper = RGB(1, 2, 3);  // the surface before any row
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kDarkGrey = RGB(128, 128, 128);
inline constexpr COLORREF kLightGrey = RGB(192, 192, 192);
inline constexpr int kRowWidth = 320;

class RowFixture : public ::testing::Test {
 protected:
  RowFixture();

  // A context for painting `node` as row 0 of the surface.
  RowContext Row(OutlineNode* node, int16_t alignment, UINT action = ODA_DRAWENTIRE,
                 UINT state = 0);
  // Paints `node` and returns the context used.
  RowContext Paint(OutlineNode* node, int16_t alignment, UINT action = ODA_DRAWENTIRE,
                   UINT state = 0);
  // The title bar's pixels in the row: the text colour where the fake drew.
  int TitlePixels(COLORREF colour) const {
    return surface.CountColour({0, 0, kRowWidth, kRowHeight}, colour);
  }

  SampleLibrary lib;
  OrvaneCore& core = lib.Core();
  GlyphStrip checkStrip;
  GlyphStrip treeLtr;
  GlyphStrip treeRtl;
  PaintSurface surface{kRowWidth, kRowHeight + 1, kPaper};
  int32_t filePos = 12345;
  int16_t readingOrder = LTR;
  LOGFONTA fonta{};
};

}  // namespace orvane::test
