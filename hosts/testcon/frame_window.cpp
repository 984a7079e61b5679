#include "hosts/testcon/frame_window.h"

#include <algorithm>

namespace testcon {
namespace {

constexpr wchar_t kFrameClass[] = L"TestconFrame";
constexpr wchar_t kFocusTargetProperty[] = L"TestconFocusTarget";
constexpr int kLeftMargin = 240;

LRESULT CALLBACK FrameWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETFOCUS: {
      HWND target = static_cast<HWND>(GetPropW(window, kFocusTargetProperty));
      if (target != nullptr && IsWindow(target)) SetFocus(target);
      return 0;
    }
    case WM_CLOSE:
      // Only the script ends the container; a closed frame would leave the
      // script driving a control that is gone.
      return 0;
    case WM_DESTROY:
      RemovePropW(window, kFocusTargetProperty);
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

bool RegisterFrameClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kFrameClass, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FrameWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFrameClass;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

HWND CreateFrameWindow(SIZE clientSize) {
  if (!RegisterFrameClass()) return nullptr;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  RECT bounds{0, 0, clientSize.cx, clientSize.cy};
  AdjustWindowRectEx(&bounds, style, FALSE, 0);
  // Away from the screen's left edge when there is room: in the right-to-left
  // layout the balloon of a cut title opens to the left of the control.
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  const int x = std::clamp(GetSystemMetrics(SM_CXSCREEN) - width, 0, kLeftMargin);
  HWND frame = CreateWindowExW(0, kFrameClass, L"testcon", style, x, 0, width, height, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  if (frame == nullptr) return nullptr;
  ShowWindow(frame, SW_SHOWNORMAL);
  UpdateWindow(frame);
  SetForegroundWindow(frame);
  return frame;
}

void SetFrameFocusTarget(HWND frame, HWND target) { SetPropW(frame, kFocusTargetProperty, target); }

}  // namespace testcon
