#include "render/display_scale.h"

#include <iterator>
#include <limits>

namespace orvane {

int UsableDpi(int64_t dpi) {
  if (dpi <= 0) return kDefaultDpi;
  if (dpi < kLowestDpi) return kLowestDpi;
  if (dpi > kHighestDpi) return kHighestDpi;
  return static_cast<int>(dpi);
}

int ScaleToDpi(int64_t pixelsAt96, int dpi) {
  const int64_t d = UsableDpi(dpi);
  // Lengths come from hosts (Indent is any 16-bit value); 64 bits hold any
  // of them times any usable DPI.
  const int64_t scaled = pixelsAt96 * d;
  const int64_t half = kDefaultDpi / 2;
  const int64_t v = scaled >= 0 ? (scaled + half) / kDefaultDpi : -((-scaled + half) / kDefaultDpi);
  constexpr int64_t lo = std::numeric_limits<int>::min();
  constexpr int64_t hi = std::numeric_limits<int>::max();
  return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}

int StripScaleFor(int dpi) {
  const int64_t d = UsableDpi(dpi);
  for (int scale : kStripScales) {
    if (d * 100 <= static_cast<int64_t>(scale) * kDefaultDpi) return scale;
  }
  return kStripScales[std::size(kStripScales) - 1];
}

int SystemDpi() {
  // Fixed for the process's life: fonts made from point sizes keep the DPI
  // they were realized at, and painting asks for it once a row.
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    if (!screen) return kDefaultDpi;
    const int logical = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return UsableDpi(logical);
  }();
  return dpi;
}

int WindowDpi(HWND window) {
  if (!window) return kDefaultDpi;
  // Resolved at run time: systems before per-monitor DPI lack the entry.
  using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
  static const GetDpiForWindowProc getDpiForWindow = [] {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<GetDpiForWindowProc>(
                      reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                : nullptr;
  }();
  if (getDpiForWindow) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi != 0) return UsableDpi(dpi);
  }
  return SystemDpi();
}

}  // namespace orvane
