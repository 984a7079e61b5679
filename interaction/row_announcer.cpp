#include "interaction/row_announcer.h"

#include "rows/row_list.h"

namespace orvane {

void RowAnnouncer::Attach(HWND window) {
  m_window = window;
  m_row = -1;
  m_node = nullptr;
}

void RowAnnouncer::RowStateChanged(int32_t row) {
  if (m_window == nullptr || row < 0) return;
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_window, OBJID_CLIENT, row + 1);
}

void RowAnnouncer::RowsReordered() {
  if (m_window == nullptr) return;
  NotifyWinEvent(EVENT_OBJECT_REORDER, m_window, OBJID_CLIENT, CHILDID_SELF);
}

void RowAnnouncer::AnnounceCurrentRow(const RowList& rows) {
  if (m_window == nullptr) return;
  const int32_t row = rows.Selection();
  const void* node = row >= 0 ? rows.NodeOf(row) : nullptr;
  if (row == m_row && node == m_node) return;
  m_row = row;
  m_node = node;
  if (row < 0) return;
  if (GetFocus() == m_window) {
    NotifyWinEvent(EVENT_OBJECT_FOCUS, m_window, OBJID_CLIENT, row + 1);
  }
  NotifyWinEvent(EVENT_OBJECT_SELECTION, m_window, OBJID_CLIENT, row + 1);
}

}  // namespace orvane
