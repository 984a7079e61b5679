// Lines in rectangles lower than their fonts' line box: drawn at the largest
// size that fits, with every mark above and below the line inside, and
// measured at that same size when the caller announces the height.
#include <string>

#include "canvas.h"
#include "harfix_fixture.h"

namespace harfix_tests {
namespace {

// "في بيان جِنْس gjpqy": dots below, a kasra, a sukun, Latin descenders.
const std::string kMarked = "\xdd\xed \xc8\xed\xc7\xe4 \xcc\xf6\xe4\xfa\xd3 gjpqy";
// "أُصُولُ الفِقْهِ": a hamza over an alef, damma and kasra marks.
const std::string kTall = "\xc3\xf5\xd5\xf5\xe6\xe1\xf5 \xc7\xe1\xdd\xf6\xde\xfa\xe5\xf6";

class LineFitTest : public HarfixTest {
 protected:
  void SetUp() override {
    HarfixTest::SetUp();
    fit_ = reinterpret_cast<HarfixFitLineHeight>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "aFitLineHeight")));
    ASSERT_NE(fit_, nullptr);
  }

  // Select, fit to `height` (none when 0), measure, release.
  SIZE MeasureFitted(HDC dc, const std::string& text, const TitleFonts& fonts, int height) {
    SIZE extent = {-1, -1};
    if (!selectDC_(dc, &fonts.latin, &fonts.arabic)) return extent;
    if (height > 0 && !fit_(dc, height)) {
      releaseDC_(dc);
      return extent;
    }
    extent = textExtent_(dc, text.c_str(), static_cast<int>(text.size()));
    releaseDC_(dc);
    return extent;
  }

  HarfixFitLineHeight fit_ = nullptr;
};

TEST_F(LineFitTest, TheDefaultTitleFontKeepsEveryMarkInsideASixteenPixelRow) {
  const TitleFonts fonts = DefaultTitleFonts(-15);
  for (int order : {HARFIX_ORDER_RTL, HARFIX_ORDER_LTR}) {
    setReadingOrder_(order);
    for (const std::string& title : {kMarked, kTall, titles::kMixed}) {
      for (int flags : {HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, int{HARFIX_VCENTER},
                        int{HARFIX_ALIGN_RIGHT}, int{HARFIX_BOTTOM}}) {
        SCOPED_TRACE(testing::Message() << "order " << order << ", flags " << flags);
        Canvas canvas(400, 48);
        const RECT row = {10, 16, 390, 32};
        ASSERT_TRUE(Draw(canvas.dc(), title, row, flags, fonts));
        const InkBox ink = canvas.Ink();
        ASSERT_FALSE(ink.empty);
        EXPECT_GE(ink.top, row.top);
        EXPECT_LE(ink.bottom, row.bottom);
        // The width measured for that row is the width drawn.
        const SIZE extent = MeasureFitted(canvas.dc(), title, fonts, 16);
        EXPECT_LE(extent.cy, 16);
        if (flags & HARFIX_ALIGN_RIGHT) {
          EXPECT_GE(ink.left, row.right - extent.cx);
        } else {
          EXPECT_LE(ink.right, row.left + extent.cx);
        }
      }
    }
  }
}

TEST_F(LineFitTest, FittingIsTheLargestSizeThatFitsAndLeavesFittingLinesAlone) {
  const TitleFonts fonts = DefaultTitleFonts(-15);
  Canvas canvas(10, 10);
  const SIZE full = MeasureFitted(canvas.dc(), kMarked, fonts, 0);
  ASSERT_GT(full.cy, 16) << "the default faces' line box is taller than a row here";
  // Room enough: nothing changes.
  const SIZE roomy = MeasureFitted(canvas.dc(), kMarked, fonts, full.cy);
  EXPECT_EQ(roomy.cx, full.cx);
  EXPECT_EQ(roomy.cy, full.cy);
  // Lower heights give lower, narrower lines, each as tall as allowed or
  // within a pixel or two of it (sizes come in whole pixels).
  int previousWidth = full.cx;
  for (int height = full.cy - 1; height >= 8; --height) {
    SCOPED_TRACE(height);
    const SIZE fitted = MeasureFitted(canvas.dc(), kMarked, fonts, height);
    EXPECT_LE(fitted.cy, height);
    EXPECT_GE(fitted.cy, height - 2);
    EXPECT_LE(fitted.cx, previousWidth);
    previousWidth = fitted.cx;
  }
}

TEST_F(LineFitTest, FittingAgainToATallerHeightGrowsBackToWhatItAllows) {
  const TitleFonts fonts = DefaultTitleFonts(-15);
  Canvas canvas(10, 10);
  const SIZE at16 = MeasureFitted(canvas.dc(), kMarked, fonts, 16);
  ASSERT_TRUE(selectDC_(canvas.dc(), &fonts.latin, &fonts.arabic));
  EXPECT_TRUE(fit_(canvas.dc(), 10));
  const SIZE at10 = textExtent_(canvas.dc(), kMarked.c_str(), static_cast<int>(kMarked.size()));
  EXPECT_TRUE(fit_(canvas.dc(), 16));
  const SIZE again = textExtent_(canvas.dc(), kMarked.c_str(), static_cast<int>(kMarked.size()));
  EXPECT_TRUE(releaseDC_(canvas.dc()));
  EXPECT_LT(at10.cx, at16.cx);
  EXPECT_EQ(again.cx, at16.cx);
  EXPECT_EQ(again.cy, at16.cy);
}

TEST_F(LineFitTest, DrawingFitsByItselfToTheSamePixelsAsAnAnnouncedFit) {
  const TitleFonts fonts = DefaultTitleFonts(-15);
  const RECT row = {10, 16, 390, 32};
  Canvas byItself(400, 48), announced(400, 48);
  setReadingOrder_(HARFIX_ORDER_RTL);
  ASSERT_TRUE(Draw(byItself.dc(), kMarked, row, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts));
  ASSERT_TRUE(selectDC_(announced.dc(), &fonts.latin, &fonts.arabic));
  EXPECT_TRUE(fit_(announced.dc(), 16));
  ASSERT_TRUE(drawText_(announced.dc(), kMarked.c_str(), static_cast<int>(kMarked.size()), &row,
                        HARFIX_ALIGN_RIGHT | HARFIX_VCENTER));
  EXPECT_TRUE(releaseDC_(announced.dc()));
  EXPECT_TRUE(byItself.SameAs(announced, RECT{0, 0, 400, 48}));
}

TEST_F(LineFitTest, BadFitsFailWithoutHarm) {
  const TitleFonts fonts = DefaultTitleFonts(-15);
  Canvas canvas(10, 10);
  EXPECT_FALSE(fit_(canvas.dc(), 16)) << "no selection";
  EXPECT_FALSE(fit_(nullptr, 16));
  EXPECT_FALSE(fit_(reinterpret_cast<HDC>(GetDesktopWindow()), 16)) << "not a device context";
  HGDIOBJ own = GetCurrentObject(canvas.dc(), OBJ_FONT);
  ASSERT_TRUE(selectDC_(canvas.dc(), &fonts.latin, &fonts.arabic));
  EXPECT_FALSE(fit_(canvas.dc(), 0));
  EXPECT_FALSE(fit_(canvas.dc(), -5));
  // A one-pixel line box cannot hold these faces; the selection still works.
  fit_(canvas.dc(), 1);
  EXPECT_GE(textExtent_(canvas.dc(), kMarked.c_str(), static_cast<int>(kMarked.size())).cx, 0);
  EXPECT_TRUE(releaseDC_(canvas.dc()));
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_FONT), own);
}

}  // namespace
}  // namespace harfix_tests
