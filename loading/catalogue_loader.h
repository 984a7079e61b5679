// CatalogueLoader: the library's catalogue file (the topic name followed by ".INI")
// and the books directory it names. It fills a Library from the file, reads
// each book's TOC file when the library first needs it (or at once, when
// told to), finds a book's file again by its catalogue name, and reads a
// section's deferred children from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <vector>

#include "model/book_reader.h"
#include "model/child_reader.h"

namespace orvane {

class FileSystem;
class Library;
class ProfileSource;

// The largest TOC file that is read, checked before reading: the largest
// real books hold a few hundred thousand sections in a few megabytes, and
// the whole file is kept for the control's life.
inline constexpr int64_t kMaxTocFileBytes = 64 * 1024 * 1024;

// When a book's TOC file is read.
enum class BookReading { OnDemand, WithCatalogue };

class CatalogueLoader : public ChildReader, public BookReader {
 public:
  CatalogueLoader(Library& library, ProfileSource& profile, FileSystem& files);

  // Builds the categories and their books into the library, which must be
  // empty (nothing may refer to its old nodes), and finds each book's file:
  // the books directory and file name as the catalogue gives them now, so a
  // later change of BooksDir does not move a book that is read later.
  // Remembers `topicName`, reads `BooksDir` from the catalogue, and marks the
  // library loaded even when no catalogue file exists. Makes no rows.
  void Load(std::string_view topicName);

  // OnDemand (the default) leaves each book's file until the library needs
  // it; WithCatalogue reads every file in Load, as a reference for tests.
  // Either way a failed read is tried again when the library next asks.
  void SetBookReading(BookReading reading);
  void ReadBook(int16_t book) override;

  // The catalogue name of BookNumber `book` (its TOC file's name without
  // ".TOC"), read from the catalogue file now; empty for no such book.
  std::string BookName(int16_t book);

  // Reads from the file the book's leading region came from, and nothing
  // when that file has been replaced since (its size or time differs).
  bool ReadDeferredChildren(OutlineNode& node) override;

  // Drops every book's path: what a load that failed part-way leaves.
  void Forget() noexcept;

  const std::string& TopicName() const { return m_topicName; }
  void SetTopicName(std::string_view name);
  const std::string& BooksDir() const { return m_booksDir; }
  void SetBooksDir(std::string_view dir) { m_booksDir = dir; }

 private:
  // The path found at Load for BookNumber `book`; null for none.
  const std::string* BookFile(int16_t book) const;
  std::string Read(std::string_view section, std::string_view key, std::string_view deflt = "");
  // The categories and their books as nodes, numbered; no file read yet.
  void LoadCategories(int32_t declaredBooks);
  // Finds every book's TOC file, reading it too unless books are read on
  // demand.
  void FindBookFiles();

  Library& m_library;
  ProfileSource& m_profile;
  FileSystem& m_files;
  std::string m_topicName;
  // The topic's catalogue file, made with the topic: a load reads thousands
  // of values from it.
  std::string m_catalogueFile = ".INI";
  std::string m_booksDir;
  BookReading m_reading = BookReading::OnDemand;
  std::vector<std::string> m_bookFiles;  // by BookNumber - 1; empty for no file
};

}  // namespace orvane
