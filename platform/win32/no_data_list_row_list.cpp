#include "platform/win32/no_data_list_row_list.h"

namespace orvane {

LRESULT NoDataListRowList::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND box = m_box.ListBox();
  return box ? SendMessageA(box, message, wParam, lParam) : LB_ERR;
}

void NoDataListRowList::Attach(HWND listBox) {
  m_box.Attach(listBox);
  m_nodes.Clear();
}

int32_t NoDataListRowList::Append(OutlineNode* node) {
  if (!ListBox()) return -1;
  LRESULT index = Send(LB_ADDSTRING, 0, 0);
  if (index < 0) return -1;
  m_nodes.Append(node);
  return static_cast<int32_t>(index);
}

void NoDataListRowList::Insert(int32_t index, OutlineNode* node) {
  if (!ListBox() || index < 0 || index > Count()) return;
  if (Send(LB_INSERTSTRING, static_cast<WPARAM>(index), 0) < 0) return;
  m_nodes.Insert(index, node);
}

void NoDataListRowList::Delete(int32_t index) {
  if (!ListBox() || index < 0 || index >= Count()) return;
  Send(LB_DELETESTRING, static_cast<WPARAM>(index));
  m_nodes.Delete(index);
}

void NoDataListRowList::Clear() {
  Send(LB_RESETCONTENT);
  m_nodes.Clear();
}

void NoDataListRowList::Replace(OutlineNode* const* nodes, int32_t count) {
  Clear();
  if (!ListBox() || count <= 0) return;
  if (Send(LB_SETCOUNT, static_cast<WPARAM>(count)) < 0) {
    // A list box that refuses the count takes the rows one by one.
    for (int32_t i = 0; i < count; ++i) Append(nodes[i]);
    return;
  }
  for (int32_t i = 0; i < count; ++i) m_nodes.Append(nodes[i]);
}

}  // namespace orvane
