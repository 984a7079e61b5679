// Loading a catalogue, and finding its books again: the catalogue file named after the topic gives
// the books directory, the categories with their books, and each book's TOC file.
#include <algorithm>
#include <string>

#include "loading/catalogue_loader.h"
#include "loading/file_system.h"
#include "loading/profile_source.h"
#include "loading/toc_reader.h"
#include "model/library.h"

namespace orvane {

namespace {

// BookNumbers are 16-bit: no catalogue can number more books than this.
constexpr int32_t kMaxBooks = 32767;
// Categories each get a row, and row indexes are 16-bit.
constexpr int32_t kMaxCategories = 32767;

std::string Numbered(std::string_view prefix, int32_t n) {
  std::string s(prefix);
  s += std::to_string(n);
  return s;
}

}  // namespace

CatalogueLoader::CatalogueLoader(Library& library, ProfileSource& profile, FileSystem& files)
    : m_library(library), m_profile(profile), m_files(files) {
  m_library.SetBookReader(this);
}

void CatalogueLoader::SetBookReading(BookReading reading) {
  // Either way a book whose read failed is read again when next needed.
  m_reading = reading;
}

void CatalogueLoader::SetTopicName(std::string_view name) {
  m_topicName = name;
  m_catalogueFile = m_topicName + ".INI";
}

std::string CatalogueLoader::Read(std::string_view section, std::string_view key,
                                  std::string_view deflt) {
  return m_profile.GetString(m_catalogueFile, section, key, deflt);
}

void CatalogueLoader::Load(std::string_view topicName) {
  // The old table goes first: a load that fails part-way must not leave
  // paths of another catalogue's books behind.
  Forget();
  m_library.SetCatalogueLoaded();
  ProfileBatch batch(m_profile);
  SetTopicName(topicName);
  m_booksDir = Read("Directories", "TOC");
  // Counts come from a hand-edited file: negative ones mean none, and the
  // total is held to what 16-bit BookNumbers can count.
  LoadCategories(std::clamp(ReadLeadingNumber(Read("Books", "Count")), 0, kMaxBooks));
  FindBookFiles();
}

void CatalogueLoader::LoadCategories(int32_t declaredBooks) {
  NodeList& root = m_library.RootList();
  CategoryTable& categories = m_library.Categories();
  int32_t categoryCount =
      std::clamp(ReadLeadingNumber(Read("Categories", "Count", "0")), 0, kMaxCategories);
  int32_t total = 0;
  for (int32_t k = 1; k <= categoryCount; ++k) {
    OutlineNode* category = AddSiblingNode(root, nullptr, Read("Categories", Numbered("Name", k)));
    std::string section = Numbered("Category", k);
    int32_t count = std::clamp(ReadLeadingNumber(Read(section, "Count")), 0, kMaxBooks - total);
    CategoryEntry& entry = categories.AddCategory(static_cast<int16_t>(count));
    category->Header().SetChildCount(static_cast<uint16_t>(count));
    category->m_ordinal = static_cast<int16_t>(k);
    category->m_children.Reserve(static_cast<uint32_t>(count));
    for (int32_t j = 1; j <= count; ++j) {
      // Books hang under the category just made, whatever the rows show.
      OutlineNode* book = AddChildNode(root, category, Read(section, Numbered("Title", j)));
      book->m_ordinal = static_cast<int16_t>(j);
      book->m_bookNumber = static_cast<int16_t>(entry.numberBase + j);
    }
    total += count;
  }
  // The shelf covers every numbered book, even when the catalogue's own count
  // is smaller than the categories' sum.
  m_library.Shelf().Reset(static_cast<int16_t>(std::max(declaredBooks, total)));
}

void CatalogueLoader::FindBookFiles() {
  const CategoryTable& categories = m_library.Categories();
  m_bookFiles.assign(static_cast<size_t>(m_library.BookCount()), std::string());
  for (int32_t k = 1; k <= categories.Count(); ++k) {
    const CategoryEntry& entry = *categories.Entry(k);
    std::string section = Numbered("Category", k);
    for (int32_t j = 1; j <= entry.bookCount; ++j) {
      int16_t bookNumber = static_cast<int16_t>(entry.numberBase + j);
      std::string& path = m_bookFiles[static_cast<size_t>(bookNumber - 1)];
      const std::string name = Read(section, Numbered("Name", j));
      path.reserve(m_booksDir.size() + name.size() + 5);
      path.append(m_booksDir).append("\\").append(name).append(".TOC");
      if (m_reading == BookReading::WithCatalogue) ReadBook(bookNumber);
    }
  }
}

void CatalogueLoader::ReadBook(int16_t bookNumber) {
  BookShelf& shelf = m_library.Shelf();
  OutlineNode* book = m_library.BookNode(bookNumber);
  if (!book || shelf.IsRead(bookNumber)) return;
  // Failed until it has succeeded: a read cut short by a missing or locked
  // file, or by running out of memory, is not repeated at every paint, but
  // the book is tried again when the reader next asks for it.
  shelf.MarkFailed(bookNumber);
  const std::string* path = BookFile(bookNumber);
  if (!path) return;
  // Shared for writing too: a program that edits the library may hold the
  // file open, and the deferred reads share the same way.
  std::unique_ptr<File> file = m_files.OpenRead(*path, Share::ReadWrite);
  if (!file) return;
  const FileStamp stamp{file->Size(), file->ModifiedTime()};
  std::unique_ptr<uint8_t[]> buffer;
  uint32_t length = 0;
  // Two spare bytes after the file let the title decoder put a terminator
  // after the last title.
  if (!ReadWholeFile(*file, buffer, length, 2, kMaxTocFileBytes)) return;
  // The sections borrow the buffer: should the parse fail, those it made go
  // before the buffer does, and children a host hung under the book stay.
  const int32_t kept = book->m_children.Count();
  const uint16_t declared = book->ChildCount();
  uint32_t parsedEnd = 0;
  bool childrenWait = false;
  try {
    parsedEnd = ParseToc(*book, buffer.get(), length, bookNumber, childrenWait);
  } catch (...) {
    book->m_children.Truncate(kept);
    book->Header().SetChildCount(declared);
    throw;
  }
  shelf.Store(bookNumber, std::move(buffer), length, parsedEnd, stamp);
  if (childrenWait) shelf.SetChildrenWait(bookNumber);
}

const std::string* CatalogueLoader::BookFile(int16_t book) const {
  if (book < 1 || static_cast<size_t>(book) > m_bookFiles.size()) return nullptr;
  const std::string& path = m_bookFiles[static_cast<size_t>(book - 1)];
  return path.empty() ? nullptr : &path;
}

void CatalogueLoader::Forget() noexcept { std::vector<std::string>().swap(m_bookFiles); }

std::string CatalogueLoader::BookName(int16_t book) {
  const CategoryTable& categories = m_library.Categories();
  int16_t k = categories.CategoryOfBook(book);
  const CategoryEntry* entry = categories.Entry(k);
  if (!entry) return std::string();
  return Read(Numbered("Category", k), Numbered("Name", book - entry->numberBase));
}

bool CatalogueLoader::ReadDeferredChildren(OutlineNode& node) {
  if (!m_library.HasDeferredChildren(node)) return false;
  // The file the book's leading region came from, found at LoadBooks: a
  // later change of BooksDir or TopicName names other books.
  const std::string* path = BookFile(node.m_bookNumber);
  const FileStamp* stamp = m_library.Shelf().Stamp(node.m_bookNumber);
  if (!path || !stamp) return false;
  std::unique_ptr<File> file = m_files.OpenRead(*path, Share::ReadWrite);
  if (!file) return false;
  // A file replaced since its leading read has other records at the
  // positions the sections point to: none are read from it.
  if (FileStamp{file->Size(), file->ModifiedTime()} != *stamp) return false;
  LoadChildren(*file, node);
  return true;
}

}  // namespace orvane
