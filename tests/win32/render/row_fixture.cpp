#include "outline_of.h"
#include "row_fixture.h"

#include <cstring>

namespace orvane::test {

RowFixture::RowFixture()
    : checkStrip(GetModuleHandleA(nullptr), nullptr, kCheckStripBitmap, kCheckStripColumns,
                 kCheckStripRows, kBack),
      treeLtr(GetModuleHandleA(nullptr), nullptr, kTreeStripLtrBitmap, kTreeStripColumns,
              kTreeStripRows, kBack),
      treeRtl(GetModuleHandleA(nullptr), nullptr, kTreeStripRtlBitmap, kTreeStripColumns,
              kTreeStripRows, kBack) {
  fonta.lfHeight = -13;
  fonta.lfCharSet = ARABIC_CHARSET;
  std::strcpy(fonta.lfFaceName, "Noto Naskh Arabic");
}

RowContext RowFixture::Row(OutlineNode* node, int16_t alignment, UINT action, UINT state) {
  RowContext row;
  row.dc = surface.Dc();
  row.item = {0, 0, kRowWidth, kRowHeight};
  row.itemId = 0;
  row.action = action;
  row.state = state;
  row.node = node;
  row.outline = OutlineOf(core);
  row.checkStrip = &checkStrip;
  row.treeStrip = TreeStripBitmapFor(alignment) == kTreeStripLtrBitmap ? &treeLtr : &treeRtl;
  row.alignment = alignment;
  row.readingOrder = readingOrder;
  row.indent = kDefaultIndent;
  row.backColour = kBack;
  row.foreColour = kFore;
  row.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  row.fonta = fonta;
  row.text = &FakeTextApi();
  row.filePos = &filePos;
  return row;
}

RowContext RowFixture::Paint(OutlineNode* node, int16_t alignment, UINT action, UINT state) {
  RowContext row = Row(node, alignment, action, state);
  DrawRow(row);
  return row;
}

}  // namespace orvane::test
