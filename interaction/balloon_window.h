// BalloonWindow: the bordered popup that shows one row's whole title over
// the row, when the title does not fit. The control owns one for its whole
// life and gives it a window at each creation of its own; hover detection
// and the showing step (hover_balloon.h) fill it and place it, and from then
// on the balloon runs itself: it paints, holds the mouse capture, hides after
// five seconds or when the pointer leaves it, and hands a click back to the
// control as the control's own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/win32/window_hover_timer.h"
#include "render/bidi_text_api.h"

namespace orvane {

// m_state values.
enum TBalloonState : int16_t { bsIdle = 0, bsShown = 1, bsDismissed = 2 };

class BalloonWindow {
 public:
  static constexpr UINT_PTR kHideTimerId = 1;
  static constexpr UINT kHideAfterMs = 5000;
  // The hover timer of the owner, which a paint of the balloon stops.
  static constexpr UINT_PTR kOwnerHoverTimerId = WindowHoverTimer::kTimerId;
  static constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_RIGHT | WS_EX_RTLREADING;
  static constexpr DWORD kStyle = WS_CHILD | WS_BORDER;
  static constexpr int kTextFlags = HARFIX_ALIGN_RIGHT + HARFIX_VCENTER;

  BalloonWindow() = default;
  ~BalloonWindow();
  BalloonWindow(const BalloonWindow&) = delete;
  BalloonWindow& operator=(const BalloonWindow&) = delete;

  // Makes the window for the control window `owner`, hidden and empty, as a
  // child of the desktop, after destroying any earlier one; the row
  // rectangle is emptied and the state set to idle. False when the window
  // could not be made (the balloon then never shows).
  bool Create(HWND owner);
  void Destroy();
  HWND Handle() const { return m_hWnd; }
  bool IsVisible() const;
  // Hides the window only: state, capture and timers stay as they are.
  void Hide();
  // The showing step's placing: moves the window to `screenRect` at the top
  // of the z-order, paints it now, shows it and sets the state to shown.
  void ShowAt(const RECT& screenRect);

  // The text library the paint uses; null (the default) is the real one.
  void SetTextLibrary(const BidiTextApi* library) { m_library = library; }

  std::string m_text;
  RECT m_rowRect{};
  int16_t m_state = bsIdle;
  int16_t m_rowIndex = -1;
  LOGFONTA m_fontaLogFont{};
  LOGFONTA m_ansiLogFont{};
  HWND m_owner = nullptr;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnPaint();
  void OnTimer(UINT_PTR id);
  void OnMouseMove(POINT client);
  void OnLButtonDown(WPARAM keys, POINT client);
  // Stops the hide timer, gives the capture back, hides, and goes idle.
  void Withdraw(UINT_PTR timerId);
  const BidiTextApi& Library() const;

  HWND m_hWnd = nullptr;
  const BidiTextApi* m_library = nullptr;
};

}  // namespace orvane
