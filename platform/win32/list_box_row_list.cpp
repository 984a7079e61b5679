#include "platform/win32/list_box_row_list.h"

namespace orvane {
namespace {

// An owner-drawn list box without LBS_HASSTRINGS stores the "string" pointer
// as the item's data; the node is stored again with LB_SETITEMDATA so that the
// item data is the node whatever the styles.
LPARAM NodeParam(OutlineNode* node) { return reinterpret_cast<LPARAM>(node); }

}  // namespace

void ListBoxRowList::Attach(HWND listBox) {
  m_listBox = listBox;
  m_bulkDepth = 0;
}

LRESULT ListBoxRowList::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  if (m_listBox == nullptr) return LB_ERR;
  return SendMessageA(m_listBox, message, wParam, lParam);
}

int32_t ListBoxRowList::Append(OutlineNode* node) {
  if (m_listBox == nullptr) return -1;
  LRESULT index = Send(LB_ADDSTRING, 0, NodeParam(node));
  if (index < 0) return -1;
  Send(LB_SETITEMDATA, static_cast<WPARAM>(index), NodeParam(node));
  return static_cast<int32_t>(index);
}

void ListBoxRowList::Insert(int32_t index, OutlineNode* node) {
  // -1 would append; an index past the end is refused by the list box.
  if (index < 0) return;
  LRESULT at = Send(LB_INSERTSTRING, static_cast<WPARAM>(index), NodeParam(node));
  if (at >= 0) Send(LB_SETITEMDATA, static_cast<WPARAM>(at), NodeParam(node));
}

void ListBoxRowList::Delete(int32_t index) {
  if (index < 0) return;
  Send(LB_DELETESTRING, static_cast<WPARAM>(index));
}

void ListBoxRowList::Clear() { Send(LB_RESETCONTENT); }

int32_t ListBoxRowList::Count() const {
  LRESULT count = Send(LB_GETCOUNT);
  return count < 0 ? 0 : static_cast<int32_t>(count);
}

OutlineNode* ListBoxRowList::NodeOf(int32_t index) const {
  // The list box answers LB_ERR for a bad index, which must not pass as a node.
  if (index < 0) return nullptr;
  LRESULT data = Send(LB_GETITEMDATA, static_cast<WPARAM>(index));
  if (data == LB_ERR) return nullptr;
  return reinterpret_cast<OutlineNode*>(data);
}

int32_t ListBoxRowList::Selection() const {
  LRESULT selection = Send(LB_GETCURSEL);
  return selection < 0 ? -1 : static_cast<int32_t>(selection);
}

void ListBoxRowList::SetSelection(int32_t index) {
  // -1 as a WPARAM clears the selection.
  Send(LB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index));
}

int32_t ListBoxRowList::TopIndex() const {
  LRESULT top = Send(LB_GETTOPINDEX);
  return top < 0 ? 0 : static_cast<int32_t>(top);
}

void ListBoxRowList::SetTopIndex(int32_t index) {
  Send(LB_SETTOPINDEX, static_cast<WPARAM>(index < 0 ? 0 : index));
}

int32_t ListBoxRowList::RowHeight() const {
  LRESULT height = Send(LB_GETITEMHEIGHT, 0);
  return height < 0 ? 0 : static_cast<int32_t>(height);
}

void ListBoxRowList::BeginBulkChange() {
  if (m_listBox == nullptr) return;
  if (m_bulkDepth++ == 0) Send(WM_SETREDRAW, FALSE);
}

void ListBoxRowList::EndBulkChange() {
  if (m_listBox == nullptr || m_bulkDepth == 0) return;
  if (--m_bulkDepth == 0) {
    Send(WM_SETREDRAW, TRUE);
    InvalidateRect(m_listBox, nullptr, TRUE);
  }
}

}  // namespace orvane
