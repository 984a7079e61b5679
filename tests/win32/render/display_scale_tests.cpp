// Rows at the display's DPI and in high contrast: the lengths the layout
// scales, the strips drawn for each scale, titles drawn with the real text
// library at 96, 120, 144 and 192 DPI in both layouts with check boxes, and
// rows that show none of the host's colours while high contrast is on.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "core/orvane_core.h"
#include "fake_seams.h"
#include "outline_of.h"
#include "paint_surface.h"
#include "render/display_scale.h"
#include "render/row_painter.h"

namespace orvane {
namespace {

using test::OutlineOf;
using test::PaintSurface;

TEST(DisplayScale, LengthsAreRoundedAndStripsTakeTheNearestScaleAbove) {
  const struct {
    int dpi;
    int row;    // RowHeightAt
    int gap;    // the 2-pixel title gap
    int scale;  // StripScaleFor
  } cases[] = {
      {96, 16, 2, 100},  {120, 20, 3, 125}, {144, 24, 3, 150},  {192, 32, 4, 200},
      {110, 18, 2, 125}, {97, 16, 2, 125},  {168, 28, 4, 200},  {288, 48, 6, 200},
      {72, 12, 2, 100},  {0, 16, 2, 100},   {-144, 16, 2, 100}, {1 << 30, 160, 20, 200},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RowHeightAt(c.dpi), c.row) << c.dpi;
    EXPECT_EQ(LayoutTitleGap(c.dpi), c.gap) << c.dpi;
    EXPECT_EQ(StripScaleFor(c.dpi), c.scale) << c.dpi;
  }
  // Indent is any 16-bit value; scaled, it neither wraps nor flips sign.
  EXPECT_EQ(ScaleToDpi(INT16_MAX, kHighestDpi), 327670);
  EXPECT_EQ(ScaleToDpi(INT16_MIN, kHighestDpi), -327680);
  EXPECT_EQ(ScaleToDpi(-3, 144), -5) << "halves away from zero";
  EXPECT_EQ(ScaleToDpi(18, 120), 23);
}

// ---- The strips drawn for each scale ----

struct StripScale {
  int scale;
  int treeCell;
  int iconCell;
  int lineWidth;  // the tree lines' width in pixels
};

class ScaledStrips : public ::testing::TestWithParam<StripScale> {};

TEST_P(ScaledStrips, CellsHaveTheirScalesSizeAndLinesTheirWidth) {
  const StripScale& s = GetParam();
  const COLORREF back = RGB(255, 255, 255);
  GlyphStrip check(GetModuleHandleA(nullptr), nullptr, CheckStripBitmapFor(s.scale),
                   kCheckStripColumns, kCheckStripRows, back);
  GlyphStrip ltr(GetModuleHandleA(nullptr), nullptr, TreeStripBitmapFor(tvLeft, s.scale),
                 kTreeStripColumns, kTreeStripRows, back);
  GlyphStrip rtl(GetModuleHandleA(nullptr), nullptr, TreeStripBitmapFor(tvRight, s.scale),
                 kTreeStripColumns, kTreeStripRows, back);
  ASSERT_TRUE(check.Valid() && ltr.Valid() && rtl.Valid());
  EXPECT_EQ(check.CellWidth(), s.iconCell);
  EXPECT_EQ(check.CellHeight(), s.iconCell);
  EXPECT_EQ(ltr.CellWidth(), s.treeCell);
  EXPECT_EQ(ltr.CellHeight(), s.treeCell);
  EXPECT_EQ(TreeCellWidthAt(s.scale), s.treeCell) << "a missing strip keeps the widths";
  EXPECT_EQ(IconCellWidthAt(s.scale), s.iconCell);

  // The vertical line of the continuing-line cell, across its middle row,
  // and the right layout's cells the mirror of the left one's.
  PaintSurface left(s.treeCell, s.treeCell, back);
  PaintSurface right(s.treeCell, s.treeCell, back);
  ltr.DrawCell(0, tgTee, left.Dc(), 0, 0);
  rtl.DrawCell(0, tgTee, right.Dc(), 0, 0);
  const int y = s.treeCell / 4;  // above the branch
  EXPECT_EQ(left.CountColour({0, y, s.treeCell, y + 1}, RGB(0, 0, 0)), s.lineWidth);
  for (int x = 0; x < s.treeCell; ++x) {
    for (int row = 0; row < s.treeCell; ++row) {
      ASSERT_EQ(left.Pixel(x, row), right.Pixel(s.treeCell - 1 - x, row)) << x << "," << row;
    }
  }
  // The line reaches the cell's top and bottom, so rows join at any pitch.
  EXPECT_EQ(left.CountColour({0, 0, s.treeCell, 1}, RGB(0, 0, 0)), s.lineWidth);
  EXPECT_EQ(left.CountColour({0, s.treeCell - 1, s.treeCell, s.treeCell}, RGB(0, 0, 0)),
            s.lineWidth);

  // Every icon and box cell has art, all of it inside the cell.
  for (int r = 0; r < kCheckStripRows; ++r) {
    for (int c = 0; c < kCheckStripColumns; ++c) {
      PaintSurface cell(s.iconCell + 2, s.iconCell + 2, back);
      check.DrawCell(r, c, cell.Dc(), 1, 1);
      EXPECT_LT(cell.CountColour({1, 1, s.iconCell + 1, s.iconCell + 1}, back),
                s.iconCell * s.iconCell)
          << "cell " << r << "," << c;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledStrips,
                         ::testing::Values(StripScale{100, 17, 16, 1}, StripScale{125, 21, 20, 1},
                                           StripScale{150, 25, 24, 1}, StripScale{200, 34, 32, 2}),
                         [](const ::testing::TestParamInfo<StripScale>& p) {
                           return std::to_string(p.param.scale);
                         });

TEST(ScaledStrips, AnUnknownScaleTakesTheDrawnOnes) {
  EXPECT_EQ(CheckStripBitmapFor(175), kCheckStripBitmap);
  EXPECT_EQ(TreeStripBitmapFor(tvLeft, -1), kTreeStripLtrBitmap);
  EXPECT_EQ(TreeStripBitmapFor(tvRight, 0), kTreeStripRtlBitmap);
  EXPECT_EQ(TreeCellWidthAt(99), kTreeCellWidth);
}

// ---- High contrast ----

TEST(HighContrast, InkAndPaperReplaceTheLinesEvenInTheKeyColour) {
  // Yellow ink is the strips' transparent key: it must still show.
  StripInk ink;
  ink.recolour = true;
  ink.ink = RGB(255, 255, 0);
  ink.paper = RGB(0, 0, 128);
  const COLORREF back = RGB(0, 64, 0);
  GlyphStrip tree(GetModuleHandleA(nullptr), nullptr, kTreeStripLtrBitmap, kTreeStripColumns,
                  kTreeStripRows, back, ink);
  ASSERT_TRUE(tree.Valid());
  PaintSurface cell(kTreeCellWidth, kTreeCellWidth, RGB(1, 2, 3));
  for (int glyph : {tgTee, tgOpen, tgClosedLast}) {
    tree.DrawCell(0, glyph, cell.Dc(), 0, 0);
    const RECT all{0, 0, kTreeCellWidth, kTreeCellWidth};
    const int lines = cell.CountColour(all, ink.ink);
    const int paper = cell.CountColour(all, ink.paper);
    EXPECT_GT(lines, 0) << glyph;
    EXPECT_EQ(lines + paper + cell.CountColour(all, back), PaintSurface::Area(all))
        << glyph << ": only ink, paper and the back colour";
    EXPECT_EQ(paper > 0, glyph != tgTee) << glyph << ": a button's inside is paper";
  }

  // The icon strip's pictures keep their colours; only the boxes change.
  GlyphStrip check(GetModuleHandleA(nullptr), nullptr, kCheckStripBitmap, kCheckStripColumns,
                   kCheckStripRows, back, StripInk{true, kCheckBoxRow, ink.ink, ink.paper});
  GlyphStrip plain(GetModuleHandleA(nullptr), nullptr, kCheckStripBitmap, kCheckStripColumns,
                   kCheckStripRows, back);
  PaintSurface a(kIconCellWidth, kIconCellWidth), b(kIconCellWidth, kIconCellWidth);
  check.DrawCell(kBookIconRowLeft, kIconClosed, a.Dc(), 0, 0);
  plain.DrawCell(kBookIconRowLeft, kIconClosed, b.Dc(), 0, 0);
  EXPECT_EQ(a.Bytes(), b.Bytes()) << "a book keeps its cover";
  check.DrawCell(kCheckBoxRow, csChecked, a.Dc(), 0, 0);
  const RECT box{0, 0, kIconCellWidth, kIconCellWidth};
  EXPECT_GT(a.CountColour(box, ink.ink), 0);
  EXPECT_EQ(a.CountColour(box, RGB(0, 0, 0)) + a.CountColour(box, RGB(128, 128, 128)), 0)
      << "no black tick or grey outline is left";
}

// ---- Titles at each DPI, both layouts, with check boxes ----

#ifdef ORVANE_HAVE_HARFIX
// "في بيان جِنْس gjpqy" in Windows-1256: dots below, a kasra, a sukun and
// Latin descenders.
constexpr char kMarkedTitle[] = "\xdd\xed \xc8\xed\xc7\xe4 \xcc\xf6\xe4\xfa\xd3 gjpqy";
constexpr COLORREF kBack = RGB(250, 240, 230);
constexpr int kWidth = 420;

struct DpiCase {
  int dpi;
  int16_t alignment;
};

class ScaledRows : public ::testing::TestWithParam<DpiCase> {
 protected:
  ScaledRows() : m_core(m_rows, m_profile, m_files, m_timer) {
    // A free outline three levels deep, all open: root, child, grandchild.
    m_core.View().AddSibling(-1, kMarkedTitle);
    m_core.View().AddChild(0, kMarkedTitle);
    m_core.View().ToggleNode(0);
    m_core.View().AddChild(1, kMarkedTitle);
    m_core.View().ToggleNode(1);
    m_core.Checks().StoreApplyCheck(true);
  }

  void SetUp() override {
    const int scale = StripScaleFor(GetParam().dpi);
    m_tree = std::make_unique<GlyphStrip>(GetModuleHandleA(nullptr), nullptr,
                                          TreeStripBitmapFor(GetParam().alignment, scale),
                                          kTreeStripColumns, kTreeStripRows, kBack);
    m_check =
        std::make_unique<GlyphStrip>(GetModuleHandleA(nullptr), nullptr, CheckStripBitmapFor(scale),
                                     kCheckStripColumns, kCheckStripRows, kBack);
  }

  // Row `index` painted at its place in `surface`, one row of margin above.
  RowContext Paint(PaintSurface& surface, int32_t index, const BidiTextApi* text, UINT action,
                   UINT state) {
    const int pitch = RowHeightAt(GetParam().dpi);
    RowContext row;
    row.outline = OutlineOf(m_core);
    row.treeStrip = m_tree.get();
    row.checkStrip = m_check.get();
    row.alignment = GetParam().alignment;
    row.readingOrder = GetParam().alignment == tvRight ? RTL : LTR;
    row.dpi = GetParam().dpi;
    row.backColour = kBack;
    row.foreColour = RGB(0, 0, 0);
    row.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    // Fonta's 11 points at the DPI, as the control describes it.
    row.fonta.lfHeight = -MulDiv(11, GetParam().dpi, 72);
    row.fonta.lfOutPrecision = OUT_CHARACTER_PRECIS;
    lstrcpynA(row.fonta.lfFaceName, "Fonta", LF_FACESIZE);
    row.text = text;
    row.filePos = &m_filePos;
    DRAWITEMSTRUCT d{};
    d.itemID = static_cast<UINT>(index);
    d.itemAction = action;
    d.itemState = state;
    d.hDC = surface.Dc();
    d.rcItem = {0, (index + 1) * pitch, kWidth, (index + 2) * pitch};
    row.SetItem(d);
    row.node = m_core.Rows().NodeOf(index);
    DrawRow(row);
    return row;
  }

  test::VectorRowList m_rows;
  test::MapProfile m_profile;
  test::MemoryFileSystem m_files;
  test::IdleHoverTimer m_timer;
  OrvaneCore m_core;
  std::unique_ptr<GlyphStrip> m_tree;
  std::unique_ptr<GlyphStrip> m_check;
  int32_t m_filePos = 0;
};

BOOL WINAPI DrawNothing(HDC, const char*, int, const RECT*, int) { return TRUE; }

TEST_P(ScaledRows, TitlesStayInTheirRowsAndTheHighlightLiesOverThem) {
  const BidiTextApi& text = LoadBidiTextLibrary();
  ASSERT_TRUE(text.Complete()) << "Harfix.dll beside the tests";
  const int pitch = RowHeightAt(GetParam().dpi);
  const int rows = m_core.Rows().Count();
  ASSERT_EQ(rows, 3);

  // Every row drawn whole: nothing above the first or below the last.
  PaintSurface all(kWidth, (rows + 2) * pitch, kBack);
  for (int32_t i = 0; i < rows; ++i) Paint(all, i, &text, ODA_DRAWENTIRE, 0);
  EXPECT_TRUE(all.AllColour({0, 0, kWidth, pitch}, kBack)) << "ink above the first row";
  EXPECT_TRUE(all.AllColour({0, (rows + 1) * pitch, kWidth, (rows + 2) * pitch}, kBack))
      << "ink below the last row";

  // The library with its drawing left out paints a row without its title
  // (with no library at all the system would draw the title instead).
  BidiTextApi silent = text;
  silent.aDrawText = DrawNothing;

  for (int32_t i = 0; i < rows; ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    // The title alone is what differs from the row drawn without one; with
    // the row selected, the highlight covers it and nothing of it lies
    // outside the highlight.
    PaintSurface bare(kWidth, (rows + 2) * pitch, kBack);
    PaintSurface titled(kWidth, (rows + 2) * pitch, kBack);
    Paint(bare, i, &silent, ODA_DRAWENTIRE, 0);
    const RowContext row = Paint(titled, i, &text, ODA_DRAWENTIRE, 0);
    const int top = (i + 1) * pitch;
    int first = -1, last = -1, inkTop = -1, inkBottom = -1;
    for (int y = 0; y < titled.Height(); ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (bare.Pixel(x, y) == titled.Pixel(x, y)) continue;
        if (first < 0 || x < first) first = x;
        last = std::max(last, x);
        if (inkTop < 0) inkTop = y;
        inkBottom = y;
      }
    }
    ASSERT_GE(first, 0) << "the title drew";
    EXPECT_GE(inkTop, top);
    EXPECT_LT(inkBottom, top + pitch) << "a mark below the line leaves its row";
    // Most of the row's height is used: the font follows the DPI.
    EXPECT_GE(inkBottom - inkTop + 1, pitch / 2);

    std::string title(kMarkedTitle);
    const RECT highlight =
        GetTextRect(row, *m_core.Rows().NodeOf(i), RECT{0, top, kWidth, top + pitch}, title.c_str(),
                    static_cast<int>(title.size()), titled.Dc());
    EXPECT_LE(highlight.left, first);
    EXPECT_GE(highlight.right, last + 1);
    EXPECT_EQ(highlight.bottom - highlight.top, pitch);

    // The title starts past the indents, the tree cell, both icon cells and
    // the gap, all at the DPI.
    const int indent = ScaleToDpi(kDefaultIndent, GetParam().dpi);
    const int icon = m_check->CellWidth();
    const int gap = LayoutTitleGap(GetParam().dpi);
    if (GetParam().alignment == tvRight) {
      EXPECT_EQ(highlight.right, kWidth - (i + 1) * indent - 2 * icon - gap);
    } else {
      EXPECT_EQ(highlight.left, i * indent + m_tree->CellWidth() + 2 * icon + gap);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledRows,
                         ::testing::Values(DpiCase{96, tvRight}, DpiCase{96, tvLeft},
                                           DpiCase{120, tvRight}, DpiCase{120, tvLeft},
                                           DpiCase{144, tvRight}, DpiCase{144, tvLeft},
                                           DpiCase{192, tvRight}, DpiCase{192, tvLeft}),
                         [](const ::testing::TestParamInfo<DpiCase>& p) {
                           return std::to_string(p.param.dpi) +
                                  (p.param.alignment == tvRight ? "Right" : "Left");
                         });

TEST(HighContrastRows, NoPixelOfTheHostsBackColourRemains) {
  const COLORREF hostBack = RGB(20, 200, 40);
  const COLORREF hostFore = RGB(200, 20, 40);
  const RowColours colours = PaintColours(true, hostBack, hostFore);
  EXPECT_EQ(colours.back, GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(colours.fore, GetSysColor(COLOR_WINDOWTEXT));
  const RowColours plain = PaintColours(false, hostBack, hostFore);
  EXPECT_EQ(plain.back, hostBack);
  EXPECT_EQ(plain.fore, hostFore);

  test::VectorRowList rowList;
  test::MapProfile profile;
  test::MemoryFileSystem files;
  test::IdleHoverTimer timer;
  OrvaneCore core(rowList, profile, files, timer);
  core.View().AddSibling(-1, kMarkedTitle);
  core.View().AddChild(0, kMarkedTitle);
  core.View().ToggleNode(0);
  core.Checks().StoreApplyCheck(true);
  const StripInk lines{true, 0, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
  const StripInk boxes{true, kCheckBoxRow, lines.ink, lines.paper};
  GlyphStrip tree(GetModuleHandleA(nullptr), nullptr, kTreeStripRtlBitmap, kTreeStripColumns,
                  kTreeStripRows, colours.back, lines);
  GlyphStrip check(GetModuleHandleA(nullptr), nullptr, kCheckStripBitmap, kCheckStripColumns,
                   kCheckStripRows, colours.back, boxes);
  PaintSurface surface(kWidth, 2 * kRowHeight, hostBack);
  for (int32_t i = 0; i < 2; ++i) {
    RowContext row;
    row.outline = OutlineOf(core);
    row.treeStrip = &tree;
    row.checkStrip = &check;
    row.alignment = tvRight;
    row.backColour = colours.back;
    row.foreColour = colours.fore;
    row.text = &LoadBidiTextLibrary();
    row.fonta.lfHeight = -15;
    lstrcpynA(row.fonta.lfFaceName, "Fonta", LF_FACESIZE);
    DRAWITEMSTRUCT d{};
    d.itemID = static_cast<UINT>(i);
    d.itemAction = ODA_DRAWENTIRE | (i == 1 ? ODA_SELECT : 0);
    d.itemState = i == 1 ? ODS_SELECTED : 0;
    d.hDC = surface.Dc();
    d.rcItem = {0, i * kRowHeight, kWidth, (i + 1) * kRowHeight};
    row.SetItem(d);
    row.node = core.Rows().NodeOf(i);
    DrawRow(row);
  }
  const RECT all{0, 0, kWidth, 2 * kRowHeight};
  EXPECT_EQ(surface.CountColour(all, hostBack), 0);
  EXPECT_EQ(surface.CountColour(all, hostFore), 0);
  EXPECT_GT(surface.CountColour(all, GetSysColor(COLOR_WINDOWTEXT)), 0);
}
#endif

}  // namespace
}  // namespace orvane
