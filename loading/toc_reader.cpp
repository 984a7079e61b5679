#include "loading/toc_reader.h"

#include <algorithm>
#include <vector>

#include "loading/file_system.h"

namespace orvane {

namespace {

// The deepest level a node can have: the Level byte cannot count further, and
// a level that wrapped to 0 would make a section look like a category.
constexpr uint8_t kDeepestLevel = 255;

bool IsZeroRun(const uint8_t* buffer, uint32_t length, uint32_t pos) {
  if (length - pos < kRecordHeaderSize) return false;
  const uint8_t* p = buffer + pos;
  return std::all_of(p, p + kRecordHeaderSize, [](uint8_t b) { return b == 0; });
}

}  // namespace

uint32_t DecodeTitle(uint8_t* bytes, uint32_t length) {
  uint32_t i = 0;
  for (; i < length && bytes[i] != 0; ++i) {
    uint8_t c = static_cast<uint8_t>(bytes[i] + 1);
    bytes[i] = (c == 0x0A || c == 0x0D) ? 0x20 : c;
  }
  return i;
}

std::unique_ptr<OutlineNode> NodeFromBuffer(uint8_t* buffer, uint32_t pos) {
  uint8_t* record = buffer + pos;
  auto node = OutlineNode::FromRecord(record);
  uint16_t recordLength = node->Header().RecordLength();
  if (recordLength != kRecordHeaderSize) {
    // The byte after the title belongs to the next record (or to the spare
    // bytes after the file); it is put back once the title is decoded.
    uint8_t* after = record + recordLength;
    uint8_t saved = *after;
    *after = 0;
    DecodeTitle(record + kRecordHeaderSize, recordLength - kRecordHeaderSize);
    *after = saved;
  }
  return node;
}

uint32_t ParseToc(OutlineNode& book, uint8_t* buffer, uint32_t length, int16_t bookNumber) {
  bool childrenWait = false;
  return ParseToc(book, buffer, length, bookNumber, childrenWait);
}

uint32_t ParseToc(OutlineNode& book, uint8_t* buffer, uint32_t length, int16_t bookNumber,
                  bool& childrenWait) {
  childrenWait = false;
  if (length == 0) return 0;
  // A file too short to hold the count declares no sections.
  book.Header().SetChildCount(length >= 8 ? ReadU16(buffer + 6) : 0);
  if (length <= kTocHeaderSize) return length;

  // A pending parent whose group is still to come. A section at the deepest
  // level takes no children (theirs would share its level, and closing it
  // would leave their rows behind), so the records of its group, and of
  // their groups in turn, are only stepped over: `node` is null for them and
  // `count` is the declared count from the record.
  struct Pending {
    OutlineNode* node;
    uint32_t count;
  };
  // The head of the pending list is its back: a group goes in reversed so
  // that its first member is taken next, as depth-first order wants.
  std::vector<Pending> pending{{&book, book.ChildCount()}};
  std::vector<Pending> group;
  uint32_t pos = kTocHeaderSize;
  bool truncated = false;
  while (!pending.empty() && pos < length && !truncated) {
    if (IsZeroRun(buffer, length, pos)) break;
    Pending parent = pending.back();
    pending.pop_back();
    const bool attach = parent.node && parent.node->Level() < kDeepestLevel;
    // Never reserve more than the remaining bytes can hold.
    if (attach) {
      parent.node->m_children.Reserve(
          std::min<uint32_t>(parent.count, (length - pos) / kRecordHeaderSize));
    }
    group.clear();
    for (uint32_t i = 1; i <= parent.count; ++i) {
      if (!RecordFits(buffer, length, pos)) {
        truncated = true;
        break;
      }
      if (!attach) {
        group.push_back({nullptr, ReadU16(buffer + pos + rec::kChildCount)});
        pos += ReadU16(buffer + pos);
        continue;
      }
      std::unique_ptr<OutlineNode> node = NodeFromBuffer(buffer, pos);
      pos += node->Header().RecordLength();
      node->m_bookNumber = bookNumber;
      node->m_ordinal = static_cast<int16_t>(i);
      OutlineNode* attached = AttachChild(*parent.node, std::move(node));
      group.push_back({attached, attached->ChildCount()});
    }
    for (auto it = group.rbegin(); it != group.rend(); ++it) pending.push_back(*it);
    if (truncated && attach && parent.node != &book) childrenWait = true;
  }
  for (const Pending& p : pending) {
    if (p.node != nullptr && p.node != &book && p.count != 0) childrenWait = true;
  }
  return pos;
}

std::unique_ptr<OutlineNode> ReadRecordNode(File& file, uint32_t pos) {
  uint8_t lengthBytes[2];
  if (!file.Seek(pos) || file.Read(lengthBytes, 2) != 2) return nullptr;
  uint16_t recordLength = ReadU16(lengthBytes);
  if (recordLength < kRecordHeaderSize) return nullptr;
  // The read below fills every byte but the terminator, so the buffer is
  // not zeroed first: a damaged file may declare 64 KB records by the
  // thousand, and zeroing them cost more than reading.
  auto bytes = std::make_unique_for_overwrite<uint8_t[]>(recordLength + 1u);
  if (!file.Seek(pos) || file.Read(bytes.get(), recordLength) != recordLength) return nullptr;
  bytes[recordLength] = 0;
  DecodeTitle(bytes.get() + kRecordHeaderSize, recordLength - kRecordHeaderSize);
  uint8_t* record = bytes.get();
  return OutlineNode::FromRecord(record, std::move(bytes));
}

int32_t LoadChildren(File& file, OutlineNode& node) {
  uint16_t declared = node.ChildCount();
  if (declared == 0) return 0;
  int32_t read = ChildrenReadFromFile(node);
  if (read >= declared || node.Level() >= kDeepestLevel) return node.m_children.Count();
  // The run at FirstChildPos holds all the declared children; those already
  // read from it are stepped over, so that the counts agree after one read
  // and a node that is opened again never gets the same children twice.
  // Children a host added are not in the run: the rest of the run is
  // appended after them.
  uint64_t pos = node.Header().FirstChildPos();
  for (uint32_t i = 1; i <= declared && pos <= UINT32_MAX; ++i) {
    if (static_cast<int32_t>(i) <= read) {
      uint8_t lengthBytes[2];
      if (!file.Seek(static_cast<uint32_t>(pos)) || file.Read(lengthBytes, 2) != 2) break;
      uint16_t recordLength = ReadU16(lengthBytes);
      if (recordLength < kRecordHeaderSize) break;
      pos += recordLength + 2u;
      continue;
    }
    std::unique_ptr<OutlineNode> child = ReadRecordNode(file, static_cast<uint32_t>(pos));
    if (!child) break;
    pos += child->Header().RecordLength() + 2u;
    child->m_bookNumber = node.m_bookNumber;
    child->m_ordinal = static_cast<int16_t>(i);
    AttachChild(node, std::move(child));
    MarkGrown(&node);
  }
  return node.m_children.Count();
}

}  // namespace orvane
