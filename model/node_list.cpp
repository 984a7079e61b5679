#include "model/node_list.h"

#include <cstdlib>
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
  if (wanted > UINT32_MAX) throw std::bad_alloc();
  void* grown = std::realloc(m_items, wanted * sizeof(OutlineNode*));
  if (!grown) throw std::bad_alloc();
  m_items = static_cast<OutlineNode**>(grown);
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

void NodeList::Clear() {
  // Deep trees are destroyed without recursion proportional to their depth:
  // a hostile file can nest sections thousands of levels deep.
  while (m_count > 0) {
    OutlineNode* node = m_items[--m_count];
    // Hand the node's children to this list so they are freed by this loop.
    if (!node->m_children.Empty()) {
      NodeList orphans = std::move(node->m_children);
      Reserve(orphans.m_count);
      for (uint32_t i = 0; i < orphans.m_count; ++i) m_items[m_count++] = orphans.m_items[i];
      orphans.m_count = 0;
    }
    delete node;
  }
  std::free(m_items);
  m_items = nullptr;
  m_capacity = 0;
}

OutlineNode* NodeAt(const NodeList& list, int32_t ordinal) {
  if (ordinal <= 0 || ordinal > list.Count()) return nullptr;
  return list[ordinal - 1];
}

}  // namespace orvane
