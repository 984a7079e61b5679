#include "model/outline_node.h"

#include "model/node_pool.h"

#include <algorithm>
#include <cstring>

namespace orvane {

OutlineNode::~OutlineNode() = default;

void* OutlineNode::operator new(std::size_t size) { return node_pool::Allocate(size); }

void OutlineNode::operator delete(void* node, std::size_t size) noexcept {
  node_pool::Release(node, size);
}

std::unique_ptr<OutlineNode> OutlineNode::FromText(std::string_view text) {
  size_t length = std::min<size_t>(text.size(), kMaxTitleLength);
  auto node = std::make_unique<OutlineNode>();
  node->m_storage = std::make_unique<uint8_t[]>(kRecordHeaderSize + length + 1);
  uint8_t* bytes = node->m_storage.get();
  std::memset(bytes, 0, kRecordHeaderSize);
  std::memcpy(bytes + kRecordHeaderSize, text.data(), length);
  bytes[kRecordHeaderSize + length] = 0;
  node->m_record = bytes;
  node->m_title = bytes + kRecordHeaderSize;
  RecordHeader header(bytes);
  header.SetRecordLength(static_cast<uint16_t>(kRecordHeaderSize + length));
  header.SetFilePos(-1);
  return node;
}

std::unique_ptr<OutlineNode> OutlineNode::FromRecord(uint8_t* record,
                                                     std::unique_ptr<uint8_t[]> owned) {
  auto node = std::make_unique<OutlineNode>();
  node->m_storage = std::move(owned);
  node->m_record = record;
  node->m_title = record + kRecordHeaderSize;
  return node;
}

void MarkGrown(OutlineNode* node) {
  for (; node != nullptr && node->m_grown == 0; node = node->m_parent) node->m_grown = 1;
}

std::string OutlineNode::TitleText() const {
  const uint8_t* title = m_title;
  size_t length = TitleLength();
  const void* zero = std::memchr(title, 0, length);
  if (zero) length = static_cast<const uint8_t*>(zero) - title;
  return std::string(reinterpret_cast<const char*>(title), length);
}

OutlineNode* AttachChild(NodeList& root, OutlineNode* parent, std::unique_ptr<OutlineNode> node) {
  OutlineNode* raw = node.get();
  if (!parent) {
    root.Append(std::move(node));
    return raw;
  }
  return AttachChild(*parent, std::move(node));
}

OutlineNode* AttachChild(OutlineNode& parent, std::unique_ptr<OutlineNode> node) {
  OutlineNode* raw = node.get();
  raw->m_parent = &parent;
  // Levels stop at 255 rather than wrap to 0, where a section would pass for
  // a category.
  uint8_t level = parent.Level();
  raw->Header().SetLevel(level == 255 ? level : static_cast<uint8_t>(level + 1));
  parent.m_children.Append(std::move(node));
  return raw;
}

OutlineNode* AddChildNode(NodeList& root, OutlineNode* parent, std::string_view text) {
  OutlineNode* node = AttachChild(root, parent, OutlineNode::FromText(text));
  const NodeList& list = parent ? parent->m_children : root;
  node->m_ordinal = static_cast<int16_t>(list.Count());
  MarkGrown(parent);
  return node;
}

OutlineNode* AddSiblingNode(NodeList& root, OutlineNode* reference, std::string_view text) {
  std::unique_ptr<OutlineNode> made = OutlineNode::FromText(text);
  OutlineNode* node = made.get();
  NodeList* list = &root;
  if (reference && reference->m_parent) {
    OutlineNode* parent = reference->m_parent;
    node->m_parent = parent;
    node->Header().SetLevel(reference->Level());
    list = &parent->m_children;
  }
  list->Append(std::move(made));
  node->m_ordinal = static_cast<int16_t>(list->Count());
  MarkGrown(node->m_parent);
  return node;
}

int32_t ChildrenReadFromFile(const OutlineNode& node) {
  // Children a host added carry no book; those read from the file carry the
  // node's own.
  if (node.m_bookNumber == 0) return 0;
  int32_t count = 0;
  for (const OutlineNode* child : node.m_children) {
    if (child->m_bookNumber == node.m_bookNumber) ++count;
  }
  return count;
}

}  // namespace orvane
