// Real input for the control: the cursor is moved and the button and keys
// are pressed through the window system (SendInput), so that the cursor
// position, the capture and the key state the control reads all agree with
// what the script asked for. Every action ends after the messages it caused
// have been handled.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "hosts/testcon/message_pump.h"

namespace testcon {

class InputDriver {
 public:
  // `target` gives the control's window of the moment; `frame` is brought to
  // the foreground so that it receives the input.
  InputDriver(HWND frame, std::function<HWND()> target, MessagePump& pump)
      : m_frame(frame), m_target(std::move(target)), m_pump(pump) {}

  // Points are in the control's client coordinates. Each returns false when
  // the control has no window or the input could not be sent.
  bool MoveTo(int x, int y);
  bool ButtonDown(int x, int y);
  bool ButtonUp(int x, int y);
  bool Click(int x, int y);
  bool DoubleClick(int x, int y);
  // A press and release of `vk`, with Shift and Ctrl held around it when asked.
  bool Key(WORD vk, bool shift, bool ctrl);
  // Types each character: with the key (and Shift) that makes it on the
  // keyboard layout when there is one, else as a character of its own.
  bool Type(std::wstring_view text);

 private:
  bool PrepareTarget(HWND& target);
  bool SendMouse(HWND target, int x, int y, DWORD buttonFlags);
  bool SendKeys(const INPUT* inputs, UINT count);
  // Lets the double-click interval pass after a press at the same place, so
  // that separate clicks are never taken for a double-click.
  void SeparateFromLastPress(POINT screen);

  HWND m_frame;
  std::function<HWND()> m_target;
  MessagePump& m_pump;
  POINT m_lastPress{-10000, -10000};
  ULONGLONG m_lastPressTime = 0;
};

}  // namespace testcon
