// BookShelf: every catalogue book's TOC file as read into memory, by
// BookNumber, and whether it has been read yet: a book is read the first time
// it is needed, not when the catalogue is loaded. Section nodes point into
// these buffers, so a buffer lives until the shelf is cleared (a new
// catalogue) or destroyed with the control.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace orvane {

// A set of byte values, one bit each.
using ByteSet = std::array<uint64_t, 4>;

// What a book's file was like when it was read: a deferred read from a file
// that no longer matches would take records from another book.
struct FileStamp {
  int64_t size = -1;
  int64_t modified = 0;
  bool operator==(const FileStamp&) const = default;
};

class BookShelf {
 public:
  // Empties the shelf and makes room for books 1..count, none of them read.
  void Reset(int16_t count);
  void Clear() { Reset(0); }
  int16_t Count() const { return static_cast<int16_t>(m_books.size()); }

  // Whether `book`'s file has been read; true for a number outside
  // 1..Count(), which has nothing to read.
  bool IsRead(int16_t book) const;
  // Whether the last try to read `book` failed (the file was missing, locked,
  // too large, or memory ran out): such a book is tried again only when the
  // reader asks for it, not whenever a row is painted.
  bool ReadFailed(int16_t book) const;
  // Marks a try at the book that has not (yet) succeeded.
  void MarkFailed(int16_t book);

  // Keeps `book`'s file bytes and marks it read. `parsedEnd` is where the leading region's
  // parse stopped: records before it hold titles decoded in place; `stamp`
  // tells the file as it was read. Ignored for a number outside 1..Count().
  void Store(int16_t book, std::unique_ptr<uint8_t[]> buffer, uint32_t length, uint32_t parsedEnd,
             FileStamp stamp = {}) noexcept;
  // The stamp stored with the book's bytes; null for a book not read.
  const FileStamp* Stamp(int16_t book) const;

  // The book's bytes and their length; null and 0 for a book without a file
  // or a number outside 1..Count().
  const uint8_t* Buffer(int16_t book) const;
  uint32_t Length(int16_t book) const;

  // The record at `tocPos` of `book` (a position below the file header is
  // raised to the first record; a negative one is a very large one), or null
  // unless the whole record lies inside the buffer.
  const uint8_t* RecordAt(int16_t book, int32_t tocPos) const;
  // Whether the record at `tocPos` lies in the leading region, whose titles
  // were decoded when the book was read; false for a book not on the shelf.
  bool IsDecoded(int16_t book, int32_t tocPos) const;
  // Where the leading region's parse stopped: titles before it were decoded
  // in place. 0 for a book not on the shelf.
  uint32_t ParsedEnd(int16_t book) const;

  // Every byte value of the book's leading region, its titles as decoded,
  // found when it was stored: a search passes over a book that lacks a
  // letter of its query. Null for a book without a file.
  const ByteSet* LeadingBytes(int16_t book) const;
  // Whether some section of the leading region still waits for children in
  // the file: then its titles are not all in the leading region.
  bool ChildrenWait(int16_t book) const;
  void SetChildrenWait(int16_t book);
  // The position a host's `tocPos` stands for: at least the first record's.
  static uint32_t RaisedPos(int32_t tocPos);

 private:
  enum class State : uint8_t { Unread, Read, Failed };
  struct Book {
    std::unique_ptr<uint8_t[]> buffer;
    uint32_t length = 0;
    uint32_t parsedEnd = 0;
    ByteSet leadingBytes{};
    bool childrenWait = false;
    State state = State::Unread;
    FileStamp stamp;
  };
  const Book* Find(int16_t book) const;

  std::vector<Book> m_books;  // by BookNumber - 1
};

}  // namespace orvane
