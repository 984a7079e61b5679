// BookReader: reads one book's TOC file onto the shelf and its leading
// sections under the book's node. The library asks for it the first time
// anything needs the book's sections, its declared count or its records.
#pragma once

#include <cstdint>

namespace orvane {

class BookReader {
 public:
  virtual ~BookReader() = default;
  // Reads BookNumber `book` and marks it read once it has been; a file that
  // cannot be read leaves the book without sections and marked failed, to
  // be tried again when the reader next asks for it. Called again only for a
  // book not marked read.
  virtual void ReadBook(int16_t book) = 0;
};

}  // namespace orvane
