#include "loading/file_system.h"

#include <new>

namespace orvane {

bool ReadWholeFile(File& file, std::unique_ptr<uint8_t[]>& bytes, uint32_t& length, uint32_t spare,
                   int64_t maxSize) {
  int64_t size = file.Size();
  // TOC positions are 32-bit; a larger file cannot be addressed anyway.
  if (size < 0 || size > maxSize || size > static_cast<int64_t>(UINT32_MAX - spare)) return false;
  auto buffer = std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size + spare]());
  if (!buffer) return false;
  size_t done = 0;
  if (!file.Seek(0)) return false;
  while (done < static_cast<size_t>(size)) {
    size_t n = file.Read(buffer.get() + done, static_cast<size_t>(size) - done);
    // The file ended early: another program shortened it since its size was
    // told. The bytes past `done` stay zero and are not counted.
    if (n == 0 || n > static_cast<size_t>(size) - done) break;
    done += n;
  }
  if (done == 0 && size != 0) return false;
  bytes = std::move(buffer);
  length = static_cast<uint32_t>(done);
  return true;
}

}  // namespace orvane
