#include "render/glyph_strip.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "paint_surface.h"

namespace orvane {
namespace {

using test::PaintSurface;

constexpr COLORREF kBack = RGB(10, 20, 30);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kDarkGrey = RGB(128, 128, 128);

// A bitmap in the display's format, painted pixel by pixel: `rows` of
// colours, all of the same length.
HBITMAP MakeBitmap(const std::vector<std::vector<COLORREF>>& rows) {
  const int h = static_cast<int>(rows.size());
  const int w = static_cast<int>(rows[0].size());
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) SetPixel(dc, x, y, rows[y][x]);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

// The bitmap's pixels as 32-bit values, for comparing a bitmap with itself.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = info.bmWidth;
  header.bmiHeader.biHeight = -info.bmHeight;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &header,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::unique_ptr<GlyphStrip> ModuleStrip(int id, int columns, int rows, COLORREF back) {
  return std::make_unique<GlyphStrip>(GetModuleHandleA(nullptr), nullptr, id, columns, rows, back);
}

TEST(GlyphStripTransparency, OnlyExactYellowShowsTheBackColour) {
  const COLORREF nearYellow[] = {RGB(254, 255, 0), RGB(255, 254, 0), RGB(255, 255, 1)};
  GlyphStrip strip(MakeBitmap({{kYellow, nearYellow[0], nearYellow[1]},
                               {nearYellow[2], RGB(255, 0, 0), kBlack}}),
                   nullptr, 1, 1, kBack);
  ASSERT_TRUE(strip.Valid());
  PaintSurface surface(3, 2, kWhite);
  strip.DrawCell(0, 0, surface.Dc(), 0, 0);

  EXPECT_EQ(surface.Pixel(0, 0), kBack);
  EXPECT_EQ(surface.Pixel(1, 0), nearYellow[0]);
  EXPECT_EQ(surface.Pixel(2, 0), nearYellow[1]);
  EXPECT_EQ(surface.Pixel(0, 1), nearYellow[2]);
  EXPECT_EQ(surface.Pixel(1, 1), RGB(255, 0, 0));
  EXPECT_EQ(surface.Pixel(2, 1), kBlack);
}

TEST(GlyphStripTransparency, SourceBitmapIsLeftAsItWas) {
  HBITMAP source = MakeBitmap({{kYellow, kBlack, kYellow}, {kWhite, kYellow, RGB(0, 0, 255)}});
  const std::vector<uint32_t> before = BitmapPixels(source);
  GlyphStrip strip(source, nullptr, 3, 1, kBack);
  ASSERT_TRUE(strip.Valid());
  EXPECT_EQ(strip.SourceBitmap(), source);
  EXPECT_EQ(BitmapPixels(source), before);
}

TEST(GlyphStripTransparency, DrawTransparentKeepsTheDestinationUnderTheKey) {
  HBITMAP source = MakeBitmap({{kYellow, kBlack}, {RGB(0, 128, 0), kYellow}});
  PaintSurface surface(4, 4, RGB(200, 100, 50));
  DrawTransparent(surface.Dc(), source, 1, 1, kYellow);
  EXPECT_EQ(surface.Pixel(1, 1), RGB(200, 100, 50));
  EXPECT_EQ(surface.Pixel(2, 1), kBlack);
  EXPECT_EQ(surface.Pixel(1, 2), RGB(0, 128, 0));
  EXPECT_EQ(surface.Pixel(2, 2), RGB(200, 100, 50));
  EXPECT_EQ(surface.Pixel(0, 0), RGB(200, 100, 50));  // outside the copy
  EXPECT_EQ(surface.Pixel(3, 3), RGB(200, 100, 50));
  DeleteObject(source);
}

TEST(GlyphStripCells, SizesComeFromTruncatedDivision) {
  // 7 x 5 in 2 x 2 cells: 3 x 2 each; the last column and row are never used.
  std::vector<std::vector<COLORREF>> rows(5, std::vector<COLORREF>(7, kWhite));
  rows[2][3] = RGB(0, 0, 255);  // top-left pixel of cell (1, 1)
  rows[4][6] = kBlack;          // leftover corner
  GlyphStrip strip(MakeBitmap(rows), nullptr, 2, 2, kBack);
  ASSERT_TRUE(strip.Valid());
  EXPECT_EQ(strip.CellWidth(), 3);
  EXPECT_EQ(strip.CellHeight(), 2);

  PaintSurface surface(5, 4, kYellow);
  strip.DrawCell(1, 1, surface.Dc(), 1, 1);
  EXPECT_EQ(surface.Pixel(1, 1), RGB(0, 0, 255));
  EXPECT_EQ(surface.CountColour({1, 1, 4, 3}, kWhite), 5);
  EXPECT_EQ(surface.CountColour({0, 0, 5, 4}, kYellow), 20 - 6);  // exactly one cell drawn

  auto check = ModuleStrip(kCheckStripBitmap, kCheckStripColumns, kCheckStripRows, kBack);
  ASSERT_TRUE(check->Valid());
  EXPECT_EQ(check->CellWidth(), 16);
  EXPECT_EQ(check->CellHeight(), 16);  // 161 rows in 10
  auto tree = ModuleStrip(kTreeStripLtrBitmap, kTreeStripColumns, kTreeStripRows, kBack);
  ASSERT_TRUE(tree->Valid());
  EXPECT_EQ(tree->CellWidth(), 17);
  EXPECT_EQ(tree->CellHeight(), 17);
}

TEST(GlyphStripCells, CheckBoxesShowTheirStates) {
  auto strip = ModuleStrip(kCheckStripBitmap, kCheckStripColumns, kCheckStripRows, kBack);
  ASSERT_TRUE(strip->Valid());
  PaintSurface surface(48, 16);
  for (int c = 0; c < 3; ++c) strip->DrawCell(9, c, surface.Dc(), 16 * c, 0);
  // (4, 4) is inside the box beside the tick; (10, 4) is the tick's tip.
  EXPECT_EQ(surface.Pixel(4, 4), kWhite);
  EXPECT_EQ(surface.Pixel(10, 4), kBlack);
  EXPECT_EQ(surface.Pixel(16 + 4, 4), kWhite);
  EXPECT_EQ(surface.Pixel(16 + 10, 4), kWhite);
  EXPECT_EQ(surface.Pixel(32 + 4, 4), kLightGrey);
  EXPECT_EQ(surface.Pixel(32 + 10, 4), kDarkGrey);
  EXPECT_EQ(surface.Pixel(0, 0), kBack);
}

TEST(GlyphStripCells, TreeCellsHoldBlankLineAndButtons) {
  auto strip = ModuleStrip(kTreeStripLtrBitmap, kTreeStripColumns, kTreeStripRows, kBack);
  ASSERT_TRUE(strip->Valid());
  PaintSurface surface(170, 17);
  for (int k = 0; k < 10; ++k) strip->DrawCell(0, k, surface.Dc(), 17 * k, 0);

  EXPECT_TRUE(surface.AllColour({0, 0, 17, 17}, kBack));            // 0: blank
  EXPECT_TRUE(surface.AllColour({17 + 8, 0, 17 + 9, 17}, kBlack));  // 1: full line
  EXPECT_EQ(surface.CountColour({17, 0, 34, 17}, kBlack), 17);
  EXPECT_TRUE(surface.AllColour({34 + 8, 8, 51, 9}, kBlack));  // 2: branch right
  EXPECT_EQ(surface.Pixel(51 + 8, 9), kBack);                  // 3: corner ends
  EXPECT_EQ(surface.Pixel(68 + 8, 1), kBack);                  // 4: no line above
  EXPECT_EQ(surface.Pixel(68 + 8, 6), kWhite);                 //    minus only
  EXPECT_EQ(surface.Pixel(68 + 16, 8), kBlack);                //    stub right
  EXPECT_EQ(surface.Pixel(68 + 0, 8), kBack);
  EXPECT_EQ(surface.Pixel(85 + 8, 1), kBlack);      // 5: above
  EXPECT_EQ(surface.Pixel(85 + 8, 15), kBlack);     //    and below
  EXPECT_EQ(surface.Pixel(102 + 8, 15), kBack);     // 6: above only
  EXPECT_EQ(surface.Pixel(119 + 8, 6), kBlack);     // 7: plus
  EXPECT_EQ(surface.Pixel(119 + 3, 3), kDarkGrey);  //    box corner
  EXPECT_EQ(surface.Pixel(136 + 8, 15), kBlack);    // 8
  EXPECT_EQ(surface.Pixel(153 + 8, 15), kBack);     // 9
  EXPECT_EQ(surface.Pixel(153 + 8, 1), kBlack);
}

TEST(GlyphStripCells, RightToLeftStripMirrorsEachCellInPlace) {
  auto ltr = ModuleStrip(kTreeStripLtrBitmap, kTreeStripColumns, kTreeStripRows, kBack);
  auto rtl = ModuleStrip(kTreeStripRtlBitmap, kTreeStripColumns, kTreeStripRows, kBack);
  ASSERT_TRUE(ltr->Valid());
  ASSERT_TRUE(rtl->Valid());
  PaintSurface a(170, 17), b(170, 17);
  for (int k = 0; k < 10; ++k) {
    ltr->DrawCell(0, k, a.Dc(), 17 * k, 0);
    rtl->DrawCell(0, k, b.Dc(), 17 * k, 0);
  }
  int differing = 0;
  for (int k = 0; k < 10; ++k) {
    for (int y = 0; y < 17; ++y) {
      for (int x = 0; x < 17; ++x) {
        EXPECT_EQ(b.Pixel(17 * k + x, y), a.Pixel(17 * k + 16 - x, y))
            << "cell " << k << " at " << x << "," << y;
        differing += a.Pixel(17 * k + x, y) != a.Pixel(17 * k + 16 - x, y);
      }
    }
  }
  EXPECT_GT(differing, 0);  // the branches and stubs are not symmetric
}

TEST(GlyphStripCells, BackColourIsFixedWhenTheStripIsBuilt) {
  auto first = ModuleStrip(kTreeStripLtrBitmap, kTreeStripColumns, kTreeStripRows, kBack);
  auto second =
      ModuleStrip(kTreeStripLtrBitmap, kTreeStripColumns, kTreeStripRows, RGB(0, 128, 128));
  PaintSurface surface(34, 17);
  first->DrawCell(0, 0, surface.Dc(), 0, 0);
  second->DrawCell(0, 0, surface.Dc(), 17, 0);
  EXPECT_TRUE(surface.AllColour({0, 0, 17, 17}, kBack));
  EXPECT_TRUE(surface.AllColour({17, 0, 34, 17}, RGB(0, 128, 128)));
}

TEST(GlyphStripCells, OneStripDrawsIntoSeveralContexts) {
  auto strip = ModuleStrip(kTreeStripLtrBitmap, kTreeStripColumns, kTreeStripRows, kBack);
  PaintSurface first(17, 17, kWhite), second(34, 17, kWhite);
  strip->DrawCell(0, 1, first.Dc(), 0, 0);
  strip->DrawCell(0, 0, second.Dc(), 0, 0);
  strip->DrawCell(0, 1, second.Dc(), 17, 0);
  strip->DrawCell(0, 0, first.Dc(), 0, 0);  // the line is painted over by the blank
  EXPECT_TRUE(first.AllColour({0, 0, 17, 17}, kBack));
  EXPECT_TRUE(second.AllColour({0, 0, 17, 17}, kBack));
  EXPECT_TRUE(second.AllColour({17 + 8, 0, 17 + 9, 17}, kBlack));
}

TEST(GlyphStripFailures, MissingBitmapGivesAStripThatDrawsNothing) {
  PaintSurface surface(32, 32, kWhite);
  const std::string before = surface.Bytes();

  auto missing = ModuleStrip(999, 3, 10, kBack);
  EXPECT_FALSE(missing->Valid());
  missing->DrawCell(0, 0, surface.Dc(), 0, 0);

  GlyphStrip none(nullptr, nullptr, 3, 10, kBack);
  EXPECT_FALSE(none.Valid());
  none.DrawCell(0, 0, surface.Dc(), 0, 0);

  GlyphStrip noColumns(MakeBitmap({{kBlack, kBlack}}), nullptr, 0, 1, kBack);
  EXPECT_FALSE(noColumns.Valid());
  GlyphStrip tooManyColumns(MakeBitmap({{kBlack, kBlack}}), nullptr, 3, 1, kBack);
  EXPECT_FALSE(tooManyColumns.Valid());
  tooManyColumns.DrawCell(0, 0, surface.Dc(), 0, 0);
  EXPECT_EQ(surface.Bytes(), before);
}

// Painting and input both take a row's cell widths from CellWidthOr: a strip
// that is missing or could not be built must leave the titles and the hit
// columns where the module's own strips put them, never at width 0.
TEST(GlyphStripFailures, AMissingOrEmptyStripKeepsTheModuleStripsCellWidths) {
  auto check = ModuleStrip(kCheckStripBitmap, kCheckStripColumns, kCheckStripRows, kBack);
  auto tree = ModuleStrip(kTreeStripLtrBitmap, kTreeStripColumns, kTreeStripRows, kBack);
  ASSERT_TRUE(check->Valid() && tree->Valid());
  EXPECT_EQ(CellWidthOr(check.get(), kIconCellWidth), check->CellWidth());
  EXPECT_EQ(CellWidthOr(tree.get(), kTreeCellWidth), tree->CellWidth());

  auto missing = ModuleStrip(999, kTreeStripColumns, kTreeStripRows, kBack);
  GlyphStrip none(nullptr, nullptr, kCheckStripColumns, kCheckStripRows, kBack);
  GlyphStrip tooManyColumns(MakeBitmap({{kBlack, kBlack}}), nullptr, 3, 1, kBack);
  for (const GlyphStrip* broken :
       std::initializer_list<const GlyphStrip*>{missing.get(), &none, &tooManyColumns, nullptr}) {
    EXPECT_EQ(CellWidthOr(broken, kTreeCellWidth), tree->CellWidth());
    EXPECT_EQ(CellWidthOr(broken, kIconCellWidth), check->CellWidth());
  }
  // A valid strip of other cells gives its own width, not the fallback.
  GlyphStrip narrow(MakeBitmap({{kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}}), nullptr, 2, 1,
                    kBack);
  ASSERT_TRUE(narrow.Valid());
  EXPECT_EQ(CellWidthOr(&narrow, kTreeCellWidth), 3);
}

TEST(GlyphStripFailures, CellsOutsideTheGridDrawNothing) {
  auto strip = ModuleStrip(kCheckStripBitmap, kCheckStripColumns, kCheckStripRows, kBack);
  ASSERT_TRUE(strip->Valid());
  PaintSurface surface(32, 32, kWhite);
  const std::string before = surface.Bytes();
  for (auto [r, c] : {std::pair{10, 0}, {0, 3}, {-1, 0}, {0, -1}, {9, 3}}) {
    strip->DrawCell(r, c, surface.Dc(), 0, 0);
  }
  EXPECT_EQ(surface.Bytes(), before);
}

}  // namespace
}  // namespace orvane
