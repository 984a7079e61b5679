// The category table: numbers books across categories (BookNumber) and keeps
// each category's check bookkeeping. Books of category k carry the numbers
// numberBase + 1 .. numberBase + bookCount.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane {

// Check states, stored as 16-bit values.
enum TCheckState : int16_t { csChecked = 0, csUnchecked = 1, csPartial = 2 };

struct CategoryEntry {
  int16_t bookCount = 0;
  int16_t numberBase = 0;
  int16_t summaryState = csChecked;
  int16_t checkedCount = 0;
  int16_t lastShown = 0;
  std::vector<int16_t> bookStates;  // by 0-based ordinal
};

class CategoryTable {
 public:
  int16_t Count() const { return static_cast<int16_t>(m_entries.size()); }
  bool Empty() const { return m_entries.empty(); }
  void Clear() { m_entries.clear(); }

  // Appends category Count()+1 with `bookCount` books numbered after the
  // books of every earlier category; all checked.
  CategoryEntry& AddCategory(int16_t bookCount);

  // 1-based; null for a number outside 1..Count().
  CategoryEntry* Entry(int32_t k);
  const CategoryEntry* Entry(int32_t k) const;

  // The category holding `book`, or 0 for none. The comparison is signed, so
  // 0 and negative numbers map to the first category of a non-empty table.
  int16_t CategoryOfBook(int16_t book) const;

  // The stored state of `book`, or null when no category holds it.
  int16_t* BookState(int16_t book);
  const int16_t* BookState(int16_t book) const;

  // Sum of all categories' book counts.
  int32_t TotalBooks() const;

 private:
  std::vector<CategoryEntry> m_entries;
};

}  // namespace orvane
