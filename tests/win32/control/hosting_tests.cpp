// The control in hosts other than our own: registered and created by ProgID
// in ATL's control host window; its about box and its property page.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

#include "ocx_module.h"
#include "test_container.h"

namespace orvane::test {
namespace {

const CLSID kPropPageClsid = {
    0x2a78a059, 0x1bd4, 0x4d73, {0xa4, 0xf9, 0xdd, 0x40, 0x66, 0x37, 0x82, 0xbc}};

TEST(AtlHost, CreatesTheControlByProgIdAndHostsItsListBox) {
  ASSERT_EQ(RegisterOcx(), S_OK);
  HMODULE atl = LoadLibraryW(L"atl.dll");
  ASSERT_NE(atl, nullptr);
  auto init = reinterpret_cast<BOOL(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
  auto getControl = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
  ASSERT_TRUE(init && getControl);
  ASSERT_TRUE(init());

  HostWindow host;
  HWND axWindow = CreateWindowExW(0, L"AtlAxWin", L"ORVANE.OrvaneCtrl.1", WS_CHILD | WS_VISIBLE, 0,
                                  0, 300, 200, host.Handle(), nullptr, nullptr, nullptr);
  ASSERT_NE(axWindow, nullptr);
  PumpMessages();
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(getControl(axWindow, unknown.Receive()), S_OK);
  ComPtr<IOrvaneAutomation> control = unknown.As<IOrvaneAutomation>(IID_IOrvaneAutomation);
  ASSERT_TRUE(control);

  HWND list = FindDescendant(axWindow, L"ListBox");
  ASSERT_NE(list, nullptr) << "the host activated the control in place";
  Bstr topic(WriteTestCatalogue(L"ATLHOST"));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control->LoadBooks(topic.Get(), &loaded), S_OK);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  VARIANT_BOOL found = VARIANT_FALSE;
  control->GotoTocPosition(2, 43, &found);
  EXPECT_EQ(found, VARIANT_TRUE);
  // Law, Fiqh, Introduction at 10, then Purity at 43.
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 4);

  control.Reset();
  unknown.Reset();
  DestroyWindow(axWindow);
  PumpMessages();
}

// Closes the about box from inside its modal loop, noting what it held.
struct AboutBoxProbe {
  static inline bool seen = false;
  static inline bool hadTree = false;
  static inline bool hadIcon = false;
  static void CALLBACK Check(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowW(L"#32770", L"About Orvane Control");
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    seen = true;
    wchar_t name[32] = {};
    GetClassNameW(GetDlgItem(dialog, 207), name, 32);
    hadTree = lstrcmpiW(name, L"SysTreeView32") == 0;
    HWND ok = GetDlgItem(dialog, IDOK);
    HWND icon = FindWindowExW(dialog, nullptr, L"Static", nullptr);
    hadIcon = icon != nullptr && SendMessageW(icon, STM_GETICON, 0, 0) != 0;

    PostMessageW(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(ok));
  }
};

TEST(AboutBox, ShowsDialogOneModallyUntilOkIsPressed) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  UINT_PTR timer = SetTimer(nullptr, 0, 50, &AboutBoxProbe::Check);
  ASSERT_NE(timer, 0u);
  // Returns only once the probe pressed OK from inside the dialog's loop.
  ASSERT_EQ(control->AboutBox(), S_OK);
  EXPECT_TRUE(AboutBoxProbe::seen);
  EXPECT_TRUE(AboutBoxProbe::hadTree);
  EXPECT_TRUE(AboutBoxProbe::hadIcon);
  EXPECT_EQ(FindWindowW(L"#32770", L"About Orvane Control"), nullptr);

  // Bound by its stock DISPID as well.
  AboutBoxProbe::seen = false;
  timer = SetTimer(nullptr, 0, 50, &AboutBoxProbe::Check);
  ASSERT_EQ(InvokeById(control.Get(), DISPID_ABOUTBOX, DISPATCH_METHOD, {}), S_OK);
  EXPECT_TRUE(AboutBoxProbe::seen);
}

TEST(PropertyPage, ShowsDialogHundredUnderItsCaption) {
  ComPtr<IPropertyPage> page;
  ASSERT_EQ(
      CreateFromOcx(kPropPageClsid, IID_IPropertyPage, reinterpret_cast<void**>(page.Receive())),
      S_OK);
  PROPPAGEINFO info{};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_STREQ(info.pszTitle, L"General");
  EXPECT_GT(info.size.cx, 0);
  EXPECT_GT(info.size.cy, 0);
  CoTaskMemFree(info.pszTitle);

  ComPtr<IOrvaneAutomation> control = NewControl();
  IUnknown* objects[] = {control.Get()};
  ASSERT_EQ(page->SetObjects(1, objects), S_OK);
  HostWindow host;
  RECT rect{0, 0, 300, 100};
  ASSERT_EQ(page->Activate(host.Handle(), &rect, FALSE), S_OK);
  HWND dialog = FindWindowExW(host.Handle(), nullptr, L"#32770", nullptr);
  ASSERT_NE(dialog, nullptr);
  HWND text = FindWindowExW(dialog, nullptr, L"Static", nullptr);
  ASSERT_NE(text, nullptr);
  wchar_t caption[128] = {};
  GetWindowTextW(text, caption, 128);
  EXPECT_STREQ(caption,
               L"TODO: Place controls to manipulate properties of Orvane Control on this dialog.");
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
}

}  // namespace
}  // namespace orvane::test
