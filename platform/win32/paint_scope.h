// The paint of a WM_PAINT message, begun and ended with a scope: a region
// left invalid because drawing failed part-way would be painted again, and
// fail again, without end.
#pragma once

#include <windows.h>

namespace orvane {

class PaintScope {
 public:
  explicit PaintScope(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
  ~PaintScope() { EndPaint(m_window, &m_paint); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC Dc() const { return m_dc; }
  const RECT& Area() const { return m_paint.rcPaint; }

 private:
  HWND m_window;
  PAINTSTRUCT m_paint{};
  HDC m_dc;
};

}  // namespace orvane
