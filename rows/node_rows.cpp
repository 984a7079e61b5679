// Rows for nodes a host names by object rather than by row or position.
#include <vector>

#include "model/library.h"
#include "rows/node_events.h"
#include "rows/row_list.h"
#include "rows/row_view.h"

namespace orvane {

int32_t RowView::RowOf(const OutlineNode* node) const {
  if (node == nullptr) return -1;
  // Under a closed ancestor there is no row to look for; the check costs
  // the node's depth, the search below the rows.
  for (const OutlineNode* a = node->m_parent; a != nullptr; a = a->m_parent) {
    if (!a->m_expanded) return -1;
  }
  int32_t hint = m_announcedRow;
  return FindAnnouncedRow(node, hint);
}

int32_t RowView::RevealNode(OutlineNode* node) {
  if (node == nullptr) return -1;
  RefreshPendingRows();
  int32_t row = RowOf(node);
  if (row >= 0) return row;
  // The ancestors from the top down; parent links are the outline's own
  // (never read from a file), yet the walk is bounded by the deepest level
  // a node can have.
  std::vector<OutlineNode*> chain;
  for (OutlineNode* a = node->m_parent; a != nullptr && chain.size() <= 256; a = a->m_parent) {
    chain.push_back(a);
  }
  BulkRowChange bulk(m_rows);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    OutlineNode* ancestor = *it;
    const int32_t at = RowOf(ancestor);
    if (at < 0 || at > INT16_MAX) return -1;
    if (!ancestor->m_expanded) ToggleNode(static_cast<int16_t>(at));
    if (!ancestor->m_expanded) return -1;
  }
  return RowOf(node);
}

bool RowView::SelectNode(OutlineNode* node) {
  const int32_t row = RevealNode(node);
  if (row < 0) return false;
  m_selectedNode = node;
  m_rows.SetSelection(row);
  return true;
}

bool RowView::SetNodeOpen(OutlineNode* node, bool open) {
  if (node == nullptr || (node->m_expanded != 0) == open) return false;
  const int32_t row = open ? RevealNode(node) : RowOf(node);
  if (row > INT16_MAX) return false;
  if (row < 0) {
    if (open) return false;
    node->m_expanded = 0;
    if (m_nodeEvents != nullptr) m_nodeEvents->NodeClosed(*node);
    return true;
  }
  ToggleNode(static_cast<int16_t>(row));
  return (node->m_expanded != 0) == open;
}

}  // namespace orvane
