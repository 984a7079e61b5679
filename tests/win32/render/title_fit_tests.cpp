// Titles drawn with the real text library at the control's default Fonta
// (11 points, "Fonta", which the library maps to installed faces): every
// mark above and below the line stays inside its row, so the row below does
// not wipe it, and the selection highlight lies over the title at any indent,
// level and layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "outline_of.h"
#include "core/orvane_core.h"
#include "fake_seams.h"
#include "paint_surface.h"
#include "render/row_painter.h"

#ifdef ORVANE_HAVE_HARFIX
namespace orvane {
namespace {

using test::OutlineOf;

using test::PaintSurface;

// "في بيان جِنْس gjpqy" in Windows-1256: dots below ي and ب, a kasra under
// ج, a sukun over ن, and Latin descenders.
constexpr char kMarkedTitle[] = "\xdd\xed \xc8\xed\xc7\xe4 \xcc\xf6\xe4\xfa\xd3 gjpqy";
// "الإسلام": an initial alef, drawn next to the icon in the right layout.
constexpr char kAlefTitle[] = "\xc7\xe1\xc5\xd3\xe1\xc7\xe3";

constexpr COLORREF kBack = RGB(250, 240, 230);  // tinted: white text shows on it
constexpr COLORREF kFore = RGB(0, 0, 0);
constexpr int kWidth = 400;

// A free outline of `depth` generations, each one row: root, child,
// grandchild..., all with `title`, all open.
class Outline {
 public:
  explicit Outline(const char* title, int depth = 1, int roots = 1)
      : m_core(m_rows, m_profile, m_files, m_timer) {
    for (int i = 0; i < roots; ++i) m_core.View().AddSibling(-1, title);
    for (int level = 1; level < depth; ++level) {
      m_core.View().AddChild(level - 1, title);
      m_core.View().ToggleNode(static_cast<int16_t>(level - 1));
    }
  }
  OrvaneCore& Core() { return m_core; }
  OutlineNode* Row(int32_t i) { return m_core.Rows().NodeOf(i); }

 private:
  test::VectorRowList m_rows;
  test::MapProfile m_profile;
  test::MemoryFileSystem m_files;
  test::IdleHoverTimer m_timer;
  OrvaneCore m_core;
};

class TitleFit : public ::testing::Test {
 protected:
  void SetUp() override {
    m_text = &LoadBidiTextLibrary();
    ASSERT_TRUE(m_text->Complete()) << "Harfix.dll beside the tests";
    ASSERT_NE(m_text->aFitLineHeight, nullptr);
  }

  // The control's row context over `surface`, with Fonta as an OLE font of
  // 11 points named "Fonta" describes itself.
  RowContext Context(Outline& outline, PaintSurface& surface, int16_t alignment, int16_t indent,
                     const BidiTextApi* text) {
    m_tree = std::make_unique<GlyphStrip>(GetModuleHandleA(nullptr), nullptr,
                                          TreeStripBitmapFor(alignment), kTreeStripColumns,
                                          kTreeStripRows, kBack);
    m_check = std::make_unique<GlyphStrip>(GetModuleHandleA(nullptr), nullptr, kCheckStripBitmap,
                                           kCheckStripColumns, kCheckStripRows, kBack);
    RowContext row;
    row.outline = OutlineOf(outline.Core());
    row.treeStrip = m_tree.get();
    row.checkStrip = m_check.get();
    row.alignment = alignment;
    row.readingOrder = alignment == tvRight ? RTL : LTR;
    row.indent = indent;
    row.backColour = kBack;
    row.foreColour = kFore;
    row.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    row.fonta.lfHeight = -15;
    row.fonta.lfWeight = FW_NORMAL;
    row.fonta.lfOutPrecision = OUT_CHARACTER_PRECIS;
    lstrcpynA(row.fonta.lfFaceName, "Fonta", LF_FACESIZE);
    row.text = text;
    row.filePos = &m_filePos;
    row.dc = surface.Dc();
    return row;
  }

  static void Paint(RowContext& row, OutlineNode* node, int32_t index, RECT item, UINT action,
                    UINT state = 0) {
    DRAWITEMSTRUCT d{};
    d.itemID = static_cast<UINT>(index);
    d.itemAction = action;
    d.itemState = state;
    d.hDC = row.dc;
    d.rcItem = item;
    d.itemData = reinterpret_cast<ULONG_PTR>(node);
    row.SetItem(d);
    DrawRow(row);
  }

  // Columns (x) where two surfaces differ within rows [top, bottom).
  static std::pair<int, int> DifferingColumns(const PaintSurface& a, const PaintSurface& b, int top,
                                              int bottom) {
    int first = -1, last = -1;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < a.Width(); ++x) {
        if (a.Pixel(x, y) == b.Pixel(x, y)) continue;
        if (first < 0 || x < first) first = x;
        last = std::max(last, x);
      }
    }
    return {first, last};
  }

  const BidiTextApi* m_text = nullptr;
  std::unique_ptr<GlyphStrip> m_tree;
  std::unique_ptr<GlyphStrip> m_check;
  int32_t m_filePos = 0;
};

TEST_F(TitleFit, TwelveRowsOfOneTitleDrawTheSameAndKeepEveryMarkInsideTheirRows) {
  constexpr int kRows = 12;
  for (int16_t alignment : {int16_t{tvRight}, int16_t{tvLeft}}) {
    SCOPED_TRACE(alignment == tvRight ? "right layout" : "left layout");
    Outline outline(kMarkedTitle, 1, kRows);
    // One free row above and below the twelve, where no ink may fall.
    PaintSurface surface(kWidth, (kRows + 2) * kRowHeight, kBack);
    RowContext row = Context(outline, surface, alignment, kDefaultIndent, m_text);
    for (int32_t i = 0; i < kRows; ++i) {
      const int top = (i + 1) * kRowHeight;
      Paint(row, outline.Row(i), i, RECT{0, top, kWidth, top + kRowHeight}, ODA_DRAWENTIRE);
    }
    EXPECT_TRUE(surface.AllColour(RECT{0, 0, kWidth, kRowHeight}, kBack)) << "ink above row 0";
    const int below = (kRows + 1) * kRowHeight;
    EXPECT_TRUE(surface.AllColour(RECT{0, below, kWidth, below + kRowHeight}, kBack))
        << "ink below the last row";

    // The last row painted keeps whatever it would lose under another row:
    // every row must look like it, pixel for pixel.
    int differing = 0;
    const int lastTop = kRows * kRowHeight;
    for (int32_t i = 0; i + 1 < kRows; ++i) {
      const int top = (i + 1) * kRowHeight;
      for (int y = 0; y < kRowHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          if (surface.Pixel(x, top + y) != surface.Pixel(x, lastTop + y)) ++differing;
        }
      }
    }
    EXPECT_EQ(differing, 0);

    // The title's marks are drawn: ink in the lowest pixel rows of the row
    // (dots below the letters, the kasra, Latin descenders) and in the top
    // ones (the sukun, ascenders).
    const RECT lowest{0, lastTop + 11, kWidth - 60, lastTop + kRowHeight};
    const RECT highest{0, lastTop, kWidth - 60, lastTop + 5};
    EXPECT_LT(surface.CountColour(lowest, kBack), PaintSurface::Area(lowest));
    EXPECT_LT(surface.CountColour(highest, kBack), PaintSurface::Area(highest));
    EXPECT_TRUE(test::SaveScreenshot(
        surface, alignment == tvRight ? L"title_fit_right" : L"title_fit_left"));
  }
}

TEST_F(TitleFit, SelectedTitleInkLiesInsideItsHighlightAtEveryIndentLevelAndLayout) {
  for (int16_t alignment : {int16_t{tvRight}, int16_t{tvLeft}}) {
    for (int16_t indent : {int16_t{10}, int16_t{30}}) {
      for (int32_t level : {1, 2}) {
        SCOPED_TRACE(testing::Message() << (alignment == tvRight ? "right" : "left")
                                        << " layout, Indent " << indent << ", level " << level);
        Outline outline(kMarkedTitle, level + 1);
        OutlineNode* node = outline.Row(level);
        ASSERT_NE(node, nullptr);
        ASSERT_EQ(node->Level(), level);
        const RECT item{0, 0, kWidth, kRowHeight};

        // The same row without any title: what lies outside the highlight
        // must be exactly this.
        PaintSurface glyphsOnly(kWidth, kRowHeight, kBack);
        RowContext bare = Context(outline, glyphsOnly, alignment, indent, nullptr);
        Paint(bare, node, level, item, ODA_DRAWENTIRE);
        Paint(bare, node, level, item, ODA_SELECT, ODS_SELECTED);

        PaintSurface selected(kWidth, kRowHeight, kBack);
        RowContext row = Context(outline, selected, alignment, indent, m_text);
        Paint(row, node, level, item, ODA_DRAWENTIRE);
        Paint(row, node, level, item, ODA_SELECT, ODS_SELECTED);
        const RECT highlight =
            GetTextRect(row, *node, item, kMarkedTitle, sizeof kMarkedTitle - 1, selected.Dc());

        ASSERT_GT(highlight.right - highlight.left, 40);
        // Everything the title put on the row lies inside the highlight...
        const auto [first, last] = DifferingColumns(glyphsOnly, selected, 0, kRowHeight);
        EXPECT_GE(first, highlight.left);
        EXPECT_LT(last, highlight.right);
        // ...which holds the title, not the glyphs: outside the highlight
        // the two rows are the same, and inside it there is white ink.
        int whiteInside = 0;
        for (int x = highlight.left; x < highlight.right; ++x) {
          for (int y = 0; y < kRowHeight; ++y) {
            if (selected.Pixel(x, y) == GetSysColor(COLOR_HIGHLIGHTTEXT)) ++whiteInside;
          }
        }
        EXPECT_GT(whiteInside, 20);
      }
    }
  }
}

TEST_F(TitleFit, TwoPixelsLieBetweenTheTitleAndTheIconBesideIt) {
  for (bool applyCheck : {false, true}) {
    for (int16_t alignment : {int16_t{tvRight}, int16_t{tvLeft}}) {
      SCOPED_TRACE(testing::Message() << (alignment == tvRight ? "right" : "left")
                                      << (applyCheck ? " with check boxes" : ""));
      Outline outline(kAlefTitle);
      outline.Core().Checks().StoreApplyCheck(applyCheck);
      OutlineNode* node = outline.Row(0);
      const RECT item{0, 0, kWidth, kRowHeight};
      PaintSurface bare(kWidth, kRowHeight, kBack);
      RowContext glyphs = Context(outline, bare, alignment, kDefaultIndent, nullptr);
      Paint(glyphs, node, 0, item, ODA_DRAWENTIRE);
      PaintSurface titled(kWidth, kRowHeight, kBack);
      RowContext row = Context(outline, titled, alignment, kDefaultIndent, m_text);
      Paint(row, node, 0, item, ODA_DRAWENTIRE);

      // The nearest glyph cell: the icon, or the check box when shown.
      const int cells = 16 * (applyCheck ? 2 : 1);
      const auto [first, last] = DifferingColumns(bare, titled, 0, kRowHeight);
      ASSERT_GE(first, 0);
      if (alignment == tvRight) {
        const int glyphLeft = kWidth - kDefaultIndent - cells;
        EXPECT_GE(glyphLeft - 1 - last, 2) << "ink ends at " << last;
      } else {
        const int glyphRight = 17 + cells;  // one past the last glyph column
        EXPECT_GE(first - glyphRight, 2) << "ink starts at " << first;
      }
    }
  }
}

}  // namespace
}  // namespace orvane
#endif
