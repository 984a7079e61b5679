// The control active in place in a minimal container: its list box with the
// styles it asks for, rows made by the core's operations, re-creation that
// keeps the outline and empties the list, and the stock events.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <vector>

#include "control/orvane_inspect.h"
#include "memory_property_bag.h"
#include "ocx_module.h"
#include "test_container.h"

namespace orvane::test {
namespace {

// Records the events a host receives.
class EventSink : public ComBase<EventSink, IDispatch> {
 public:
  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry kTable[] = {{&IID_IDispatch, &CastTo<EventSink, IDispatch>}};
    return kTable;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    events.push_back(id);
    // A host that zeroes the key code swallows the key.
    if (id == DISPID_KEYDOWN && swallowKeys && params->cArgs == 2 &&
        V_VT(&params->rgvarg[1]) == (VT_I2 | VT_BYREF))
      *V_I2REF(&params->rgvarg[1]) = 0;
    return S_OK;
  }
  std::vector<DISPID> events;
  bool swallowKeys = false;
};

class ControlWindow : public testing::Test {
 protected:
  void SetUp() override {
    control = NewControl();
    ASSERT_TRUE(control);
    site = ComPtr<TestSite>::Adopt(new TestSite(host.Handle(), RECT{10, 10, 310, 210}));
    object = ActivateInPlace(control.Get(), site.Get(), host.Handle(), RECT{10, 10, 310, 210});
    ASSERT_TRUE(object);
  }
  void TearDown() override { CloseInPlace(object.Get()); }

  HWND ListBox() { return ControlWindowOf(control.Get()); }
  LRESULT Rows() { return SendMessageW(ListBox(), LB_GETCOUNT, 0, 0); }
  void LoadLibraryRows() {
    Bstr topic(WriteTestCatalogue(L"WINDOW"));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(control->LoadBooks(topic.Get(), &loaded), S_OK);
    ASSERT_EQ(loaded, VARIANT_TRUE);
  }
  std::wstring RowsText() {
    ComPtr<IOrvaneInspect> inspect;
    control->QueryInterface(IID_IOrvaneInspect, reinterpret_cast<void**>(inspect.Receive()));
    Bstr rows;
    if (inspect) inspect->GetRows(rows.Receive());
    return rows.Text();
  }

  HostWindow host;
  ComPtr<TestSite> site;
  ComPtr<IOrvaneAutomation> control;
  ComPtr<IOleObject> object;
};

// The styles a list box is created with, seen before the list box itself
// adjusts them (it drops WS_VSCROLL while there is nothing to scroll).
struct CreationProbe {
  static inline LONG style = 0;
  static inline DWORD exStyle = 0;
  static inline int listBoxes = 0;
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
      if (!IS_INTRESOURCE(cs->lpszClass) && lstrcmpiW(cs->lpszClass, L"LISTBOX") == 0) {
        style = cs->style;
        exStyle = cs->dwExStyle;
        ++listBoxes;
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
};

TEST_F(ControlWindow, IsAnOwnerDrawnListBoxCreatedWithTheStylesItAskedFor) {
  HWND list = ListBox();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(site->activations, 1);
  wchar_t name[32] = {};
  GetClassNameW(list, name, 32);
  EXPECT_EQ(lstrcmpiW(name, L"ListBox"), 0);
  EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 16);

  // Re-creating the window runs the creation again, under the probe.
  HHOOK hook = SetWindowsHookExW(WH_CBT, &CreationProbe::Hook, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  ASSERT_EQ(control->put_ReadingOrder(LTR), S_OK);
  UnhookWindowsHookEx(hook);
  ASSERT_EQ(CreationProbe::listBoxes, 1);
  const LONG style = CreationProbe::style;
  EXPECT_EQ(style & 0x00200111, 0x00200111) << std::hex << style;
  EXPECT_EQ(style & (LBS_SORT | LBS_HASSTRINGS | LBS_OWNERDRAWVARIABLE), 0) << std::hex << style;
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_EQ(CreationProbe::exStyle & (WS_EX_CLIENTEDGE | WS_EX_LEFTSCROLLBAR),
            static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_LEFTSCROLLBAR))
      << "tvRight puts the scroll bar at the left";
  EXPECT_TRUE(GetWindowLongW(ListBox(), GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR);
}

TEST_F(ControlWindow, CreationSetsBorderStyleOneWithoutMarkingModified) {
  short border = 0;
  control->get_BorderStyle(&border);
  EXPECT_EQ(border, 1);
  EXPECT_TRUE(GetWindowLongW(ListBox(), GWL_STYLE) & WS_BORDER);
  ComPtr<IPersistStreamInit> persist;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  control->put_BorderStyle(0);
  EXPECT_FALSE(GetWindowLongW(ListBox(), GWL_STYLE) & WS_BORDER);
  // Every creation sets it again, whatever was stored.
  control->put_ReadingOrder(RTL);
  control->get_BorderStyle(&border);
  EXPECT_EQ(border, 1);
  EXPECT_TRUE(GetWindowLongW(ListBox(), GWL_STYLE) & WS_BORDER);
}

TEST_F(ControlWindow, LoadBooksMakesOneRowPerCategory) {
  LoadLibraryRows();
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(RowsText(), L"0|0|0|1|0|Grammar\n1|0|0|1|0|Law");
}

TEST_F(ControlWindow, GotoTocPositionOpensTheWayAndSelectsTheSection) {
  LoadLibraryRows();
  VARIANT_BOOL found = VARIANT_FALSE;
  ASSERT_EQ(control->GotoTocPosition(1, 143, &found), S_OK);
  EXPECT_EQ(found, VARIANT_TRUE);
  // Grammar, Nahw, its three top sections and the two under the second,
  // the third level's one row, then Law.
  EXPECT_EQ(Rows(), 9);
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCURSEL, 0, 0), 6);
  short book = 0, category = 0;
  control->get_ActiveBook(&book);
  control->get_ActiveCategory(&category);
  EXPECT_EQ(book, 1);
  EXPECT_EQ(category, 1);

  // A row repainted because it gained the selection leaves its FilePos.
  UpdateWindow(ListBox());
  LONG filePos = 0;
  SendMessageW(ListBox(), LB_SETCURSEL, 5, 0);
  control->get_FilePos(&filePos);
  EXPECT_EQ(filePos, 220);
  SendMessageW(ListBox(), LB_SETCURSEL, 6, 0);
  control->get_FilePos(&filePos);
  EXPECT_EQ(filePos, 221);
  SendMessageW(ListBox(), LB_SETCURSEL, 1, 0);
  control->get_FilePos(&filePos);
  EXPECT_EQ(filePos, -1) << "a book row";

  EXPECT_EQ(control->GotoTocPosition(2, 9999, &found), S_OK);
  EXPECT_EQ(found, VARIANT_FALSE) << "a position outside the book";
}

TEST_F(ControlWindow, ReadingOrderRecreatesAnEmptyListAndKeepsTheOutline) {
  LoadLibraryRows();
  ASSERT_EQ(Rows(), 2);
  ASSERT_EQ(control->put_ReadingOrder(RTL), S_OK);
  HWND list = ListBox();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindow(list));
  EXPECT_EQ(Rows(), 0) << "the new list box starts empty";

  // ApplyCheck bound by its DISPID runs the same after-set step as by name.
  VARIANT on;
  VariantInit(&on);
  V_VT(&on) = VT_BOOL;
  V_BOOL(&on) = VARIANT_TRUE;
  ASSERT_EQ(InvokeById(control.Get(), ORVANE_DISPID_APPLYCHECK, DISPATCH_PROPERTYPUT, {on}), S_OK);
  // The outline was kept: every category open with all its books.
  EXPECT_EQ(RowsText(), L"0|0|1|1|0|Grammar\n1|1|0|1|0|Nahw\n2|0|1|1|0|Law\n3|1|0|1|0|Fiqh");
  VARIANT_BOOL applyCheck = VARIANT_FALSE;
  control->get_ApplyCheck(&applyCheck);
  EXPECT_EQ(applyCheck, VARIANT_TRUE);
}

TEST_F(ControlWindow, AlignmentDecidesTheScrollBarSideAtTheNextCreation) {
  ASSERT_EQ(control->put_Alignment(tvLeft), S_OK);
  EXPECT_TRUE(GetWindowLongW(ListBox(), GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR)
      << "kept until the window is created again";
  ASSERT_EQ(control->put_ReadingOrder(LTR), S_OK);
  const LONG exStyle = GetWindowLongW(ListBox(), GWL_EXSTYLE);
  EXPECT_FALSE(exStyle & WS_EX_LEFTSCROLLBAR);
  EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
}

TEST_F(ControlWindow, FontaSetRecreatesTheWindow) {
  LoadLibraryRows();
  ASSERT_EQ(Rows(), 2);
  FONTDESC desc{sizeof(FONTDESC),
                const_cast<LPOLESTR>(L"Tahoma"),
                {{120000, 0}},
                400,
                0,
                FALSE,
                FALSE,
                FALSE};
  ComPtr<IFontDisp> font;
  OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.Receive()));
  ASSERT_EQ(control->putref_Fonta(font.Get()), S_OK);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(GetWindowLongW(ListBox(), GWL_STYLE) & LBS_OWNERDRAWFIXED);
}

TEST_F(ControlWindow, InputReachesTheHostAsStockEvents) {
  LoadLibraryRows();
  ComPtr<IConnectionPointContainer> container;
  control->QueryInterface(IID_IConnectionPointContainer,
                          reinterpret_cast<void**>(container.Receive()));
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID__DOrvaneEvents, point.Receive()), S_OK);
  ComPtr<EventSink> sink = ComPtr<EventSink>::Adopt(new EventSink);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), S_OK);

  HWND list = ListBox();
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 5));
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(40, 5));
  SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(41, 6));
  SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 5));
  SendMessageW(list, WM_KEYUP, VK_DOWN, 0);
  ReleaseCapture();
  // The press makes the first row current: NodeSelect follows it once the
  // press is done with.
  EXPECT_EQ(sink->events,
            (std::vector<DISPID>{DISPID_MOUSEDOWN, ORVANE_DISPID_NODESELECT, DISPID_CLICK,
                                 DISPID_MOUSEMOVE, DISPID_DBLCLICK, DISPID_KEYUP}));

  // A key the host swallows does not reach the list box.
  sink->events.clear();
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  sink->swallowKeys = true;
  SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(sink->events, std::vector<DISPID>{DISPID_KEYDOWN});
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  sink->swallowKeys = false;
  SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);

  // A container that freezes events hears nothing.
  sink->events.clear();
  ComPtr<IOleControl> oleControl;
  control->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(oleControl.Receive()));
  oleControl->FreezeEvents(TRUE);
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(40, 5));
  EXPECT_TRUE(sink->events.empty());
  oleControl->FreezeEvents(FALSE);
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(40, 5));
  EXPECT_EQ(sink->events, std::vector<DISPID>{DISPID_CLICK});

  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  sink->events.clear();
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(40, 5));
  EXPECT_TRUE(sink->events.empty());
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(ControlWindow, DeactivationDestroysTheWindow) {
  HWND list = ListBox();
  ComPtr<IOleInPlaceObject> inPlace;
  control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace.Receive()));
  ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(site->deactivations, 1);
  HWND none = reinterpret_cast<HWND>(1);
  EXPECT_EQ(inPlace->GetWindow(&none), E_FAIL);
  // The outline outlives the window; without one, no rows exist.
  LoadLibraryRows();
  Bstr title;
  control->GetSectionTitle(2, 43, title.Receive());
  EXPECT_EQ(title.Text(), L"Purity");
}

TEST_F(ControlWindow, OutlivesAContainerThatDestroysItsWindow) {
  LoadLibraryRows();
  HWND list = ListBox();
  DestroyWindow(GetParent(list));
  EXPECT_FALSE(IsWindow(list));
  HWND none = reinterpret_cast<HWND>(1);
  ComPtr<IOleInPlaceObject> inPlace;
  control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace.Receive()));
  EXPECT_EQ(inPlace->GetWindow(&none), E_FAIL);
  EXPECT_EQ(control->put_ReadingOrder(RTL), S_OK) << "nothing to re-create";
  VARIANT_BOOL found = VARIANT_TRUE;
  EXPECT_EQ(control->GotoTocPosition(1, 10, &found), S_OK);
  EXPECT_EQ(found, VARIANT_FALSE) << "no rows without a window";
  EXPECT_EQ(inPlace->InPlaceDeactivate(), S_OK);
}

// The hover timer's period follows ElapsedTime however it changes: set by
// the host, loaded from saved properties into a live control, or reset.
// Opening or closing a category ('+' and '-') re-arms timer 1 of the
// control's window with the period it holds, which is then waited for.
bool ToggleArmsATimerFiringWithin(HWND list, int key, DWORD ms) {
  MSG msg;
  while (PeekMessageW(&msg, list, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  SendMessageW(list, WM_KEYDOWN, key, 1);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    while (PeekMessageW(&msg, list, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      if (msg.wParam == 1) return true;
    }
    Sleep(5);
  }
  return false;
}

void LoadElapsedTime(IOrvaneAutomation* control, LONG value) {
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

// Bounds are generous for a loaded machine: a 20 ms timer gets 3 s, and a
// ten-minute one must not come in 1 s.
TEST_F(ControlWindow, HoverPeriodFollowsElapsedTimeLoadedIntoALiveControlAndReset) {
  LoadLibraryRows();
  ASSERT_EQ(control->put_ShowBalloonHelp(VARIANT_FALSE), S_OK);  // no balloon, no capture
  HWND list = ListBox();
  ASSERT_EQ(control->put_ElapsedTime(600000), S_OK);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(list, VK_ADD, 1000));

  LoadElapsedTime(control.Get(), 20);
  EXPECT_TRUE(ToggleArmsATimerFiringWithin(list, VK_SUBTRACT, 3000)) << "the loaded period";

  ASSERT_EQ(control->put_ElapsedTime(600000), S_OK);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(list, VK_ADD, 1000));
  ComPtr<IPersistStreamInit> persist;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
  ASSERT_EQ(persist->InitNew(), S_OK);
  EXPECT_TRUE(ToggleArmsATimerFiringWithin(list, VK_SUBTRACT, 6000)) << "the default, 1000 ms";

  LoadElapsedTime(control.Get(), 600000);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(list, VK_ADD, 1000));
}

TEST_F(ControlWindow, ANegativeElapsedTimeGoesToThePlatformAsAnUnsignedPeriod) {
  // SetTimer reads -1 as 0xFFFFFFFF milliseconds and holds it at its
  // maximum, about 24.8 days: the balloon does not come.
  LoadLibraryRows();
  ASSERT_EQ(control->put_ShowBalloonHelp(VARIANT_FALSE), S_OK);
  HWND list = ListBox();
  ASSERT_EQ(control->put_ElapsedTime(-1), S_OK);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(list, VK_ADD, 1000));
  LoadElapsedTime(control.Get(), -100);
  EXPECT_FALSE(ToggleArmsATimerFiringWithin(list, VK_SUBTRACT, 1000));
  ASSERT_EQ(control->put_ElapsedTime(20), S_OK);
  EXPECT_TRUE(ToggleArmsATimerFiringWithin(list, VK_ADD, 3000));
}

}  // namespace
}  // namespace orvane::test
