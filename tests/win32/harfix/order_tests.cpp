// Reading order and shaping: where each run of a title lands, and that
// Arabic letters join.
#include <string>

#include "canvas.h"
#include "harfix_fixture.h"

namespace harfix_tests {
namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 70;
constexpr RECT kBox = {50, 5, 650, 65};

class ReadingOrderTest : public HarfixTest {};

TEST_F(ReadingOrderTest, StartsLeftToRightAndTakesOnlyTheTwoCodes) {
  EXPECT_EQ(getReadingOrder_(), HARFIX_ORDER_LTR);
  setReadingOrder_(HARFIX_ORDER_RTL);
  EXPECT_EQ(getReadingOrder_(), HARFIX_ORDER_RTL);
  for (int invalid : {0, 3, -1, 0x10002}) {
    setReadingOrder_(invalid);
    EXPECT_EQ(getReadingOrder_(), HARFIX_ORDER_RTL) << invalid;
  }
  setReadingOrder_(HARFIX_ORDER_LTR);
  EXPECT_EQ(getReadingOrder_(), HARFIX_ORDER_LTR);
}

TEST_F(ReadingOrderTest, IsStateOfTheLibraryNotOfADeviceContext) {
  const TitleFonts fonts = DefaultTitleFonts(-28);
  Canvas first(kWidth, kHeight), second(kWidth, kHeight);
  setReadingOrder_(HARFIX_ORDER_RTL);
  ASSERT_TRUE(Draw(first.dc(), titles::kMixed, kBox, HARFIX_ALIGN_LEFT | HARFIX_VCENTER, fonts));
  // Another device context, selected afresh: still right to left.
  ASSERT_TRUE(Draw(second.dc(), titles::kMixed, kBox, HARFIX_ALIGN_LEFT | HARFIX_VCENTER, fonts));
  EXPECT_TRUE(first.SameAs(second, RECT{0, 0, kWidth, kHeight}));
}

// Draws `part` alone, aligned with flags in the same box, and tells whether
// the whole title's picture shows exactly that part's pixels over the part's
// measured span at that edge.
class RunPlacementTest : public HarfixTest {
 protected:
  bool PartSitsAtEdge(const std::string& whole, const std::string& part, int flags) {
    Canvas full(kWidth, kHeight), alone(kWidth, kHeight);
    const SIZE partExtent = Measure(alone.dc(), part, fonts_);
    if (!Draw(full.dc(), whole, kBox, flags | HARFIX_VCENTER, fonts_)) return false;
    if (!Draw(alone.dc(), part, kBox, flags | HARFIX_VCENTER, fonts_)) return false;
    const int left = (flags & HARFIX_ALIGN_RIGHT) ? kBox.right - partExtent.cx : kBox.left;
    return full.SameAs(alone, RECT{left, 0, left + partExtent.cx, kHeight});
  }

  const TitleFonts fonts_ = DefaultTitleFonts(-28);
};

TEST_F(RunPlacementTest, LatinRunLeadsOnTheLeftInLeftToRightOrder) {
  setReadingOrder_(HARFIX_ORDER_LTR);
  // "Book الفتح 12": the Latin word first on the left; the digits follow
  // the Arabic word and so stand to its left, next to "Book".
  EXPECT_TRUE(PartSitsAtEdge(titles::kMixed, "Book", HARFIX_ALIGN_LEFT));
  EXPECT_TRUE(PartSitsAtEdge(titles::kMixed, titles::kAlFath, HARFIX_ALIGN_RIGHT));
  EXPECT_FALSE(PartSitsAtEdge(titles::kMixed, "Book", HARFIX_ALIGN_RIGHT));
}

TEST_F(RunPlacementTest, LatinRunLeadsOnTheRightInRightToLeftOrder) {
  setReadingOrder_(HARFIX_ORDER_RTL);
  EXPECT_TRUE(PartSitsAtEdge(titles::kMixed, "Book", HARFIX_ALIGN_RIGHT));
  EXPECT_TRUE(PartSitsAtEdge(titles::kMixed, "12", HARFIX_ALIGN_LEFT));
  EXPECT_FALSE(PartSitsAtEdge(titles::kMixed, "Book", HARFIX_ALIGN_LEFT));
}

TEST_F(RunPlacementTest, ArabicWordsRunRightToLeftInEitherOrder) {
  for (int order : {HARFIX_ORDER_RTL, HARFIX_ORDER_LTR}) {
    setReadingOrder_(order);
    // بحث فتح: the first word read stands at the right.
    EXPECT_TRUE(PartSitsAtEdge(titles::kTwoWords, titles::kBahth, HARFIX_ALIGN_RIGHT)) << order;
    EXPECT_TRUE(PartSitsAtEdge(titles::kTwoWords, "\xDD\xCA\xCD", HARFIX_ALIGN_LEFT)) << order;
  }
}

TEST_F(RunPlacementTest, WordsAfterAHamzaLetterKeepTheirLetters) {
  // أمور رسول: with a face whose shaping garbles what follows a letter
  // carrying a hamza, the second word no longer matches itself drawn alone.
  setReadingOrder_(HARFIX_ORDER_RTL);
  const std::string title = "\xC3\xE3\xE6\xD1 \xD1\xD3\xE6\xE1";
  EXPECT_TRUE(PartSitsAtEdge(title, "\xD1\xD3\xE6\xE1", HARFIX_ALIGN_LEFT));
  EXPECT_TRUE(PartSitsAtEdge(title, "\xC3\xE3\xE6\xD1", HARFIX_ALIGN_RIGHT));
  // The same for the other hamza letters, at the start, middle and end.
  const std::string others =
      "\xC5\xE3\xC7\xE3 \xD3\xC4\xC7\xE1 \xD1\xC6\xED\xD3";  // إمام سؤال رئيس
  EXPECT_TRUE(PartSitsAtEdge(others, "\xD1\xC6\xED\xD3", HARFIX_ALIGN_LEFT));
}

TEST_F(RunPlacementTest, DigitsKeepTheirOwnLeftToRightOrderInsideArabic) {
  setReadingOrder_(HARFIX_ORDER_RTL);
  const std::string title = "\xC8\xC7\xC8 1-23";  // باب 1-23
  EXPECT_TRUE(PartSitsAtEdge(title, "1-23", HARFIX_ALIGN_LEFT));
  EXPECT_TRUE(PartSitsAtEdge(title, "\xC8\xC7\xC8", HARFIX_ALIGN_RIGHT));
}

class ShapingTest : public HarfixTest {
 protected:
  // Columns of the ink span that hold no ink at all.
  static int GapsInInk(const Canvas& canvas) {
    const InkBox ink = canvas.Ink();
    int gaps = 0;
    for (int x = ink.left; x < ink.right; ++x) {
      if (!canvas.ColumnHasInk(x, 0, canvas.height())) ++gaps;
    }
    return gaps;
  }

  const TitleFonts fonts_ = DefaultTitleFonts(-28);
};

TEST_F(ShapingTest, LettersOfAWordJoinIntoOneUnbrokenStroke) {
  for (int order : {HARFIX_ORDER_RTL, HARFIX_ORDER_LTR}) {
    setReadingOrder_(order);
    Canvas joined(kWidth, kHeight), apart(kWidth, kHeight);
    ASSERT_TRUE(
        Draw(joined.dc(), titles::kBahth, kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts_));
    ASSERT_TRUE(
        Draw(apart.dc(), titles::kBahthSpaced, kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts_));
    EXPECT_EQ(GapsInInk(joined), 0) << order;
    EXPECT_GT(GapsInInk(apart), 0) << order;
  }
}

TEST_F(ShapingTest, JoinedFormsAreNotTheIsolatedLettersSideBySide) {
  Canvas canvas(kWidth, kHeight);
  const int word = Measure(canvas.dc(), titles::kBahth, fonts_).cx;
  int isolated = 0;
  for (char letter : titles::kBahth)
    isolated += Measure(canvas.dc(), std::string(1, letter), fonts_).cx;
  // Initial and medial forms are narrower than the isolated ones.
  EXPECT_LT(word, isolated);
}

TEST_F(ShapingTest, MarkSitsAboveItsLetterNotBesideIt) {
  // محمّد with and without the shadda: the same advance, the mark's ink
  // above the line and within the word.
  Canvas plain(kWidth, kHeight), marked(kWidth, kHeight);
  const std::string withoutMark = "\xE3\xCD\xE3\xCF";
  EXPECT_EQ(Measure(plain.dc(), withoutMark, fonts_).cx,
            Measure(plain.dc(), titles::kShadda, fonts_).cx);
  ASSERT_TRUE(Draw(plain.dc(), withoutMark, kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts_));
  ASSERT_TRUE(
      Draw(marked.dc(), titles::kShadda, kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, fonts_));
  const InkBox plainInk = plain.Ink();
  const InkBox markedInk = marked.Ink();
  EXPECT_LT(markedInk.top, plainInk.top);
  EXPECT_GE(markedInk.left, plainInk.left);
  EXPECT_LE(markedInk.right, plainInk.right);
}

}  // namespace
}  // namespace harfix_tests
