#include "platform/win32/window_hover_timer.h"

namespace orvane {

void WindowHoverTimer::Attach(HWND window) {
  m_window = window;
  m_id = 0;
}

void WindowHoverTimer::SetPeriod(int32_t milliseconds) {
  // SetTimer takes an unsigned period; a negative one would wrap to weeks.
  m_period = milliseconds < 0 ? 0 : milliseconds;
}

void WindowHoverTimer::Stop() {
  if (m_window == nullptr) return;
  KillTimer(m_window, m_id);
}

void WindowHoverTimer::Start() {
  if (m_window == nullptr) return;
  m_id = SetTimer(m_window, kTimerId, static_cast<UINT>(m_period), nullptr);
}

}  // namespace orvane
