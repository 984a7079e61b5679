#include "interaction/balloon_window.h"

#include "interaction/accessible_rows.h"

#include <windowsx.h>

#include "platform/portable/boundary_guard.h"
#include "platform/win32/paint_scope.h"

namespace orvane {
namespace {

constexpr wchar_t kBalloonClass[] = L"OrvaneBalloonWindow";

HINSTANCE ThisModule() { return ModuleOf(reinterpret_cast<const void*>(&ModuleOf)); }

// The class of an earlier load of this module may still be registered with
// a window procedure that is no longer mapped; such a class is replaced.
bool RegisterBalloonClass(WNDPROC proc) {
  const HINSTANCE module = ThisModule();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(module, kBalloonClass, &existing)) {
    if (existing.lpfnWndProc == proc) return true;
    UnregisterClassW(kBalloonClass, module);
  }
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kBalloonClass;
  return RegisterClassExW(&wc) != 0;
}

bool ScreenPointInWindow(HWND window, POINT screen) {
  RECT rect{};
  return window != nullptr && GetWindowRect(window, &rect) && PtInRect(&rect, screen);
}

}  // namespace

BalloonWindow::~BalloonWindow() { Destroy(); }

bool BalloonWindow::Create(HWND owner) {
  Destroy();
  m_owner = owner;
  SetRectEmpty(&m_rowRect);
  m_state = bsIdle;
  if (!RegisterBalloonClass(&WindowProc)) return false;
  // A child of the desktop: above every window, never activated, and not
  // moved with the control's frame (its rectangle is in screen coordinates).
  m_hWnd = CreateWindowExW(kExStyle, kBalloonClass, L"", kStyle, 0, 0, 0, 0, GetDesktopWindow(),
                           nullptr, ThisModule(), this);
  return m_hWnd != nullptr;
}

void BalloonWindow::Destroy() {
  if (m_hWnd == nullptr) return;
  HWND window = m_hWnd;
  if (GetCapture() == window) ReleaseCapture();
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  m_hWnd = nullptr;
  DestroyWindow(window);
}

bool BalloonWindow::IsVisible() const { return m_hWnd != nullptr && IsWindowVisible(m_hWnd); }

void BalloonWindow::Hide() {
  if (m_hWnd != nullptr) ShowWindow(m_hWnd, SW_HIDE);
}

void BalloonWindow::ShowAt(const RECT& screenRect) {
  if (m_hWnd == nullptr) return;
  // Its window text is its name to assistive technology: the whole title.
  SetWindowTextW(m_hWnd, AccessibleText(m_text).c_str());
  SetWindowPos(m_hWnd, HWND_TOP, screenRect.left, screenRect.top,
               screenRect.right - screenRect.left, screenRect.bottom - screenRect.top,
               SWP_NOACTIVATE);
  BringWindowToTop(m_hWnd);
  RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  // A hidden window gets no paint of its own; this one takes the capture
  // and starts the hide timer now, not when the system gets round to it.
  SendMessageW(m_hWnd, WM_PAINT, 0, 0);
  ShowWindow(m_hWnd, SW_SHOW);
  m_state = bsShown;
}

const BidiTextApi& BalloonWindow::Library() const {
  return m_library != nullptr ? *m_library : LoadBidiTextLibrary();
}

LRESULT CALLBACK BalloonWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* balloon = reinterpret_cast<BalloonWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (balloon == nullptr || (balloon->m_hWnd != nullptr && balloon->m_hWnd != hwnd)) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (balloon->m_hWnd == nullptr) balloon->m_hWnd = hwnd;  // messages during creation
  // Nothing may unwind into the system's message dispatch.
  return GuardedValue(LRESULT{0}, [&] { return balloon->HandleMessage(msg, wParam, lParam); });
}

LRESULT BalloonWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(point);
      break;
    case WM_LBUTTONDOWN:
      OnLButtonDown(wParam, point);
      break;
    case WM_NCDESTROY: {
      HWND window = m_hWnd;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      m_hWnd = nullptr;
      return DefWindowProcW(window, msg, wParam, lParam);
    }
    default:
      break;
  }
  return DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

void BalloonWindow::OnPaint() {
  PaintScope paint(m_hWnd);
  HDC dc = paint.Dc();
  if (m_owner != nullptr) KillTimer(m_owner, kOwnerHoverTimerId);
  // Every paint gives the reader five seconds more.
  SetTimer(m_hWnd, kHideTimerId, kHideAfterMs, nullptr);
  if (dc != nullptr) {
    HGDIOBJ systemFont = GetStockObject(SYSTEM_FONT);
    HGDIOBJ oldFont = systemFont ? SelectObject(dc, systemFont) : nullptr;
    const BidiTextApi& library = Library();
    const bool selected =
        library.Complete() && library.aSelectDC(dc, &m_ansiLogFont, &m_fontaLogFont);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (selected) {
      // The balloon reads left to right whatever ReadingOrder says. The
      // order is the library's state, shared with the rows: it goes back
      // as found.
      const int savedOrder = library.aGetReadingOrder();
      library.aSetReadingOrder(HARFIX_ORDER_LTR);
      SetTextAlign(dc, TA_BASELINE);
      library.aDrawText(dc, m_text.data(), static_cast<int>(m_text.size()), &client, kTextFlags);
      library.aReleaseDC(dc);
      library.aSetReadingOrder(savedOrder);
    }
    if (oldFont != nullptr) SelectObject(dc, oldFont);
  }
  SetCapture(m_hWnd);
}

void BalloonWindow::Withdraw(UINT_PTR timerId) {
  KillTimer(m_hWnd, timerId);
  // Only our own capture: a list box that took it since keeps its drag.
  if (GetCapture() == m_hWnd) ReleaseCapture();
  ShowWindow(m_hWnd, SW_HIDE);
  m_state = bsIdle;
}

void BalloonWindow::OnTimer(UINT_PTR id) { Withdraw(id); }

void BalloonWindow::OnMouseMove(POINT client) {
  if (m_state != bsShown) return;
  POINT screen = client;
  ClientToScreen(m_hWnd, &screen);
  if (ScreenPointInWindow(m_hWnd, screen)) return;
  Withdraw(kHideTimerId);
  if (ScreenPointInWindow(m_owner, screen)) SetActiveWindow(m_owner);
}

void BalloonWindow::OnLButtonDown(WPARAM keys, POINT client) {
  if (m_state != bsShown) return;
  Withdraw(kHideTimerId);
  POINT point = client;
  ClientToScreen(m_hWnd, &point);
  if (!ScreenPointInWindow(m_owner, point)) return;
  ScreenToClient(m_owner, &point);
  // The control takes it as a press of its own at the same screen point.
  PostMessageW(m_owner, WM_LBUTTONDOWN, keys,
               MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
}

}  // namespace orvane
