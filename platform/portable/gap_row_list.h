// GapRowList: the portable RowList. Rows live in a gap buffer, because the
// row view inserts runs of rows at consecutive indexes and deletes runs at one
// index: both cost O(1) each once the gap sits there, so opening or closing a
// block costs the rows it changes plus the rows below it, once.
#pragma once

#include <cstddef>
#include <vector>

#include "rows/row_list.h"

namespace orvane {

class GapRowList : public RowList {
 public:
  // `visibleRows`: how many rows the window shows, for scrolling into view.
  explicit GapRowList(int32_t visibleRows = 25) : m_visibleRows(visibleRows) {}

  int32_t Append(OutlineNode* node) override;
  void Insert(int32_t index, OutlineNode* node) override;
  void Delete(int32_t index) override;
  void Clear() override;
  int32_t Count() const override { return static_cast<int32_t>(m_buffer.size() - GapSize()); }
  OutlineNode* NodeOf(int32_t index) const override;
  int32_t Selection() const override { return m_selection; }
  void SetSelection(int32_t index) override;
  int32_t TopIndex() const override;
  void SetTopIndex(int32_t index) override { m_top = index < 0 ? 0 : index; }
  int32_t RowHeight() const override { return 16; }

 private:
  size_t GapSize() const { return m_gapEnd - m_gapStart; }
  size_t Physical(int32_t index) const {
    size_t i = static_cast<size_t>(index);
    return i < m_gapStart ? i : i + GapSize();
  }
  void MoveGapTo(size_t index);
  void Grow();

  std::vector<OutlineNode*> m_buffer;
  size_t m_gapStart = 0;
  size_t m_gapEnd = 0;
  int32_t m_selection = -1;
  int32_t m_top = 0;
  int32_t m_visibleRows;
};

}  // namespace orvane
