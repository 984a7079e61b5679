// RowList over the control's own list box: each operation is one list-box
// message. The control's window is re-created now and then, and a control
// created by a script may never get one, so the list box can be attached
// later and, until then, every operation is a harmless no-op.
#pragma once

#include <windows.h>

#include "rows/row_list.h"

namespace orvane {

class ListBoxRowList : public RowList {
 public:
  explicit ListBoxRowList(HWND listBox = nullptr) : m_listBox(listBox) {}

  // A new window starts a new bulk-change count: redrawing belongs to it.
  void Attach(HWND listBox);
  HWND ListBox() const { return m_listBox; }

  int32_t Append(OutlineNode* node) override;
  void Insert(int32_t index, OutlineNode* node) override;
  void Delete(int32_t index) override;
  void Clear() override;
  int32_t Count() const override;
  OutlineNode* NodeOf(int32_t index) const override;
  int32_t Selection() const override;
  void SetSelection(int32_t index) override;
  int32_t TopIndex() const override;
  void SetTopIndex(int32_t index) override;
  int32_t RowHeight() const override;

  // Nested brackets; redrawing is off from the outermost Begin to its End,
  // which repaints the whole list once.
  void BeginBulkChange() override;
  void EndBulkChange() override;

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  HWND m_listBox = nullptr;
  int m_bulkDepth = 0;
};

}  // namespace orvane
