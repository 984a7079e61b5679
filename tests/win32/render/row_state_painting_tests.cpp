// What DrawRow paints for each list-box action and item state, what it hands
// the text library, and what it leaves behind: FilePos, the TocBuffer and the
// device context.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "row_fixture.h"

namespace orvane {
namespace {

using test::kBack;
using test::kBlack;
using test::kFore;
using test::kPaper;
using test::SampleLibrary;
using test::TextCallNames;

using RowStatePainting = test::RowFixture;

constexpr int kPurityBookBar = 11 * test::kBarCharWidth;  // "Purity Book"

COLORREF Highlight() { return GetSysColor(COLOR_HIGHLIGHT); }
COLORREF HighlightText() { return GetSysColor(COLOR_HIGHLIGHTTEXT); }
COLORREF GreyText() { return GetSysColor(COLOR_GRAYTEXT); }

TEST_F(RowStatePainting, SelectionHighlightsTheTitleOnly) {
  ASSERT_NE(Highlight(), kBack);
  ASSERT_NE(Highlight(), HighlightText());
  Paint(lib.Book(1, 1), tvLeft, ODA_SELECT, ODS_SELECTED);
  // GetTextRect: 18 + 17 + 16 + 2 = 53, where the title starts, as wide as
  // the measured title.
  EXPECT_EQ(surface.Pixel(53, 1), Highlight());
  EXPECT_EQ(surface.Pixel(53 + kPurityBookBar - 1, 14), Highlight());
  EXPECT_EQ(surface.Pixel(53 + kPurityBookBar, 1), kPaper);
  EXPECT_EQ(surface.Pixel(52, 1), kPaper);
  EXPECT_EQ(surface.Pixel(35, 0), kBack);  // the icon cell keeps the back colour
  EXPECT_EQ(surface.Pixel(60, 7), HighlightText());
  // Past the icon, so that white paper in the glyphs is not counted.
  EXPECT_EQ(surface.CountColour({51, 0, 320, 16}, HighlightText()),
            kPurityBookBar * test::kBarHeight);
}

TEST_F(RowStatePainting, FullRedrawOfASelectedRowIsNotHighlighted) {
  Paint(lib.Book(1, 1), tvLeft, ODA_SELECT, ODS_SELECTED);
  ASSERT_GT(TitlePixels(Highlight()), 0);
  Paint(lib.Book(1, 1), tvLeft, ODA_DRAWENTIRE, ODS_SELECTED);
  EXPECT_EQ(TitlePixels(Highlight()), 0);
  EXPECT_EQ(TitlePixels(kFore), kPurityBookBar * test::kBarHeight);
  EXPECT_EQ(TitlePixels(kPaper), 0);  // the whole row was filled
}

TEST_F(RowStatePainting, DeselectionRepaintsTheRowPlain) {
  Paint(lib.Book(1, 1), tvRight, ODA_SELECT, ODS_SELECTED);
  ASSERT_GT(TitlePixels(Highlight()), 0);
  Paint(lib.Book(1, 1), tvRight, ODA_SELECT, 0);
  EXPECT_EQ(TitlePixels(Highlight()), 0);
  EXPECT_EQ(TitlePixels(kFore), kPurityBookBar * test::kBarHeight);
  EXPECT_EQ(TitlePixels(kPaper), 0);
}

TEST_F(RowStatePainting, FocusHighlightsWhetherGainedOrLost) {
  for (UINT state : {UINT{ODS_SELECTED}, UINT{0}}) {
    surface.Fill(kPaper);
    Paint(lib.Book(1, 1), tvRight, ODA_FOCUS, state);
    EXPECT_GT(TitlePixels(Highlight()), 0) << "state " << state;
    EXPECT_EQ(surface.CountColour({0, 0, 268, 16}, HighlightText()),
              kPurityBookBar * test::kBarHeight);
  }
}

TEST_F(RowStatePainting, InactiveRowIsGreyAndNeverHighlighted) {
  OutlineNode* book = lib.Book(1, 1);
  book->m_active = 0;
  Paint(book, tvLeft, ODA_DRAWENTIRE, 0);
  EXPECT_EQ(TitlePixels(GreyText()), kPurityBookBar * test::kBarHeight);
  EXPECT_EQ(TitlePixels(kFore), 0);

  for (UINT action : {UINT{ODA_SELECT}, UINT{ODA_FOCUS}}) {
    surface.Fill(kPaper);
    const std::string before = surface.Bytes();
    filePos = 99;
    Paint(book, tvLeft, action, ODS_SELECTED);
    EXPECT_EQ(surface.Bytes(), before) << "action " << action;
    EXPECT_EQ(filePos, -1);  // recorded all the same
  }
}

TEST_F(RowStatePainting, GreyedAndDisabledStatesGreyTheTitle) {
  for (UINT state : {UINT{ODS_GRAYED}, UINT{ODS_DISABLED}}) {
    Paint(lib.Book(1, 1), tvLeft, ODA_DRAWENTIRE, state);
    EXPECT_EQ(TitlePixels(GreyText()), kPurityBookBar * test::kBarHeight);
    Paint(lib.Book(1, 1), tvLeft, ODA_SELECT, state);
    EXPECT_EQ(TitlePixels(GreyText()), kPurityBookBar * test::kBarHeight);
  }
}

TEST_F(RowStatePainting, FilePosHoldsTheLastRowPainted) {
  Paint(lib.Category(1), tvRight);
  EXPECT_EQ(filePos, -1);
  filePos = 5;
  Paint(lib.Book(1, 1), tvRight);
  EXPECT_EQ(filePos, -1);
  OutlineNode* purity = lib.Book(1, 1);
  Paint(SampleLibrary::Child(purity, {1, 1}), tvRight, ODA_SELECT, 0);
  EXPECT_EQ(filePos, SampleLibrary::kWaterPos);
  Paint(SampleLibrary::Child(purity, {3, 1}), tvLeft, ODA_FOCUS, 0);
  EXPECT_EQ(filePos, SampleLibrary::kTimesPos);
  Paint(SampleLibrary::Child(lib.Book(1, 3), {2}), tvLeft);
  EXPECT_EQ(filePos, SampleLibrary::kUntitledPos);
}

TEST_F(RowStatePainting, NoIndexOrNoNodePaintsNothing) {
  const std::string before = surface.Bytes();
  RowContext row = Row(lib.Category(1), tvRight);
  row.itemId = static_cast<UINT>(-1);
  DrawRow(row);
  row = Row(nullptr, tvRight);
  DrawRow(row);
  EXPECT_EQ(filePos, 12345);
  EXPECT_EQ(surface.Bytes(), before);

  DRAWITEMSTRUCT item{};
  item.itemID = static_cast<UINT>(-1);
  item.itemData = reinterpret_cast<ULONG_PTR>(lib.Category(1));
  row.SetItem(item);
  EXPECT_EQ(row.node, nullptr);
}

TEST_F(RowStatePainting, SetItemTakesTheListBoxDescription) {
  DRAWITEMSTRUCT item{};
  item.itemID = 4;
  item.itemAction = ODA_SELECT;
  item.itemState = ODS_SELECTED;
  item.hDC = surface.Dc();
  item.rcItem = {0, 0, test::kRowWidth, kRowHeight};
  item.itemData = reinterpret_cast<ULONG_PTR>(lib.Book(1, 1));
  RowContext row = Row(nullptr, tvLeft, 0, 0);
  row.SetItem(item);
  DrawRow(row);
  EXPECT_EQ(surface.Pixel(53, 1), Highlight());
  EXPECT_EQ(filePos, -1);
}

TEST_F(RowStatePainting, TheTocBufferIsUntouchedAndTitlesEndAtTheirLength) {
  OutlineNode* purity = lib.Book(1, 1);
  const uint8_t* buffer = core.Outline().Shelf().Buffer(1);
  ASSERT_NE(buffer, nullptr);
  const std::vector<uint8_t> before(buffer, buffer + core.Outline().Shelf().Length(1) + 2);
  const std::vector<std::pair<std::vector<int32_t>, std::string>> sections = {
      {{1}, "Purity"},   {{1, 1}, "Water"}, {{1, 1, 1}, "Rain"},
      {{2}, "Ablution"}, {{3}, "Prayer"},   {{3, 1}, "Times"}};
  for (const auto& [path, title] : sections) {
    OutlineNode* node = purity;
    for (int32_t ordinal : path) node = NodeAt(node->m_children, ordinal);
    ASSERT_NE(node, nullptr) << title;
    for (UINT action : {UINT{ODA_DRAWENTIRE}, UINT{ODA_SELECT}, UINT{ODA_FOCUS}}) {
      Paint(node, tvRight, action, ODS_SELECTED);
      const test::TextCall* draw = test::FindTextCall("aDrawText");
      ASSERT_NE(draw, nullptr);
      EXPECT_EQ(draw->text, title);
      EXPECT_EQ(draw->length, static_cast<int>(title.size()));
    }
  }
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + before.size()), before);
}

TEST_F(RowStatePainting, UntitledSectionShowsItsGlyphsOnly) {
  OutlineNode* untitled = SampleLibrary::Child(lib.Book(1, 3), {2});
  ASSERT_EQ(untitled->Header().RecordLength(), kRecordHeaderSize);
  Paint(untitled, tvLeft);
  ASSERT_NE(test::FindTextCall("aDrawText"), nullptr);
  EXPECT_EQ(test::FindTextCall("aDrawText")->length, 0);
  EXPECT_EQ(TitlePixels(kFore), 0);
  EXPECT_EQ(surface.Pixel(36 + 17 + 3, 1), kBlack);  // the page's outline
}

TEST_F(RowStatePainting, TextLibraryGetsTheRowsFontsFlagsAndOrder) {
  Paint(lib.Category(1), tvRight);
  EXPECT_EQ(TextCallNames(),
            (std::vector<std::string>{"aSelectDC", "aSetReadingOrder", "aDrawText", "aReleaseDC"}));
  const test::TextCall& select = test::TextCalls()[0];
  const test::TextCall& order = test::TextCalls()[1];
  const test::TextCall& draw = test::TextCalls()[2];
  const test::TextCall& release = test::TextCalls()[3];
  EXPECT_EQ(select.dc, surface.Dc());
  EXPECT_EQ(draw.dc, surface.Dc());
  EXPECT_EQ(release.dc, surface.Dc());
  EXPECT_STREQ(select.first.lfFaceName, "Ariel");
  EXPECT_EQ(select.first.lfCharSet, 0);
  EXPECT_EQ(select.first.lfHeight, -13);
  EXPECT_STREQ(select.second.lfFaceName, "Noto Naskh Arabic");
  EXPECT_EQ(select.second.lfCharSet, ARABIC_CHARSET);
  EXPECT_EQ(order.code, 1);
  EXPECT_EQ(draw.flags, 6);
  EXPECT_EQ(draw.textAlign & TA_BASELINE, static_cast<UINT>(TA_BASELINE));
  EXPECT_EQ(draw.bkMode, TRANSPARENT);
  EXPECT_EQ(draw.textColour, kFore);
  EXPECT_EQ(draw.rect.left, 0);
  EXPECT_EQ(draw.rect.right, 320 - 18 - 16 - 2);  // 2 pixels short of the icon

  readingOrder = RTL;
  Paint(lib.Category(1), tvLeft);
  EXPECT_EQ(test::FindTextCall("aSetReadingOrder")->code, 2);
  EXPECT_EQ(test::FindTextCall("aDrawText")->flags, 4);
  EXPECT_EQ(test::FindTextCall("aDrawText")->rect.left, 17 + 16 + 2);
}

TEST_F(RowStatePainting, HighlightMeasuresBeforeItDraws) {
  Paint(lib.Book(1, 1), tvLeft, ODA_SELECT, ODS_SELECTED);
  EXPECT_EQ(TextCallNames(),
            (std::vector<std::string>{"aSelectDC", "aTextExtent", "aReleaseDC", "aSelectDC",
                                      "aSetReadingOrder", "aDrawText", "aReleaseDC"}));
  const test::TextCall* extent = test::FindTextCall("aTextExtent");
  EXPECT_EQ(extent->text, "Purity Book");
  EXPECT_EQ(extent->dc, surface.Dc());
}

// Without the library the glyphs are painted as before, and the title is
// measured and drawn through the system, so the highlight has a width.
TEST_F(RowStatePainting, MissingTextLibraryStillPaintsTheGlyphsAndTheTitle) {
  RowContext row = Row(lib.Book(1, 1), tvLeft, ODA_DRAWENTIRE | ODA_SELECT, ODS_SELECTED);
  row.text = nullptr;
  DrawRow(row);
  EXPECT_EQ(surface.Pixel(18 + 8, 1), kBlack);  // the button's line above
  EXPECT_GT(TitlePixels(Highlight()), 0);       // the system measured the title

  BidiTextApi partial = test::FakeTextApi();
  partial.aReleaseDC = nullptr;
  row.text = &partial;
  DrawRow(row);
  EXPECT_TRUE(test::TextCalls().empty());  // a selection it could not release is never made
}

TEST_F(RowStatePainting, MissingStripsLeaveTheTitleInItsPlace) {
  RowContext row = Row(lib.Category(1), tvLeft);
  row.checkStrip = nullptr;
  row.treeStrip = nullptr;
  DrawRow(row);
  EXPECT_EQ(surface.Pixel(35, 7), kFore);
  EXPECT_EQ(surface.Pixel(34, 7), kBack);
  EXPECT_EQ(TitlePixels(kBlack), 0);
}

TEST_F(RowStatePainting, DeviceContextIsHandedBackAsItCame) {
  HDC dc = surface.Dc();
  HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(9, 8, 7));
  SetBkColor(dc, RGB(7, 8, 9));
  SetBkMode(dc, OPAQUE);
  SetTextAlign(dc, TA_TOP | TA_LEFT);

  Paint(lib.Book(1, 1), tvRight, ODA_DRAWENTIRE | ODA_SELECT | ODA_FOCUS, ODS_SELECTED);

  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
  EXPECT_EQ(GetTextColor(dc), RGB(9, 8, 7));
  EXPECT_EQ(GetBkColor(dc), RGB(7, 8, 9));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetTextAlign(dc), static_cast<UINT>(TA_TOP | TA_LEFT));
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

}  // namespace
}  // namespace orvane
