// The balloon's own window: how it is made, what its paint asks of the text
// library, and how the time-out, the pointer leaving and a click end it.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "interaction/balloon_window.h"
#include "recording_text_library.h"
#include "test_control.h"

namespace orvane::test {
namespace {

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

bool SameRectSize(const RECT& rect, int width, int height) {
  return rect.right - rect.left == width && rect.bottom - rect.top == height;
}

class BalloonWindowTest : public SharedFrameTest {
 protected:
  // Shows the balloon over the control's client rectangle (40, 20)-(240, 36).
  void ShowOverControl(const std::string& text = "a title") {
    balloon().m_text = text;
    const POINT topLeft = control.ToScreen(40, 20);
    balloon().ShowAt({topLeft.x, topLeft.y, topLeft.x + 200, topLeft.y + 16});
  }
  BalloonWindow& balloon() { return control.TheBalloon(); }
  bool OwnerGetsPress(MSG& msg) {
    return PeekMessageW(&msg, control.Window(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) != 0;
  }

  TestControl control{Frame()};
};

TEST_F(BalloonWindowTest, ItIsAHiddenEmptyBorderedToolWindowOnTheDesktop) {
  HWND window = balloon().Handle();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & 0x3080, 0x3080);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & (WS_CHILD | WS_BORDER | WS_POPUP),
            WS_CHILD | WS_BORDER);
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
  EXPECT_FALSE(IsWindowVisible(window));
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_TRUE(IsRectEmpty(&rect));
  EXPECT_EQ(balloon().m_owner, control.Window());
  EXPECT_EQ(balloon().m_state, bsIdle);
  EXPECT_EQ(balloon().m_rowIndex, -1);
}

TEST_F(BalloonWindowTest, MakingItAgainReplacesTheWindowAndStartsOver) {
  HWND first = balloon().Handle();
  balloon().m_state = bsDismissed;
  balloon().m_rowRect = {2, 16, 100, 32};
  ASSERT_TRUE(balloon().Create(control.Window()));
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(balloon().Handle()));
  EXPECT_EQ(balloon().m_state, bsIdle);
  EXPECT_TRUE(IsRectEmpty(&balloon().m_rowRect));
}

TEST_F(BalloonWindowTest, ItsPaintDrawsTheWholeTextLeftToRightWithBothFontsThenTakesTheCapture) {
  SetTimer(control.Window(), 1, 60000, nullptr);
  ShowOverControl(std::string("title\0tail", 10));
  const std::vector<LibraryCall>& calls = LibraryCalls();
  ASSERT_GE(calls.size(), 6u);
  EXPECT_EQ(
      LibraryCallNames().rfind(
          "aSelectDC aGetReadingOrder aSetReadingOrder aDrawText aReleaseDC aSetReadingOrder", 0),
      0u)
      << LibraryCallNames();
  EXPECT_STREQ(calls[0].first.lfFaceName, "Ariel");
  EXPECT_STREQ(calls[0].second.lfFaceName, "Fonta");
  EXPECT_EQ(calls[2].code, HARFIX_ORDER_LTR);
  EXPECT_EQ(calls[3].text, std::string("title\0tail", 10)) << "its full length";
  EXPECT_EQ(calls[3].flags, 6);
  EXPECT_EQ(calls[3].textAlign & TA_BASELINE, static_cast<UINT>(TA_BASELINE));
  EXPECT_TRUE(SameRectSize(calls[3].rect, 198, 14)) << "the client area, inside the border";
  EXPECT_EQ(calls[5].code, HARFIX_ORDER_RTL) << "the order it found";
  EXPECT_EQ(GetCapture(), balloon().Handle());
  EXPECT_TRUE(balloon().IsVisible());
  // The paint stopped the owner's hover timer.
  MSG msg;
  TestControl::Pump(10);
  EXPECT_FALSE(PeekMessageW(&msg, control.Window(), WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST_F(BalloonWindowTest, ItsOwnTimerHidesItReleasesTheCaptureAndGoesIdle) {
  ShowOverControl();
  SendMessageW(balloon().Handle(), WM_TIMER, BalloonWindow::kHideTimerId, 0);
  EXPECT_FALSE(balloon().IsVisible());
  EXPECT_NE(GetCapture(), balloon().Handle());
  EXPECT_EQ(balloon().m_state, bsIdle);
}

TEST_F(BalloonWindowTest, MovingInsideKeepsItAndMovingOutEndsIt) {
  ShowOverControl();
  SendMessageW(balloon().Handle(), WM_MOUSEMOVE, 0, At(100, 5));
  EXPECT_TRUE(balloon().IsVisible());
  EXPECT_EQ(balloon().m_state, bsShown);
  SendMessageW(balloon().Handle(), WM_MOUSEMOVE, 0, At(100, 40));
  EXPECT_FALSE(balloon().IsVisible());
  EXPECT_EQ(balloon().m_state, bsIdle);
  EXPECT_NE(GetCapture(), balloon().Handle());
}

TEST_F(BalloonWindowTest, AClickIsPostedToTheOwnerAtTheSameScreenPointWithItsKeys) {
  ShowOverControl();
  SendMessageW(balloon().Handle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(10, 5));
  EXPECT_FALSE(balloon().IsVisible());
  EXPECT_EQ(balloon().m_state, bsIdle);
  MSG msg;
  ASSERT_TRUE(OwnerGetsPress(msg));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT));
  POINT expected{10, 5};
  ClientToScreen(balloon().Handle(), &expected);
  ScreenToClient(control.Window(), &expected);
  EXPECT_EQ(static_cast<short>(LOWORD(msg.lParam)), expected.x);
  EXPECT_EQ(static_cast<short>(HIWORD(msg.lParam)), expected.y);
}

TEST_F(BalloonWindowTest, AClickOutsideTheOwnerOrOnAnIdleBalloonIsNotForwarded) {
  ShowOverControl();
  // The balloon stretched past the control's right edge; a press out there.
  const POINT topLeft = control.ToScreen(40, 20);
  SetWindowPos(balloon().Handle(), nullptr, topLeft.x, topLeft.y, 1000, 16,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(balloon().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(900, 5));
  MSG msg;
  EXPECT_FALSE(OwnerGetsPress(msg));
  EXPECT_EQ(balloon().m_state, bsIdle);
  SendMessageW(balloon().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(10, 5));
  EXPECT_FALSE(OwnerGetsPress(msg)) << "only a shown balloon forwards";
}

TEST_F(BalloonWindowTest, HostileMessagesLeaveItWorking) {
  HWND window = balloon().Handle();
  SendMessageW(window, WM_TIMER, ~WPARAM{0}, ~LPARAM{0});
  SendMessageW(window, WM_MOUSEMOVE, ~WPARAM{0}, ~LPARAM{0});
  SendMessageW(window, WM_LBUTTONDOWN, ~WPARAM{0}, ~LPARAM{0});
  SendMessageW(window, WM_PAINT, ~WPARAM{0}, ~LPARAM{0});
  ReleaseCapture();
  ShowOverControl();
  EXPECT_TRUE(balloon().IsVisible());
  balloon().Destroy();
  balloon().Destroy();
  EXPECT_EQ(balloon().Handle(), nullptr);
  balloon().Hide();
  balloon().ShowAt({0, 0, 10, 10});
  EXPECT_EQ(balloon().Handle(), nullptr) << "no window is made by showing";
}

}  // namespace
}  // namespace orvane::test

namespace orvane::test {
namespace {

// A screen reader asks the balloon for its name: the whole title, in
// Unicode, however little of it the row shows. (The system's object for the
// client area reads the window text; Wine's object for the whole window
// does not implement names, so only the client's is asked here.)
TEST_F(BalloonWindowTest, AScreenReaderHearsTheWholeTitleAsItsName) {
  // The import library's IID_IAccessible is a thunk, not the GUID.
  const IID accessibleId = {
      0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  const std::wstring title = L"شرح الآجرومية في علم العربية للشيخ محمد بن أحمد";
  char bytes[256];
  const int length =
      WideCharToMultiByte(CP_ACP, 0, title.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
  ASSERT_GT(length, 1);
  ShowOverControl(std::string(bytes, static_cast<size_t>(length - 1)));
  for (DWORD object : {static_cast<DWORD>(OBJID_CLIENT)}) {
    IAccessible* accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(balloon().Handle(), object, accessibleId,
                                         reinterpret_cast<void**>(&accessible)),
              S_OK);
    VARIANT self;
    VariantInit(&self);
    V_VT(&self) = VT_I4;
    V_I4(&self) = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &name), S_OK) << object;
    EXPECT_EQ(std::wstring(name ? name : L""), title) << object;
    SysFreeString(name);
    accessible->Release();
  }
}

}  // namespace
}  // namespace orvane::test
