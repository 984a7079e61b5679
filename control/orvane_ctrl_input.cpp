// COrvaneCtrl: how the mouse, keyboard, scroll and timer handlers of
// interaction/ run (WindowProc picks one for each message), and the InputSite
// through which those handlers reach the control's members.
#include "control/orvane_ctrl.h"

#include "render/bidi_text_api.h"
#include "render/row_layout.h"

namespace orvane {

LRESULT COrvaneCtrl::InputMessage(InputHandler handler, WPARAM wParam, LPARAM lParam) {
  // A host may release the control from inside the event a handler fires;
  // the handler goes on after the event returns.
  // The reference is dropped however the handler ends: a control kept alive
  // by a failed handler would never let the module unload.
  struct KeepAlive {
    explicit KeepAlive(COrvaneCtrl& control) : m_control(control) { m_control.AddRef(); }
    ~KeepAlive() { m_control.Release(); }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;
    COrvaneCtrl& m_control;
  } alive(*this);
  const LRESULT result = handler(m_inputSite, wParam, lParam);
  // Keys and clicks move the current row, often inside the list box itself.
  m_announcer.AnnounceCurrentRow(m_rowList);
  return result;
}

LRESULT COrvaneCtrl::AccessibleObjectMessage(WPARAM wParam, LPARAM lParam) {
  // The identifier arrives as a 32-bit value, sign-extended or not.
  if (static_cast<LONG>(lParam) != OBJID_CLIENT || Window() == nullptr) {
    return COleControl::WindowProc(WM_GETOBJECT, wParam, lParam);
  }
  if (m_accessible == nullptr) {
    m_accessible = new (std::nothrow) AccessibleRows(m_inputSite, m_announcer);
    if (m_accessible == nullptr) return 0;
  }
  return m_accessible->Answer(wParam);
}

HWND COrvaneCtrl::InputSite::ControlWindow() const { return m_control.Window(); }
OrvaneCore& COrvaneCtrl::InputSite::Core() { return m_control.m_core; }
BalloonWindow* COrvaneCtrl::InputSite::Balloon() { return m_control.m_balloon.get(); }
int16_t COrvaneCtrl::InputSite::Alignment() const { return m_control.m_alignment; }
int16_t COrvaneCtrl::InputSite::Indent() const { return m_control.m_indent; }
bool COrvaneCtrl::InputSite::ShowBalloonHelp() const { return m_control.m_showBalloonHelp; }

// The same widths the painting uses: a strip that could not be made (or was
// made empty) leaves the layout as it would be with it.
int COrvaneCtrl::InputSite::TreeCellWidth() const {
  return CellWidthOr(m_control.m_treeStrip.get(), kTreeCellWidth);
}

int COrvaneCtrl::InputSite::CheckCellWidth() const {
  return CellWidthOr(m_control.m_checkStrip.get(), kIconCellWidth);
}

HFONT COrvaneCtrl::InputSite::FontaHandle() const { return m_control.m_fonta.GetFontHandle(); }

HFONT COrvaneCtrl::InputSite::StockFontHandle() const {
  return m_control.StockFont().GetFontHandle();
}

const BidiTextApi& COrvaneCtrl::InputSite::TextLibrary() { return LoadBidiTextLibrary(); }
void COrvaneCtrl::InputSite::MirrorToggle() { m_control.MirrorToggle(); }
void COrvaneCtrl::InputSite::Repaint() { m_control.Refresh(); }

void COrvaneCtrl::InputSite::StartHoverTimer() {
  // The same timer ToggleNode restarts: one identifier for both.
  m_control.m_hoverTimerSeam.SetPeriod(m_control.m_elapsedTime);
  m_control.m_hoverTimerSeam.Start();
}

void COrvaneCtrl::InputSite::KillHoverTimer() { m_control.m_hoverTimerSeam.Stop(); }

LRESULT COrvaneCtrl::InputSite::StockHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
  return m_control.COleControl::WindowProc(msg, wParam, lParam);
}

LRESULT COrvaneCtrl::InputSite::ListBoxHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
  return m_control.CallSuperProc(msg, wParam, lParam);
}

}  // namespace orvane
