// Rows painted without the text library (it was not beside the control, or
// lacks an entry point): the title is still drawn, through the system, where
// the library would have drawn it, and the highlight covers it.
#include <gtest/gtest.h>

#include "render/system_text.h"
#include "row_fixture.h"

namespace orvane {
namespace {

using test::kBack;
using test::kFore;
using test::kRowWidth;

// Where the title may lie: the rest of the row once the glyph cells are taken.
struct Case {
  const char* name;
  int16_t alignment;
  int16_t readingOrder;
};

class SystemTextPainting : public test::RowFixture, public testing::WithParamInterface<Case> {
 protected:
  BidiTextApi none;  // incomplete: every entry point null
};

TEST_P(SystemTextPainting, TitlesAreDrawnBesideTheirIconsAndHighlighted) {
  const Case& c = GetParam();
  readingOrder = c.readingOrder;
  OutlineNode* fiqh = lib.Category(1);
  RowContext row = Row(fiqh, c.alignment);
  row.text = &none;
  DrawRow(row);
  const RECT text = GetTextRect(row, *fiqh, row.item, "Fiqh", 4, surface.Dc());
  ASSERT_GT(text.right - text.left, 0) << c.name << ": no width measured";
  // Ink in the title's place, none beyond it on the far side.
  const RECT title{text.left, 0, text.right, 16};
  EXPECT_LT(surface.CountColour(title, kBack), test::PaintSurface::Area(title)) << c.name;
  const RECT beyond = c.alignment == tvRight ? RECT{0, 0, text.left - 1, 16}
                                             : RECT{text.right + 1, 0, kRowWidth, 16};
  EXPECT_TRUE(surface.AllColour(beyond, kBack)) << c.name;

  // A selected row fills exactly the measured title.
  surface.Fill(test::kPaper);
  row.action = ODA_SELECT;
  row.state = ODS_SELECTED;
  DrawRow(row);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_GT(surface.CountColour(text, highlight), 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    , SystemTextPainting,
    testing::Values(Case{"RightRtl", tvRight, RTL}, Case{"RightLtr", tvRight, LTR},
                    Case{"LeftLtr", tvLeft, LTR}, Case{"LeftRtl", tvLeft, RTL}),
    [](const testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

// The system's output keeps the reading order: a title that starts with a
// Latin word and ends in Arabic is laid out with its runs the other way
// round in RTL, so the two pictures differ.
TEST(SystemText, ReadingOrderDecidesWhereAMixedTitleBegins) {
  LOGFONTA font{};
  font.lfHeight = -13;
  font.lfCharSet = ARABIC_CHARSET;
  strcpy(font.lfFaceName, "Noto Naskh Arabic");
  // "ABC " then three Arabic letters (Windows-1256).
  const char title[] = "ABC \xC8\xC7\xC8";
  const RECT box{0, 0, 200, 16};
  test::PaintSurface ltr(200, 16, kBack), rtl(200, 16, kBack);
  for (test::PaintSurface* surface : {&ltr, &rtl}) {
    SetTextColor(surface->Dc(), kFore);
    SystemDrawText(surface->Dc(), font, title, 7, box, 0, surface == &rtl);
    EXPECT_LT(surface->CountColour(box, kBack), test::PaintSurface::Area(box));
  }
  EXPECT_NE(ltr.Bytes(), rtl.Bytes()) << "RTL and LTR drew the same picture";
  EXPECT_GT(SystemTextExtent(ltr.Dc(), font, title, 7).cx, 0);
  EXPECT_EQ(SystemTextExtent(nullptr, font, title, 7).cx, 0);
  EXPECT_EQ(SystemTextExtent(ltr.Dc(), font, title, 0).cx, 0);
}

}  // namespace
}  // namespace orvane
