// The hover timer's period follows ElapsedTime however it changes: set by
// the host, loaded from saved properties into a live control, or reset.
// Opening a category re-arms timer 1 of the control's window with the
// period it holds, which the test then waits for.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "memory_property_bag.h"
#include "ocx_module.h"
#include "test_container.h"

namespace orvane::test {
namespace {

class HoverPeriod : public testing::Test {
 protected:
  void SetUp() override {
    control = NewControl();
    ASSERT_TRUE(control);
    site = ComPtr<TestSite>::Adopt(new TestSite(host.Handle(), RECT{10, 10, 310, 210}));
    object = ActivateInPlace(control.Get(), site.Get(), host.Handle(), RECT{10, 10, 310, 210});
    ASSERT_TRUE(object);
    Bstr topic(WriteTestCatalogue(L"HOVER"));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(control->LoadBooks(topic.Get(), &loaded), S_OK);
    ASSERT_EQ(loaded, VARIANT_TRUE);
    // The balloon would take the capture; only the timer matters here.
    ASSERT_EQ(control->put_ShowBalloonHelp(VARIANT_FALSE), S_OK);
  }
  void TearDown() override { CloseInPlace(object.Get()); }

  // Opens or closes the first category with the keyboard (Left opens and
  // closes nothing in the right layout: '+' and '-' do), which re-arms the
  // hover timer, and reports whether timer 1 fired within `ms`.
  bool ToggleArmsATimerFiringWithin(DWORD ms) {
    HWND list = ControlWindowOf(control.Get());
    MSG msg;
    while (PeekMessageW(&msg, list, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    SendMessageW(list, WM_KEYDOWN, m_open ? VK_SUBTRACT : VK_ADD, 1);
    m_open = !m_open;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
      while (PeekMessageW(&msg, list, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        if (msg.wParam == 1) return true;
      }
      Sleep(5);
    }
    return false;
  }

  void LoadElapsedTime(LONG value) {
    ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag);
    bag->Put(L"ElapsedTime", MakeI4(value));
    ComPtr<IPersistPropertyBag> persist;
    control->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(persist.Receive()));
    ASSERT_TRUE(persist);
    ASSERT_EQ(persist->Load(bag.Get(), nullptr), S_OK);
    LONG now = 0;
    control->get_ElapsedTime(&now);
    ASSERT_EQ(now, value);
  }

  HostWindow host;
  ComPtr<TestSite> site;
  ComPtr<IOrvaneAutomation> control;
  ComPtr<IOleObject> object;
  bool m_open = false;
};

// Bounds are generous for a loaded machine: a 20 ms timer gets 3 s, and a
// ten-minute one must not come in 1 s.
TEST_F(HoverPeriod, FollowsElapsedTimeLoadedIntoALiveControlAndReset) {
  ASSERT_EQ(control->put_ElapsedTime(600000), S_OK);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(1000));

  LoadElapsedTime(20);
  EXPECT_TRUE(ToggleArmsATimerFiringWithin(3000)) << "the loaded period is used";

  ASSERT_EQ(control->put_ElapsedTime(600000), S_OK);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(1000));
  // Reset: the default period, 1000 ms.
  ComPtr<IPersistStreamInit> persist;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
  ASSERT_EQ(persist->InitNew(), S_OK);
  EXPECT_TRUE(ToggleArmsATimerFiringWithin(6000)) << "the default period after a reset";

  LoadElapsedTime(600000);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(1000));
}

TEST_F(HoverPeriod, ANegativeElapsedTimeGoesToThePlatformAsAnUnsignedPeriod) {
  // SetTimer reads -1 as 0xFFFFFFFF milliseconds and holds it at its
  // maximum, about 24.8 days: the balloon does not come.
  ASSERT_EQ(control->put_ElapsedTime(-1), S_OK);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(1000));
  LoadElapsedTime(-100);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(1000));
  ASSERT_EQ(control->put_ElapsedTime(20), S_OK);
  EXPECT_TRUE(ToggleArmsATimerFiringWithin(3000));
}

}  // namespace
}  // namespace orvane::test
