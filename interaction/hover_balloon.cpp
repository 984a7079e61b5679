#include "interaction/hover_balloon.h"

#include "core/orvane_core.h"
#include "interaction/balloon_geometry.h"
#include "interaction/balloon_window.h"
#include "interaction/interaction_host.h"
#include "rows/row_list.h"

namespace orvane {

void DetectHover(InteractionHost& host, POINT point) {
  if (!host.ShowBalloonHelp()) return;
  BalloonWindow* balloon = host.Balloon();
  if (balloon == nullptr || balloon->Handle() == nullptr) return;
  if (balloon->IsVisible()) {
    balloon->Hide();
    host.KillHoverTimer();
  }

  RowList& rows = host.Core().Rows();
  // The high word of the answer is set for a point that is on no row, which
  // makes the whole answer too large to be a row.
  const LRESULT answer = host.ListBoxHandling(
      LB_ITEMFROMPOINT, 0, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
  const int32_t count = rows.Count();
  if (answer < 0 || answer >= count) return;
  const auto row = static_cast<int32_t>(answer);

  RECT inner{};
  GetClientRect(host.ControlWindow(), &inner);
  // The margins are the list box's own, 2 pixels at 96 DPI.
  const int margin = ScaleToDpi(2, host.Dpi());
  InflateRect(&inner, -margin, -margin);
  if (!PtInRect(&inner, point)) return;

  const int32_t top = (row - rows.TopIndex()) * rows.RowHeight();
  const RECT rowRect{inner.left, top, inner.right, top + rows.RowHeight()};
  // Compared by place, not by row: after a scroll the row now lying there
  // counts as the same one.
  if (EqualRect(&rowRect, &balloon->m_rowRect)) {
    if (balloon->m_state == bsShown) balloon->m_state = bsDismissed;
    return;
  }

  const OutlineNode* node = rows.NodeOf(row);
  if (node == nullptr) return;
  host.StartHoverTimer();
  balloon->m_rowRect = rowRect;
  balloon->m_text = BalloonTitle(*node);
  balloon->m_rowIndex = static_cast<int16_t>(row);
}

LRESULT OnHoverTimer(InteractionHost& host, WPARAM timerId, LPARAM lParam) {
  BalloonWindow* balloon = host.Balloon();
  if (balloon == nullptr || balloon->Handle() == nullptr) {
    // Nothing can show; a timer left running would fire for ever.
    KillTimer(host.ControlWindow(), timerId);
    return host.StockHandling(WM_TIMER, timerId, lParam);
  }
  if (balloon->m_state == bsShown) return 0;
  KillTimer(host.ControlWindow(), timerId);
  balloon->ShowAt(BalloonRect(host, balloon->m_text));
  return host.StockHandling(WM_TIMER, timerId, lParam);
}

}  // namespace orvane
