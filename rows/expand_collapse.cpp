// Opening and closing nodes, the row limit, and the two wholesale rebuilds.
#include <algorithm>
#include <string>
#include <vector>

#include "model/child_reader.h"
#include "model/library.h"
#include "rows/check_states.h"
#include "rows/hover_timer.h"
#include "rows/node_events.h"
#include "rows/row_events.h"
#include "rows/row_list.h"
#include "rows/row_view.h"

namespace orvane {

namespace {

const OutlineNode* TopAncestor(const OutlineNode* node) {
  while (node->m_parent) node = node->m_parent;
  return node;
}

}  // namespace

RowView::RowView(RowList& rows, HoverTimer& hoverTimer, Library& library, CheckStates& checks,
                 ChildReader& childReader)
    : m_rows(rows),
      m_hoverTimer(hoverTimer),
      m_library(library),
      m_checks(checks),
      m_childReader(childReader) {
  m_checks.SetObserver(this);
}

void RowView::Clear() {
  // Rows and the current node refer to nodes: they go before the nodes do.
  m_rows.Clear();
  m_selectedNode = nullptr;
  AnnounceReorder();
}

void RowView::ShowCategories() {
  // The categories go in as one count: a row at a time, the list box would
  // redraw its scroll bar for every row past the first page (most of a
  // load's time under Wine).
  const int32_t count = std::min<int32_t>(m_library.Categories().Count(), kMaxRows);
  std::vector<OutlineNode*> nodes;
  nodes.reserve(static_cast<size_t>(std::max(count, 0)));
  for (int32_t k = 1; k <= count; ++k) nodes.push_back(m_library.CategoryNode(k));
  BulkRowChange bulk(m_rows);
  m_rows.Replace(nodes.data(), static_cast<int32_t>(nodes.size()));
}

bool RowView::AppendRootRow(OutlineNode* node) {
  if (m_rows.Count() >= kMaxRows) return false;
  m_rows.Append(node);
  return true;
}

int32_t RowView::ToggleNode(int16_t row, int16_t* lastRow) {
  OutlineNode* node = m_rows.NodeOf(row);
  const int32_t changed = ToggleRows(row, lastRow);
  if (node != nullptr && m_rowEvents != nullptr) {
    m_rowEvents->RowStateChanged(row);
    if (changed != 0) m_rowEvents->RowsReordered();
  }
  // Told of the toggled node alone: the descendants it re-opens were open
  // already, and are part of this one change.
  if (node != nullptr && m_nodeEvents != nullptr) {
    if (node->m_expanded) {
      m_nodeEvents->NodeOpened(*node);
    } else {
      m_nodeEvents->NodeClosed(*node);
    }
  }
  return changed;
}

int32_t RowView::ToggleRows(int16_t row, int16_t* lastRow) {
  if (lastRow) *lastRow = row;
  OutlineNode* node = m_rows.NodeOf(row);
  if (!node) return 0;
  m_library.EnsureBookReadFor(*node);
  node->m_expanded = !node->m_expanded;
  bool opening = node->m_expanded != 0;
  // A section whose children all lie beyond its book's leading region reads
  // them when it opens, as the library's author meant by storing them there.
  if (node->m_children.Empty() && opening) ReadDeferredOrStayClosed(*node);
  if (node->m_children.Empty()) return 0;

  // Both are closed by their scopes, so that a failure part-way leaves the
  // list redrawing and hovering alive.
  HoverPause pause(m_hoverTimer);
  BulkRowChange bulk(m_rows);
  if (!opening) return ToggleClose(*node, row);
  try {
    return ToggleOpen(*node, row, lastRow);
  } catch (...) {
    // Half an opening would show the node open with some of its rows: it
    // goes back to closed, with none. Closing may have moved its row.
    node->m_expanded = 0;
    const int16_t at = FindRow(node, 0);
    if (at >= 0) ToggleClose(*node, at);
    throw;
  }
}

void RowView::ReadDeferredOrStayClosed(OutlineNode& node) {
  try {
    m_childReader.ReadDeferredChildren(node);
  } catch (...) {
    // The children read so far are whole nodes of their own; the node
    // stays closed and the next opening reads the rest.
    node.m_expanded = 0;
    throw;
  }
}

int32_t RowView::ToggleOpen(OutlineNode& node, int16_t row, int16_t* lastRow) {
  // Children still waiting in the file are read before the rows are made;
  // nothing is read once every declared child has come from the file.
  m_childReader.ReadDeferredChildren(node);
  // Descendants that were open when this node was last closed open again.
  // A host can nest items thousands of levels deep, so the open levels are
  // a list here rather than calls on the stack.
  struct Opening {
    OutlineNode* node;
    int32_t next;
  };
  std::vector<Opening> open{{&node, 0}};
  int16_t last = row;
  int32_t count = 0;
  while (!open.empty()) {
    Opening& level = open.back();
    if (level.next >= level.node->m_children.Count()) {
      open.pop_back();
      continue;
    }
    OutlineNode* child = level.node->m_children[level.next++];
    if (!m_checks.ApplyCheck() && m_checks.GetCheckState(child) == csUnchecked) continue;
    int16_t used;
    // The list stays full although every other category was closed: the
    // opening stops there.
    if (InsertNodeRow(child, static_cast<int16_t>(last + 1), &used) == 0) break;
    ++count;
    last = used;
    if (child->m_expanded && !child->m_children.Empty()) {
      m_library.EnsureBookReadFor(*child);
      m_childReader.ReadDeferredChildren(*child);
      open.push_back({child, 0});
    }
  }
  if (lastRow) *lastRow = last;
  return count;
}

bool RowView::IsBelow(const OutlineNode& row, const OutlineNode& node) {
  // Rows follow the outline depth first, so the rows under a node's row are
  // those deeper than it, up to the first that is not. Levels are exact below
  // 255; a host can nest deeper, where they all read 255 and only the parent
  // links tell.
  constexpr uint8_t kSaturated = 255;
  if (node.Level() < kSaturated) return row.Level() > node.Level();
  for (const OutlineNode* up = row.m_parent; up; up = up->m_parent) {
    if (up == &node) return true;
    if (up->Level() < kSaturated) return false;
  }
  return false;
}

int32_t RowView::ToggleClose(OutlineNode& node, int16_t row) {
  int32_t count = 0;
  for (;;) {
    const OutlineNode* next = m_rows.NodeOf(row + 1);
    if (!next || !IsBelow(*next, node)) break;
    m_rows.Delete(row + 1);
    ++count;
  }
  return count;
}

int32_t RowView::InsertNodeRow(OutlineNode* node, int16_t index, int16_t* indexUsed) {
  int32_t at = index;
  if (m_rows.Count() >= kRowsBeforeClosingOthers) {
    int16_t k = m_library.Categories().CategoryOfBook(node->m_bookNumber);
    // The node's own top-level ancestor is never closed, whatever its
    // number: closing it would pull the insertion point out from under us.
    const OutlineNode* own = TopAncestor(node);
    for (int32_t r = 0; r < m_rows.Count() && m_rows.Count() >= kRowsBeforeClosingOthers; ++r) {
      OutlineNode* other = m_rows.NodeOf(r);
      if (!other || other->Level() != 0 || other == own || !other->m_expanded) continue;
      if (m_library.IsCategory(other) && other->m_ordinal == k) continue;
      if (!m_checks.ApplyCheck() && m_checks.GetCheckState(other) == csUnchecked) continue;
      int32_t deleted = ToggleNode(static_cast<int16_t>(r));
      if (r < at) at -= deleted;
    }
    // Every other category is closed and the list is still full: the opening
    // stops short rather than break the limit.
    if (m_rows.Count() >= kRowsBeforeClosingOthers) {
      if (indexUsed) *indexUsed = static_cast<int16_t>(at);
      return 0;
    }
  }
  at = std::clamp<int32_t>(at, 0, m_rows.Count());
  m_rows.Insert(at, node);
  if (indexUsed) *indexUsed = static_cast<int16_t>(at);
  return 1;
}

void RowView::RebuildAllRows() {
  std::vector<OutlineNode*> shown;
  const CategoryTable& categories = m_library.Categories();
  for (int32_t k = 1; k <= categories.Count(); ++k) {
    OutlineNode* category = m_library.CategoryNode(k);
    if (!category) continue;
    shown.push_back(category);
    for (int32_t j = 1; j <= categories.Entry(k)->bookCount; ++j) {
      OutlineNode* book = NodeAt(category->m_children, j);
      if (book) shown.push_back(book);
    }
  }
  ShowOnly(shown);
  // The open flags change only once the rows have: a rebuild that failed
  // leaves both as they were.
  for (OutlineNode* node : shown) {
    // Books come back closed: their section rows are not rebuilt, and an
    // open flag without them would make the next click a closing that
    // deletes nothing. Their sections keep their own flags.
    node->m_expanded = node->Level() == 0 ? 1 : 0;
  }
}

void RowView::RebuildCheckedRows() {
  std::vector<OutlineNode*> shown;
  CategoryTable& categories = m_library.Categories();
  for (int32_t k = 1; k <= categories.Count(); ++k) {
    const CategoryEntry& entry = *categories.Entry(k);
    OutlineNode* category = m_library.CategoryNode(k);
    if (!category || entry.summaryState == csUnchecked) continue;
    shown.push_back(category);
    for (int32_t j = 1; j <= entry.bookCount; ++j) {
      if (entry.bookStates[static_cast<size_t>(j - 1)] == csUnchecked) continue;
      OutlineNode* book = NodeAt(category->m_children, j);
      if (book) shown.push_back(book);
    }
  }
  ShowOnly(shown);
  for (OutlineNode* node : shown) {
    if (node->Level() == 0) {
      node->m_expanded = 1;
      continue;
    }
    node->m_expanded = 0;
    categories.Entry(node->m_parent->m_ordinal)->lastShown = node->m_ordinal;
  }
}

void RowView::ShowOnly(const std::vector<OutlineNode*>& nodes) {
  // Rows past the 16-bit limit are left out, as appending them one by one
  // would leave them.
  int32_t count = std::min<int32_t>(static_cast<int32_t>(nodes.size()), kMaxRows);
  {
    BulkRowChange bulk(m_rows);
    try {
      m_rows.Replace(nodes.data(), count);
    } catch (...) {
      // Some of the new rows under the old open flags would disagree with
      // them; no rows at all agree with any.
      m_rows.Clear();
      AnnounceReorder();
      throw;
    }
  }
  AnnounceReorder();
}

bool RowView::RefreshPendingRows() {
  if (!m_library.CatalogueLoaded() || !m_checks.RowsStale() || m_checks.ApplyCheck()) return false;
  RebuildCheckedRows();
  m_checks.ClearStale();
  return true;
}

void RowView::SetApplyCheck(bool on) {
  const bool was = m_checks.ApplyCheck();
  m_checks.StoreApplyCheck(on);
  if (!m_library.CatalogueLoaded()) return;
  try {
    if (on) {
      RebuildAllRows();
    } else {
      RebuildCheckedRows();
    }
  } catch (...) {
    // The rows are still those of the old view (or none): so is the switch.
    m_checks.StoreApplyCheck(was);
    throw;
  }
}

}  // namespace orvane
