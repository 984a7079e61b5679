// FileSystem: opens files by Windows-style paths ("\" separators).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace orvane {

class File {
 public:
  virtual ~File() = default;
  // Size in bytes, or -1 when it cannot be told.
  virtual int64_t Size() = 0;
  virtual bool Seek(uint32_t pos) = 0;
  // Bytes read, 0 at the end or on failure.
  virtual size_t Read(void* buffer, size_t count) = 0;
  // When the file's contents last changed, in the system's own units; 0 when
  // it cannot be told. Only compared with an earlier answer for the same path.
  virtual int64_t ModifiedTime() { return 0; }
};

// What other openers may do while the file is open.
enum class Share { None, Read, ReadWrite };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Null when the file cannot be opened for reading.
  virtual std::unique_ptr<File> OpenRead(std::string_view path, Share share) = 0;
};

// Reads a whole file of at most `maxSize` bytes, checked before anything is
// read, into a buffer of the file's size plus `spare` zero bytes. A file that
// shrinks while it is read gives what it still holds (`length` says how
// much); false when it is larger than `maxSize`, its size cannot be told, the
// buffer cannot be had or nothing of a non-empty file could be read.
bool ReadWholeFile(File& file, std::unique_ptr<uint8_t[]>& bytes, uint32_t& length,
                   uint32_t spare = 0, int64_t maxSize = UINT32_MAX);

}  // namespace orvane
