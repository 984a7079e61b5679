// NodeList: an ordered list of node references. The root list and every
// node's children are NodeLists. A list owns the nodes in it; nodes are never
// removed one by one, only destroyed with the whole tree or cut from a list's
// tail when a read that appended them failed.
#pragma once

#include <cstdint>
#include <memory>

namespace orvane {

class OutlineNode;

class NodeList {
 public:
  NodeList() = default;
  ~NodeList();
  NodeList(const NodeList&) = delete;
  NodeList& operator=(const NodeList&) = delete;
  NodeList(NodeList&& other) noexcept;
  NodeList& operator=(NodeList&& other) noexcept;

  int32_t Count() const { return static_cast<int32_t>(m_count); }
  bool Empty() const { return m_count == 0; }
  OutlineNode* operator[](int32_t i) const { return m_items[i]; }
  OutlineNode* const* begin() const { return m_items; }
  OutlineNode* const* end() const { return m_items + m_count; }
  OutlineNode* Last() const { return m_count ? m_items[m_count - 1] : nullptr; }

  // Takes ownership of the node and appends it at the tail.
  void Append(std::unique_ptr<OutlineNode> node);
  // Makes room for `n` more entries; loaders that know a group's size call it
  // so that a list holds no slack.
  void Reserve(uint32_t n);
  // Destroys every node of the list (and their subtrees). Allocates nothing
  // and recurses not at all, whatever the depth: it runs in destructors and
  // moves, also when memory has run out.
  void Clear() noexcept;
  // Destroys the nodes after the first `count` (and their subtrees), as Clear
  // does; the list keeps its room.
  void Truncate(int32_t count) noexcept;

 private:
  // Destroys `top` and every node below it, walking down through each node's
  // last child and back up through the parent links.
  static void DestroyTree(OutlineNode* top) noexcept;

  // A pointer and two 32-bit counts instead of a std::vector: a section node
  // is small, and a million of them are loaded at once.
  OutlineNode** m_items = nullptr;
  uint32_t m_count = 0;
  uint32_t m_capacity = 0;
};

// The node at 1-based `ordinal`, or null when the list has no such entry.
OutlineNode* NodeAt(const NodeList& list, int32_t ordinal);

}  // namespace orvane
