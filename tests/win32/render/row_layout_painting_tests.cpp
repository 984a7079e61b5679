// Where DrawRow puts tree lines, buttons, icons, check boxes and titles, in
// both layouts.
#include <gtest/gtest.h>

#include "outline_of.h"
#include "row_fixture.h"

namespace orvane {
namespace {

using test::OutlineOf;

using test::kBack;
using test::kBlack;
using test::kDarkGrey;
using test::kFore;
using test::kLightGrey;
using test::kPaper;
using test::kWhite;
using test::SampleLibrary;

constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr COLORREF kCyan = RGB(0, 255, 255);
constexpr COLORREF kDarkRed = RGB(128, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

using RowLayoutPainting = test::RowFixture;

TEST_F(RowLayoutPainting, RightLayoutGrowsFromTheRightEdge) {
  OutlineNode* fiqh = lib.Category(1);  // "Fiqh": 4 bytes, a bar 24 wide
  fiqh->m_expanded = 1;
  Paint(fiqh, tvRight);

  // Button: 18 pixels left of the edge, open, stub towards the icon.
  EXPECT_EQ(surface.Pixel(302 + 3, 3), kDarkGrey);
  EXPECT_EQ(surface.Pixel(302 + 8, 8), kBlack);
  EXPECT_EQ(surface.Pixel(302 + 8, 6), kWhite);
  EXPECT_EQ(surface.Pixel(302, 8), kBlack);
  EXPECT_EQ(surface.Pixel(302 + 16, 8), kBack);
  EXPECT_EQ(surface.Pixel(302 + 8, 1), kBack);  // no line to the next category
  EXPECT_EQ(surface.Pixel(302 + 8, 15), kBack);
  // Icon: 16 further left, the open teal book with its spine on the right.
  EXPECT_EQ(surface.Pixel(286 + 7, 13), kCyan);
  EXPECT_EQ(surface.Pixel(286 + 8, 13), kTeal);
  // Title: right-aligned 2 pixels short of the icon, 36 pixels from the edge.
  EXPECT_EQ(surface.Pixel(285, 7), kBack);
  EXPECT_EQ(surface.Pixel(284, 7), kBack);
  EXPECT_EQ(surface.Pixel(283, 7), kFore);
  EXPECT_EQ(surface.Pixel(260, 7), kFore);
  EXPECT_EQ(surface.Pixel(259, 7), kBack);
  EXPECT_EQ(TitlePixels(kFore), 24 * test::kBarHeight);
  EXPECT_EQ(surface.CountColour({0, 0, 260, 16}, kBack), 260 * 16);
}

TEST_F(RowLayoutPainting, RightLayoutCheckBoxSitsBetweenIconAndTitle) {
  core.Checks().StoreApplyCheck(true);
  Paint(lib.Category(1), tvRight);
  EXPECT_EQ(surface.Pixel(270 + 10, 4), kBlack);  // ticked: every book checked
  EXPECT_EQ(surface.Pixel(270 + 4, 4), kWhite);
  EXPECT_EQ(surface.Pixel(267, 7), kFore);  // the title ends 52 pixels from the edge
  EXPECT_EQ(surface.Pixel(268, 7), kBack);
  EXPECT_EQ(surface.Pixel(269, 7), kBack);
  EXPECT_EQ(surface.Pixel(244, 7), kFore);
  EXPECT_EQ(surface.Pixel(243, 7), kBack);
}

TEST_F(RowLayoutPainting, LeftLayoutIsTheMirrorImage) {
  OutlineNode* fiqh = lib.Category(1);
  fiqh->m_expanded = 1;
  Paint(fiqh, tvLeft);
  EXPECT_EQ(surface.Pixel(3, 3), kDarkGrey);
  EXPECT_EQ(surface.Pixel(16, 8), kBlack);  // stub towards the icon, on the right
  EXPECT_EQ(surface.Pixel(0, 8), kBack);
  EXPECT_EQ(surface.Pixel(17 + 8, 13), kRed);  // open dark red book, spine on the left
  EXPECT_EQ(surface.Pixel(17 + 7, 13), kDarkRed);
  EXPECT_EQ(surface.Pixel(32, 1), kBack);
  EXPECT_EQ(surface.Pixel(33, 7), kBack);  // 2 pixels between icon and title
  EXPECT_EQ(surface.Pixel(34, 7), kBack);
  EXPECT_EQ(surface.Pixel(35, 7), kFore);
  EXPECT_EQ(surface.Pixel(58, 7), kFore);
  EXPECT_EQ(surface.Pixel(59, 7), kBack);

  surface.Fill(kPaper);
  core.Checks().StoreApplyCheck(true);
  Paint(fiqh, tvLeft);
  EXPECT_EQ(surface.Pixel(33 + 10, 4), kBlack);
  EXPECT_EQ(surface.Pixel(50, 7), kBack);
  EXPECT_EQ(surface.Pixel(51, 7), kFore);
}

TEST_F(RowLayoutPainting, AlignmentOneIsLaidOutFromTheLeftWithTheStripItIsGiven) {
  // The control builds the mirrored strip for any value but 0; the layout
  // takes only 2 for the right side.
  Paint(lib.Category(1), 1);
  EXPECT_EQ(surface.Pixel(0, 8), kBlack);  // the mirrored stub, at the left edge
  EXPECT_EQ(surface.Pixel(35, 7), kFore);
  ASSERT_NE(test::FindTextCall("aDrawText"), nullptr);
  EXPECT_EQ(test::FindTextCall("aDrawText")->flags, 4);
}

TEST_F(RowLayoutPainting, AncestorLinesStandInTheirOwnButtonColumns) {
  // Water (level 3) under Purity (has a next sibling) under Purity Book (has
  // one) under Fiqh (a root row: never).
  OutlineNode* water = SampleLibrary::Child(lib.Book(1, 1), {1, 1});
  Paint(water, tvLeft);
  EXPECT_TRUE(surface.AllColour({44, 0, 45, 17}, kBlack));  // Purity's column
  EXPECT_TRUE(surface.AllColour({26, 0, 27, 17}, kBlack));  // Purity Book's column
  EXPECT_TRUE(surface.AllColour({8, 0, 9, 16}, kBack));     // Fiqh's column
  EXPECT_EQ(surface.Pixel(54 + 8, 1), kBlack);  // own button: closed, last, line above only
  EXPECT_EQ(surface.Pixel(54 + 8, 6), kBlack);
  EXPECT_EQ(surface.Pixel(54 + 8, 15), kBack);
  EXPECT_EQ(surface.Pixel(71 + 7, 8), kDarkRed);  // closed book icon
  EXPECT_EQ(surface.Pixel(87, 7), kBack);         // the gap
  EXPECT_EQ(surface.Pixel(89, 7), kFore);

  surface.Fill(kPaper);
  Paint(water, tvRight);
  EXPECT_TRUE(surface.AllColour({274, 0, 275, 17}, kBlack));
  EXPECT_TRUE(surface.AllColour({292, 0, 293, 17}, kBlack));
  EXPECT_TRUE(surface.AllColour({310, 0, 311, 16}, kBack));
  EXPECT_EQ(surface.Pixel(248 + 8, 1), kBlack);
  EXPECT_EQ(surface.Pixel(248 + 8, 15), kBack);
  EXPECT_EQ(surface.Pixel(231, 7), kBack);  // the gap
  EXPECT_EQ(surface.Pixel(229, 7), kFore);
}

TEST_F(RowLayoutPainting, CheckedOnlyViewEndsTheBookLineAtTheLastBookShown) {
  ASSERT_TRUE(core.Checks().SetStateBook(2, false));
  ASSERT_TRUE(core.Checks().SetStateBook(3, false));
  core.View().RebuildCheckedRows();
  OutlineNode* water = SampleLibrary::Child(lib.Book(1, 1), {1, 1});
  Paint(water, tvLeft);
  EXPECT_TRUE(surface.AllColour({26, 0, 27, 16}, kBack));  // Purity Book is the last shown
  EXPECT_TRUE(surface.AllColour({44, 0, 45, 17}, kBlack));

  surface.Fill(kPaper);
  Paint(lib.Book(1, 1), tvLeft);  // closed, with sections, the last shown
  EXPECT_EQ(surface.Pixel(18 + 8, 1), kBlack);
  EXPECT_EQ(surface.Pixel(18 + 8, 15), kBack);
}

TEST_F(RowLayoutPainting, LastShownBookDrawsACornerAndOthersATee) {
  ASSERT_TRUE(core.Checks().SetStateBook(3, false));
  core.View().RebuildCheckedRows();
  Paint(lib.Book(1, 2), tvLeft);  // "Lost Book": no sections
  EXPECT_TRUE(surface.AllColour({26, 0, 27, 9}, kBlack));
  EXPECT_TRUE(surface.AllColour({26, 9, 27, 16}, kBack));
  EXPECT_TRUE(surface.AllColour({26, 8, 35, 9}, kBlack));  // branch to the icon

  surface.Fill(kPaper);
  core.Checks().StoreApplyCheck(true);  // every book shown: the third one follows
  Paint(lib.Book(1, 2), tvLeft);
  EXPECT_TRUE(surface.AllColour({26, 0, 27, 17}, kBlack));
}

TEST_F(RowLayoutPainting, LastFreeOutlineItemEndsItsLine) {
  test::TextOutline text;
  RowContext row = Row(NodeAt(text.Root(1)->m_children, 3), tvLeft);  // "Third"
  row.outline = OutlineOf(text.Core());
  DrawRow(row);
  EXPECT_EQ(surface.Pixel(26, 2), kBlack);
  EXPECT_EQ(surface.Pixel(26, 12), kBack);
}

TEST_F(RowLayoutPainting, CheckBoxShowsTheNodesState) {
  core.Checks().StoreApplyCheck(true);
  OutlineNode* book = lib.Book(1, 1);  // level 1: icon at 35, check box at 51
  Paint(book, tvLeft);
  EXPECT_EQ(surface.Pixel(51 + 10, 4), kBlack);

  ASSERT_TRUE(core.Checks().SetStateBook(1, false));
  Paint(book, tvLeft);
  EXPECT_EQ(surface.Pixel(51 + 10, 4), kWhite);
  EXPECT_EQ(surface.Pixel(51 + 4, 4), kWhite);

  Paint(lib.Category(1), tvLeft);  // some books checked: the greyed box
  EXPECT_EQ(surface.Pixel(33 + 4, 4), kLightGrey);
  EXPECT_EQ(surface.Pixel(33 + 10, 4), kDarkGrey);

  ASSERT_TRUE(core.Checks().SetStateBook(4, false));
  ASSERT_TRUE(core.Checks().SetStateBook(5, false));
  Paint(lib.Category(2), tvLeft);  // none checked: the empty box
  EXPECT_EQ(surface.Pixel(33 + 10, 4), kWhite);
  EXPECT_EQ(surface.Pixel(33 + 4, 4), kWhite);
}

TEST_F(RowLayoutPainting, IconShowsLeafOpenClosedAndInactive) {
  OutlineNode* sahih = lib.Book(2, 1);  // no sections: the page icon at 35
  Paint(sahih, tvLeft);
  EXPECT_EQ(surface.Pixel(35 + 5, 4), kBlue);  // a text line of the page
  sahih->m_active = 0;
  Paint(sahih, tvLeft);
  EXPECT_EQ(surface.Pixel(35 + 5, 4), kWhite);  // the blank page

  OutlineNode* purity = lib.Book(1, 1);
  purity->m_active = 0;
  Paint(purity, tvRight);  // level 1 in the right layout: icon at 320 - 36 - 16
  EXPECT_EQ(surface.Pixel(268 + 8, 8), kDarkGrey);  // the grey book
}

TEST_F(RowLayoutPainting, TreeLinesNarrowTheRectangleToTheButtonsEdge) {
  OutlineNode* water = SampleLibrary::Child(lib.Book(1, 1), {1, 1});
  RowContext row = Row(water, tvRight);
  RECT rect = row.item;
  DrawTreeLines(row, *water, rect, surface.Dc());
  EXPECT_EQ(rect.right, 320 - 4 * 18);
  EXPECT_EQ(rect.left, 0);

  row = Row(water, tvLeft);
  rect = row.item;
  DrawTreeLines(row, *water, rect, surface.Dc());
  EXPECT_EQ(rect.left, 3 * 18 + 17);
  EXPECT_EQ(rect.right, 320);
}

TEST_F(RowLayoutPainting, TextRectangleIsWhereTheTitleIsDrawn) {
  core.Checks().StoreApplyCheck(true);
  OutlineNode* book = lib.Book(1, 1);  // "Purity Book": 66 pixels
  RowContext row = Row(book, tvRight);
  const char* title = "Purity Book";
  RECT r = GetTextRect(row, *book, row.item, title, 11, surface.Dc());
  // Level 1: two indent steps, the icon, the check box and the gap.
  EXPECT_EQ(r.right, 320 - 2 * 18 - 16 - 16 - 2);
  EXPECT_EQ(r.left, r.right - 66);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom, 16);

  core.Checks().StoreApplyCheck(false);
  row = Row(book, tvLeft);
  HGDIOBJ callersFont = GetStockObject(ANSI_FIXED_FONT);
  HGDIOBJ original = SelectObject(surface.Dc(), callersFont);
  r = GetTextRect(row, *book, row.item, title, 11, surface.Dc());
  EXPECT_EQ(r.left, 18 + 17 + 16 + 2);
  EXPECT_EQ(r.right, r.left + 66);

  // Indent other than 18: still where the title goes, not cell widths away.
  row.indent = 30;
  r = GetTextRect(row, *book, row.item, title, 11, surface.Dc());
  EXPECT_EQ(r.left, 30 + 17 + 16 + 2);
  row.alignment = tvRight;
  r = GetTextRect(row, *book, row.item, title, 11, surface.Dc());
  EXPECT_EQ(r.right, 320 - 2 * 30 - 16 - 2);
  EXPECT_EQ(GetCurrentObject(surface.Dc(), OBJ_FONT), callersFont);  // measuring leaves it
  SelectObject(surface.Dc(), original);
}

}  // namespace
}  // namespace orvane
