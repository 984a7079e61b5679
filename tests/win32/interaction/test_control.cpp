#include "test_control.h"

#include <stdexcept>

#include "interaction/hover_balloon.h"
#include "interaction/key_input.h"
#include "interaction/mouse_input.h"
#include "model/outline_node.h"
#include "recording_text_library.h"
#include "test_library.h"

namespace orvane::test {
namespace {

constexpr wchar_t kFrameClass[] = L"InteractionTestFrame";
constexpr wchar_t kControlProperty[] = L"InteractionTestControl";

void RegisterFrameClass(WNDPROC proc) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kFrameClass, &existing)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kFrameClass;
  RegisterClassExW(&wc);
}

}  // namespace

TestControl::TestControl(int width, int height)
    : library(&RecordingTextLibrary()), m_core(m_rows, m_profile, m_files, m_timer) {
  RegisterFrameClass(&FrameProc);
  m_frame = CreateWindowExW(WS_EX_TOOLWINDOW, kFrameClass, L"", WS_POPUP | WS_VISIBLE, kFrameX,
                            kFrameY, width, height, nullptr, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
  if (m_frame == nullptr) throw std::runtime_error("no frame window (is there a display?)");
  m_listBox = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"LISTBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NOTIFY,
      0, 0, width, height, m_frame, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetPropW(m_listBox, kControlProperty, this);
  m_listBoxProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(m_listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListBoxProc)));
  m_rows.Attach(m_listBox);
  m_timer.Attach(m_listBox);
  m_timer.SetPeriod(elapsedTime);

  m_balloon.SetTextLibrary(library);
  m_balloon.Create(m_listBox);
  lstrcpyA(m_balloon.m_fontaLogFont.lfFaceName, "Fonta");
  m_balloon.m_fontaLogFont.lfCharSet = ARABIC_CHARSET;
  lstrcpyA(m_balloon.m_ansiLogFont.lfFaceName, "Ariel");

  SetForegroundWindow(m_frame);
  SetFocus(m_listBox);
  m_core.LoadBooks(TestTopic());
  Pump(20);
}

TestControl::~TestControl() {
  m_balloon.Destroy();
  m_rows.Attach(nullptr);
  m_timer.Attach(nullptr);
  DestroyWindow(m_frame);
}

LRESULT TestControl::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(m_listBox, msg, wParam, lParam);
}

void TestControl::Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(2);
  } while (GetTickCount() - start < ms);
}

std::string TestControl::TakeEvents() {
  std::string joined;
  for (const std::string& event : m_events) joined += (joined.empty() ? "" : ", ") + event;
  m_events.clear();
  return joined;
}

std::string TestControl::TitleOf(int32_t row) {
  const OutlineNode* node = m_rows.NodeOf(row);
  return node ? node->TitleText() : std::string("(none)");
}

int32_t TestControl::RowOf(const std::string& title) {
  for (int32_t row = 0; row < m_rows.Count(); ++row) {
    if (TitleOf(row) == title) return row;
  }
  return -1;
}

POINT TestControl::ToScreen(int x, int y) const {
  POINT point{x, y};
  ClientToScreen(m_listBox, &point);
  return point;
}

void TestControl::MirrorToggle() {
  ++mirrors;
  alignment = alignment == 0 ? 2 : 0;
}

void TestControl::Repaint() {
  ++repaints;
  InvalidateRect(m_listBox, nullptr, TRUE);
  UpdateWindow(m_listBox);
}

void TestControl::StartHoverTimer() {
  ++hoverTimerStarts;
  m_timer.SetPeriod(elapsedTime);
  m_timer.Start();
}

void TestControl::KillHoverTimer() { m_timer.Stop(); }

LRESULT TestControl::ListBoxHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(m_listBoxProc, m_listBox, msg, wParam, lParam);
}

// What the framework does with a message it is given: the stock event a
// host would see, then the list box.
LRESULT TestControl::StockHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      m_events.push_back("MouseDown");
      break;
    case WM_LBUTTONUP: {
      LRESULT result = ListBoxHandling(msg, wParam, lParam);
      m_events.push_back("Click");
      return result;
    }
    case WM_LBUTTONDBLCLK:
      m_events.push_back("DblClick");
      break;
    case WM_MOUSEMOVE:
      m_events.push_back("MouseMove");
      break;
    case WM_KEYDOWN:
      m_events.push_back("KeyDown " + std::to_string(wParam));
      break;
    case WM_KEYUP:
      m_events.push_back("KeyUp " + std::to_string(wParam));
      break;
    case WM_CHAR:
      m_events.push_back("KeyPress " + std::to_string(wParam));
      break;
    default:
      break;
  }
  return ListBoxHandling(msg, wParam, lParam);
}

// The control's own window procedure, message for message.
LRESULT TestControl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_KEYDOWN:
      return OnKeyDown(*this, wParam, lParam);
    case WM_CHAR:
      return OnChar(*this, wParam, lParam);
    case WM_LBUTTONDOWN:
      return OnLButtonDown(*this, wParam, lParam);
    case WM_LBUTTONUP:
      return OnLButtonUp(*this, wParam, lParam);
    case WM_MOUSEMOVE:
      return OnMouseMove(*this, wParam, lParam);
    case WM_VSCROLL:
      return OnVScroll(*this, wParam, lParam);
    case WM_TIMER:
      return OnHoverTimer(*this, wParam, lParam);
    default:
      return StockHandling(msg, wParam, lParam);
  }
}

LRESULT CALLBACK TestControl::ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = static_cast<TestControl*>(GetPropW(hwnd, kControlProperty));
  if (control == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kControlProperty);
    return CallWindowProcW(control->m_listBoxProc, hwnd, msg, wParam, lParam);
  }
  return control->HandleMessage(msg, wParam, lParam);
}

LRESULT CALLBACK TestControl::FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
      return TRUE;
    case WM_DRAWITEM:
      return TRUE;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace orvane::test
