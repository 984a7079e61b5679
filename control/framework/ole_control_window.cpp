// COleControl: the control's window. A system window class is created inside
// a reflector window and subclassed; the reflector turns the notifications a
// system control sends its parent into OCM_* messages for the control, and
// the control's default message handling raises the stock events.
#include "control/framework/ole_control.h"

#include <windowsx.h>

#include "control/framework/com_module.h"
#include "platform/portable/boundary_guard.h"
#include "platform/win32/paint_scope.h"

namespace orvane {
namespace {

constexpr wchar_t kReflectorClass[] = L"OrvaneReflectorWindow";
// The control object is kept in the subclassed window's GWLP_USERDATA, which
// the system classes leave to the application. A window property would do,
// but under Wine every GetProp is a round trip to the server, and the list
// box gets a message for every row it is given or asked about.

bool RegisterReflectorClass(WNDPROC proc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ComModule::Instance(), kReflectorClass, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = ComModule::Instance();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kReflectorClass;
  return RegisterClassExW(&wc) != 0;
}

// Notifications a child sends its parent that belong to the child.
bool IsReflected(UINT msg) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return true;
    default:
      return false;
  }
}

short ShiftState() {
  short shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= 1;
  if (GetKeyState(VK_CONTROL) < 0) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

short ButtonState(WPARAM keys) {
  short button = 0;
  if (keys & MK_LBUTTON) button |= 1;
  if (keys & MK_RBUTTON) button |= 2;
  if (keys & MK_MBUTTON) button |= 4;
  return button;
}

}  // namespace

bool COleControl::PreCreateWindow(CREATESTRUCTW&) { return true; }

int COleControl::OnCreate() { return 0; }

bool COleControl::CreateControlWindow(HWND parent, const RECT& pos) {
  if (m_hWnd != nullptr) return true;
  if (!RegisterReflectorClass(&ReflectorWindowProc)) return false;

  const int width = pos.right - pos.left;
  const int height = pos.bottom - pos.top;
  CREATESTRUCTW cs{};
  cs.hInstance = ComModule::Instance();
  cs.hwndParent = parent;
  cs.x = 0;
  cs.y = 0;
  cs.cx = width;
  cs.cy = height;
  cs.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (m_borderStyle == 1 ? WS_BORDER : 0);
  cs.lpszName = L"";
  if (!PreCreateWindow(cs) || cs.lpszClass == nullptr) return false;

  m_reflector = CreateWindowExW(0, kReflectorClass, L"",
                                WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, pos.left, pos.top,
                                width, height, parent, nullptr, ComModule::Instance(), this);
  if (m_reflector == nullptr) return false;

  HWND window = CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style | WS_CHILD, cs.x,
                                cs.y, cs.cx, cs.cy, m_reflector, nullptr, cs.hInstance, nullptr);
  if (window == nullptr) {
    DestroyWindow(m_reflector);
    m_reflector = nullptr;
    return false;
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_superProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
  m_hWnd = window;

  if (OnCreate() == -1) {
    DestroyControlWindow();
    return false;
  }
  return true;
}

void COleControl::DestroyControlWindow() {
  if (m_reflector != nullptr) {
    HWND reflector = m_reflector;
    DestroyWindow(reflector);  // takes the control's window with it
    m_reflector = nullptr;
  } else if (m_hWnd != nullptr) {
    DestroyWindow(m_hWnd);
  }
  m_hWnd = nullptr;
}

void COleControl::RecreateControlWindow() {
  if (m_hWnd == nullptr || m_reflector == nullptr) return;
  HWND parent = GetParent(m_reflector);
  RECT pos{};
  GetWindowRect(m_reflector, &pos);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&pos), 2);
  const bool visible = IsWindowVisible(m_reflector) != FALSE;
  DestroyControlWindow();
  if (CreateControlWindow(parent, pos) && visible) ShowWindow(m_reflector, SW_SHOWNA);
  InvalidateControl();
}

LRESULT COleControl::CallSuperProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (m_superProc == nullptr || m_hWnd == nullptr) return 0;
  return CallWindowProcW(m_superProc, m_hWnd, msg, wParam, lParam);
}

void COleControl::DoSuperclassPaint(HDC dc, const RECT&) {
  CallSuperProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void COleControl::OnDraw(HDC dc, const RECT& bounds, const RECT&) { DoSuperclassPaint(dc, bounds); }

void COleControl::Refresh() {
  if (m_hWnd) {
    InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateWindow(m_hWnd);
  } else {
    SendViewChange();
  }
}

void COleControl::InvalidateControl() {
  if (m_hWnd)
    InvalidateRect(m_hWnd, nullptr, TRUE);
  else
    SendViewChange();
}

void COleControl::ApplyBorderStyleToWindow() {
  if (m_hWnd == nullptr) return;
  LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
  LONG_PTR wanted = m_borderStyle == 1 ? (style | WS_BORDER) : (style & ~LONG_PTR{WS_BORDER});
  if (wanted == style) return;
  SetWindowLongPtrW(m_hWnd, GWL_STYLE, wanted);
  SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT COleControl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      RECT client{};
      GetClientRect(m_hWnd, &client);
      if (wParam != 0) {
        OnDraw(reinterpret_cast<HDC>(wParam), client, client);
        return 0;
      }
      // Ended however the drawing ends: a region left invalid would be
      // painted again, and fail again, for ever.
      PaintScope paint(m_hWnd);
      OnDraw(paint.Dc(), client, paint.Area());
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      short button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
      FireMouseDown(button, ShiftState(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return CallSuperProc(msg, wParam, lParam);
    }
    case WM_LBUTTONUP: {
      LRESULT result = CallSuperProc(msg, wParam, lParam);
      FireClick();
      return result;
    }
    case WM_LBUTTONDBLCLK:
      FireDblClick();
      return CallSuperProc(msg, wParam, lParam);
    case WM_MOUSEMOVE:
      FireMouseMove(ButtonState(wParam), ShiftState(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return CallSuperProc(msg, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      short key = static_cast<short>(wParam);
      FireKeyDown(key, ShiftState());
      // A host that set the key code to 0 has swallowed the key.
      return key == 0 ? 0 : CallSuperProc(msg, static_cast<WPARAM>(key), lParam);
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      short key = static_cast<short>(wParam);
      FireKeyUp(key, ShiftState());
      return key == 0 ? 0 : CallSuperProc(msg, static_cast<WPARAM>(key), lParam);
    }
    case WM_CHAR: {
      short character = static_cast<short>(wParam);
      FireKeyPress(character);
      return character == 0 ? 0 : CallSuperProc(msg, static_cast<WPARAM>(character), lParam);
    }
    default:
      return CallSuperProc(msg, wParam, lParam);
  }
}

LRESULT CALLBACK COleControl::ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GuardedValue(LRESULT{0},
                      [&]() -> LRESULT { return ControlMessage(hwnd, msg, wParam, lParam); });
}

LRESULT COleControl::ControlMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<COleControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (control == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_DESTROY) control->OnDestroyWindow();
  if (msg == WM_NCDESTROY) {
    WNDPROC super = control->m_superProc;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    control->m_hWnd = nullptr;
    control->m_superProc = nullptr;
    return CallWindowProcW(super, hwnd, msg, wParam, lParam);
  }
  return control->WindowProc(msg, wParam, lParam);
}

LRESULT CALLBACK COleControl::ReflectorWindowProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                  LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* control = reinterpret_cast<COleControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (control != nullptr && IsReflected(msg)) {
    // Called directly: the first WM_MEASUREITEM arrives while the system
    // control is still being created, before it is subclassed.
    return GuardedValue(LRESULT{0},
                        [&] { return control->WindowProc(OCM__BASE + msg, wParam, lParam); });
  }
  if (msg == WM_SETFOCUS && control != nullptr && control->m_hWnd != nullptr) {
    SetFocus(control->m_hWnd);
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    // A container may destroy its window, and ours with it, without asking.
    if (control != nullptr && control->m_reflector == hwnd) control->m_reflector = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace orvane
