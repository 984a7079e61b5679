#include "model/node_list.h"

#include <cstring>
#include <new>
#include <utility>

#include "model/outline_node.h"

namespace orvane {

NodeList::~NodeList() { Clear(); }

NodeList::NodeList(NodeList&& other) noexcept
    : m_items(std::exchange(other.m_items, nullptr)),
      m_count(std::exchange(other.m_count, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)) {}

NodeList& NodeList::operator=(NodeList&& other) noexcept {
  if (this != &other) {
    Clear();
    m_items = std::exchange(other.m_items, nullptr);
    m_count = std::exchange(other.m_count, 0);
    m_capacity = std::exchange(other.m_capacity, 0);
  }
  return *this;
}

void NodeList::Reserve(uint32_t n) {
  if (n <= m_capacity - m_count) return;
  uint64_t wanted = static_cast<uint64_t>(m_count) + n;
  if (wanted > UINT32_MAX / sizeof(OutlineNode*)) throw std::bad_alloc();
  // Through operator new rather than realloc, so that a failed growth is the
  // same bad_alloc as every other, and the old entries stay until it is had.
  auto* grown = static_cast<OutlineNode**>(::operator new(wanted * sizeof(OutlineNode*)));
  if (m_count) std::memcpy(grown, m_items, m_count * sizeof(OutlineNode*));
  ::operator delete(m_items);
  m_items = grown;
  m_capacity = static_cast<uint32_t>(wanted);
}

void NodeList::Append(std::unique_ptr<OutlineNode> node) {
  if (m_count == m_capacity) {
    // Small lists stay small: most sections have a handful of children.
    uint32_t step = m_capacity < 8 ? 4 : m_capacity;
    Reserve(step);
  }
  m_items[m_count++] = node.release();
}

void NodeList::DestroyTree(OutlineNode* top) noexcept {
  // A hostile file or a host can nest nodes thousands of levels deep, and
  // the memory may have run out: each node's children are emptied from the
  // back before the node goes, so the walk needs neither a stack nor a list.
  top->m_parent = nullptr;
  OutlineNode* node = top;
  while (node) {
    NodeList& children = node->m_children;
    if (children.m_count > 0) {
      OutlineNode* child = children.m_items[--children.m_count];
      child->m_parent = node;
      node = child;
      continue;
    }
    OutlineNode* up = node->m_parent;
    delete node;
    node = up;
  }
}

void NodeList::Truncate(int32_t count) noexcept {
  const uint32_t keep = count > 0 ? static_cast<uint32_t>(count) : 0;
  while (m_count > keep) DestroyTree(m_items[--m_count]);
}

void NodeList::Clear() noexcept {
  Truncate(0);
  ::operator delete(m_items);
  m_items = nullptr;
  m_capacity = 0;
}

OutlineNode* NodeAt(const NodeList& list, int32_t ordinal) {
  if (ordinal <= 0 || ordinal > list.Count()) return nullptr;
  return list[ordinal - 1];
}

}  // namespace orvane
