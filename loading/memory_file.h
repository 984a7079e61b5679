// A File over bytes held in memory: the TOC tool hands the reader the bytes
// it already holds, and tests and fuzzers serve files without a disk.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "loading/file_system.h"

namespace orvane {

class MemoryFile : public File {
 public:
  explicit MemoryFile(std::vector<uint8_t> bytes, int64_t modified = 0)
      : m_bytes(std::move(bytes)), m_modified(modified) {}

  int64_t Size() override { return static_cast<int64_t>(m_bytes.size()); }
  // Like a real file: seeking past the end succeeds, reading there yields nothing.
  bool Seek(uint32_t pos) override {
    m_pos = pos;
    return true;
  }
  size_t Read(void* buffer, size_t count) override {
    if (m_pos >= m_bytes.size()) return 0;
    const size_t n = std::min(count, m_bytes.size() - m_pos);
    std::memcpy(buffer, m_bytes.data() + m_pos, n);
    m_pos += n;
    return n;
  }
  int64_t ModifiedTime() override { return m_modified; }

 private:
  std::vector<uint8_t> m_bytes;
  size_t m_pos = 0;
  int64_t m_modified;
};

}  // namespace orvane
