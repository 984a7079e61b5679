#include "model/book_shelf.h"

#include "model/toc_record.h"

namespace orvane {

void BookShelf::Reset(int16_t count) {
  m_books.clear();
  m_books.resize(count > 0 ? static_cast<size_t>(count) : 0);
}

const BookShelf::Book* BookShelf::Find(int16_t book) const {
  if (book < 1 || book > Count()) return nullptr;
  return &m_books[static_cast<size_t>(book - 1)];
}

void BookShelf::Store(int16_t book, std::unique_ptr<uint8_t[]> buffer, uint32_t length,
                      uint32_t parsedEnd, FileStamp stamp) noexcept {
  if (book < 1 || book > Count()) return;
  Book& slot = m_books[static_cast<size_t>(book - 1)];
  slot.buffer = std::move(buffer);
  slot.length = slot.buffer ? length : 0;
  slot.parsedEnd = slot.buffer ? parsedEnd : 0;
  slot.childrenWait = false;
  // One store a byte, then packed: setting bits as they come makes every
  // byte wait for the one before.
  bool seen[256] = {};
  for (uint32_t i = kTocHeaderSize; i < slot.parsedEnd && i < slot.length; ++i) {
    seen[slot.buffer[i]] = true;
  }
  slot.leadingBytes = {};
  for (int b = 0; b < 256; ++b) {
    if (seen[b]) slot.leadingBytes[b >> 6] |= uint64_t{1} << (b & 63);
  }
  slot.state = State::Read;
  slot.stamp = stamp;
}

bool BookShelf::IsRead(int16_t book) const {
  const Book* found = Find(book);
  return !found || found->state == State::Read;
}

bool BookShelf::ReadFailed(int16_t book) const {
  const Book* found = Find(book);
  return found && found->state == State::Failed;
}

void BookShelf::MarkFailed(int16_t book) {
  if (book >= 1 && book <= Count()) m_books[static_cast<size_t>(book - 1)].state = State::Failed;
}

const FileStamp* BookShelf::Stamp(int16_t book) const {
  const Book* found = Find(book);
  return found && found->state == State::Read ? &found->stamp : nullptr;
}

const uint8_t* BookShelf::Buffer(int16_t book) const {
  const Book* found = Find(book);
  return found ? found->buffer.get() : nullptr;
}

uint32_t BookShelf::Length(int16_t book) const {
  const Book* found = Find(book);
  return found ? found->length : 0;
}

uint32_t BookShelf::RaisedPos(int32_t tocPos) {
  // Positions compare as unsigned: a negative one is a very large one.
  uint32_t pos = static_cast<uint32_t>(tocPos);
  return pos < kTocHeaderSize ? kTocHeaderSize : pos;
}

const uint8_t* BookShelf::RecordAt(int16_t book, int32_t tocPos) const {
  const Book* found = Find(book);
  if (!found || !found->buffer) return nullptr;
  uint32_t pos = RaisedPos(tocPos);
  if (!RecordFits(found->buffer.get(), found->length, pos)) return nullptr;
  return found->buffer.get() + pos;
}

const ByteSet* BookShelf::LeadingBytes(int16_t book) const {
  const Book* found = Find(book);
  return found && found->buffer ? &found->leadingBytes : nullptr;
}

bool BookShelf::ChildrenWait(int16_t book) const {
  const Book* found = Find(book);
  return found && found->childrenWait;
}

void BookShelf::SetChildrenWait(int16_t book) {
  if (book >= 1 && book <= Count()) m_books[static_cast<size_t>(book - 1)].childrenWait = true;
}

uint32_t BookShelf::ParsedEnd(int16_t book) const {
  const Book* found = Find(book);
  return found ? found->parsedEnd : 0;
}

bool BookShelf::IsDecoded(int16_t book, int32_t tocPos) const {
  const Book* found = Find(book);
  return found && RaisedPos(tocPos) < found->parsedEnd;
}

}  // namespace orvane
