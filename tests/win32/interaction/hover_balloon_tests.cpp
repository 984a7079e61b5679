// Hover detection and the showing step on a real list box: which moves arm
// the hover timer, where the balloon goes in both layouts, when it shows with
// no area, and the state it is left in.
#include <gtest/gtest.h>

#include <cstring>

#include "core/orvane_core.h"
#include "interaction/balloon_geometry.h"
#include "interaction/balloon_window.h"
#include "model/outline_node.h"
#include "recording_text_library.h"
#include "test_control.h"
#include "test_library.h"

namespace orvane::test {
namespace {

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

RECT ScreenRect(const TestControl& control, RECT client) {
  const POINT topLeft = control.ToScreen(client.left, client.top);
  const POINT bottomRight = control.ToScreen(client.right, client.bottom);
  return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected) {
  if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "{" << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom
         << "} instead of {" << expected.left << "," << expected.top << "," << expected.right << ","
         << expected.bottom << "}";
}

class HoverBalloonTest : public SharedFrameTest {
 protected:
  void SetUp() override {
    GetClientRect(control.Window(), &client);
    // Hadith open: row 2 is the book with the long title, row 3 "Short".
    control.Rows().SetSelection(1);
    control.Send(WM_KEYDOWN, VK_ADD, 1);
    ASSERT_EQ(control.TitleOf(2), std::string(kLongTitle));
    control.TakeEvents();
  }
  // The pointer comes to rest at a client point: the cursor is put there
  // and the control hears the move.
  void RestAt(int x, int y) {
    const POINT screen = control.ToScreen(x, y);
    SetCursorPos(screen.x, screen.y);
    control.Send(WM_MOUSEMOVE, 0, At(x, y));
  }
  // The hover timer's message, as the system delivers it.
  void HoverTimerFires(WPARAM id = 1) { control.Send(WM_TIMER, id, 0); }
  RECT BalloonScreenRect() {
    RECT rect{};
    GetWindowRect(balloon().Handle(), &rect);
    return rect;
  }
  BalloonWindow& balloon() { return control.TheBalloon(); }
  int LongWidth() const { return static_cast<int>(std::strlen(kLongTitle)) * kCharWidth; }

  TestControl control{Frame()};
  RECT client{};
};

TEST_F(HoverBalloonTest, RestingOnARowRecordsItsPlaceAndTitleAndArmsTheTimerOncePerPlace) {
  RestAt(100, 40);
  EXPECT_TRUE(SameRect(balloon().m_rowRect, {2, 32, client.right - 2, 48}));
  EXPECT_EQ(balloon().m_text, kLongTitle);
  EXPECT_EQ(balloon().m_rowIndex, 2);
  EXPECT_EQ(control.hoverTimerStarts, 1);
  RestAt(200, 35);
  EXPECT_EQ(control.hoverTimerStarts, 1) << "the same place";
  RestAt(200, 56);
  EXPECT_EQ(control.hoverTimerStarts, 2);
  EXPECT_EQ(balloon().m_text, "Short");
  EXPECT_EQ(control.TakeEvents(), "MouseMove, MouseMove, MouseMove");
}

TEST_F(HoverBalloonTest, NothingIsArmedNearTheEdgesBelowTheRowsOrWithBalloonHelpOff) {
  RestAt(1, 40);
  RestAt(client.right - 1, 40);
  RestAt(100, 100);  // below the last row
  control.showBalloonHelp = false;
  RestAt(100, 40);
  EXPECT_EQ(control.hoverTimerStarts, 0);
  EXPECT_TRUE(IsRectEmpty(&balloon().m_rowRect));
  // A balloon that is up stays up.
  ShowWindow(balloon().Handle(), SW_SHOWNA);
  RestAt(100, 56);
  EXPECT_TRUE(balloon().IsVisible());
}

TEST_F(HoverBalloonTest, InTheRightLayoutTheBalloonEndsAtTheTreeAndIsTwoPixelsWiderThanItsText) {
  control.alignment = 2;
  RestAt(client.right - 100, 40);
  HoverTimerFires();
  // Level 1: the title ends one indent, a tree cell, an icon cell and the
  // 2-pixel gap short of the row rectangle's right edge.
  const int right = client.right - 2 - (18 + 17 + 16 + 2);
  EXPECT_TRUE(
      SameRect(BalloonScreenRect(), ScreenRect(control, {right - LongWidth() - 2, 32, right, 48})));
  EXPECT_TRUE(balloon().IsVisible());
  EXPECT_EQ(balloon().m_state, bsShown);
  EXPECT_EQ(GetCapture(), balloon().Handle());
  EXPECT_EQ(LibraryCallNames().rfind("aSelectDC aTextExtent aReleaseDC aSelectDC", 0), 0u)
      << "measured through the library and released before the paint: " << LibraryCallNames();
}

TEST_F(HoverBalloonTest, InTheLeftLayoutTheBalloonStartsPastTheTreeAndHoldsItsTextInsideItsBorder) {
  control.alignment = 0;
  RestAt(100, 40);
  HoverTimerFires();
  // Two pixels wider than the text, as in the right layout: its border.
  const int left = 2 + 18 + 17 + 16 + 2 - 1;
  EXPECT_TRUE(
      SameRect(BalloonScreenRect(), ScreenRect(control, {left, 32, left + LongWidth() + 2, 48})));
  RECT inside{};
  GetClientRect(balloon().Handle(), &inside);
  EXPECT_EQ(inside.right, LongWidth());
}

TEST_F(HoverBalloonTest, WithApplyCheckTheBalloonLiesOneIconCellFurtherFromTheTree) {
  control.Core().Checks().StoreApplyCheck(true);
  control.alignment = 0;
  RestAt(100, 40);
  HoverTimerFires();
  const int left = 2 + 18 + 17 + 16 + 2 - 1 + 16;
  EXPECT_TRUE(
      SameRect(BalloonScreenRect(), ScreenRect(control, {left, 32, left + LongWidth() + 2, 48})));

  SendMessageW(balloon().Handle(), WM_TIMER, BalloonWindow::kHideTimerId, 0);
  control.alignment = 2;
  RestAt(client.right - 100, 56);
  RestAt(client.right - 100, 40);
  HoverTimerFires();
  const int right = client.right - 2 - (18 + 17 + 16 + 2) - 16;
  EXPECT_TRUE(
      SameRect(BalloonScreenRect(), ScreenRect(control, {right - LongWidth() - 2, 32, right, 48})));
}

TEST_F(HoverBalloonTest, ATitleThatFitsShowsAnEmptyBalloonThatHoldsTheCaptureUntilTheNextMove) {
  RestAt(200, 56);  // "Short"
  HoverTimerFires();
  RECT rect = BalloonScreenRect();
  EXPECT_TRUE(IsRectEmpty(&rect));
  EXPECT_EQ(balloon().m_state, bsShown);
  EXPECT_EQ(GetCapture(), balloon().Handle());
  // The captured move lands on the balloon, outside its empty rectangle.
  SendMessageW(balloon().Handle(), WM_MOUSEMOVE, 0, At(0, 0));
  EXPECT_FALSE(balloon().IsVisible());
  EXPECT_EQ(balloon().m_state, bsIdle);
  EXPECT_NE(GetCapture(), balloon().Handle());
  // Not again for the same row.
  RestAt(210, 56);
  EXPECT_EQ(control.hoverTimerStarts, 1);
}

TEST_F(HoverBalloonTest, ABalloonThePointerHasLeftIsEmpty) {
  control.alignment = 0;
  RestAt(100, 40);
  SetCursorPos(0, 0);
  const RECT rect = BalloonRect(control, balloon().m_text);
  EXPECT_TRUE(IsRectEmpty(&rect));
}

TEST_F(HoverBalloonTest, ARecordedRowThatIsGoneGivesAnEmptyBalloon) {
  RestAt(200, 56);
  control.Rows().SetSelection(1);
  control.Send(WM_KEYDOWN, VK_SUBTRACT, 1);  // Hadith closed: rows 2 and 3 gone
  const RECT rect = BalloonRect(control, balloon().m_text);
  EXPECT_TRUE(IsRectEmpty(&rect));
}

TEST_F(HoverBalloonTest, AnyTimerOfTheControlShowsTheBalloonButNotTwice) {
  control.alignment = 0;
  RestAt(100, 40);
  HoverTimerFires(7);
  EXPECT_EQ(balloon().m_state, bsShown);
  const RECT shown = BalloonScreenRect();
  SetWindowPos(balloon().Handle(), nullptr, 0, 0, 5, 5, SWP_NOZORDER | SWP_NOACTIVATE);
  HoverTimerFires();
  const RECT after = BalloonScreenRect();
  EXPECT_FALSE(EqualRect(&after, &shown)) << "a shown balloon is not placed again";
}

TEST_F(HoverBalloonTest, AMoveAtTheRecordedPlaceWhileShownDismissesForThatRow) {
  control.alignment = 0;
  RestAt(100, 40);
  HoverTimerFires();
  ReleaseCapture();  // as when something else took the pointer
  RestAt(120, 40);
  EXPECT_FALSE(balloon().IsVisible());
  EXPECT_EQ(balloon().m_state, bsDismissed);
  EXPECT_EQ(control.hoverTimerStarts, 1);
  // Another row, then back: armed again.
  RestAt(120, 56);
  RestAt(120, 40);
  EXPECT_EQ(control.hoverTimerStarts, 3);
}

TEST_F(HoverBalloonTest, AfterAScrollTheRowNowAtTheRecordedPlaceCountsAsTheSame) {
  MoveWindow(control.Window(), 0, 0, 320, 60, TRUE);
  RestAt(100, 24);  // row 1
  ASSERT_EQ(control.hoverTimerStarts, 1);
  control.Send(WM_VSCROLL, SB_LINEDOWN, 0);
  ASSERT_EQ(control.Rows().TopIndex(), 1);
  RestAt(110, 24);  // now row 2, at the same place
  EXPECT_EQ(control.hoverTimerStarts, 1);
  EXPECT_EQ(balloon().m_rowIndex, 1);
}

TEST_F(HoverBalloonTest, WithBalloonHelpOffAnOpeningStillShowsTheLastRecordedRow) {
  control.alignment = 0;
  RestAt(100, 40);
  control.KillHoverTimer();
  control.showBalloonHelp = false;
  control.Rows().SetSelection(0);
  control.Send(WM_KEYDOWN, VK_ADD, 1);  // opening Fiqh restarts the hover timer
  EXPECT_TRUE(TestControl::PumpUntil([&] { return balloon().m_state == bsShown; }));
  EXPECT_EQ(balloon().m_text, kLongTitle);
}

TEST_F(HoverBalloonTest, ASectionsTitleIsItsRecordsTitleBytes) {
  control.Rows().SetSelection(2);
  control.Send(WM_KEYDOWN, VK_ADD, 1);
  ASSERT_EQ(control.Rows().NodeOf(3)->Level(), 2);
  RestAt(100, 56);
  EXPECT_EQ(balloon().m_text, kLongSection);
}

TEST_F(HoverBalloonTest, TheRealTimerShowsTheBalloonOnceAndItsHidingDoesNotRearmIt) {
  control.alignment = 0;
  RestAt(100, 40);
  ASSERT_TRUE(TestControl::PumpUntil([&] { return balloon().IsVisible(); }));
  SendMessageW(balloon().Handle(), WM_TIMER, BalloonWindow::kHideTimerId, 0);
  EXPECT_FALSE(balloon().IsVisible());
  TestControl::Pump(250);
  EXPECT_FALSE(balloon().IsVisible()) << "the paint stopped the hover timer";
  EXPECT_EQ(balloon().m_state, bsIdle);
}

TEST_F(HoverBalloonTest, AClickOnTheBalloonReachesTheControlAsAPressOnTheRowBeneath) {
  control.alignment = 0;
  control.Rows().SetSelection(0);
  RestAt(100, 40);
  HoverTimerFires();
  ASSERT_TRUE(balloon().IsVisible());
  control.TakeEvents();
  // The balloon's client point over the control's (100, 40).
  POINT point = control.ToScreen(100, 40);
  ScreenToClient(balloon().Handle(), &point);
  SendMessageW(balloon().Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(point.x, point.y));
  EXPECT_FALSE(balloon().IsVisible());
  EXPECT_EQ(balloon().m_state, bsIdle);
  TestControl::Pump(30);
  EXPECT_EQ(control.Rows().Selection(), 2);
  EXPECT_EQ(control.TakeEvents().substr(0, 9), "MouseDown");
  control.Send(WM_LBUTTONUP, 0, At(100, 40));
}

// ---- The balloon over its row at each display scale ----

struct BalloonDpi {
  int dpi;
  int row;     // the scaled 16
  int margin;  // the scaled 2
  int indent;  // Indent 18 scaled
  int tree;    // the tree cell of the scale's strip
  int icon;    // the icon cell
  int gap;     // the scaled title gap
};

class ScaledBalloonTest : public HoverBalloonTest,
                          public ::testing::WithParamInterface<BalloonDpi> {
 protected:
  void SetUp() override {
    control.dpi = GetParam().dpi;
    control.Send(LB_SETITEMHEIGHT, 0, GetParam().row);
    HoverBalloonTest::SetUp();
  }
  void TearDown() override {
    control.Send(LB_SETITEMHEIGHT, 0, 16);
    UpdateWindow(control.Window());
  }
};

TEST_P(ScaledBalloonTest, LiesOverItsRowPastTheScaledTreeInBothLayouts) {
  const BalloonDpi& d = GetParam();
  const int top = 2 * d.row;  // row 2, the long title
  for (int16_t alignment : {int16_t{2}, int16_t{0}}) {
    SCOPED_TRACE(alignment == 2 ? "right layout" : "left layout");
    control.alignment = alignment;
    balloon().Hide();
    balloon().m_state = bsIdle;
    balloon().m_rowRect = RECT{};
    // The pointer rests on the title, past the tree lines and icons.
    const int treePart = d.indent + d.tree + d.icon + d.gap;  // level 1
    RestAt(alignment == 2 ? client.right - d.margin - treePart - 10 : d.margin + treePart + 10,
           top + d.row / 2);
    EXPECT_TRUE(
        SameRect(balloon().m_rowRect, {d.margin, top, client.right - d.margin, top + d.row}));
    HoverTimerFires();
    ASSERT_TRUE(balloon().IsVisible());
    if (alignment == 2) {
      const int right = client.right - d.margin - treePart;
      EXPECT_TRUE(SameRect(BalloonScreenRect(), ScreenRect(control, {right - LongWidth() - 2, top,
                                                                     right, top + d.row})));
    } else {
      const int left = d.margin + treePart - 1;
      EXPECT_TRUE(SameRect(BalloonScreenRect(),
                           ScreenRect(control, {left, top, left + LongWidth() + 2, top + d.row})));
    }
    balloon().Hide();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Dpi, ScaledBalloonTest,
    ::testing::Values(BalloonDpi{96, 16, 2, 18, 17, 16, 2}, BalloonDpi{120, 20, 3, 23, 21, 20, 3},
                      BalloonDpi{144, 24, 3, 27, 25, 24, 3}, BalloonDpi{192, 32, 4, 36, 34, 32, 4}),
    [](const ::testing::TestParamInfo<BalloonDpi>& p) { return std::to_string(p.param.dpi); });

}  // namespace
}  // namespace orvane::test
