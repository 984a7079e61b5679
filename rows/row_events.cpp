// Telling the row events which rows a change concerns.
#include <algorithm>

#include "model/outline_node.h"
#include "rows/row_events.h"
#include "rows/row_list.h"
#include "rows/row_view.h"

namespace orvane {

int32_t RowView::FindAnnouncedRow(const OutlineNode* node, int32_t& hint) const {
  // Under a closed node there is no row to look for.
  for (const OutlineNode* a = node->m_parent; a != nullptr; a = a->m_parent) {
    if (!a->m_expanded) return -1;
  }
  // Outward from where the last one was found: a host setting book after
  // book finds each book, and its category, in a step or two rather than by
  // a scan of a list that can hold 32,767 rows.
  const int32_t count = m_rows.Count();
  const int32_t start = std::clamp<int32_t>(hint, 0, count > 0 ? count - 1 : 0);
  for (int32_t d = 0; start + d < count || start - d >= 0; ++d) {
    for (int32_t r : {start + d, start - d}) {
      if (r >= 0 && r < count && m_rows.NodeOf(r) == node) {
        hint = r;
        return r;
      }
    }
  }
  return -1;
}

void RowView::NodeStateChanged(const OutlineNode* node) {
  if (m_rowEvents == nullptr || node == nullptr) return;
  // Parents and their children are looked for from separate places, so
  // that a book and then its category each start near their own row.
  int32_t& hint = node->m_parent == nullptr ? m_announcedTopRow : m_announcedRow;
  const int32_t row = FindAnnouncedRow(node, hint);
  if (row >= 0) m_rowEvents->RowStateChanged(row);
}

void RowView::CategoryBooksChanged(const OutlineNode* category) {
  if (m_rowEvents == nullptr || category == nullptr) return;
  // The category's shown books are the rows below it up to the next
  // top-level row: one pass, however many books it has.
  const int32_t row = FindAnnouncedRow(category, m_announcedTopRow);
  if (row < 0) return;
  for (int32_t r = row + 1; r < m_rows.Count(); ++r) {
    const OutlineNode* node = m_rows.NodeOf(r);
    if (node == nullptr || node->Level() == 0) break;
    if (node->m_parent == category) m_rowEvents->RowStateChanged(r);
  }
}

void RowView::AnnounceReorder() {
  if (m_rowEvents != nullptr) m_rowEvents->RowsReordered();
}

}  // namespace orvane
