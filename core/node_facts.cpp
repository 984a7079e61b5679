// The questions a host asks of one node, answered from the library and the
// books' files.
#include <vector>

#include "core/orvane_core.h"
#include "model/toc_record.h"

namespace orvane {

void OrvaneCore::SetNodeEvents(NodeEvents* events) {
  m_view.SetNodeEvents(events);
  m_checks.SetNodeEvents(events);
}

OrvaneCore::NodeKind OrvaneCore::KindOf(const OutlineNode& node) const {
  if (m_library.IsCategory(&node)) return NodeKind::kCategory;
  if (m_library.IsBook(&node)) return NodeKind::kBook;
  // Sections carry their book's number; what a host added carries none.
  if (node.m_bookNumber != 0 && node.m_parent != nullptr) return NodeKind::kSection;
  return NodeKind::kItem;
}

int16_t OrvaneCore::CategoryOf(const OutlineNode& node) const {
  const OutlineNode* top = &node;
  while (top->m_parent) top = top->m_parent;
  return m_library.IsCategory(top) ? top->m_ordinal : 0;
}

int32_t OrvaneCore::TocPosOf(const OutlineNode& node) const {
  if (KindOf(node) != NodeKind::kSection) return 0;
  const int16_t book = node.m_bookNumber;
  const uint8_t* buffer = m_library.Shelf().Buffer(book);
  const uint32_t length = m_library.Shelf().Length(book);
  if (buffer == nullptr) return 0;
  const uint8_t* record = node.Record();
  // A record of the leading region is the buffer's own.
  if (record >= buffer && record < buffer + length) return static_cast<int32_t>(record - buffer);
  // A child read later owns a copy: it lies in its parent's run of records,
  // at the place its ordinal gives, each record followed by two bytes.
  const OutlineNode* parent = node.m_parent;
  if (parent == nullptr || node.m_ordinal < 1) return 0;
  uint64_t pos = parent->Header().FirstChildPos();
  for (int32_t i = 1; i < node.m_ordinal; ++i) {
    if (pos > UINT32_MAX || !RecordFits(buffer, length, static_cast<uint32_t>(pos))) return 0;
    pos += ReadU16(buffer + pos) + 2u;
  }
  if (pos > INT32_MAX || !RecordFits(buffer, length, static_cast<uint32_t>(pos))) return 0;
  return static_cast<int32_t>(pos);
}

int32_t OrvaneCore::IndexOf(const OutlineNode& node) const {
  const NodeList& list = node.m_parent ? node.m_parent->m_children : m_library.RootList();
  // The ordinal is the position for most nodes; children a host hung in
  // before a section's later ones move those along, so it is checked.
  if (NodeAt(list, node.m_ordinal) == &node) return node.m_ordinal;
  for (int32_t i = 0; i < list.Count(); ++i) {
    if (list[i] == &node) return i + 1;
  }
  return 0;
}

const NodeList& OrvaneCore::ChildrenOf(OutlineNode& node) {
  m_library.EnsureBookReadFor(node);
  m_catalogue.ReadDeferredChildren(node);
  return node.m_children;
}

OutlineNode* OrvaneCore::SectionNode(int16_t book, int32_t tocPos) {
  m_library.EnsureBookRead(book);
  OutlineNode* bookNode = m_library.BookNode(book);
  const uint8_t* buffer = m_library.Shelf().Buffer(book);
  const uint32_t length = m_library.Shelf().Length(book);
  if (bookNode == nullptr || buffer == nullptr) return nullptr;
  // The positions from the record up to the top, through the file's parent
  // links: a chain longer than the records the buffer can hold is a loop.
  // A position is read as the queries read it (below the first record is
  // the first record).
  std::vector<uint32_t> chain;
  uint32_t pos = BookShelf::RaisedPos(tocPos);
  const size_t maxSteps = length / kRecordHeaderSize + 1;
  for (;;) {
    if (!RecordFits(buffer, length, pos) || chain.size() > maxSteps) return nullptr;
    chain.push_back(pos);
    const uint32_t parent = ReadU32(buffer + pos + rec::kParentPos);
    if (parent == 0) break;
    pos = parent;
  }
  OutlineNode* node = bookNode;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    OutlineNode* next = nullptr;
    for (OutlineNode* child : ChildrenOf(*node)) {
      if (static_cast<uint32_t>(TocPosOf(*child)) == *it) {
        next = child;
        break;
      }
    }
    if (next == nullptr) return nullptr;
    node = next;
  }
  return node == bookNode ? nullptr : node;
}

}  // namespace orvane
