// HoverTimer as timer 1 of the control's window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "rows/hover_timer.h"

namespace orvane {

class WindowHoverTimer : public HoverTimer {
 public:
  static constexpr UINT_PTR kTimerId = 1;

  // A new window has no timer yet; the old one went with the old window.
  void Attach(HWND window);
  void SetPeriod(int32_t milliseconds);
  int32_t Period() const { return m_period; }
  // The identifier SetTimer returned last; 0 before the first Start on the
  // attached window.
  UINT_PTR Id() const { return m_id; }

  void Stop() override;
  void Start() override;

 private:
  HWND m_window = nullptr;
  UINT_PTR m_id = 0;
  int32_t m_period = 0;
};

}  // namespace orvane
