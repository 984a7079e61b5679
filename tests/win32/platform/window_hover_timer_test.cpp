// WindowHoverTimer sets and kills timer 1 of a real window.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/window_hover_timer.h"

namespace orvane {
namespace {

// Waits for a WM_TIMER of `window` with identifier `id`; false when none came
// within the time given (a generous bound, not a speed goal).
bool WaitForTimer(HWND window, UINT_PTR id, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < milliseconds) {
    while (PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      if (msg.wParam == id) return true;
    }
    Sleep(5);
  }
  return false;
}

class HoverTimerWindow : public testing::Test {
 protected:
  void SetUp() override {
    m_window = CreateWindowA("STATIC", "timer", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(m_window, nullptr) << "no window: is a display set (scripts/with-wine)?";
  }
  void TearDown() override { DestroyWindow(m_window); }
  HWND m_window = nullptr;
};

TEST_F(HoverTimerWindow, StartSetsTimerOneAndStopKillsIt) {
  WindowHoverTimer timer;
  timer.Attach(m_window);
  EXPECT_EQ(timer.Id(), 0u);
  timer.SetPeriod(20);
  timer.Start();
  EXPECT_EQ(timer.Id(), WindowHoverTimer::kTimerId);
  EXPECT_TRUE(WaitForTimer(m_window, 1, 5000));

  timer.Stop();
  // The timer is gone: killing it again fails.
  EXPECT_FALSE(KillTimer(m_window, 1));

  // Restarting re-arms the same identifier.
  timer.Start();
  EXPECT_EQ(timer.Id(), 1u);
  EXPECT_TRUE(KillTimer(m_window, 1));
}

TEST_F(HoverTimerWindow, AttachingForgetsTheOldWindowsTimer) {
  WindowHoverTimer timer;
  timer.Attach(m_window);
  timer.SetPeriod(1000);
  timer.Start();
  HWND other = CreateWindowA("STATIC", "other", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  timer.Attach(other);
  EXPECT_EQ(timer.Id(), 0u);
  timer.Start();
  EXPECT_TRUE(KillTimer(other, 1));
  EXPECT_TRUE(KillTimer(m_window, 1));  // untouched by the new window's timer
  DestroyWindow(other);
}

TEST_F(HoverTimerWindow, ANegativePeriodIsHandedOverAsThePlatformTakesIt) {
  // SetTimer reads the period as unsigned and holds a value above
  // USER_TIMER_MAXIMUM at that maximum (about 24.8 days).
  WindowHoverTimer timer;
  timer.Attach(m_window);
  timer.SetPeriod(-5);
  EXPECT_EQ(timer.Period(), -5);
  timer.Start();
  EXPECT_EQ(timer.Id(), 1u);
  EXPECT_FALSE(WaitForTimer(m_window, 1, 500));
  timer.SetPeriod(20);
  timer.Start();
  EXPECT_TRUE(WaitForTimer(m_window, 1, 5000));
  timer.Stop();
}

TEST(HoverTimerWithoutWindow, StartAndStopDoNothing) {
  WindowHoverTimer timer;
  timer.SetPeriod(-5);
  timer.Start();
  timer.Stop();
  EXPECT_EQ(timer.Id(), 0u);
}

}  // namespace
}  // namespace orvane
