// Opening and closing nodes, the row limit, and the two wholesale rebuilds.
#include <algorithm>
#include <string>

#include "core/orvane_core.h"
#include "loading/file_system.h"
#include "loading/toc_reader.h"
#include "rows/hover_timer.h"
#include "rows/row_events.h"
#include "rows/row_list.h"

namespace orvane {

namespace {

// Above this many rows, opening a node first closes other categories.
constexpr int32_t kRowLimit = 31999;

const OutlineNode* TopAncestor(const OutlineNode* node) {
  while (node->m_parent) node = node->m_parent;
  return node;
}

}  // namespace

bool OrvaneCore::HasDeferredChildren(const OutlineNode& node) const {
  // Only a section's header comes from its file, so only a section's
  // FirstChildPos leads to a run of records; a book's header is made from
  // its title and points nowhere.
  return node.Level() >= 2 && node.m_bookNumber >= 1 && node.m_bookNumber <= m_bookCount &&
         node.ChildCount() > node.m_children.Count();
}

bool OrvaneCore::CanOpen(const OutlineNode& node) const {
  return !node.m_children.Empty() || HasDeferredChildren(node);
}

bool OrvaneCore::ReadDeferredChildren(OutlineNode& node) {
  if (!HasDeferredChildren(node)) return false;
  std::string path = m_booksDir + "\\" + BookName(node.m_bookNumber) + ".Toc";
  std::unique_ptr<File> file = m_files.OpenRead(path, Share::ReadWrite);
  if (!file) return false;
  LoadChildren(*file, node);
  return true;
}

int32_t OrvaneCore::ToggleNode(int16_t row, int16_t* lastRow) {
  const bool hadRows = m_rows.NodeOf(row) != nullptr;
  const int32_t changed = ToggleRows(row, lastRow);
  if (hadRows && m_rowEvents != nullptr) {
    m_rowEvents->RowStateChanged(row);
    if (changed != 0) m_rowEvents->RowsReordered();
  }
  return changed;
}

int32_t OrvaneCore::ToggleRows(int16_t row, int16_t* lastRow) {
  if (lastRow) *lastRow = row;
  OutlineNode* node = m_rows.NodeOf(row);
  if (!node) return 0;
  node->m_expanded = !node->m_expanded;
  bool opening = node->m_expanded != 0;
  // A section whose children all lie beyond its book's leading region reads
  // them when it opens, as the library's author meant by storing them there.
  if (node->m_children.Empty() && opening) ReadDeferredChildren(*node);
  if (node->m_children.Empty()) return 0;

  m_hoverTimer.Stop();
  m_rows.BeginBulkChange();
  int32_t changed = opening ? ToggleOpen(*node, row, lastRow) : ToggleClose(*node, row);
  m_rows.EndBulkChange();
  m_hoverTimer.Start();
  return changed;
}

int32_t OrvaneCore::ToggleOpen(OutlineNode& node, int16_t row, int16_t* lastRow) {
  // Children still waiting in the file are read before the rows are made;
  // nothing is read once the counts agree.
  if (node.ChildCount() != 0 && node.ChildCount() != node.m_children.Count()) {
    ReadDeferredChildren(node);
  }
  int16_t last = row;
  int32_t count = 0;
  for (int32_t i = 0; i < node.m_children.Count(); ++i) {
    OutlineNode* child = node.m_children[i];
    if (!m_applyCheck && GetCheckState(child) == csUnchecked) continue;
    int16_t used;
    if (InsertNodeRow(child, static_cast<int16_t>(last + 1), &used) == 0) break;
    ++count;
    last = used;
    if (child->m_expanded && !child->m_children.Empty()) {
      // Re-open what was open when this node was last closed.
      child->m_expanded = 0;
      int16_t childLast = last;
      count += ToggleRows(last, &childLast);
      last = childLast;
    }
  }
  if (lastRow) *lastRow = last;
  return count;
}

int32_t OrvaneCore::ToggleClose(OutlineNode& node, int16_t row) {
  uint8_t level = node.Level();
  int32_t count = 0;
  for (;;) {
    const OutlineNode* next = m_rows.NodeOf(row + 1);
    if (!next || next->Level() <= level) break;
    m_rows.Delete(row + 1);
    ++count;
  }
  return count;
}

int32_t OrvaneCore::InsertNodeRow(OutlineNode* node, int16_t index, int16_t* indexUsed) {
  int32_t at = index;
  if (m_rows.Count() >= kRowLimit) {
    int16_t k = m_categories.CategoryOfBook(node->m_bookNumber);
    // The node's own top-level ancestor is never closed, whatever its
    // number: closing it would pull the insertion point out from under us.
    const OutlineNode* own = TopAncestor(node);
    for (int32_t r = 0; r < m_rows.Count() && m_rows.Count() >= kRowLimit; ++r) {
      OutlineNode* other = m_rows.NodeOf(r);
      if (!other || other->Level() != 0 || other == own || !other->m_expanded) continue;
      if (IsCategory(other) && other->m_ordinal == k) continue;
      if (!m_applyCheck && GetCheckState(other) == csUnchecked) continue;
      int32_t deleted = ToggleNode(static_cast<int16_t>(r));
      if (r < at) at -= deleted;
    }
    // Every other category is closed and the list is still full: the opening
    // stops short rather than break the limit.
    if (m_rows.Count() >= kRowLimit) {
      if (indexUsed) *indexUsed = static_cast<int16_t>(at);
      return 0;
    }
  }
  at = std::clamp<int32_t>(at, 0, m_rows.Count());
  m_rows.Insert(at, node);
  if (indexUsed) *indexUsed = static_cast<int16_t>(at);
  return 1;
}

void OrvaneCore::RebuildAllRows() {
  m_rows.BeginBulkChange();
  m_rows.Clear();
  for (int32_t k = 1; k <= m_categories.Count(); ++k) {
    OutlineNode* category = NodeAt(m_rootList, k);
    if (!category) continue;
    category->m_expanded = 1;
    AppendRootRow(category);
    for (int32_t j = 1; j <= m_categories.Entry(k)->bookCount; ++j) {
      OutlineNode* book = NodeAt(category->m_children, j);
      if (!book) continue;
      // Books come back closed: their section rows are not rebuilt, and an
      // open flag without them would make the next click a closing that
      // deletes nothing. Their sections keep their own flags.
      book->m_expanded = 0;
      AppendRootRow(book);
    }
  }
  m_rows.EndBulkChange();
  AnnounceReorder();
}

void OrvaneCore::RebuildCheckedRows() {
  m_rows.BeginBulkChange();
  m_rows.Clear();
  for (int32_t k = 1; k <= m_categories.Count(); ++k) {
    CategoryEntry& entry = *m_categories.Entry(k);
    OutlineNode* category = NodeAt(m_rootList, k);
    if (!category || entry.summaryState == csUnchecked) continue;
    category->m_expanded = 1;
    AppendRootRow(category);
    for (int32_t j = 1; j <= entry.bookCount; ++j) {
      if (entry.bookStates[static_cast<size_t>(j - 1)] == csUnchecked) continue;
      OutlineNode* book = NodeAt(category->m_children, j);
      if (!book) continue;
      entry.lastShown = static_cast<int16_t>(j);
      book->m_expanded = 0;
      AppendRootRow(book);
    }
  }
  m_rows.EndBulkChange();
  AnnounceReorder();
}

}  // namespace orvane
