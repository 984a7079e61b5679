// The left-button handlers on a real list box: the check-box and button
// columns, the rows area, deactivated books, double-clicks, the stock events
// each press fires and the balloon a press takes down.
#include <gtest/gtest.h>

#include "core/orvane_core.h"
#include "interaction/balloon_window.h"
#include "model/outline_node.h"
#include "test_control.h"
#include "test_library.h"

namespace orvane::test {
namespace {

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

class MouseInputTest : public SharedFrameTest {
 protected:
  void SetUp() override {
    control.alignment = 0;
    control.Core().Checks().StoreApplyCheck(true);
    GetClientRect(control.Window(), &client);
  }
  void Click(int x, int y) {
    control.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    control.Send(WM_LBUTTONUP, 0, At(x, y));
  }
  static int RowY(int32_t row) { return row * 16 + 8; }
  // The middle of a column `level` indents from the layout's side.
  int ColumnX(int level) const {
    const int fromSide = level * 18 + 9;
    return control.alignment == 2 ? client.right - fromSide : fromSide;
  }
  int16_t State(int16_t book) { return control.Core().Checks().GetStateBook(book); }

  TestControl control{Frame()};
  RECT client{};
};

TEST_F(MouseInputTest, AButtonClickOpensAndClosesTheRowsNodeAndFiresMouseDownThenClick) {
  Click(ColumnX(0), RowY(0));
  EXPECT_EQ(control.Rows().Count(), 4);
  EXPECT_EQ(control.TakeEvents(), "MouseDown, Click");
  EXPECT_EQ(control.Core().View().SelectedNode(), control.Rows().NodeOf(0));
  // Purity, a book: its button is one indent in.
  Click(ColumnX(1), RowY(1));
  EXPECT_EQ(control.TitleOf(2), "Water");
  Click(ColumnX(1), RowY(1));
  EXPECT_EQ(control.TitleOf(2), "Prayer");
  // Beside the button the press only selects.
  Click(ColumnX(5), RowY(0));
  EXPECT_EQ(control.Rows().Count(), 4);
}

TEST_F(MouseInputTest, TheRightLayoutCountsColumnsFromTheRightEdge) {
  control.alignment = 2;
  Click(ColumnX(0), RowY(1));
  EXPECT_EQ(control.TitleOf(2), std::string(kLongTitle));
  Click(ColumnX(3), RowY(2));  // the long book's check box: level 1 + 2
  EXPECT_EQ(State(3), 1);
}

TEST_F(MouseInputTest, ACheckBoxClickTogglesTheBooksStateOnlyWithApplyCheckOn) {
  Click(ColumnX(0), RowY(0));
  Click(ColumnX(3), RowY(1));
  EXPECT_EQ(State(1), 1);
  EXPECT_EQ(control.Rows().Count(), 4) << "the check box never opens the book";
  Click(ColumnX(3), RowY(1));
  EXPECT_EQ(State(1), 0);
  control.Core().Checks().StoreApplyCheck(false);
  const int repaints = control.repaints;
  Click(ColumnX(3), RowY(1));
  EXPECT_EQ(State(1), 0);
  EXPECT_EQ(control.repaints, repaints) << "nothing changed, nothing to repaint";
}

TEST_F(MouseInputTest, BelowTheLastRowTheCheckBoxColumnStillCountsButTheButtonColumnDoesNot) {
  Click(ColumnX(0), RowY(0));
  Click(ColumnX(5), RowY(2));  // select Prayer
  ASSERT_EQ(control.Rows().Selection(), 2);
  const int below = RowY(10);
  ASSERT_LT(below, client.bottom);
  Click(ColumnX(3), below);
  EXPECT_EQ(State(2), 1) << "the selected book's column, below the rows";
  Click(ColumnX(1), below);
  EXPECT_EQ(control.Rows().Count(), 4) << "the button needs a row under the point";
  EXPECT_EQ(control.Rows().Selection(), 2);
}

TEST_F(MouseInputTest, ADeactivatedBookIsSelectedByAClickButNeitherOpenedNorChecked) {
  Click(ColumnX(0), RowY(0));
  control.Core().View().DeactivateBook(1);
  Click(ColumnX(1), RowY(1));
  EXPECT_EQ(control.Rows().Selection(), 1);
  EXPECT_EQ(control.Core().View().SelectedNode(), control.Rows().NodeOf(1));
  EXPECT_EQ(control.TitleOf(2), "Prayer");
  Click(ColumnX(3), RowY(1));
  EXPECT_EQ(State(1), 0);
  // The keys still open it.
  control.Send(WM_KEYDOWN, VK_ADD, 1);
  EXPECT_EQ(control.TitleOf(2), "Water");
}

TEST_F(MouseInputTest, ADoubleClickOnAButtonOpensOnceAndFiresDblClick) {
  control.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(ColumnX(0), RowY(1)));
  control.Send(WM_LBUTTONUP, 0, At(ColumnX(0), RowY(1)));
  control.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(ColumnX(0), RowY(1)));
  control.Send(WM_LBUTTONUP, 0, At(ColumnX(0), RowY(1)));
  EXPECT_EQ(control.Rows().Count(), 4);
  EXPECT_EQ(control.TakeEvents(), "MouseDown, Click, DblClick, Click");
}

TEST_F(MouseInputTest, APressTakesAVisibleBalloonDownIdleAndAReleaseDismissed) {
  BalloonWindow& balloon = control.TheBalloon();
  SetTimer(control.Window(), 1, 60000, nullptr);
  ShowWindow(balloon.Handle(), SW_SHOWNA);
  balloon.m_state = bsShown;
  control.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(ColumnX(5), RowY(0)));
  EXPECT_FALSE(balloon.IsVisible());
  EXPECT_EQ(balloon.m_state, bsIdle);
  ShowWindow(balloon.Handle(), SW_SHOWNA);
  control.Send(WM_LBUTTONUP, 0, At(ColumnX(5), RowY(0)));
  EXPECT_FALSE(balloon.IsVisible());
  EXPECT_EQ(balloon.m_state, bsDismissed);
  // A hidden balloon's state is left alone.
  control.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(ColumnX(5), RowY(0)));
  EXPECT_EQ(balloon.m_state, bsDismissed);
  EXPECT_EQ(control.TakeEvents(), "MouseDown, Click, MouseDown");
}

TEST_F(MouseInputTest, ScrollingIsTheListsOwnAndFiresNothing) {
  MoveWindow(control.Window(), 0, 0, 320, 80, TRUE);
  control.Core().View().RebuildAllRows();
  ASSERT_EQ(control.Rows().Count(), 6);
  control.Send(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(control.Rows().TopIndex(), 1);
  EXPECT_EQ(control.TakeEvents(), "");
}

TEST_F(MouseInputTest, PointsFarOutsideTheControlChangeNothing) {
  for (LPARAM point : {At(-30000, -30000), At(32767, 32767), LPARAM{-1}}) {
    control.Send(WM_LBUTTONDOWN, ~WPARAM{0}, point);
    control.Send(WM_LBUTTONUP, ~WPARAM{0}, point);
    control.Send(WM_MOUSEMOVE, 0, point);
  }
  EXPECT_EQ(control.Rows().Count(), 2);
}

// ---- At every display scale ----

struct DpiCase {
  int dpi;
  int rowHeight;  // the scaled 16
  int indent;     // Indent 18 in the window's pixels
};

class ScaledMouseInputTest : public MouseInputTest, public ::testing::WithParamInterface<DpiCase> {
 protected:
  void SetUp() override {
    MouseInputTest::SetUp();
    control.dpi = GetParam().dpi;
    control.Send(LB_SETITEMHEIGHT, 0, GetParam().rowHeight);
  }
  // The shared frame's list box goes back to the height it was made with,
  // and paints for it now: a paint left pending would keep the frame busy.
  void TearDown() override {
    control.Send(LB_SETITEMHEIGHT, 0, 16);
    UpdateWindow(control.Window());
  }
  int Y(int32_t row) const { return row * GetParam().rowHeight + GetParam().rowHeight / 2; }
  // `offset` pixels in from the layout's side, `level` columns in.
  int X(int level, int offset) const {
    const int fromSide = level * GetParam().indent + offset;
    return control.alignment == 2 ? client.right - 1 - fromSide : fromSide;
  }
};

TEST_P(ScaledMouseInputTest, ButtonAndBoxColumnsAreIndentWideAtTheDisplaysScale) {
  const int indent = GetParam().indent;
  for (int16_t alignment : {int16_t{0}, int16_t{2}}) {
    SCOPED_TRACE(alignment == 2 ? "right layout" : "left layout");
    control.alignment = alignment;
    // The last pixel of Fiqh's button column opens it; the first past it
    // (which at 96 DPI would be the next column's middle) does not.
    Click(X(0, indent + 1), Y(0));
    ASSERT_EQ(control.Rows().Count(), 2) << "past the scaled column";
    Click(X(0, indent - 1), Y(0));
    ASSERT_EQ(control.Rows().Count(), 4) << "inside the scaled column";
    // Purity (row 1, level 1): its box is level + 2 = 3 columns in.
    Click(X(3, indent - 1), Y(1));
    EXPECT_EQ(State(1), csUnchecked);
    Click(X(4, 1), Y(1));
    EXPECT_EQ(State(1), csUnchecked) << "the next column is no box";
    Click(X(3, 0), Y(1));
    EXPECT_EQ(State(1), csChecked);
    // The row's lower half is still that row at the scaled pitch.
    Click(X(1, indent / 2), 2 * GetParam().rowHeight - 1);
    EXPECT_EQ(control.TitleOf(2), "Water") << "Purity opened from its lowest pixel row";
    Click(X(1, indent / 2), Y(1));
    Click(X(0, indent / 2), Y(0));
    ASSERT_EQ(control.Rows().Count(), 2);
  }
}

INSTANTIATE_TEST_SUITE_P(Dpi, ScaledMouseInputTest,
                         ::testing::Values(DpiCase{96, 16, 18}, DpiCase{120, 20, 23},
                                           DpiCase{144, 24, 27}, DpiCase{192, 32, 36}),
                         [](const ::testing::TestParamInfo<DpiCase>& p) {
                           return std::to_string(p.param.dpi);
                         });

}  // namespace
}  // namespace orvane::test
