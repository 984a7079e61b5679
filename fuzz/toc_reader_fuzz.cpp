// ParseToc and LoadChildren on arbitrary bytes; deferred reads are served
// from the same bytes, wherever a node declares more children than it has.
#include <vector>

#include "loading/toc_reader.h"
#include "tests/native/test_support.h"

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> buffer(data, data + size);
  buffer.resize(size + 2, 0);
  NodeList root;
  OutlineNode* book = AddChildNode(root, AddChildNode(root, nullptr, "c"), "b");
  ParseToc(*book, buffer.data(), static_cast<uint32_t>(size), 1);
  test::MemoryFile file(std::vector<uint8_t>(data, data + size));
  // Walk the nodes, reading missing children. Children read from a file can
  // point back at their own records, so the tree has no end: a budget of
  // nodes made bounds the walk (one read can make hundreds of children, so
  // counting the nodes visited instead let a single input make half a
  // million).
  std::vector<OutlineNode*> stack(book->m_children.begin(), book->m_children.end());
  size_t made = stack.size();
  while (!stack.empty() && made < 4000) {
    OutlineNode* node = stack.back();
    stack.pop_back();
    int32_t before = node->m_children.Count();
    LoadChildren(file, *node);
    made += static_cast<size_t>(node->m_children.Count() - before) + 1;
    (void)node->TitleText();
    for (OutlineNode* child : node->m_children) stack.push_back(child);
  }
  return 0;
}
