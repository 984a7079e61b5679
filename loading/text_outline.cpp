// Free outlines: items added one by one, and indented text files.
#include <string>

#include "core/orvane_core.h"
#include "loading/file_system.h"
#include "rows/row_list.h"

namespace orvane {

namespace {

OutlineNode* NodeOfRow(const RowList& rows, int32_t index) {
  return (index >= 0 && index < rows.Count()) ? rows.NodeOf(index) : nullptr;
}

}  // namespace

OutlineNode* OrvaneCore::AddChild(int32_t index, std::string_view text) {
  OutlineNode* node = AddChildNode(m_rootList, NodeOfRow(m_rows, index), text);
  node->Header().SetChildCount(0);
  // Deeper items get their rows when their parent is opened.
  if (node->Level() == 0) AppendRootRow(node);
  return node;
}

OutlineNode* OrvaneCore::AddSibling(int32_t index, std::string_view text) {
  OutlineNode* node = AddSiblingNode(m_rootList, NodeOfRow(m_rows, index), text);
  node->Header().SetChildCount(0);
  if (node->Level() == 0) AppendRootRow(node);
  return node;
}

void OrvaneCore::LoadFromTextFile(std::string_view fileName) {
  std::unique_ptr<File> file = m_files.OpenRead(fileName, Share::Read);
  std::unique_ptr<uint8_t[]> bytes;
  uint32_t length = 0;
  if (!file) return;
  // Checked before anything is read: a file of gigabytes would hold up the
  // host for as long as reading it takes.
  const int64_t size = file->Size();
  if (size < 0 || size > kMaxTextOutlineBytes) return;
  if (!ReadWholeFile(*file, bytes, length)) return;

  std::string_view text(reinterpret_cast<const char*>(bytes.get()), length);
  size_t feed;
  while ((feed = text.find('\n')) != std::string_view::npos) {
    // The character before the line feed is dropped: it is the carriage
    // return of a CR LF pair, and files are written that way.
    std::string_view line = text.substr(0, feed == 0 ? 0 : feed - 1);
    size_t blanks = line.find_first_not_of(' ');
    if (blanks == std::string_view::npos) blanks = line.size();
    std::string_view item = line.substr(blanks);
    if (blanks == 0) {
      AddSibling(0, item);
    } else {
      AddChild(m_rows.Count() - 1, item);
    }
    text.remove_prefix(feed + 1);
  }
}

void OrvaneCore::Demo() {
  m_applyCheck = true;
  LoadFromTextFile(kDemoFile);
}

}  // namespace orvane
