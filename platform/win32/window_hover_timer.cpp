#include "platform/win32/window_hover_timer.h"

namespace orvane {

void WindowHoverTimer::Attach(HWND window) {
  m_window = window;
  m_id = 0;
}

void WindowHoverTimer::SetPeriod(int32_t milliseconds) {
  // Handed over as the platform takes it: SetTimer reads the period as
  // unsigned and holds anything above USER_TIMER_MAXIMUM (about 24.8 days)
  // at that, so a negative ElapsedTime means a balloon that does not come.
  m_period = milliseconds;
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
