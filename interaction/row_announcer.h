// RowAnnouncer: tells assistive technology, through the system's win
// events on the control's window and its client object, what changed in the
// rows: a row's state (open, closed, checked, greyed), a block of rows
// inserted or deleted, and the current row moving. Child ids are row index
// + 1, as the accessible object (accessible_rows.h) numbers its children.
#pragma once

#include <windows.h>

#include <cstdint>

#include "rows/row_events.h"

namespace orvane {

class RowList;

class RowAnnouncer final : public RowEvents {
 public:
  // The window the events name; null announces nothing (no window yet).
  void Attach(HWND window);

  void RowStateChanged(int32_t row) override;
  void RowsReordered() override;

  // Announces the current row when it is not the one last announced:
  // selection always, focus only while the control's window holds the
  // keyboard focus. The list box moves its selection on its own (arrows,
  // clicks), so this compares rather than being told.
  void AnnounceCurrentRow(const RowList& rows);

 private:
  HWND m_window = nullptr;
  int32_t m_row = -1;
  // Which node the row showed, as an identity only: never read through.
  const void* m_node = nullptr;
};

}  // namespace orvane
