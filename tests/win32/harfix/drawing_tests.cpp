// aDrawText's placement flags, its colours, and the device context it
// leaves behind.
#include <string>

#include "canvas.h"
#include "harfix_fixture.h"

namespace harfix_tests {
namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 120;
constexpr RECT kBox = {30, 20, 470, 100};
constexpr RECT kWhole = {0, 0, kWidth, kHeight};

class DrawingTest : public HarfixTest {
 protected:
  const TitleFonts fonts_ = DefaultTitleFonts(-24);
};

TEST_F(DrawingTest, CentreFlagPutsTheMeasuredWidthInTheMiddle) {
  setReadingOrder_(HARFIX_ORDER_RTL);
  Canvas left(kWidth, kHeight), centred(kWidth, kHeight);
  const SIZE extent = Measure(left.dc(), titles::kMixed, fonts_);
  ASSERT_TRUE(Draw(left.dc(), titles::kMixed, kBox, HARFIX_ALIGN_LEFT, fonts_));
  ASSERT_TRUE(Draw(centred.dc(), titles::kMixed, kBox, HARFIX_ALIGN_CENTER, fonts_));
  const int shift = (kBox.right - kBox.left - extent.cx) / 2;
  EXPECT_TRUE(centred.SameAs(left, kWhole, -shift, 0));
}

TEST_F(DrawingTest, VerticalFlagsMoveTheLineBoxToTopMiddleOrBottom) {
  Canvas top(kWidth, kHeight), middle(kWidth, kHeight), bottom(kWidth, kHeight);
  const SIZE extent = Measure(top.dc(), titles::kAlFath, fonts_);
  ASSERT_TRUE(Draw(top.dc(), titles::kAlFath, kBox, HARFIX_ALIGN_RIGHT, fonts_));
  ASSERT_TRUE(
      Draw(middle.dc(), titles::kAlFath, kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts_));
  ASSERT_TRUE(Draw(bottom.dc(), titles::kAlFath, kBox, HARFIX_ALIGN_RIGHT | HARFIX_BOTTOM, fonts_));
  const int free = kBox.bottom - kBox.top - extent.cy;
  ASSERT_GT(free, 0);
  EXPECT_TRUE(middle.SameAs(top, kWhole, 0, -free / 2));
  EXPECT_TRUE(bottom.SameAs(top, kWhole, 0, -free));
  // Top-aligned, the ink hangs from the box's top edge.
  const InkBox ink = top.Ink();
  EXPECT_GE(ink.top, kBox.top);
  EXPECT_LE(ink.bottom, kBox.top + extent.cy);
}

TEST_F(DrawingTest, RowFlagsCentreTheTitleInASixteenPixelRow) {
  // The control's rows: 16 pixels high, flags 4 and 6, its default font.
  const TitleFonts rowFonts = DefaultTitleFonts(-15);
  Canvas canvas(300, 48);
  const RECT row = {10, 16, 290, 32};
  ASSERT_TRUE(
      Draw(canvas.dc(), titles::kAlFath, row, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, rowFonts));
  const InkBox ink = canvas.Ink();
  ASSERT_FALSE(ink.empty);
  // The faces' line box is taller than the row: the title is drawn at the
  // largest size that fits, and all of its ink stays in the row.
  EXPECT_GE(ink.top, row.top);
  EXPECT_LE(ink.bottom, row.bottom);
  EXPECT_LE(ink.right, row.right);
}

TEST_F(DrawingTest, CallersTextAlignmentDoesNotMoveTheTitle) {
  // The control sets baseline alignment before drawing; any other setting
  // must give the same picture, and the setting itself must survive.
  Canvas reference(kWidth, kHeight);
  ASSERT_TRUE(
      Draw(reference.dc(), titles::kMixed, kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts_));
  for (UINT align : {UINT(TA_TOP | TA_LEFT), UINT(TA_BOTTOM | TA_RIGHT),
                     UINT(TA_BASELINE | TA_CENTER), UINT(TA_BASELINE | TA_RTLREADING)}) {
    Canvas canvas(kWidth, kHeight);
    ASSERT_TRUE(selectDC_(canvas.dc(), &fonts_.latin, &fonts_.arabic));
    SetTextAlign(canvas.dc(), align);
    SetBkMode(canvas.dc(), TRANSPARENT);
    ASSERT_TRUE(drawText_(canvas.dc(), titles::kMixed.c_str(),
                          static_cast<int>(titles::kMixed.size()), &kBox,
                          HARFIX_ALIGN_RIGHT | HARFIX_VCENTER));
    EXPECT_EQ(GetTextAlign(canvas.dc()), align);
    releaseDC_(canvas.dc());
    EXPECT_TRUE(canvas.SameAs(reference, kWhole)) << "alignment " << align;
  }
}

TEST_F(DrawingTest, GlyphsTakeTheDeviceContextsTextColourExactly) {
  const TitleFonts crisp = DefaultTitleFonts(-24, NONANTIALIASED_QUALITY);
  for (COLORREF colour : {RGB(255, 0, 0), RGB(0, 0, 128), RGB(17, 130, 201)}) {
    Canvas canvas(kWidth, kHeight);
    ASSERT_TRUE(selectDC_(canvas.dc(), &crisp.latin, &crisp.arabic));
    SetTextColor(canvas.dc(), colour);
    SetBkMode(canvas.dc(), TRANSPARENT);
    ASSERT_TRUE(drawText_(canvas.dc(), titles::kMixed.c_str(),
                          static_cast<int>(titles::kMixed.size()), &kBox,
                          HARFIX_ALIGN_LEFT | HARFIX_VCENTER));
    releaseDC_(canvas.dc());
    int inked = 0, other = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const COLORREF pixel = canvas.Pixel(x, y);
        if (pixel == canvas.background()) continue;
        (pixel == colour ? inked : other) += 1;
      }
    }
    EXPECT_GT(inked, 50);
    EXPECT_EQ(other, 0) << std::hex << colour;
  }
}

TEST_F(DrawingTest, OpaqueBackgroundFillsTheLineBoxOnceWithoutErasingMarks) {
  // The balloon draws without asking for transparency: the background
  // colour fills the covered line box, and the shadda drawn over its
  // letter stays visible.
  const TitleFonts crisp = DefaultTitleFonts(-24, NONANTIALIASED_QUALITY);
  Canvas transparent(kWidth, kHeight), opaque(kWidth, kHeight);
  const SIZE extent = Measure(opaque.dc(), titles::kShadda, crisp);
  ASSERT_TRUE(
      Draw(transparent.dc(), titles::kShadda, kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, crisp));

  ASSERT_TRUE(selectDC_(opaque.dc(), &crisp.latin, &crisp.arabic));
  SetBkMode(opaque.dc(), OPAQUE);
  SetBkColor(opaque.dc(), RGB(0, 200, 0));
  ASSERT_TRUE(drawText_(opaque.dc(), titles::kShadda.c_str(),
                        static_cast<int>(titles::kShadda.size()), &kBox,
                        HARFIX_ALIGN_RIGHT | HARFIX_VCENTER));
  EXPECT_EQ(GetBkMode(opaque.dc()), OPAQUE);
  releaseDC_(opaque.dc());

  const int top = kBox.top + (kBox.bottom - kBox.top - extent.cy) / 2;
  const RECT lineBox = {kBox.right - extent.cx, top, kBox.right, top + extent.cy};
  int ink = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inside =
          x >= lineBox.left && x < lineBox.right && y >= lineBox.top && y < lineBox.bottom;
      const COLORREF seen = opaque.Pixel(x, y);
      const bool textHere = transparent.Pixel(x, y) != transparent.background();
      if (!inside) {
        ASSERT_EQ(seen, opaque.background()) << x << "," << y;
      } else if (textHere) {
        ASSERT_EQ(seen, RGB(0, 0, 0)) << x << "," << y;
        ++ink;
      } else {
        ASSERT_EQ(seen, RGB(0, 200, 0)) << x << "," << y;
      }
    }
  }
  EXPECT_GT(ink, 50);
}

TEST_F(DrawingTest, DeviceContextKeepsItsOwnFontAndModes) {
  Canvas canvas(kWidth, kHeight);
  HDC dc = canvas.dc();
  HFONT own =
      CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Noto Sans");
  ASSERT_NE(own, nullptr);
  HGDIOBJ original = SelectObject(dc, own);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_BASELINE);

  ASSERT_TRUE(selectDC_(dc, &fonts_.latin, &fonts_.arabic));
  EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), own);
  textExtent_(dc, titles::kMixed.c_str(), static_cast<int>(titles::kMixed.size()));
  drawText_(dc, titles::kMixed.c_str(), static_cast<int>(titles::kMixed.size()), &kBox,
            HARFIX_ALIGN_RIGHT);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_BASELINE));
  ASSERT_TRUE(releaseDC_(dc));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), own);

  SelectObject(dc, original);
  DeleteObject(own);
}

}  // namespace
}  // namespace harfix_tests
