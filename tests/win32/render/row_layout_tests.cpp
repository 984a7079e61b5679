#include "outline_of.h"
#include "render/row_layout.h"

#include <gtest/gtest.h>

#include <limits>

#include "sample_library.h"

namespace orvane {
namespace {

using test::OutlineOf;

using test::SampleLibrary;
using test::TextOutline;

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class RowGlyphs : public ::testing::Test {
 protected:
  SampleLibrary lib;
  OrvaneCore& core = lib.Core();
};

TEST_F(RowGlyphs, NodesWithChildrenShowButtonsByOpenStateAndPlace) {
  OutlineNode* category = lib.Category(2);
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *category), tgClosedRoot);
  category->m_expanded = 1;
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *category), tgOpenRoot);

  OutlineNode* first = lib.Book(1, 1);  // sections, a sibling follows
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *first), tgClosed);
  first->m_expanded = 1;
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *first), tgOpen);

  OutlineNode* last = lib.Book(1, 3);  // sections, the last book
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *last), tgClosedLast);
  last->m_expanded = 1;
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *last), tgOpenLast);
}

TEST_F(RowGlyphs, NodesWithoutChildrenShowLines) {
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *lib.Book(1, 2)), tgTee);  // "Lost Book": no file
  OutlineNode* purity = lib.Book(1, 1);
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *SampleLibrary::Child(purity, {1, 1, 1})),
            tgCorner);                                                                 // Rain
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *SampleLibrary::Child(purity, {2})), tgTee);  // Ablution
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *SampleLibrary::Child(purity, {3, 1})),
            tgCorner);  // Times

  TextOutline text;
  EXPECT_EQ(GetRowGlyph(OutlineOf(text.Core()), *text.Root(2)), tgBlank);  // root item, no children
}

TEST_F(RowGlyphs, GlyphIgnoresTheDeclaredCountOfAnUnloadedSection) {
  // A book whose file could not be read declares nothing and loads nothing;
  // a section that declares children but has none loaded shows as a leaf.
  OutlineNode* lost = lib.Book(1, 2);
  EXPECT_TRUE(lost->m_children.Empty());
  lost->m_expanded = 1;
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *lost), tgTee);
}

TEST_F(RowGlyphs, SectionWithChildrenStillInItsFileShowsAButton) {
  // Rain, the last section under Water, declares two children that only its
  // book's file holds: opening it reads them, so it is drawn as closed.
  OutlineNode* rain = SampleLibrary::Child(lib.Book(1, 1), {1, 1, 1});
  ASSERT_TRUE(rain->m_children.Empty());
  rain->Header().SetChildCount(2);
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *rain), tgClosedLast);
  // A book never reads children from its file, whatever it declares.
  OutlineNode* lost = lib.Book(1, 2);
  lost->Header().SetChildCount(4);
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *lost), tgTee);
}

TEST(HasNextSibling, RootRowsAreNeverJoined) {
  SampleLibrary lib;
  EXPECT_FALSE(HasNextSibling(OutlineOf(lib.Core()), *lib.Category(1)));
  EXPECT_FALSE(HasNextSibling(OutlineOf(lib.Core()), *lib.Category(3)));
}

TEST(HasNextSibling, CheckedOnlyViewEndsAtTheLastBookShown) {
  SampleLibrary lib;
  OrvaneCore& core = lib.Core();
  ASSERT_FALSE(core.Checks().ApplyCheck());
  ASSERT_TRUE(core.Checks().SetStateBook(3, false));
  core.View().RebuildCheckedRows();
  ASSERT_EQ(core.Outline().Categories().Entry(1)->lastShown, 2);

  EXPECT_TRUE(HasNextSibling(OutlineOf(core), *lib.Book(1, 1)));
  EXPECT_FALSE(HasNextSibling(OutlineOf(core), *lib.Book(1, 2)));
  EXPECT_EQ(GetRowGlyph(OutlineOf(core), *lib.Book(1, 2)), tgCorner);

  // Every book is shown in the check view, so the unchecked one follows.
  core.Checks().StoreApplyCheck(true);
  EXPECT_TRUE(HasNextSibling(OutlineOf(core), *lib.Book(1, 2)));
  EXPECT_FALSE(HasNextSibling(OutlineOf(core), *lib.Book(1, 3)));
}

TEST(HasNextSibling, SectionsEndAtTheLastLoadedSibling) {
  SampleLibrary lib;
  OutlineNode* cut = lib.Book(3, 1);
  ASSERT_EQ(cut->ChildCount(), 3);        // declared
  ASSERT_EQ(cut->m_children.Count(), 2);  // loaded before the file ended
  // The row of "Two" is the last one under its book: its line must stop there.
  EXPECT_TRUE(HasNextSibling(OutlineOf(lib.Core()), *NodeAt(cut->m_children, 1)));
  EXPECT_FALSE(HasNextSibling(OutlineOf(lib.Core()), *NodeAt(cut->m_children, 2)));
}

TEST(HasNextSibling, FreeOutlineItemsEndAtTheirLastSibling) {
  // Text items declare no children however many they have.
  TextOutline text;
  OutlineNode* root = text.Root(1);
  ASSERT_EQ(root->ChildCount(), 0);
  ASSERT_EQ(root->m_children.Count(), 3);
  for (bool applyCheck : {false, true}) {
    text.Core().Checks().StoreApplyCheck(applyCheck);
    EXPECT_TRUE(HasNextSibling(OutlineOf(text.Core()), *NodeAt(root->m_children, 1)));
    EXPECT_TRUE(HasNextSibling(OutlineOf(text.Core()), *NodeAt(root->m_children, 2)));
    EXPECT_FALSE(HasNextSibling(OutlineOf(text.Core()), *NodeAt(root->m_children, 3)));
    EXPECT_EQ(GetRowGlyph(OutlineOf(text.Core()), *NodeAt(root->m_children, 3)), tgCorner);
  }
}

TEST(HitColumns, RightLayoutCountsFromTheRightEdge) {
  SampleLibrary lib;
  const RECT client{0, 0, 300, 200};
  EXPECT_TRUE(SameRect(GetButtonRect(*lib.Category(1), client, tvRight, 18), {282, 0, 300, 200}));
  EXPECT_TRUE(SameRect(GetCheckBoxRect(*lib.Category(1), client, tvRight, 18), {246, 0, 264, 200}));
  OutlineNode* section = SampleLibrary::Child(lib.Book(1, 1), {1});  // level 2
  EXPECT_TRUE(SameRect(GetButtonRect(*section, client, tvRight, 18), {246, 0, 264, 200}));
  EXPECT_TRUE(SameRect(GetCheckBoxRect(*section, client, tvRight, 18), {210, 0, 228, 200}));
  EXPECT_TRUE(SameRect(GetButtonRect(*section, client, tvRight, 25), {225, 0, 250, 200}));
}

TEST(HitColumns, EveryOtherAlignmentCountsFromTheLeftEdge) {
  SampleLibrary lib;
  const RECT client{5, 0, 300, 200};
  OutlineNode* book = lib.Book(1, 1);  // level 1
  for (int16_t alignment : {int16_t{tvLeft}, int16_t{1}, int16_t{-7}}) {
    EXPECT_TRUE(SameRect(GetButtonRect(*lib.Category(1), client, alignment, 18), {5, 0, 23, 200}));
    EXPECT_TRUE(SameRect(GetButtonRect(*book, client, alignment, 18), {23, 0, 41, 200}));
    EXPECT_TRUE(SameRect(GetCheckBoxRect(*book, client, alignment, 18), {59, 0, 77, 200}));
  }
}

TEST(HitColumns, ExtremeEdgesSaturateInsteadOfWrapping) {
  SampleLibrary lib;
  OutlineNode* section = SampleLibrary::Child(lib.Book(1, 1), {1, 1, 1});  // level 4
  constexpr LONG kMax = std::numeric_limits<LONG>::max();
  constexpr LONG kMin = std::numeric_limits<LONG>::min();
  RECT left = GetCheckBoxRect(*section, {kMax - 10, 0, kMax, 16}, tvLeft, 32767);
  EXPECT_EQ(left.left, kMax);
  EXPECT_EQ(left.right, kMax);
  RECT right = GetCheckBoxRect(*section, {kMin, 0, kMin + 10, 16}, tvRight, 32767);
  EXPECT_EQ(right.right, kMin);
  EXPECT_EQ(right.left, kMin);
}

TEST(TextLibraryCodes, FlagsAndReadingOrderFollowTheSettings) {
  EXPECT_EQ(TitleTextFlags(tvRight), 6);
  EXPECT_EQ(TitleTextFlags(tvLeft), 4);
  EXPECT_EQ(TitleTextFlags(1), 4);
  EXPECT_EQ(LibraryReadingOrder(RTL), 2);
  EXPECT_EQ(LibraryReadingOrder(LTR), 1);
  EXPECT_EQ(LibraryReadingOrder(5), 1);
  EXPECT_EQ(LibraryReadingOrder(-1), 1);
}

}  // namespace
}  // namespace orvane
