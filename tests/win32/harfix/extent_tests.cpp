// aTextExtent against aDrawText: the width measured is the width drawn, for
// every alignment and both reading orders, since the control sizes the
// selection highlight and decides whether a title fits from it.
#include <string>
#include <tuple>
#include <vector>

#include "canvas.h"
#include "harfix_fixture.h"

namespace harfix_tests {
namespace {

constexpr int kCanvasWidth = 800;
constexpr int kCanvasHeight = 80;
constexpr RECT kBox = {40, 10, 760, 70};

struct ExtentCase {
  const char* name;
  std::string title;
};

const std::vector<ExtentCase>& ExtentCases() {
  static const std::vector<ExtentCase> cases = {
      {"ArabicWord", titles::kAlFath},
      {"TwoArabicWords", titles::kTwoWords},
      {"ArabicWithMark", titles::kShadda},
      {"MixedArabicLatinDigits", titles::kMixed},
      {"LatinOnly", titles::kLatin},
      // Letters whose ink hangs past their advance in many faces.
      {"OverhangingLetters", "f\xED\xE4 \xED"},
      {"ParenthesesAndDigits", "\xDD\xED \xC7\xE1\xD5\xE1\xC7\xC9 (1-23)"},
  };
  return cases;
}

class ExtentMatchesDrawing : public HarfixTest,
                             public ::testing::WithParamInterface<std::tuple<int, int, int>> {
 protected:
  const ExtentCase& Case() const { return ExtentCases()[std::get<0>(GetParam())]; }
  int Order() const { return std::get<1>(GetParam()); }
  TitleFonts Fonts() const { return DefaultTitleFonts(std::get<2>(GetParam())); }
};

TEST_P(ExtentMatchesDrawing, InkStaysInsideTheMeasuredWidthAtEitherEdge) {
  setReadingOrder_(Order());
  Canvas canvas(kCanvasWidth, kCanvasHeight);
  const SIZE extent = Measure(canvas.dc(), Case().title, Fonts());
  ASSERT_GT(extent.cx, 0);

  for (int flags : {HARFIX_ALIGN_LEFT | HARFIX_VCENTER, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER}) {
    canvas.Clear();
    ASSERT_TRUE(Draw(canvas.dc(), Case().title, kBox, flags, Fonts()));
    const int coverLeft = (flags & HARFIX_ALIGN_RIGHT) ? kBox.right - extent.cx : kBox.left;
    const InkBox ink = canvas.Ink();
    ASSERT_FALSE(ink.empty);
    EXPECT_GE(ink.left, coverLeft) << "flags " << flags;
    EXPECT_LE(ink.right, coverLeft + extent.cx) << "flags " << flags;
    // Only side bearings may lie between ink and the measured edges.
    EXPECT_LE(ink.left - coverLeft, extent.cx / 8 + 3) << "flags " << flags;
    EXPECT_LE(coverLeft + extent.cx - ink.right, extent.cx / 8 + 3) << "flags " << flags;
  }
}

TEST_P(ExtentMatchesDrawing, RightAlignedDrawingIsLeftAlignedMovedByTheFreeWidth) {
  setReadingOrder_(Order());
  Canvas left(kCanvasWidth, kCanvasHeight), right(kCanvasWidth, kCanvasHeight);
  const SIZE extent = Measure(left.dc(), Case().title, Fonts());
  ASSERT_TRUE(Draw(left.dc(), Case().title, kBox, HARFIX_ALIGN_LEFT | HARFIX_VCENTER, Fonts()));
  ASSERT_TRUE(Draw(right.dc(), Case().title, kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, Fonts()));
  // Pixel for pixel: a measured width off by one would show here.
  const int shift = (kBox.right - kBox.left) - extent.cx;
  EXPECT_TRUE(right.SameAs(left, RECT{0, 0, kCanvasWidth, kCanvasHeight}, -shift, 0));
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<int, int, int>>& info) {
  return std::string(ExtentCases()[std::get<0>(info.param)].name) +
         (std::get<1>(info.param) == HARFIX_ORDER_RTL ? "_Rtl" : "_Ltr") + "_Px" +
         std::to_string(-std::get<2>(info.param));
}

INSTANTIATE_TEST_SUITE_P(
    Titles, ExtentMatchesDrawing,
    ::testing::Combine(::testing::Range(0, static_cast<int>(ExtentCases().size())),
                       ::testing::Values(HARFIX_ORDER_RTL, HARFIX_ORDER_LTR),
                       ::testing::Values(-15, -32)),
    CaseName);

class ExtentTest : public HarfixTest {};

TEST_F(ExtentTest, HeightIsTheLineBoxOfBothFontsWhateverTheText) {
  Canvas canvas(100, 40);
  const TitleFonts fonts = DefaultTitleFonts(-15);
  const SIZE arabic = Measure(canvas.dc(), titles::kAlFath, fonts);
  const SIZE latin = Measure(canvas.dc(), titles::kLatin, fonts);
  const SIZE empty = Measure(canvas.dc(), "", fonts);
  EXPECT_GT(arabic.cy, 15);
  EXPECT_EQ(latin.cy, arabic.cy);
  EXPECT_EQ(empty.cy, arabic.cy);
}

TEST_F(ExtentTest, EmptyTitleMeasuresNothingAndDrawsNothing) {
  Canvas canvas(200, 40);
  const TitleFonts fonts = DefaultTitleFonts();
  EXPECT_EQ(Measure(canvas.dc(), "", fonts).cx, 0);
  EXPECT_TRUE(
      Draw(canvas.dc(), "", RECT{0, 0, 200, 40}, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts));
  EXPECT_TRUE(canvas.Ink().empty);
}

TEST_F(ExtentTest, LengthCountsBytesAndStopsAtTheTerminatingZero) {
  Canvas canvas(400, 40);
  const TitleFonts fonts = DefaultTitleFonts();
  const std::string word = titles::kTwoWords;
  ASSERT_TRUE(selectDC_(canvas.dc(), &fonts.latin, &fonts.arabic));
  const SIZE whole = textExtent_(canvas.dc(), word.c_str(), static_cast<int>(word.size()));
  const SIZE firstWord = textExtent_(canvas.dc(), word.c_str(), 3);
  const std::string firstOnly = word.substr(0, 3);
  const SIZE firstWordAlone = textExtent_(canvas.dc(), firstOnly.c_str(), 3);
  // A length past the string's end must not read past its terminator.
  const SIZE tooLong = textExtent_(canvas.dc(), firstOnly.c_str(), 1000);
  const SIZE zero = textExtent_(canvas.dc(), word.c_str(), 0);
  releaseDC_(canvas.dc());

  EXPECT_GT(whole.cx, firstWord.cx);
  EXPECT_EQ(firstWord.cx, firstWordAlone.cx);
  EXPECT_EQ(tooLong.cx, firstWordAlone.cx);
  EXPECT_EQ(zero.cx, 0);
}

TEST_F(ExtentTest, LongestTitlesOfEveryByteValueMeasureAndDrawInsideTheirWidth) {
  // 255 bytes: the longest title a catalogue holds; one of Arabic letters,
  // one running through every non-zero byte value (controls, marks, the
  // bidirectional marks at 0xFD and 0xFE, unassigned-looking bytes).
  std::string arabic;
  while (arabic.size() < 255) arabic += "\xC7\xE1\xDD\xCA\xCD ";
  arabic.resize(255);
  std::string everyByte;
  for (int i = 0; i < 255; ++i) everyByte += static_cast<char>(1 + i);

  const TitleFonts fonts = DefaultTitleFonts(-12);
  for (const std::string* title : {&arabic, &everyByte}) {
    for (int order : {HARFIX_ORDER_RTL, HARFIX_ORDER_LTR}) {
      setReadingOrder_(order);
      Canvas canvas(4000, 60);
      const SIZE extent = Measure(canvas.dc(), *title, fonts);
      ASSERT_GT(extent.cx, 0);
      ASSERT_LT(extent.cx, 3900);
      const RECT box = {20, 0, 3980, 60};
      ASSERT_TRUE(Draw(canvas.dc(), *title, box, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts));
      const InkBox ink = canvas.Ink();
      ASSERT_FALSE(ink.empty);
      EXPECT_GE(ink.left, box.right - extent.cx);
      EXPECT_LE(ink.right, box.right);
    }
  }
}

}  // namespace
}  // namespace harfix_tests
