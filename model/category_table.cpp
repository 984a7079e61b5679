#include "model/category_table.h"

namespace orvane {

CategoryEntry& CategoryTable::AddCategory(int16_t bookCount) {
  int32_t base = 0;
  if (!m_entries.empty()) base = m_entries.back().numberBase + m_entries.back().bookCount;
  CategoryEntry entry;
  entry.bookCount = bookCount;
  entry.numberBase = static_cast<int16_t>(base);
  entry.summaryState = csChecked;
  entry.checkedCount = bookCount;
  entry.lastShown = bookCount;
  entry.bookStates.assign(static_cast<size_t>(bookCount > 0 ? bookCount : 0), csChecked);
  m_entries.push_back(std::move(entry));
  return m_entries.back();
}

CategoryEntry* CategoryTable::Entry(int32_t k) {
  if (k < 1 || k > static_cast<int32_t>(m_entries.size())) return nullptr;
  return &m_entries[static_cast<size_t>(k - 1)];
}

const CategoryEntry* CategoryTable::Entry(int32_t k) const {
  return const_cast<CategoryTable*>(this)->Entry(k);
}

int16_t CategoryTable::CategoryOfBook(int16_t book) const {
  for (size_t k = 0; k < m_entries.size(); ++k) {
    const CategoryEntry& e = m_entries[k];
    if (book <= e.numberBase + e.bookCount) return static_cast<int16_t>(k + 1);
  }
  return 0;
}

int16_t* CategoryTable::BookState(int16_t book) {
  CategoryEntry* e = Entry(CategoryOfBook(book));
  if (!e) return nullptr;
  int32_t index = book - e->numberBase - 1;
  if (index < 0 || index >= static_cast<int32_t>(e->bookStates.size())) return nullptr;
  return &e->bookStates[static_cast<size_t>(index)];
}

const int16_t* CategoryTable::BookState(int16_t book) const {
  return const_cast<CategoryTable*>(this)->BookState(book);
}

int32_t CategoryTable::TotalBooks() const {
  int32_t total = 0;
  for (const CategoryEntry& e : m_entries) total += e.bookCount;
  return total;
}

}  // namespace orvane
