// SectionQueries: what the host asks about positions in a book's TOC file.
// Every position comes from the host: a record is read only when it lies
// wholly inside the book's buffer. It owns the TocFile property, which names
// the book for LoadFromTocFile and then holds its answer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

class Library;

class SectionQueries {
 public:
  explicit SectionQueries(const Library& library) : m_library(library) {}

  // The title of the record at `tocPos` of `book`, decoded, up to its first
  // zero byte; empty before any catalogue load or without such a record.
  std::string GetSectionTitle(int16_t book, int32_t tocPos) const;
  // The TocPos of the record's parent (at least 10), or -1 for a position at
  // or below the file header, a top-level record or no record.
  int32_t GetParentPos(int16_t book, int32_t tocPos) const;
  // The record's FilePos, or -1 before any catalogue load or without a record.
  int32_t TocToFilePos(int16_t book, int32_t tocPos) const;
  // Reads no file: `fileName` holds a TocPos, TocFile the BookNumber; TocFile
  // then holds the record's FilePos (or -1) as text.
  void LoadFromTocFile(std::string_view fileName);

  const std::string& TocFile() const { return m_tocFile; }
  void SetTocFile(std::string_view text) { m_tocFile = text; }

 private:
  const Library& m_library;
  std::string m_tocFile;
};

}  // namespace orvane
