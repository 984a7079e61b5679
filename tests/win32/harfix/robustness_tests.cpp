// Titles come from files nobody checked: any byte sequence, in either
// reading order, must measure, draw inside its measured width, and return.
#include <climits>
#include <random>
#include <string>

#include "canvas.h"
#include "harfix_fixture.h"

namespace harfix_tests {
namespace {

// Bytes that steer the shaping and ordering paths: Arabic letters, the
// Arabic marks 0xF0-0xFA mixed with Latin letters, digits, separators,
// brackets, the bidirectional marks 0xFD/0xFE, joiners 0x9D/0x9E, tatweel.
const std::string kInteresting =
    "\xC7\xC8\xCA\xCD\xDD\xE1\xE3\xE4\xED\xC1\xC2\xC9\xDC\xF0\xF1\xF2\xF3\xF5\xF6\xF8\xFA\xF9\xE0"
    "\xE9"
    "aZf1290 -:.,()[]\xFD\xFE\x9D\x9E\xA1\xBA\xBF\t";

std::string RandomTitle(std::mt19937& random) {
  std::uniform_int_distribution<int> length(1, 14),
      pick(0, static_cast<int>(kInteresting.size()) - 1), anyByte(1, 255), coin(0, 3);
  std::string title(length(random), ' ');
  for (char& c : title)
    c = coin(random) == 0 ? static_cast<char>(anyByte(random)) : kInteresting[pick(random)];
  return title;
}

class RobustnessTest : public HarfixTest {};

TEST_F(RobustnessTest, ArbitraryTitlesDrawInsideTheirMeasuredWidth) {
  std::mt19937 random(1256);
  Canvas canvas(600, 60);
  const TitleFonts fonts = DefaultTitleFonts(-20);
  const RECT box = {10, 0, 590, 60};
  for (int i = 0; i < 400; ++i) {
    const std::string title = RandomTitle(random);
    for (int order : {HARFIX_ORDER_RTL, HARFIX_ORDER_LTR}) {
      setReadingOrder_(order);
      canvas.Clear();
      const SIZE extent = Measure(canvas.dc(), title, fonts);
      ASSERT_GE(extent.cx, 0);
      ASSERT_TRUE(Draw(canvas.dc(), title, box, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts));
      const InkBox ink = canvas.Ink();
      if (ink.empty) continue;
      ASSERT_GE(ink.left, box.right - extent.cx) << "title #" << i << " order " << order;
      ASSERT_LE(ink.right, box.right) << "title #" << i << " order " << order;
    }
  }
}

TEST_F(RobustnessTest, ExtremeRectanglesAndFlagsDrawWithoutFault) {
  Canvas canvas(200, 40);
  const TitleFonts fonts = DefaultTitleFonts();
  const std::string title = titles::kMixed;
  const RECT extremes[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                           {INT_MAX, INT_MAX, INT_MIN, INT_MIN},
                           {INT_MAX - 5, 0, INT_MAX, 16},
                           {INT_MIN, 0, INT_MIN + 5, 16},
                           {100, 30, 10, 0}};
  ASSERT_TRUE(selectDC_(canvas.dc(), &fonts.latin, &fonts.arabic));
  for (const RECT& rect : extremes) {
    for (int flags : {0, 1, 2, 3, 4, 6, 8, 12, 15, -1, INT_MIN}) {
      EXPECT_TRUE(
          drawText_(canvas.dc(), title.c_str(), static_cast<int>(title.size()), &rect, flags));
    }
  }
  EXPECT_TRUE(releaseDC_(canvas.dc()));
}

TEST_F(RobustnessTest, TitlesAreCutAtFourKilobytes) {
  std::string huge;
  while (huge.size() < 70000) huge += "\xC8\xCD\xCB ";
  const std::string longest = huge.substr(0, 4096);
  Canvas canvas(100, 40);
  const TitleFonts fonts = DefaultTitleFonts(-8);
  const SIZE whole = Measure(canvas.dc(), huge, fonts);
  EXPECT_GT(whole.cx, 0);
  EXPECT_EQ(whole.cx, Measure(canvas.dc(), longest, fonts).cx);
  EXPECT_GT(whole.cx, Measure(canvas.dc(), huge.substr(0, 4000), fonts).cx);
}

}  // namespace
}  // namespace harfix_tests
