// The 21-byte record header every outline node carries, and the little-endian
// helpers that read and write it. File bytes are never cast to structs: the
// header may sit at any offset of a buffer.
#pragma once

#include <cstdint>
#include <cstring>

namespace orvane {

inline constexpr uint32_t kTocHeaderSize = 10;  // file header before the first record
inline constexpr uint32_t kRecordHeaderSize = 21;

// Offsets of the fields inside a record header.
namespace rec {
inline constexpr uint32_t kRecordLength = 0;   // u16: header + title
inline constexpr uint32_t kParentPos = 2;      // u32: TocPos of the parent record, 0 at top level
inline constexpr uint32_t kChildCount = 6;     // u16: declared number of children
inline constexpr uint32_t kFirstChildPos = 8;  // u32: offset of the first deferred child
inline constexpr uint32_t kLevel = 12;         // u8: depth in the outline
inline constexpr uint32_t kFilePos = 17;       // i32: position in the book's text, -1 for none
}  // namespace rec

inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

inline void WriteU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Is there a whole, well-formed record at `pos` of a buffer of `length` bytes?
inline bool RecordFits(const uint8_t* buffer, uint32_t length, uint32_t pos) {
  if (pos < kTocHeaderSize) return false;
  if (static_cast<uint64_t>(pos) + kRecordHeaderSize > length) return false;
  uint16_t recordLength = ReadU16(buffer + pos);
  return recordLength >= kRecordHeaderSize && static_cast<uint64_t>(pos) + recordLength <= length;
}

// A view of one record header; it owns nothing.
class RecordHeader {
 public:
  explicit RecordHeader(uint8_t* bytes) : m_bytes(bytes) {}

  uint16_t RecordLength() const { return ReadU16(m_bytes + rec::kRecordLength); }
  uint32_t ParentPos() const { return ReadU32(m_bytes + rec::kParentPos); }
  uint16_t ChildCount() const { return ReadU16(m_bytes + rec::kChildCount); }
  uint32_t FirstChildPos() const { return ReadU32(m_bytes + rec::kFirstChildPos); }
  uint8_t Level() const { return m_bytes[rec::kLevel]; }
  int32_t FilePos() const { return ReadI32(m_bytes + rec::kFilePos); }
  uint16_t TitleLength() const {
    uint16_t n = RecordLength();
    return n > kRecordHeaderSize ? static_cast<uint16_t>(n - kRecordHeaderSize) : 0;
  }

  void SetRecordLength(uint16_t v) { WriteU16(m_bytes + rec::kRecordLength, v); }
  void SetChildCount(uint16_t v) { WriteU16(m_bytes + rec::kChildCount, v); }
  void SetLevel(uint8_t v) { m_bytes[rec::kLevel] = v; }
  void SetFilePos(int32_t v) { WriteU32(m_bytes + rec::kFilePos, static_cast<uint32_t>(v)); }

 private:
  uint8_t* m_bytes;
};

}  // namespace orvane
