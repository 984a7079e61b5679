#include "rows/check_states.h"

#include "model/library.h"
#include "rows/node_events.h"

namespace orvane {

int16_t CheckStates::GetCheckState(const OutlineNode* node) const {
  const CategoryTable& categories = m_library.Categories();
  if (m_library.IsCategory(node)) return categories.Entry(node->m_ordinal)->summaryState;
  if (node && node->m_bookNumber >= 1 && node->m_bookNumber <= m_library.BookCount()) {
    if (const int16_t* state = categories.BookState(node->m_bookNumber)) return *state;
  }
  // Items of a text outline belong to no catalogue: they count as checked,
  // so that the checked-only view never hides them.
  return csChecked;
}

void CheckStates::SetCheckState(const OutlineNode* node, int16_t state) {
  CategoryTable& categories = m_library.Categories();
  if (m_library.IsCategory(node)) {
    categories.Entry(node->m_ordinal)->summaryState = state;
  } else if (m_library.IsBook(node)) {
    *categories.BookState(node->m_bookNumber) = state;
  }
}

void CheckStates::SetCategoryBooks(const OutlineNode* category, int16_t state) {
  if (!m_library.IsCategory(category)) return;
  CategoryEntry& entry = *m_library.Categories().Entry(category->m_ordinal);
  entry.checkedCount = state == csUnchecked ? 0 : entry.bookCount;
  for (const OutlineNode* book : category->m_children) SetCheckState(book, state);
}

void CheckStates::UpdateCategorySummary(const OutlineNode* book, int16_t newState,
                                        int16_t oldState) {
  if (!book || book->Level() == 0) return;
  int16_t k = m_library.Categories().CategoryOfBook(book->m_bookNumber);
  CategoryEntry* entry = m_library.Categories().Entry(k);
  OutlineNode* category = m_library.CategoryNode(k);
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

void CheckStates::ChangeState(OutlineNode* node) {
  if (!m_applyCheck || !node) return;
  int16_t oldState = GetCheckState(node);
  int16_t newState = oldState == csChecked ? csUnchecked : csChecked;
  if (m_library.IsCategory(node)) {
    SetCheckState(node, newState);
    SetCategoryBooks(node, newState);
    if (m_observer) {
      m_observer->NodeStateChanged(node);
      m_observer->CategoryBooksChanged(node);
    }
    if (m_nodeEvents) m_nodeEvents->NodeChecked(*node);
  } else if (m_library.IsBook(node)) {
    const int16_t categoryBefore = GetCheckState(node->m_parent);
    SetCheckState(node, newState);
    UpdateCategorySummary(node, newState, oldState);
    if (m_observer) {
      m_observer->NodeStateChanged(node);
      m_observer->NodeStateChanged(node->m_parent);
    }
    TellBookChanged(node, categoryBefore);
  }
  // Sections and text items have no state of their own.
}

bool CheckStates::SetStateBook(int16_t bookId, bool checked) {
  OutlineNode* book = m_library.BookNode(bookId);
  int16_t* stored = book ? m_library.Categories().BookState(bookId) : nullptr;
  if (!stored) return false;
  int16_t newState = checked ? csChecked : csUnchecked;
  int16_t oldState = *stored;
  const int16_t categoryBefore = GetCheckState(book->m_parent);
  *stored = newState;
  if (newState != oldState) {
    if (!m_applyCheck) m_rowsStale = true;
    UpdateCategorySummary(book, newState, oldState);
    TellBookChanged(book, categoryBefore);
    // The checked-only view makes its rows again before the next paint, and
    // that is told as a reorder.
    if (m_applyCheck && m_observer) {
      m_observer->NodeStateChanged(book);
      m_observer->NodeStateChanged(book->m_parent);
    }
  }
  return true;
}

void CheckStates::TellBookChanged(OutlineNode* book, int16_t categoryStateBefore) {
  if (m_nodeEvents == nullptr) return;
  m_nodeEvents->NodeChecked(*book);
  OutlineNode* category = book->m_parent;
  if (m_library.IsCategory(category) && GetCheckState(category) != categoryStateBefore) {
    m_nodeEvents->NodeChecked(*category);
  }
}

bool CheckStates::SetStateCategory(OutlineNode* category, bool checked) {
  if (!m_library.IsCategory(category)) return false;
  const int16_t newState = checked ? csChecked : csUnchecked;
  const CategoryEntry* entry = m_library.Categories().Entry(category->m_ordinal);
  // A partly checked category changes even when its summary would read the
  // same afterwards: its books do.
  const bool same = GetCheckState(category) == newState &&
                    entry->checkedCount == (checked ? entry->bookCount : 0);
  if (same) return true;
  SetCheckState(category, newState);
  SetCategoryBooks(category, newState);
  if (!m_applyCheck) {
    m_rowsStale = true;
  } else if (m_observer) {
    m_observer->NodeStateChanged(category);
    m_observer->CategoryBooksChanged(category);
  }
  if (m_nodeEvents) m_nodeEvents->NodeChecked(*category);
  return true;
}

int16_t CheckStates::GetStateBook(int16_t bookId) const {
  if (bookId <= 0 || bookId > m_library.BookCount()) return 0;
  const int16_t* stored = m_library.Categories().BookState(bookId);
  return stored ? *stored : 0;
}

}  // namespace orvane
