// CatalogueLoader: the library's catalogue file (the topic name followed by ".INI")
// and the books directory it names. It fills a Library from the file, reading
// each book's TOC file, finds a book's file again by its catalogue name, and
// reads a section's deferred children from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/child_reader.h"

namespace orvane {

class FileSystem;
class Library;
class ProfileSource;

class CatalogueLoader : public ChildReader {
 public:
  CatalogueLoader(Library& library, ProfileSource& profile, FileSystem& files);

  // Builds the categories, their books and each book's leading sections into
  // the library, which must be empty (nothing may refer to its old nodes).
  // Remembers `topicName`, reads `BooksDir` from the catalogue, and marks the
  // library loaded even when no catalogue file exists. Makes no rows.
  void Load(std::string_view topicName);

  // The catalogue name of BookNumber `book` (its TOC file's name without
  // ".TOC"), read from the catalogue file now; empty for no such book.
  std::string BookName(int16_t book);

  bool ReadDeferredChildren(OutlineNode& node) override;

  const std::string& TopicName() const { return m_topicName; }
  void SetTopicName(std::string_view name) { m_topicName = name; }
  const std::string& BooksDir() const { return m_booksDir; }
  void SetBooksDir(std::string_view dir) { m_booksDir = dir; }

 private:
  std::string CatalogueFile() const;
  std::string Read(std::string_view section, std::string_view key, std::string_view deflt = "");
  // The categories and their books as nodes, numbered; no file read yet.
  void LoadCategories(int32_t declaredBooks);
  // Reads and parses every book's TOC file onto the shelf.
  void ReadBookFiles();

  Library& m_library;
  ProfileSource& m_profile;
  FileSystem& m_files;
  std::string m_topicName;
  std::string m_booksDir;
};

}  // namespace orvane
