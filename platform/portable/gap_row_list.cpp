#include "platform/portable/gap_row_list.h"

#include <algorithm>

namespace orvane {

void GapRowList::MoveGapTo(size_t index) {
  if (index < m_gapStart) {
    size_t n = m_gapStart - index;
    std::move_backward(m_buffer.begin() + static_cast<ptrdiff_t>(index),
                       m_buffer.begin() + static_cast<ptrdiff_t>(m_gapStart),
                       m_buffer.begin() + static_cast<ptrdiff_t>(m_gapEnd));
    m_gapStart -= n;
    m_gapEnd -= n;
  } else if (index > m_gapStart) {
    size_t n = index - m_gapStart;
    std::move(m_buffer.begin() + static_cast<ptrdiff_t>(m_gapEnd),
              m_buffer.begin() + static_cast<ptrdiff_t>(m_gapEnd + n),
              m_buffer.begin() + static_cast<ptrdiff_t>(m_gapStart));
    m_gapStart += n;
    m_gapEnd += n;
  }
}

void GapRowList::Grow() {
  size_t oldSize = m_buffer.size();
  size_t added = std::max<size_t>(64, oldSize);
  size_t tail = oldSize - m_gapEnd;
  m_buffer.resize(oldSize + added);
  std::move_backward(m_buffer.begin() + static_cast<ptrdiff_t>(m_gapEnd),
                     m_buffer.begin() + static_cast<ptrdiff_t>(oldSize), m_buffer.end());
  m_gapEnd = m_buffer.size() - tail;
}

int32_t GapRowList::Append(OutlineNode* node) {
  int32_t index = Count();
  Insert(index, node);
  return index;
}

void GapRowList::Insert(int32_t index, OutlineNode* node) {
  if (index < 0 || index > Count()) return;
  MoveGapTo(static_cast<size_t>(index));
  if (GapSize() == 0) Grow();
  m_buffer[m_gapStart++] = node;
  if (m_selection >= index) ++m_selection;
}

void GapRowList::Delete(int32_t index) {
  if (index < 0 || index >= Count()) return;
  MoveGapTo(static_cast<size_t>(index));
  ++m_gapEnd;
  if (m_selection == index) {
    m_selection = -1;
  } else if (m_selection > index) {
    --m_selection;
  }
}

void GapRowList::Clear() {
  m_buffer.clear();
  m_gapStart = m_gapEnd = 0;
  m_selection = -1;
  m_top = 0;
}

OutlineNode* GapRowList::NodeOf(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return m_buffer[Physical(index)];
}

void GapRowList::SetSelection(int32_t index) {
  if (index < 0 || index >= Count()) {
    m_selection = -1;
    return;
  }
  m_selection = index;
  if (index < m_top) m_top = index;
  if (index >= m_top + m_visibleRows) m_top = index - m_visibleRows + 1;
}

int32_t GapRowList::TopIndex() const { return std::clamp(m_top, 0, std::max(0, Count() - 1)); }

}  // namespace orvane
