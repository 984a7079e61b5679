// Whole panels of rows, written to build/render/*.png so that a person can
// look at them: a row that looks wrong there is a bug even when every pixel
// test passes. With the real text library beside the tests, the panels use
// it and its measured widths are checked against the ink it draws.
#include <gtest/gtest.h>

#include <string>

#include "outline_of.h"
#include "fake_text_library.h"
#include "paint_surface.h"
#include "render/row_painter.h"
#include "sample_library.h"

namespace orvane {
namespace {

using test::OutlineOf;

using test::PaintSurface;
using test::SampleLibrary;

constexpr COLORREF kWindow = RGB(255, 255, 255);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr int kPanelWidth = 360;

struct PanelSettings {
  int16_t alignment = tvRight;
  int16_t readingOrder = LTR;
  const BidiTextApi* text = nullptr;
  const char* face = "Noto Naskh Arabic";
  BYTE charSet = ARABIC_CHARSET;
  COLORREF back = kWindow;
  COLORREF fore = kText;
};

// Opens the sample the way a user would: every category with its books, the
// first book down to its deepest section, and the short book.
void OpenSample(SampleLibrary& lib, bool applyCheck) {
  OrvaneCore& core = lib.Core();
  core.Checks().StoreApplyCheck(applyCheck);
  if (applyCheck) {
    core.View().RebuildAllRows();
  } else {
    core.View().RebuildCheckedRows();
  }
  SampleLibrary::Child(lib.Book(1, 1), {1})->m_expanded = 1;     // Purity
  SampleLibrary::Child(lib.Book(1, 1), {1, 1})->m_expanded = 1;  // Water
  core.View().ToggleNode(1);                                     // Purity Book
  for (int32_t i = 0; i < core.Rows().Count(); ++i) {
    if (core.Rows().NodeOf(i) == lib.Book(1, 3)) core.View().ToggleNode(static_cast<int16_t>(i));
  }
  lib.Book(1, 2)->m_active = 0;  // "Lost Book" deactivated by the host
}

class RowScreenshots : public ::testing::Test {
 protected:
  // Paints every row, then selects `selected` the way the list box does.
  void PaintPanel(SampleLibrary& lib, PaintSurface& surface, const PanelSettings& settings,
                  const OutlineNode* selected) {
    GlyphStrip tree(GetModuleHandleA(nullptr), nullptr, TreeStripBitmapFor(settings.alignment),
                    kTreeStripColumns, kTreeStripRows, settings.back);
    GlyphStrip check(GetModuleHandleA(nullptr), nullptr, kCheckStripBitmap, kCheckStripColumns,
                     kCheckStripRows, settings.back);
    RowContext row;
    row.outline = OutlineOf(lib.Core());
    row.checkStrip = &check;
    row.treeStrip = &tree;
    row.alignment = settings.alignment;
    row.readingOrder = settings.readingOrder;
    row.backColour = settings.back;
    row.foreColour = settings.fore;
    row.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    row.fonta.lfHeight = -14;
    row.fonta.lfCharSet = settings.charSet;
    lstrcpynA(row.fonta.lfFaceName, settings.face, LF_FACESIZE);
    row.text = settings.text;
    row.filePos = &m_filePos;
    row.dc = surface.Dc();

    const RowList& rows = lib.Core().Rows();
    for (int32_t i = 0; i < rows.Count(); ++i) {
      DRAWITEMSTRUCT item{};
      item.itemID = static_cast<UINT>(i);
      item.itemAction = ODA_DRAWENTIRE;
      item.hDC = surface.Dc();
      item.rcItem = {0, i * kRowHeight, kPanelWidth, (i + 1) * kRowHeight};
      item.itemData = reinterpret_cast<ULONG_PTR>(rows.NodeOf(i));
      row.SetItem(item);
      DrawRow(row);
      if (rows.NodeOf(i) == selected) {
        item.itemAction = ODA_SELECT;
        item.itemState = ODS_SELECTED;
        row.SetItem(item);
        DrawRow(row);
        m_selectedRect = GetTextRect(row, *selected, item.rcItem,
                                     reinterpret_cast<const char*>(selected->Title()),
                                     selected->TitleLength(), surface.Dc());
      }
    }
  }

  int32_t m_filePos = 0;
  RECT m_selectedRect{};
};

// Every row left some ink: glyphs at least.
void ExpectEveryRowPainted(const PaintSurface& surface, int rows, COLORREF back) {
  for (int i = 0; i < rows; ++i) {
    const RECT r{0, i * kRowHeight, kPanelWidth, (i + 1) * kRowHeight};
    EXPECT_LT(surface.CountColour(r, back), PaintSurface::Area(r)) << "row " << i;
  }
}

TEST_F(RowScreenshots, SampleOutlineInBothLayouts) {
  for (bool applyCheck : {false, true}) {
    for (int16_t alignment : {int16_t{tvRight}, int16_t{tvLeft}}) {
      SampleLibrary lib;
      OpenSample(lib, applyCheck);
      if (applyCheck) {
        ASSERT_TRUE(lib.Core().Checks().SetStateBook(3, false));
      }
      PaintSurface surface(kPanelWidth, lib.Core().Rows().Count() * kRowHeight + 1, kWindow);
      PanelSettings settings;
      settings.alignment = alignment;
      settings.text = &test::FakeTextApi(test::FakeTextMode::Gdi);
      settings.face = "Tahoma";  // the stand-in draws the English titles itself
      settings.charSet = DEFAULT_CHARSET;
      const OutlineNode* water = SampleLibrary::Child(lib.Book(1, 1), {1, 1});
      PaintPanel(lib, surface, settings, water);
      ExpectEveryRowPainted(surface, lib.Core().Rows().Count(), kWindow);
      EXPECT_GT(surface.CountColour(m_selectedRect, GetSysColor(COLOR_HIGHLIGHT)), 0);

      std::wstring name = std::wstring(L"rows_") + (alignment == tvRight ? L"right" : L"left") +
                          (applyCheck ? L"_check" : L"");
      EXPECT_TRUE(test::SaveScreenshot(surface, name));
    }
  }
}

#ifdef ORVANE_HAVE_HARFIX
TEST_F(RowScreenshots, RealTextLibraryInkStaysInsideItsMeasuredWidth) {
  const BidiTextApi& harfix = LoadBidiTextLibrary();
  ASSERT_TRUE(harfix.Complete()) << "Harfix.dll beside the tests exports all six calls";

  // The third panel is on a tinted back colour, as a host might set it.
  const struct {
    int16_t alignment;
    COLORREF back;
    COLORREF fore;
    const wchar_t* name;
  } panels[] = {{tvRight, kWindow, kText, L"rows_harfix_right"},
                {tvLeft, kWindow, kText, L"rows_harfix_left"},
                {tvRight, RGB(255, 248, 220), RGB(0, 0, 128), L"rows_harfix_right_tinted"}};
  for (const auto& panel : panels) {
    SampleLibrary lib(test::Titles::Arabic);
    OpenSample(lib, true);
    PaintSurface surface(kPanelWidth, lib.Core().Rows().Count() * kRowHeight + 1, panel.back);
    PanelSettings settings;
    settings.alignment = panel.alignment;
    settings.readingOrder = panel.alignment == tvRight ? RTL : LTR;
    settings.text = &harfix;
    settings.back = panel.back;
    settings.fore = panel.fore;
    const OutlineNode* water = SampleLibrary::Child(lib.Book(1, 1), {1, 1});
    PaintPanel(lib, surface, settings, water);
    ExpectEveryRowPainted(surface, lib.Core().Rows().Count(), panel.back);

    // The highlight is sized by the library's measurement: the title's ink
    // must lie inside it, and fill some of it.
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const RECT& text = m_selectedRect;
    ASSERT_GT(text.right - text.left, 20);
    EXPECT_LT(surface.CountColour(text, highlight), PaintSurface::Area(text));
    const RECT before{0, text.top, text.left - 1, text.bottom};
    const RECT after{text.right + 1, text.top, kPanelWidth, text.bottom};
    if (panel.alignment == tvRight) {
      EXPECT_TRUE(surface.AllColour(before, panel.back));
    } else {
      EXPECT_TRUE(surface.AllColour(after, panel.back));
    }
    EXPECT_TRUE(test::SaveScreenshot(surface, panel.name));
  }
}
#endif

}  // namespace
}  // namespace orvane
