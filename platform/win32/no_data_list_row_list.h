// RowList over a no-data list box (LBS_NODATA): the list box keeps only the
// number of rows, the selection and the scroll position, and the nodes live
// here, in a gap buffer. Inserting or deleting a row is one list-box message,
// so the list box moves its selection and repaints exactly as it does for a
// list that stores its items; but it no longer moves 30,000 item records for
// every row opened or closed above them.
//
// Inside a bulk change, a run of rows inserted one after another (opening a
// node inserts its children so) goes to the list box when anything else is
// asked of it: as one new count when it lies below the selection, which then
// keeps its place as with inserts one by one; row by row otherwise.
#pragma once

#include <windows.h>

#include "platform/portable/gap_row_list.h"
#include "platform/win32/list_box_row_list.h"

namespace orvane {

class NoDataListRowList : public RowList {
 public:
  explicit NoDataListRowList(HWND listBox = nullptr) { Attach(listBox); }

  // A new window holds no rows.
  void Attach(HWND listBox);
  HWND ListBox() const { return m_box.ListBox(); }

  int32_t Append(OutlineNode* node) override;
  void Insert(int32_t index, OutlineNode* node) override;
  void Delete(int32_t index) override;
  void Clear() override;
  // One message for the count instead of one a row: the list box holds no
  // item data, so its count is all it needs.
  void Replace(OutlineNode* const* nodes, int32_t count) override;
  int32_t Count() const override { return m_nodes.Count(); }
  OutlineNode* NodeOf(int32_t index) const override { return m_nodes.NodeOf(index); }
  int32_t Selection() const override;
  void SetSelection(int32_t index) override;
  int32_t TopIndex() const override;
  void SetTopIndex(int32_t index) override;
  int32_t RowHeight() const override;
  void BeginBulkChange() override;
  void EndBulkChange() override;

  // Gives the list box the rows of a pending run; nothing when none is.
  void FlushInsertRun() const;

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // The messages that read the window's own state. Mutable: a question
  // about the list box first gives it a pending run, which changes what the
  // window holds but not the rows this list shows.
  mutable ListBoxRowList m_box;
  GapRowList m_nodes;
  int m_bulkDepth = 0;
  // Rows in m_nodes the list box has not been told of yet: `m_runCount` rows
  // from `m_runStart`. Pending only inside a bulk change.
  mutable int32_t m_runStart = 0;
  mutable int32_t m_runCount = 0;
};

}  // namespace orvane
