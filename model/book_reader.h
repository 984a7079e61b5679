// BookReader: reads one book's TOC file onto the shelf and its leading
// sections under the book's node. The library asks for it the first time
// anything needs the book's sections, its declared count or its records.
#pragma once

#include <cstdint>

namespace orvane {

class BookReader {
 public:
  virtual ~BookReader() = default;
  // Reads BookNumber `book`; a file that cannot be read leaves the book
  // without sections, as for good. Called at most once a book per load.
  virtual void ReadBook(int16_t book) = 0;
};

}  // namespace orvane
