#include "interaction/mouse_input.h"

#include <windowsx.h>

#include "core/orvane_core.h"
#include "interaction/balloon_window.h"
#include "interaction/hover_balloon.h"
#include "interaction/interaction_host.h"
#include "model/outline_node.h"
#include "render/row_layout.h"
#include "rows/row_list.h"

namespace orvane {
namespace {

POINT PointOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// A press or release on the control takes a visible balloon down; `state`
// records which of the two did.
void TakeDownBalloon(InteractionHost& host, int16_t state) {
  BalloonWindow* balloon = host.Balloon();
  if (balloon == nullptr || !balloon->IsVisible()) return;
  host.KillHoverTimer();
  balloon->Hide();
  balloon->m_state = state;
}

// The part of the client area the rows cover, from the top row down.
bool InRowsArea(RowList& rows, const RECT& client, POINT point) {
  const int32_t count = rows.Count();
  if (count == 0) return false;
  RECT area = client;
  area.bottom = (count - rows.TopIndex()) * rows.RowHeight();
  return PtInRect(&area, point) != FALSE;
}

}  // namespace

LRESULT OnLButtonDown(InteractionHost& host, WPARAM keys, LPARAM lParam) {
  const LRESULT result = host.StockHandling(WM_LBUTTONDOWN, keys, lParam);
  OrvaneCore& core = host.Core();
  RowList& rows = core.Rows();
  const POINT point = PointOf(lParam);
  const int32_t row = rows.Selection();
  TakeDownBalloon(host, bsIdle);
  if (row < 0) return result;

  OutlineNode* node = rows.NodeOf(row);
  if (node == nullptr) return result;
  core.View().SetSelectedNode(node);
  // A deactivated book is selected, but a click neither opens nor checks it.
  if (!node->m_active) return result;

  RECT client{};
  GetClientRect(host.ControlWindow(), &client);
  // The column alone decides, over the client's full height: a press below
  // the last row in the selected row's column still counts.
  const RECT checkBox = GetCheckBoxRect(*node, client, host.Alignment(), LayoutIndent(host));
  if (core.Checks().ApplyCheck() && PtInRect(&checkBox, point)) {
    core.View().ChangeStateSelected();
    host.Repaint();
  }
  if (!InRowsArea(rows, client, point)) return result;
  const RECT button = GetButtonRect(*node, client, host.Alignment(), LayoutIndent(host));
  if (PtInRect(&button, point)) {
    core.View().ToggleNode(static_cast<int16_t>(row));
    host.Repaint();
  }
  return result;
}

LRESULT OnLButtonUp(InteractionHost& host, WPARAM keys, LPARAM lParam) {
  TakeDownBalloon(host, bsDismissed);
  return host.StockHandling(WM_LBUTTONUP, keys, lParam);
}

LRESULT OnMouseMove(InteractionHost& host, WPARAM keys, LPARAM lParam) {
  const LRESULT result = host.StockHandling(WM_MOUSEMOVE, keys, lParam);
  DetectHover(host, PointOf(lParam));
  return result;
}

LRESULT OnVScroll(InteractionHost& host, WPARAM request, LPARAM scrollBar) {
  return host.ListBoxHandling(WM_VSCROLL, request, scrollBar);
}

}  // namespace orvane
