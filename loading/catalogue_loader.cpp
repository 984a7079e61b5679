// LoadBooks and BookName: the catalogue file named after the topic gives the
// books directory, the categories with their books, and each book's TOC file.
#include <algorithm>
#include <string>

#include "core/orvane_core.h"
#include "loading/file_system.h"
#include "loading/profile_source.h"
#include "loading/toc_reader.h"
#include "rows/row_list.h"

namespace orvane {

namespace {

// BookNumbers are 16-bit: no catalogue can number more books than this.
constexpr int32_t kMaxBooks = 32767;

std::string Numbered(std::string_view prefix, int32_t n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

}  // namespace

std::string OrvaneCore::CatalogueFile() const { return m_topicName + ".INI"; }

std::string OrvaneCore::ReadCatalogue(std::string_view section, std::string_view key,
                                      std::string_view deflt) {
  return m_profile.GetString(CatalogueFile(), section, key, deflt);
}

bool OrvaneCore::LoadBooks(std::string_view topicName) {
  m_booksLoaded = true;
  ProfileBatch batch(m_profile);
  // A second load starts from nothing, so that it gives what a first load gives:
  // categories are found again by their position in the root list.
  ClearOutline();
  m_topicName = topicName;
  m_booksDir = ReadCatalogue("Directories", "TOC");

  // Counts come from a hand-edited file: negative ones mean none, and the
  // total is held to what 16-bit BookNumbers can count.
  int32_t declaredBooks =
      std::clamp(ReadLeadingNumber(ReadCatalogue("Books", "Count")), 0, kMaxBooks);
  int32_t categoryCount =
      std::clamp(ReadLeadingNumber(ReadCatalogue("Categories", "Count", "0")), 0, kMaxRows);

  // First pass: a node and a row per category, a node per book.
  int32_t total = 0;
  for (int32_t k = 1; k <= categoryCount; ++k) {
    OutlineNode* category =
        AddSiblingNode(m_rootList, nullptr, ReadCatalogue("Categories", Numbered("Name", k)));
    AppendRootRow(category);
    std::string section = Numbered("Category", k);
    int32_t count =
        std::clamp(ReadLeadingNumber(ReadCatalogue(section, "Count")), 0, kMaxBooks - total);
    CategoryEntry& entry = m_categories.AddCategory(static_cast<int16_t>(count));
    category->Header().SetChildCount(static_cast<uint16_t>(count));
    category->m_ordinal = static_cast<int16_t>(k);
    category->m_children.Reserve(static_cast<uint32_t>(count));
    for (int32_t j = 1; j <= count; ++j) {
      // Books hang under the category just made, not under "the last row":
      // a control without a window, or with a full list, has no such row.
      OutlineNode* book =
          AddChildNode(m_rootList, category, ReadCatalogue(section, Numbered("Title", j)));
      book->m_ordinal = static_cast<int16_t>(j);
      book->m_bookNumber = static_cast<int16_t>(entry.numberBase + j);
    }
    total += count;
  }

  // The book arrays cover every numbered book, even when the catalogue's own
  // count is smaller than the categories' sum.
  m_bookCount = static_cast<int16_t>(std::max(declaredBooks, total));
  m_bookBuffers.resize(static_cast<size_t>(m_bookCount));
  m_bookLengths.assign(static_cast<size_t>(m_bookCount), 0);
  m_bookParsedEnd.assign(static_cast<size_t>(m_bookCount), 0);

  // Second pass: every book's TOC file, read whole and parsed.
  for (int32_t k = 1; k <= m_categories.Count(); ++k) {
    const CategoryEntry& entry = *m_categories.Entry(k);
    OutlineNode* category = NodeAt(m_rootList, k);
    std::string section = Numbered("Category", k);
    for (int32_t j = 1; j <= entry.bookCount; ++j) {
      int32_t bookNumber = entry.numberBase + j;
      std::string path = m_booksDir + "\\" + ReadCatalogue(section, Numbered("Name", j)) + ".TOC";
      size_t slot = static_cast<size_t>(bookNumber - 1);
      std::unique_ptr<File> file = m_files.OpenRead(path, Share::Read);
      std::unique_ptr<uint8_t[]> buffer;
      uint32_t length = 0;
      // Two spare bytes after the file let the title decoder put a terminator
      // after the last title.
      if (!file || !ReadWholeFile(*file, buffer, length, 2)) continue;
      OutlineNode* book = NodeAt(category->m_children, j);
      m_bookParsedEnd[slot] =
          ParseToc(*book, buffer.get(), length, static_cast<int16_t>(bookNumber));
      m_bookBuffers[slot] = std::move(buffer);
      m_bookLengths[slot] = length;
    }
  }
  return true;
}

std::string OrvaneCore::BookName(int16_t book) {
  int16_t k = m_categories.CategoryOfBook(book);
  const CategoryEntry* entry = m_categories.Entry(k);
  if (!entry) return std::string();
  return ReadCatalogue(Numbered("Category", k), Numbered("Name", book - entry->numberBase));
}

}  // namespace orvane
