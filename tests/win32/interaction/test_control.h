// TestControl: the control's part in the input handlers, played by a real
// owner-drawn list box in a frame window. Its window procedure hands the same
// messages to the same handlers as the control does; its stock handling
// records the events a host would get and passes the message to the list box
// as the framework does.
//
// Making and destroying a visible frame is the slowest step of these tests
// under Wine, so a suite makes one TestFrame and hands it to each test's
// TestControl; a control leaves the list box empty, without timers, capture,
// pending messages or its own state when it goes, so every test starts as on
// a new frame.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/orvane_core.h"
#include "interaction/balloon_window.h"
#include "interaction/interaction_host.h"
#include "platform/win32/list_box_row_list.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_profile_source.h"
#include "platform/win32/window_hover_timer.h"
#include "render/glyph_strip.h"

namespace orvane::test {

class TestControl;

// A visible frame of `width` x `height` pixels at the screen's (kFrameX,
// kFrameY) filled by an owner-drawn list box (client area a little smaller:
// it has the control's sunken edge). The list box hands its messages to the
// TestControl attached at the moment, or to its own procedure when none is.
class TestFrame {
 public:
  explicit TestFrame(int width = 320, int height = 240);
  ~TestFrame();
  TestFrame(const TestFrame&) = delete;
  TestFrame& operator=(const TestFrame&) = delete;

  static constexpr int kFrameX = 60;
  static constexpr int kFrameY = 80;

  HWND ListBox() const { return m_listBox; }

 private:
  friend class TestControl;
  static LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  const int m_width;
  const int m_height;
  HWND m_frame = nullptr;
  HWND m_listBox = nullptr;
  WNDPROC m_listBoxProc = nullptr;
  TestControl* m_control = nullptr;
};

// A fixture whose suite shares one TestFrame; each test makes its own
// TestControl on it: `TestControl control{Frame()};`. Tests of one suite
// never run at once, so one frame at a time is enough.
class SharedFrameTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() { s_frame = new TestFrame(); }
  static void TearDownTestSuite() {
    delete s_frame;
    s_frame = nullptr;
  }

 protected:
  static TestFrame& Frame() { return *s_frame; }

 private:
  static inline TestFrame* s_frame = nullptr;
};

class TestControl final : public InteractionHost {
 public:
  // A control on `frame`, which must have no other control attached, its
  // catalogue loaded; the frame is left as it was found when it goes.
  explicit TestControl(TestFrame& frame);
  ~TestControl();
  TestControl(const TestControl&) = delete;
  TestControl& operator=(const TestControl&) = delete;

  static constexpr int kFrameX = TestFrame::kFrameX;
  static constexpr int kFrameY = TestFrame::kFrameY;

  HWND Window() const { return m_frame.ListBox(); }
  ListBoxRowList& Rows() { return m_rows; }
  BalloonWindow& TheBalloon() { return m_balloon; }
  // Delivers a message to the control's window procedure now.
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Runs the message loop for `ms` milliseconds.
  static void Pump(DWORD ms);
  // Runs the message loop until `done` holds, for at most `ms` milliseconds
  // (a loaded machine delivers timers late); whether it came to hold.
  template <typename Done>
  static bool PumpUntil(Done done, DWORD ms = 5000) {
    const DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start >= ms) return false;
      Pump(5);
    }
    return true;
  }
  // The events so far, joined by ", ", and forgets them.
  std::string TakeEvents();
  // The row's node's title, for checking which row is where.
  std::string TitleOf(int32_t row);
  int32_t RowOf(const std::string& title);
  // Client point to screen.
  POINT ToScreen(int x, int y) const;

  // ---- InteractionHost ----
  HWND ControlWindow() const override { return m_frame.ListBox(); }
  OrvaneCore& Core() override { return m_core; }
  BalloonWindow* Balloon() override { return &m_balloon; }
  int16_t Alignment() const override { return alignment; }
  int16_t Indent() const override { return indent; }
  bool ShowBalloonHelp() const override { return showBalloonHelp; }
  int Dpi() const override { return dpi; }
  bool MirrorKeys() const override { return mirrorKeys; }
  int TreeCellWidth() const override { return TreeCellWidthAt(StripScaleFor(dpi)); }
  int CheckCellWidth() const override { return IconCellWidthAt(StripScaleFor(dpi)); }
  HFONT FontaHandle() const override { return nullptr; }
  HFONT StockFontHandle() const override { return nullptr; }
  const BidiTextApi& TextLibrary() override { return *library; }
  void MirrorToggle() override;
  void Repaint() override;
  void StartHoverTimer() override;
  void KillHoverTimer() override;
  LRESULT StockHandling(UINT msg, WPARAM wParam, LPARAM lParam) override;
  LRESULT ListBoxHandling(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool TypeAhead() const override { return typeAhead; }
  TypeAheadPrefix& TypedPrefix() override { return m_prefix; }
  // Records "KeyPress <code>" and answers with `keyAsciiAnswer` when it is
  // not -1, as a host's handler setting KeyAscii would.
  void FireKeyPress(short& keyAscii) override;

  bool typeAhead = false;
  short keyAsciiAnswer = -1;
  int16_t alignment = 2;
  int16_t indent = 18;
  int dpi = 96;  // the list box's rows follow it (SetDpi)
  bool mirrorKeys = true;
  bool showBalloonHelp = true;
  int32_t elapsedTime = 40;
  const BidiTextApi* library = nullptr;
  int mirrors = 0;
  int repaints = 0;
  int hoverTimerStarts = 0;

 private:
  friend class TestFrame;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  TestFrame& m_frame;
  TypeAheadPrefix m_prefix;
  ListBoxRowList m_rows;
  Win32ProfileSource m_profile;
  Win32FileSystem m_files;
  WindowHoverTimer m_timer;
  OrvaneCore m_core;
  BalloonWindow m_balloon;
  std::vector<std::string> m_events;
};

}  // namespace orvane::test
