#include "hosts/testcon/input_driver.h"

#include <vector>

namespace testcon {
namespace {

bool IsExtendedKey(WORD vk) {
  switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_RCONTROL:
    case VK_RMENU:
      return true;
    default:
      return false;
  }
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

INPUT UnicodeInput(wchar_t c, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = c;
  input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
  return input;
}

// SendInput's absolute coordinates: 0..65535 across the primary screen,
// mapped back to pixel x as (dx * width) >> 16; the smallest dx giving x.
LONG Normalized(int pixel, int extent) {
  if (extent <= 0) return 0;
  return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

}  // namespace

bool InputDriver::PrepareTarget(HWND& target) {
  target = m_target ? m_target() : nullptr;
  if (target == nullptr || !IsWindow(target)) return false;
  if (GetForegroundWindow() != m_frame) SetForegroundWindow(m_frame);
  if (GetFocus() != target) SetFocus(target);
  return true;
}

void InputDriver::SeparateFromLastPress(POINT screen) {
  const ULONGLONG interval = GetDoubleClickTime();
  const int slackX = GetSystemMetrics(SM_CXDOUBLECLK), slackY = GetSystemMetrics(SM_CYDOUBLECLK);
  if (abs(screen.x - m_lastPress.x) > slackX || abs(screen.y - m_lastPress.y) > slackY) return;
  ULONGLONG elapsed = GetTickCount64() - m_lastPressTime;
  if (elapsed <= interval) m_pump.RunFor(static_cast<DWORD>(interval - elapsed + 20));
}

bool InputDriver::SendMouse(HWND target, int x, int y, DWORD buttonFlags) {
  POINT screen{x, y};
  if (!ClientToScreen(target, &screen)) return false;
  SetCursorPos(screen.x, screen.y);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalized(screen.x, GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = Normalized(screen.y, GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
  if (SendInput(1, &input, sizeof input) != 1) return false;
  if (buttonFlags & MOUSEEVENTF_LEFTDOWN) {
    m_lastPress = screen;
    m_lastPressTime = GetTickCount64();
  }
  m_pump.RunUntilIdle();
  return true;
}

bool InputDriver::MoveTo(int x, int y) {
  HWND target;
  return PrepareTarget(target) && SendMouse(target, x, y, 0);
}

bool InputDriver::ButtonDown(int x, int y) {
  HWND target;
  if (!PrepareTarget(target)) return false;
  POINT screen{x, y};
  ClientToScreen(target, &screen);
  SeparateFromLastPress(screen);
  return SendMouse(target, x, y, MOUSEEVENTF_LEFTDOWN);
}

bool InputDriver::ButtonUp(int x, int y) {
  HWND target;
  return PrepareTarget(target) && SendMouse(target, x, y, MOUSEEVENTF_LEFTUP);
}

bool InputDriver::Click(int x, int y) {
  if (!ButtonDown(x, y)) return false;
  // The press may have re-created or destroyed the control's window.
  return ButtonUp(x, y);
}

bool InputDriver::DoubleClick(int x, int y) {
  HWND target;
  if (!Click(x, y) || !PrepareTarget(target)) return false;
  // The second press must come within the double-click interval, so it is
  // sent without the separation ButtonDown keeps.
  if (!SendMouse(target, x, y, MOUSEEVENTF_LEFTDOWN)) return false;
  return ButtonUp(x, y);
}

bool InputDriver::SendKeys(const INPUT* inputs, UINT count) {
  UINT sent = SendInput(count, const_cast<INPUT*>(inputs), sizeof(INPUT));
  m_pump.RunUntilIdle();
  return sent == count;
}

bool InputDriver::Key(WORD vk, bool shift, bool ctrl) {
  HWND target;
  if (!PrepareTarget(target)) return false;
  std::vector<INPUT> inputs;
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
  if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
  inputs.push_back(KeyInput(vk, false));
  inputs.push_back(KeyInput(vk, true));
  if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  return SendKeys(inputs.data(), static_cast<UINT>(inputs.size()));
}

bool InputDriver::Type(std::wstring_view text) {
  HWND target;
  if (!PrepareTarget(target)) return false;
  for (wchar_t c : text) {
    std::vector<INPUT> inputs;
    SHORT scan = VkKeyScanW(c);
    const BYTE vk = LOBYTE(scan), modifiers = HIBYTE(scan);
    // Keys that need Alt (AltGr) are typed as characters: Alt would reach
    // the control as a menu key.
    if (scan != -1 && !(modifiers & 4)) {
      if (modifiers & 1) inputs.push_back(KeyInput(VK_SHIFT, false));
      if (modifiers & 2) inputs.push_back(KeyInput(VK_CONTROL, false));
      inputs.push_back(KeyInput(vk, false));
      inputs.push_back(KeyInput(vk, true));
      if (modifiers & 2) inputs.push_back(KeyInput(VK_CONTROL, true));
      if (modifiers & 1) inputs.push_back(KeyInput(VK_SHIFT, true));
    } else {
      inputs.push_back(UnicodeInput(c, false));
      inputs.push_back(UnicodeInput(c, true));
    }
    if (!SendKeys(inputs.data(), static_cast<UINT>(inputs.size()))) return false;
  }
  return true;
}

}  // namespace testcon
