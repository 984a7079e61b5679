// Questions the host asks about positions in a book's TOC file. Every
// position comes from the host: a record is read only when it lies wholly
// inside the book's buffer.
#include <cstring>
#include <string>
#include <vector>

#include "core/orvane_core.h"
#include "loading/profile_source.h"
#include "loading/toc_reader.h"

namespace orvane {

namespace {

uint32_t RaisedPos(int32_t tocPos) {
  // Positions compare as unsigned: a negative one is a very large one.
  uint32_t pos = static_cast<uint32_t>(tocPos);
  return pos < kTocHeaderSize ? kTocHeaderSize : pos;
}

}  // namespace

const uint8_t* OrvaneCore::RecordAt(int16_t book, int32_t tocPos) const {
  const uint8_t* buffer = BookBuffer(book);
  if (!buffer) return nullptr;
  uint32_t pos = RaisedPos(tocPos);
  if (!RecordFits(buffer, BookLength(book), pos)) return nullptr;
  return buffer + pos;
}

std::string OrvaneCore::GetSectionTitle(int16_t book, int32_t tocPos) const {
  if (!m_booksLoaded) return std::string();
  const uint8_t* record = RecordAt(book, tocPos);
  if (!record) return std::string();
  uint32_t length = ReadU16(record + rec::kRecordLength) - kRecordHeaderSize;
  std::string title(reinterpret_cast<const char*>(record + kRecordHeaderSize), length);
  // Records of the leading region were decoded in place at load; any other
  // record still holds its stored bytes and is decoded into the copy.
  if (RaisedPos(tocPos) >= m_bookParsedEnd[static_cast<size_t>(book - 1)]) {
    uint32_t decoded = DecodeTitle(reinterpret_cast<uint8_t*>(title.data()), length);
    title.resize(decoded);
  }
  size_t zero = title.find('\0');
  if (zero != std::string::npos) title.resize(zero);
  return title;
}

int32_t OrvaneCore::GetParentPos(int16_t book, int32_t tocPos) const {
  if (static_cast<uint32_t>(tocPos) <= kTocHeaderSize) return -1;
  const uint8_t* record = RecordAt(book, tocPos);
  if (!record || record[rec::kLevel] == 2) return -1;
  uint32_t parent = ReadU32(record + rec::kParentPos);
  return static_cast<int32_t>(parent < kTocHeaderSize ? kTocHeaderSize : parent);
}

int32_t OrvaneCore::TocToFilePos(int16_t book, int32_t tocPos) const {
  if (!m_booksLoaded) return -1;
  const uint8_t* record = RecordAt(book, tocPos);
  return record ? ReadI32(record + rec::kFilePos) : -1;
}

void OrvaneCore::LoadFromTocFile(std::string_view fileName) {
  int32_t book = ReadLeadingNumber(m_tocFile);
  // A number no BookNumber can have names no book.
  if (book < INT16_MIN || book > INT16_MAX) book = 0;
  int32_t pos = ReadLeadingNumber(fileName);
  m_tocFile = std::to_string(TocToFilePos(static_cast<int16_t>(book), pos));
}

}  // namespace orvane
