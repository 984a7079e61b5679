#include "core/orvane_core.h"

#include <algorithm>

#include "loading/file_system.h"
#include "loading/profile_source.h"
#include "rows/hover_timer.h"
#include "rows/row_events.h"
#include "rows/row_list.h"

namespace orvane {

OrvaneCore::OrvaneCore(RowList& rows, ProfileSource& profile, FileSystem& files,
                       HoverTimer& hoverTimer)
    : m_rows(rows), m_profile(profile), m_files(files), m_hoverTimer(hoverTimer) {}

OrvaneCore::~OrvaneCore() = default;

void OrvaneCore::ClearOutline() {
  // Rows and the current node refer to nodes: drop them before the nodes go.
  m_rows.Clear();
  m_selectedNode = nullptr;
  m_rootList.Clear();
  m_categories.Clear();
  m_bookCount = 0;
  m_bookBuffers.clear();
  m_bookLengths.clear();
  m_bookParsedEnd.clear();
  m_rowsStale = false;
  AnnounceReorder();
}

const uint8_t* OrvaneCore::BookBuffer(int16_t book) const {
  if (book < 1 || book > m_bookCount) return nullptr;
  return m_bookBuffers[static_cast<size_t>(book - 1)].get();
}

uint32_t OrvaneCore::BookLength(int16_t book) const {
  if (book < 1 || book > m_bookCount) return 0;
  return m_bookLengths[static_cast<size_t>(book - 1)];
}

OutlineNode* OrvaneCore::BookNode(int16_t book) const {
  if (book < 1 || book > m_bookCount) return nullptr;
  int16_t k = m_categories.CategoryOfBook(book);
  const CategoryEntry* entry = m_categories.Entry(k);
  OutlineNode* category = NodeAt(m_rootList, k);
  if (!entry || !category) return nullptr;
  return NodeAt(category->m_children, book - entry->numberBase);
}

bool OrvaneCore::IsCategory(const OutlineNode* node) const {
  // Categories are the first nodes of the root list; text items added after a
  // catalogue sit behind them and must never reach a category entry.
  return node && node->m_parent == nullptr && node->m_ordinal >= 1 &&
         node->m_ordinal <= m_categories.Count() && NodeAt(m_rootList, node->m_ordinal) == node;
}

bool OrvaneCore::IsBook(const OutlineNode* node) const {
  return node && node->m_bookNumber >= 1 && node->Level() == 1 && BookNode(node->m_bookNumber) == node;
}

int32_t OrvaneCore::FindAnnouncedRow(const OutlineNode* node, int32_t& hint) {
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

void OrvaneCore::AnnounceNode(const OutlineNode* node) {
  if (m_rowEvents == nullptr || node == nullptr) return;
  // Parents and their children are looked for from separate places, so
  // that a book and then its category each start near their own row.
  int32_t& hint = node->m_parent == nullptr ? m_announcedTopRow : m_announcedRow;
  const int32_t row = FindAnnouncedRow(node, hint);
  if (row >= 0) m_rowEvents->RowStateChanged(row);
}

void OrvaneCore::AnnounceCategoryBooks(const OutlineNode* category) {
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

void OrvaneCore::AnnounceReorder() {
  if (m_rowEvents != nullptr) m_rowEvents->RowsReordered();
}

bool OrvaneCore::AppendRootRow(OutlineNode* node) {
  if (m_rows.Count() >= kMaxRows) return false;
  m_rows.Append(node);
  return true;
}

}  // namespace orvane
