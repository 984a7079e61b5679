#include "tools/orvane-toc/toc_dump.h"

#include <memory>
#include <string>

#include "loading/cp1256.h"
#include "loading/toc_reader.h"
#include "model/outline_node.h"
#include "loading/memory_file.h"

namespace orvane::toc_tool {

bool DumpToc(const std::vector<uint8_t>& bytes, std::ostream& out) {
  // The reader decodes titles in place and reads one byte past a record, so
  // it gets its own copy with the TocBuffer's two spare bytes.
  const auto length = static_cast<uint32_t>(bytes.size());
  auto buffer = std::make_unique<uint8_t[]>(bytes.size() + 2);
  std::copy(bytes.begin(), bytes.end(), buffer.get());

  // Sections hang under a book, which hangs under a category: level 1.
  std::unique_ptr<OutlineNode> book = OutlineNode::FromText("");
  book->Header().SetLevel(1);
  ParseToc(*book, buffer.get(), length, 1);
  out << "sections " << book->ChildCount() << '\n';

  // Every section of a sound file is a record of at least 21 bytes, so a
  // file that yields more is one whose FirstChildPos values form a loop.
  const uint64_t limit = bytes.size() / kRecordHeaderSize;
  uint64_t printed = 0;
  MemoryFile file(bytes);
  std::vector<std::pair<OutlineNode*, int32_t>> stack;  // node, index of its next child
  stack.emplace_back(book.get(), 0);
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    if (next == node->m_children.Count()) {
      stack.pop_back();
      continue;
    }
    OutlineNode* child = node->m_children[next++];
    if (++printed > limit) {
      out << "(stopped: the file names more sections than its " << bytes.size()
          << " bytes can hold)\n";
      return false;
    }
    const RecordHeader header = child->Header();
    out << std::string(2 * static_cast<size_t>(child->Level() > 2 ? child->Level() - 2 : 0), ' ')
        << 'L' << int{child->Level()} << " C" << header.ChildCount() << " P" << header.ParentPos()
        << " F" << header.FilePos() << ' ' << Cp1256ToUtf8(child->TitleText()) << '\n';
    // A book has no FirstChildPos, so only sections read children on demand.
    if (child->m_children.Count() < child->ChildCount()) LoadChildren(file, *child);
    stack.emplace_back(child, 0);
  }
  return true;
}

}  // namespace orvane::toc_tool
