#include "platform/win32/no_data_list_row_list.h"

namespace orvane {

LRESULT NoDataListRowList::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND box = m_box.ListBox();
  return box ? SendMessageA(box, message, wParam, lParam) : LB_ERR;
}

void NoDataListRowList::Attach(HWND listBox) {
  m_box.Attach(listBox);
  m_nodes.Clear();
  m_bulkDepth = 0;
  m_runCount = 0;
}

void NoDataListRowList::FlushInsertRun() const {
  if (m_runCount == 0) return;
  const int32_t start = m_runStart, count = m_runCount;
  m_runCount = 0;
  const int32_t selection = m_box.Selection();
  // Rows inserted one by one above the selection move it down and leave the
  // caret at its index; no message sets those two apart in a single-choice
  // list box, so such a run goes one row at a time. Opening the selected
  // node inserts below it and is never such a run.
  if (selection >= start) {
    for (int32_t i = 0; i < count; ++i) Send(LB_INSERTSTRING, static_cast<WPARAM>(start + i), 0);
    return;
  }
  const int32_t top = m_box.TopIndex();
  const LRESULT caret = Send(LB_GETCARETINDEX);
  if (Send(LB_SETCOUNT, static_cast<WPARAM>(m_nodes.Count())) < 0) {
    // A list box that refuses the count takes the rows one by one.
    for (int32_t i = 0; i < count; ++i) Send(LB_INSERTSTRING, static_cast<WPARAM>(start + i), 0);
    return;
  }
  // Rows added below the selection leave the selection, the caret and the
  // top row where they were; a list box that moved any of them on the new
  // count gets it back.
  if (m_box.Selection() != selection) m_box.SetSelection(selection);
  if (caret >= 0 && Send(LB_GETCARETINDEX) != caret) {
    Send(LB_SETCARETINDEX, static_cast<WPARAM>(caret), FALSE);
  }
  if (m_box.TopIndex() != top) Send(LB_SETTOPINDEX, static_cast<WPARAM>(top));
}

int32_t NoDataListRowList::Append(OutlineNode* node) {
  if (!ListBox()) return -1;
  FlushInsertRun();
  LRESULT index = Send(LB_ADDSTRING, 0, 0);
  if (index < 0) return -1;
  m_nodes.Append(node);
  return static_cast<int32_t>(index);
}

void NoDataListRowList::Insert(int32_t index, OutlineNode* node) {
  if (!ListBox() || index < 0 || index > Count()) return;
  if (m_bulkDepth > 0 && Count() < kMaxRows) {
    // The next row of the pending run, or the first of a new one.
    if (m_runCount > 0 && index != m_runStart + m_runCount) FlushInsertRun();
    if (m_runCount == 0) m_runStart = index;
    m_nodes.Insert(index, node);
    ++m_runCount;
    return;
  }
  FlushInsertRun();
  if (Send(LB_INSERTSTRING, static_cast<WPARAM>(index), 0) < 0) return;
  m_nodes.Insert(index, node);
}

void NoDataListRowList::Delete(int32_t index) {
  if (!ListBox() || index < 0 || index >= Count()) return;
  FlushInsertRun();
  Send(LB_DELETESTRING, static_cast<WPARAM>(index));
  m_nodes.Delete(index);
}

void NoDataListRowList::Clear() {
  m_runCount = 0;
  Send(LB_RESETCONTENT);
  m_nodes.Clear();
}

int32_t NoDataListRowList::Selection() const {
  FlushInsertRun();
  return m_box.Selection();
}

void NoDataListRowList::SetSelection(int32_t index) {
  FlushInsertRun();
  m_box.SetSelection(index);
}

int32_t NoDataListRowList::TopIndex() const {
  FlushInsertRun();
  return m_box.TopIndex();
}

void NoDataListRowList::SetTopIndex(int32_t index) {
  FlushInsertRun();
  m_box.SetTopIndex(index);
}

int32_t NoDataListRowList::RowHeight() const { return m_box.RowHeight(); }

void NoDataListRowList::BeginBulkChange() {
  ++m_bulkDepth;
  m_box.BeginBulkChange();
}

void NoDataListRowList::EndBulkChange() {
  if (m_bulkDepth == 0) return;
  if (--m_bulkDepth == 0) FlushInsertRun();
  m_box.EndBulkChange();
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
