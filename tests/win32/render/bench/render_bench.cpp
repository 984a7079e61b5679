// How long the rendering takes under Wine: building the strips (done at
// window creation and on every back colour, alignment or mirror change) and
// painting rows (done for every row the list box shows). Prints figures; it
// asserts nothing and is not one of the test executables.
//
//   scripts/with-wine wine build/win/tests/win32/render/render_bench.exe
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "outline_of.h"
#include "fake_text_library.h"
#include "paint_surface.h"
#include "render/row_painter.h"
#include "sample_library.h"

namespace {

using namespace orvane;
using orvane::test::OutlineOf;
using Clock = std::chrono::steady_clock;

void Report(const char* what, int count, const std::function<void()>& once) {
  once();  // warm up
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) once();
  const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
  std::printf("%-44s %10.1f us\n", what, us);
}

}  // namespace

int main() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  const COLORREF back = RGB(255, 255, 255);
  Report("build check strip (209, 3 x 10)", 200,
         [&] { GlyphStrip s(module, nullptr, kCheckStripBitmap, 3, 10, back); });
  Report("build tree strip (211, 10 x 1)", 200,
         [&] { GlyphStrip s(module, nullptr, kTreeStripRtlBitmap, 10, 1, back); });

  GlyphStrip check(module, nullptr, kCheckStripBitmap, 3, 10, back);
  GlyphStrip tree(module, nullptr, kTreeStripRtlBitmap, 10, 1, back);
  test::PaintSurface surface(360, 17, back);
  Report("draw one glyph cell", 20000, [&] { tree.DrawCell(0, 5, surface.Dc(), 10, 0); });

  test::SampleLibrary lib(test::Titles::Arabic);
  lib.Core().Checks().StoreApplyCheck(true);
  RowContext row;
  row.dc = surface.Dc();
  row.item = {0, 0, 360, kRowHeight};
  row.itemId = 0;
  row.action = ODA_DRAWENTIRE;
  row.node = test::SampleLibrary::Child(lib.Book(1, 1), {1, 1, 1});  // level 4
  row.outline = OutlineOf(lib.Core());
  row.checkStrip = &check;
  row.treeStrip = &tree;
  row.backColour = back;
  row.fonta.lfHeight = -14;
  row.fonta.lfCharSet = ARABIC_CHARSET;
  lstrcpyA(row.fonta.lfFaceName, "Noto Naskh Arabic");
  int32_t filePos = 0;
  row.filePos = &filePos;

  row.text = &test::FakeTextApi();
  Report("DrawRow, level 4, stand-in text", 5000, [&] {
    test::TextCalls().clear();
    DrawRow(row);
  });
  const BidiTextApi& harfix = LoadBidiTextLibrary();
  if (harfix.Complete()) {
    row.text = &harfix;
    Report("DrawRow, level 4, Harfix.dll", 2000, [&] { DrawRow(row); });
    row.action = ODA_SELECT;
    row.state = ODS_SELECTED;
    Report("DrawRow, selected (measure + draw), Harfix.dll", 2000, [&] { DrawRow(row); });
  } else {
    std::printf("Harfix.dll not found beside the benchmark: title drawing not measured\n");
  }
  return 0;
}
