// RowList over a no-data list box (LBS_NODATA): the list box keeps only the
// number of rows, the selection and the scroll position, and the nodes live
// here, in a gap buffer. Inserting or deleting a row is still one list-box
// message, so the list box moves its selection and repaints exactly as it
// does for a list that stores its items; but it no longer moves 30,000 item
// records for every row opened or closed above them.
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
  int32_t Selection() const override { return m_box.Selection(); }
  void SetSelection(int32_t index) override { m_box.SetSelection(index); }
  int32_t TopIndex() const override { return m_box.TopIndex(); }
  int32_t RowHeight() const override { return m_box.RowHeight(); }
  void BeginBulkChange() override { m_box.BeginBulkChange(); }
  void EndBulkChange() override { m_box.EndBulkChange(); }

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  ListBoxRowList m_box;  // the messages that read the window's own state
  GapRowList m_nodes;
};

}  // namespace orvane
