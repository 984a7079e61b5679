// The balloon with the real text library and the control's default Fonta:
// the title it shows fits its window, across and down, in both layouts.
#include <gtest/gtest.h>

#include "interaction/balloon_window.h"
#include "render/bidi_text_api.h"
#include "test_control.h"
#include "test_library.h"

#ifdef ORVANE_HAVE_HARFIX
namespace orvane::test {
namespace {

class BalloonTextFit : public SharedFrameTest {};

TEST_F(BalloonTextFit, TheShownTitleFitsTheBalloonsClientArea) {
  const BidiTextApi& harfix = LoadBidiTextLibrary();
  ASSERT_TRUE(harfix.Complete());
  ASSERT_NE(harfix.aFitLineHeight, nullptr);
  for (int16_t alignment : {int16_t{2}, int16_t{0}}) {
    SCOPED_TRACE(alignment == 2 ? "right layout" : "left layout");
    TestControl control{Frame()};
    BalloonWindow& balloon = control.TheBalloon();
    control.library = &harfix;
    balloon.SetTextLibrary(&harfix);
    // Fonta as an 11-point OLE font describes itself, and its "Ariel" copy.
    for (LOGFONTA* font : {&balloon.m_fontaLogFont, &balloon.m_ansiLogFont}) {
      font->lfHeight = -15;
      font->lfWeight = FW_NORMAL;
      font->lfCharSet = 0;
    }
    control.alignment = alignment;
    control.Rows().SetSelection(1);
    control.Send(WM_KEYDOWN, VK_ADD, 1);  // Hadith opens: row 2 has the long title
    ASSERT_EQ(control.TitleOf(2), std::string(kLongTitle));

    RECT client{};
    GetClientRect(control.Window(), &client);
    const int x = alignment == 2 ? client.right - 120 : 120;
    const POINT screen = control.ToScreen(x, 40);
    SetCursorPos(screen.x, screen.y);
    control.Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, 40));
    control.Send(WM_TIMER, 1, 0);
    ASSERT_TRUE(balloon.IsVisible());

    RECT inside{};
    GetClientRect(balloon.Handle(), &inside);
    ASSERT_GT(inside.right, 0) << "the long title does not fit its row";
    // What the balloon's paint draws: its fonts, fitted to its client height.
    HDC dc = GetDC(balloon.Handle());
    ASSERT_TRUE(harfix.aSelectDC(dc, &balloon.m_ansiLogFont, &balloon.m_fontaLogFont));
    EXPECT_TRUE(harfix.aFitLineHeight(dc, inside.bottom));
    const SIZE extent =
        harfix.aTextExtent(dc, balloon.m_text.data(), static_cast<int>(balloon.m_text.size()));
    harfix.aReleaseDC(dc);
    ReleaseDC(balloon.Handle(), dc);
    EXPECT_LE(extent.cx, inside.right) << "the border would cover the title's first pixels";
    EXPECT_GE(extent.cx, inside.right - 2);
    EXPECT_LE(extent.cy, inside.bottom) << "marks above or below the line would be cut";
    SendMessageW(balloon.Handle(), WM_TIMER, BalloonWindow::kHideTimerId, 0);
  }
}

}  // namespace
}  // namespace orvane::test
#endif
