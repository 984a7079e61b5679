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
constexpr wchar_t kFrameProperty[] = L"InteractionTestFrame";

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

// The pointer away from the frame, and the moves the window system makes of
// that (or of a window appearing under it) handled before a control is
// attached: a stray move would reach the next test as an event and a hover.
static void ParkPointer() {
  SetCursorPos(0, 0);
  TestControl::Pump(30);
}

TestFrame::TestFrame(int width, int height) : m_width(width), m_height(height) {
  SetCursorPos(0, 0);
  RegisterFrameClass(&FrameProc);
  m_frame =
      CreateWindowExW(WS_EX_TOOLWINDOW, kFrameClass, L"", WS_POPUP | WS_VISIBLE, kFrameX, kFrameY,
                      width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (m_frame == nullptr) throw std::runtime_error("no frame window (is there a display?)");
  m_listBox = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"LISTBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NOTIFY,
      0, 0, width, height, m_frame, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetPropW(m_listBox, kFrameProperty, this);
  m_listBoxProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(m_listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListBoxProc)));
  ParkPointer();
}

TestFrame::~TestFrame() { DestroyWindow(m_frame); }

TestControl::TestControl(TestFrame& frame)
    : library(&RecordingTextLibrary()),
      m_frame(frame),
      m_core(m_rows, m_profile, m_files, m_timer) {
  if (m_frame.m_control != nullptr) throw std::logic_error("the frame has a control already");
  ParkPointer();
  HWND listBox = m_frame.ListBox();
  m_frame.m_control = this;
  m_rows.Attach(listBox);
  m_timer.Attach(listBox);
  m_timer.SetPeriod(elapsedTime);

  m_balloon.SetTextLibrary(library);
  m_balloon.Create(listBox);
  lstrcpyA(m_balloon.m_fontaLogFont.lfFaceName, "Fonta");
  m_balloon.m_fontaLogFont.lfCharSet = ARABIC_CHARSET;
  lstrcpyA(m_balloon.m_ansiLogFont.lfFaceName, "Ariel");

  SetForegroundWindow(m_frame.m_frame);
  SetFocus(listBox);
  m_core.LoadBooks(TestTopic());
  Pump(20);
}

// Leaves the frame as a new one is: the list box at its first size (a test
// may shrink it), no rows, no timer of the control's (a test may have set
// one of its own on the window), no capture, nothing queued for the next
// test's control, nothing attached.
TestControl::~TestControl() {
  HWND listBox = m_frame.ListBox();
  m_balloon.Destroy();
  m_timer.Stop();
  KillTimer(listBox, WindowHoverTimer::kTimerId);
  if (GetCapture() == listBox) ReleaseCapture();
  m_rows.Attach(nullptr);
  m_timer.Attach(nullptr);
  m_frame.m_control = nullptr;
  MSG msg;
  while (PeekMessageW(&msg, listBox, 0, 0, PM_REMOVE)) {
  }
  SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
  MoveWindow(listBox, 0, 0, m_frame.m_width, m_frame.m_height, TRUE);
}

LRESULT TestControl::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(Window(), msg, wParam, lParam);
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
  ClientToScreen(Window(), &point);
  return point;
}

void TestControl::MirrorToggle() {
  ++mirrors;
  alignment = alignment == 0 ? 2 : 0;
}

void TestControl::Repaint() {
  ++repaints;
  InvalidateRect(Window(), nullptr, TRUE);
  UpdateWindow(Window());
}

void TestControl::StartHoverTimer() {
  ++hoverTimerStarts;
  m_timer.SetPeriod(elapsedTime);
  m_timer.Start();
}

void TestControl::KillHoverTimer() { m_timer.Stop(); }

LRESULT TestControl::ListBoxHandling(UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(m_frame.m_listBoxProc, Window(), msg, wParam, lParam);
}

// What the framework does with a message it is given: the stock event a
// host would see, then the list box.
void TestControl::FireKeyPress(short& keyAscii) {
  m_events.push_back("KeyPress " + std::to_string(keyAscii));
  if (keyAsciiAnswer != -1) keyAscii = keyAsciiAnswer;
}

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

LRESULT CALLBACK TestFrame::ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* frame = static_cast<TestFrame*>(GetPropW(hwnd, kFrameProperty));
  if (frame == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kFrameProperty);
    return CallWindowProcW(frame->m_listBoxProc, hwnd, msg, wParam, lParam);
  }
  if (frame->m_control != nullptr) return frame->m_control->HandleMessage(msg, wParam, lParam);
  return CallWindowProcW(frame->m_listBoxProc, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TestFrame::FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
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
