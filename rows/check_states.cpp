// Book check states, category summaries, and the two views ApplyCheck
// chooses between.
#include "core/orvane_core.h"

#include "rows/row_list.h"

namespace orvane {

int16_t OrvaneCore::GetCheckState(const OutlineNode* node) const {
  if (IsCategory(node)) return m_categories.Entry(node->m_ordinal)->summaryState;
  if (node && node->m_bookNumber >= 1 && node->m_bookNumber <= m_bookCount) {
    if (const int16_t* state = m_categories.BookState(node->m_bookNumber)) return *state;
  }
  // Items of a text outline belong to no catalogue: they count as checked,
  // so that the checked-only view never hides them.
  return csChecked;
}

void OrvaneCore::SetCheckState(const OutlineNode* node, int16_t state) {
  if (IsCategory(node)) {
    m_categories.Entry(node->m_ordinal)->summaryState = state;
  } else if (IsBook(node)) {
    *m_categories.BookState(node->m_bookNumber) = state;
  }
}

void OrvaneCore::SetCategoryBooks(const OutlineNode* category, int16_t state) {
  if (!IsCategory(category)) return;
  CategoryEntry& entry = *m_categories.Entry(category->m_ordinal);
  entry.checkedCount = state == csUnchecked ? 0 : entry.bookCount;
  for (const OutlineNode* book : category->m_children) SetCheckState(book, state);
}

void OrvaneCore::UpdateCategorySummary(const OutlineNode* book, int16_t newState,
                                       int16_t oldState) {
  if (!book || book->Level() == 0) return;
  int16_t k = m_categories.CategoryOfBook(book->m_bookNumber);
  CategoryEntry* entry = m_categories.Entry(k);
  OutlineNode* category = NodeAt(m_rootList, k);
  if (!entry || !category) return;
  if (newState == csChecked) {
    if (oldState == csUnchecked && entry->checkedCount < entry->bookCount) ++entry->checkedCount;
    // Compared with the number of books, not of child nodes: a host may have
    // hung text items under a category.
    SetCheckState(category, entry->checkedCount == entry->bookCount ? csChecked : csPartial);
  } else if (newState == csUnchecked) {
    if (entry->checkedCount > 0) --entry->checkedCount;
    SetCheckState(category, entry->checkedCount == 0 ? csUnchecked : csPartial);
  }
}

bool OrvaneCore::RefreshPendingRows() {
  if (!m_booksLoaded || !m_rowsStale || m_applyCheck) return false;
  RebuildCheckedRows();
  m_rowsStale = false;
  return true;
}

void OrvaneCore::ChangeStateSelected() {
  if (!m_applyCheck || !m_selectedNode) return;
  OutlineNode* node = m_selectedNode;
  int16_t oldState = GetCheckState(node);
  int16_t newState = oldState == csChecked ? csUnchecked : csChecked;
  if (IsCategory(node)) {
    SetCheckState(node, newState);
    SetCategoryBooks(node, newState);
    AnnounceNode(node);
    AnnounceCategoryBooks(node);
  } else if (IsBook(node)) {
    SetCheckState(node, newState);
    UpdateCategorySummary(node, newState, oldState);
    AnnounceNode(node);
    AnnounceNode(node->m_parent);
  }
  // Sections and text items have no state of their own.
}

bool OrvaneCore::SetStateBook(int16_t bookId, bool checked) {
  OutlineNode* book = BookNode(bookId);
  int16_t* stored = book ? m_categories.BookState(bookId) : nullptr;
  if (!stored) return false;
  int16_t newState = checked ? csChecked : csUnchecked;
  int16_t oldState = *stored;
  *stored = newState;
  if (newState != oldState) {
    if (!m_applyCheck) m_rowsStale = true;
    UpdateCategorySummary(book, newState, oldState);
    // The checked-only view makes its rows again before the next paint, and
    // that is announced as a reorder.
    if (m_applyCheck) {
      AnnounceNode(book);
      AnnounceNode(book->m_parent);
    }
  }
  return true;
}

int16_t OrvaneCore::GetStateBook(int16_t bookId) const {
  if (bookId <= 0 || bookId > m_bookCount) return 0;
  const int16_t* stored = m_categories.BookState(bookId);
  return stored ? *stored : 0;
}

void OrvaneCore::SetApplyCheck(bool on) {
  m_applyCheck = on;
  if (!m_booksLoaded) return;
  if (on) {
    RebuildAllRows();
  } else {
    RebuildCheckedRows();
  }
}

}  // namespace orvane
