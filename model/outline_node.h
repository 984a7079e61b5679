// OutlineNode: one category, book, table-of-contents section or free-text item.
// Its level and declared child count live in its 21-byte record header, which
// either points into a book's TocBuffer or is owned by the node.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/node_list.h"
#include "model/toc_record.h"

namespace orvane {

class OutlineNode {
 public:
  OutlineNode() = default;
  virtual ~OutlineNode();
  OutlineNode(const OutlineNode&) = delete;
  OutlineNode& operator=(const OutlineNode&) = delete;

  // Nodes are made by the million: they come from a pool (model/node_pool.h).
  static void* operator new(std::size_t size);
  static void operator delete(void* node, std::size_t size) noexcept;

  // A node made from text owns a header (RecordLength = 21 + length, Level 0,
  // ChildCount 0, FilePos -1) and a zero-terminated title. The title is kept
  // whole up to kMaxTitleLength bytes: the 16-bit RecordLength cannot count
  // more, so longer text is cut there.
  static std::unique_ptr<OutlineNode> FromText(std::string_view text);
  static inline constexpr uint32_t kMaxTitleLength = 0xFFFF - kRecordHeaderSize;

  // A node whose header and title are borrowed from `record` (the title starts
  // 21 bytes further). `owned`, when given, is the storage the record lies in
  // and is released with the node.
  static std::unique_ptr<OutlineNode> FromRecord(uint8_t* record,
                                                 std::unique_ptr<uint8_t[]> owned = nullptr);

  RecordHeader Header() const { return RecordHeader(m_record); }
  uint8_t Level() const { return m_record[rec::kLevel]; }
  uint16_t ChildCount() const { return Header().ChildCount(); }
  int32_t FilePos() const { return Header().FilePos(); }
  uint16_t TitleLength() const { return Header().TitleLength(); }
  const uint8_t* Title() const { return m_title; }
  uint8_t* Record() { return m_record; }
  const uint8_t* Record() const { return m_record; }
  // The title as text, up to its first zero byte.
  std::string TitleText() const;

  // Fields in the order of the original layout; the tree code uses them directly.
  int16_t m_bookNumber = 0;
  // Set on a node when anything below it was made after its book's leading
  // region (children read from a run, items a host added), and on each of
  // its ancestors: a book without it shows only titles that lie in its
  // buffer. Kept in the padding after the BookNumber.
  uint8_t m_grown = 0;
  int32_t m_expanded = 0;
  OutlineNode* m_parent = nullptr;
  NodeList m_children;
  uint8_t* m_record = nullptr;
  uint8_t* m_title = nullptr;
  int32_t m_active = 1;
  int16_t m_ordinal = 0;

 private:
  std::unique_ptr<uint8_t[]> m_storage;  // header and title, when the node owns them
};

// Hangs `node` into the tree: at the end of the root list when `parent` is
// null (nothing else changes), else at the end of the parent's children with
// Level = parent's Level + 1. Returns the attached node.
OutlineNode* AttachChild(NodeList& root, OutlineNode* parent, std::unique_ptr<OutlineNode> node);
// The same, for a node that certainly has a parent.
OutlineNode* AttachChild(OutlineNode& parent, std::unique_ptr<OutlineNode> node);

// Marks `node` and its ancestors grown (see m_grown); stops at the first
// one already marked, whose ancestors are.
void MarkGrown(OutlineNode* node);

// How many of the node's children were read from its book's file (in the
// leading region or later): those carrying the node's BookNumber. Children a
// host added carry none and are not counted.
int32_t ChildrenReadFromFile(const OutlineNode& node);

// Makes a node from text and attaches it as AttachChild does; its ordinal is
// its position in the list it joined.
OutlineNode* AddChildNode(NodeList& root, OutlineNode* parent, std::string_view text);

// Makes a node from text and appends it to the list that holds `reference`
// (its parent's children, taking its Level), or to the root list.
OutlineNode* AddSiblingNode(NodeList& root, OutlineNode* reference, std::string_view text);

}  // namespace orvane
