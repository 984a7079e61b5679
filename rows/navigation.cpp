// Where the current row belongs, jumping to a section, greying books.
#include <vector>

#include "model/library.h"
#include "rows/check_states.h"
#include "rows/node_events.h"
#include "rows/row_list.h"
#include "rows/row_view.h"

namespace orvane {

int16_t RowView::ActiveCategory() const {
  if (!m_selectedNode) return 0;
  const OutlineNode* top = m_selectedNode;
  while (top->m_parent) top = top->m_parent;
  int32_t k = 1;
  for (const OutlineNode* node : m_library.RootList()) {
    if (node == top) return k <= INT16_MAX ? static_cast<int16_t>(k) : 0;
    ++k;
  }
  return 0;
}

int16_t RowView::ActiveBook() const { return m_selectedNode ? m_selectedNode->m_bookNumber : 0; }

bool RowView::ActivateBook(int16_t bookId) {
  OutlineNode* book = m_library.BookNode(bookId);
  if (!book) return false;
  const bool changed = book->m_active == 0;
  book->m_active = 1;
  if (changed) NodeStateChanged(book);
  return true;
}

int16_t RowView::FindRow(const OutlineNode* node, int32_t from) const {
  for (int32_t r = from; r < m_rows.Count(); ++r) {
    if (m_rows.NodeOf(r) == node) return static_cast<int16_t>(r);
  }
  return -1;
}

bool RowView::DeactivateBook(int16_t bookId) {
  OutlineNode* book = m_library.BookNode(bookId);
  if (!book) return false;
  const bool changed = book->m_active != 0;
  book->m_active = 0;
  if (changed) NodeStateChanged(book);
  if (!book->m_expanded) return false;
  int16_t row = FindRow(book, 0);
  if (row < 0) {
    // Open but out of sight (closed category, or hidden as unchecked): it
    // will show closed, as an open greyed book would not.
    book->m_expanded = 0;
    if (m_nodeEvents != nullptr) m_nodeEvents->NodeClosed(*book);
    return false;
  }
  ToggleNode(row);
  return true;
}

// Looks for `node` from row `*row` on, opening it when it is closed. Leaves
// `*row` on the row after it; false when the end of the list comes first or
// nothing follows its row.
bool RowView::OpenRowOf(OutlineNode* node, int32_t* row) {
  int32_t count = m_rows.Count();
  for (int32_t r = *row; r < count; ++r) {
    if (m_rows.NodeOf(r) == node) {
      if (!node->m_expanded) {
        ToggleNode(static_cast<int16_t>(r));
        count = m_rows.Count();
      }
      if (r >= count - 1) return false;
      *row = r + 1;
      return true;
    }
  }
  return false;
}

bool RowView::GotoTocPosition(int16_t book, int32_t tocPos) {
  RefreshPendingRows();
  m_library.EnsureBookRead(book);
  const uint8_t* buffer = m_library.Shelf().Buffer(book);
  OutlineNode* bookNode = m_library.BookNode(book);
  if (!buffer || !bookNode || !bookNode->m_parent) return false;
  uint32_t length = m_library.Shelf().Length(book);

  // The FilePos of the target and of each ancestor up to the top level. The
  // parent links come from the file: a chain longer than the records the
  // buffer can hold is a loop.
  std::vector<int32_t> chain;
  uint32_t pos = static_cast<uint32_t>(tocPos);
  if (pos < kTocHeaderSize) pos = kTocHeaderSize;
  const uint32_t maxSteps = length / kRecordHeaderSize + 1;
  uint8_t topLevel = 0;
  for (;;) {
    if (!RecordFits(buffer, length, pos) || chain.size() > maxSteps) return false;
    const uint8_t* record = buffer + pos;
    chain.push_back(ReadI32(record + rec::kFilePos));
    uint32_t parent = ReadU32(record + rec::kParentPos);
    if (parent == 0) {
      topLevel = record[rec::kLevel];
      break;
    }
    pos = parent;
  }
  for (int level = 2; level < topLevel; ++level) chain.push_back(1);

  // The category, the book and the sections on the way open, and the
  // selection scrolls, as one change: the list box then updates its scroll
  // bar once instead of at every step (each one a synchronous redraw).
  BulkRowChange bulk(m_rows);
  int32_t row = 0;
  if (!OpenRowOf(bookNode->m_parent, &row) || !OpenRowOf(bookNode, &row)) return false;

  size_t k = chain.size();
  for (int32_t count = m_rows.Count(); row < count; ++row) {
    OutlineNode* node = m_rows.NodeOf(row);
    if (!node || node->m_bookNumber != book) break;
    if (node->FilePos() == chain[k - 1]) {
      if (--k == 0) {
        m_selectedNode = node;
        m_rows.SetSelection(row);
        return true;
      }
      if (!node->m_expanded) {
        ToggleNode(static_cast<int16_t>(row));
        count = m_rows.Count();
      }
    }
  }
  return false;
}

void RowView::ChangeStateSelected() { m_checks.ChangeState(m_selectedNode); }

}  // namespace orvane
