#include "loading/section_queries.h"

#include <cstdint>
#include <string>

#include "loading/profile_source.h"
#include "loading/toc_reader.h"
#include "model/library.h"

namespace orvane {

std::string SectionQueries::GetSectionTitle(int16_t book, int32_t tocPos) const {
  if (!m_library.CatalogueLoaded()) return std::string();
  m_library.EnsureBookRead(book);
  const BookShelf& shelf = m_library.Shelf();
  const uint8_t* record = shelf.RecordAt(book, tocPos);
  if (!record) return std::string();
  uint32_t length = ReadU16(record + rec::kRecordLength) - kRecordHeaderSize;
  std::string title(reinterpret_cast<const char*>(record + kRecordHeaderSize), length);
  // Records of the leading region were decoded in place at load; any other
  // record still holds its stored bytes and is decoded into the copy.
  if (!shelf.IsDecoded(book, tocPos)) {
    uint32_t decoded = DecodeTitle(reinterpret_cast<uint8_t*>(title.data()), length);
    title.resize(decoded);
  }
  size_t zero = title.find('\0');
  if (zero != std::string::npos) title.resize(zero);
  return title;
}

int32_t SectionQueries::GetParentPos(int16_t book, int32_t tocPos) const {
  if (static_cast<uint32_t>(tocPos) <= kTocHeaderSize) return -1;
  m_library.EnsureBookRead(book);
  const uint8_t* record = m_library.Shelf().RecordAt(book, tocPos);
  if (!record || record[rec::kLevel] == 2) return -1;
  uint32_t parent = ReadU32(record + rec::kParentPos);
  return static_cast<int32_t>(parent < kTocHeaderSize ? kTocHeaderSize : parent);
}

int32_t SectionQueries::TocToFilePos(int16_t book, int32_t tocPos) const {
  if (!m_library.CatalogueLoaded()) return -1;
  m_library.EnsureBookRead(book);
  const uint8_t* record = m_library.Shelf().RecordAt(book, tocPos);
  return record ? ReadI32(record + rec::kFilePos) : -1;
}

void SectionQueries::LoadFromTocFile(std::string_view fileName) {
  int32_t book = ReadLeadingNumber(m_tocFile);
  // A number no BookNumber can have names no book.
  if (book < INT16_MIN || book > INT16_MAX) book = 0;
  int32_t pos = ReadLeadingNumber(fileName);
  m_tocFile = std::to_string(TocToFilePos(static_cast<int16_t>(book), pos));
}

}  // namespace orvane
