// Items a host adds one by one, and those of an indented text file.
#include <string>

#include "model/library.h"
#include "rows/row_list.h"
#include "rows/row_view.h"

namespace orvane {

namespace {

OutlineNode* NodeOfRow(const RowList& rows, int32_t index) {
  return (index >= 0 && index < rows.Count()) ? rows.NodeOf(index) : nullptr;
}

}  // namespace

OutlineNode* RowView::AddChild(int32_t index, std::string_view text) {
  OutlineNode* parent = NodeOfRow(m_rows, index);
  // A book's own sections come before anything a host hangs under it.
  if (parent) m_library.EnsureBookReadFor(*parent);
  OutlineNode* node = AddChildNode(m_library.RootList(), parent, text);
  node->Header().SetChildCount(0);
  // Deeper items get their rows when their parent is opened.
  if (node->Level() == 0) AppendRootRow(node);
  return node;
}

OutlineNode* RowView::AddSibling(int32_t index, std::string_view text) {
  OutlineNode* node = AddSiblingNode(m_library.RootList(), NodeOfRow(m_rows, index), text);
  node->Header().SetChildCount(0);
  if (node->Level() == 0) AppendRootRow(node);
  return node;
}

}  // namespace orvane
