// The control in hosts other than our own: registered and created by ProgID
// in ATL's control host window; its about box and its property page.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

#include "control/framework/table_property_page.h"
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

// Dismisses the first message box the page shows from inside its modal
// loop, keeping its text.
struct MessageProbe {
  static inline std::wstring text;
  static void CALLBACK Check(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowW(L"#32770", L"Orvane Control");
    if (box == nullptr) return;
    KillTimer(nullptr, timer);
    HWND line = GetDlgItem(box, 0xFFFF);  // the message's static text
    wchar_t buffer[256] = {};
    if (line) GetWindowTextW(line, buffer, 256);
    text = buffer;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
};

// The General page's fields: each property's control, of its kind, holding
// the control's value when the page opens.
const struct {
  DISPID dispid;
  const wchar_t* windowClass;
  const wchar_t* shown;  // edit text; for a list its selection; for a box "1"/"0"
} kPageFields[] = {
    {ORVANE_DISPID_INDENT, L"Edit", L"18"},
    {ORVANE_DISPID_ELAPSEDTIME, L"Edit", L"1000"},
    {ORVANE_DISPID_ALIGNMENT, L"ComboBox", L"2 - tvRight"},
    {ORVANE_DISPID_READINGORDER, L"ComboBox", L"1 - LTR"},
    {ORVANE_DISPID_TOPICNAME, L"Edit", L""},
    {ORVANE_DISPID_BOOKSDIR, L"Edit", L"C:\\Mirvak"},
    {ORVANE_DISPID_SHOWBALLOONHELP, L"Button", L"1"},
    {ORVANE_DISPID_APPLYCHECK, L"Button", L"0"},
};

std::wstring Shown(HWND control, const wchar_t* windowClass) {
  wchar_t text[256] = {};
  if (lstrcmpiW(windowClass, L"Button") == 0)
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1" : L"0";
  if (lstrcmpiW(windowClass, L"ComboBox") == 0) {
    const LRESULT selection = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (selection < 0) return L"(none)";
    SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(selection),
                 reinterpret_cast<LPARAM>(text));
    return text;
  }
  GetWindowTextW(control, text, 256);
  return text;
}

class PropertyPageFixture : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(
        CreateFromOcx(kPropPageClsid, IID_IPropertyPage, reinterpret_cast<void**>(page.Receive())),
        S_OK);
    control = NewControl();
    ASSERT_TRUE(control);
    IUnknown* objects[] = {control.Get()};
    ASSERT_EQ(page->SetObjects(1, objects), S_OK);
    RECT rect{0, 0, 400, 260};
    ASSERT_EQ(page->Activate(host.Handle(), &rect, FALSE), S_OK);
    dialog = FindWindowExW(host.Handle(), nullptr, L"#32770", nullptr);
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override {
    if (page) {
      page->Deactivate();
      page->SetObjects(0, nullptr);
    }
  }
  HWND Field(DISPID id) const { return GetDlgItem(dialog, kFieldControlBase + id); }
  void Type(DISPID id, const wchar_t* text) { SetWindowTextW(Field(id), text); }
  LONG Indent() {
    short value = 0;
    control->get_Indent(&value);
    return value;
  }
  bool Modified() {
    ComPtr<IPersistStreamInit> persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
    return persist && persist->IsDirty() == S_OK;
  }

  HostWindow host;
  ComPtr<IPropertyPage> page;
  ComPtr<IOrvaneAutomation> control;
  HWND dialog = nullptr;
};

TEST_F(PropertyPageFixture, ShowsEveryFieldWithTheControlsValueUnderItsCaption) {
  PROPPAGEINFO info{};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_STREQ(info.pszTitle, L"General");
  EXPECT_GT(info.size.cx, 0);
  EXPECT_GT(info.size.cy, 0);
  CoTaskMemFree(info.pszTitle);
  for (const auto& field : kPageFields) {
    HWND window = Field(field.dispid);
    ASSERT_NE(window, nullptr) << "no field for DISPID " << field.dispid;
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    EXPECT_EQ(lstrcmpiW(name, field.windowClass), 0) << field.dispid;
    EXPECT_EQ(Shown(window, field.windowClass), field.shown) << field.dispid;
  }
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  EXPECT_FALSE(FindWindowExW(dialog, nullptr, L"Static",
                             L"TODO: Place controls to manipulate "
                             L"properties of Orvane Control on "
                             L"this dialog."));
}

TEST_F(PropertyPageFixture, ApplyGoesThroughTheSettersAndShowsTheirRefusals) {
  // A change makes the page dirty; Apply puts it and marks the control
  // modified, as the setter does for automation.
  Type(ORVANE_DISPID_INDENT, L"30");
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  EXPECT_FALSE(Modified());
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(Indent(), 30);
  EXPECT_TRUE(Modified());
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);

  // What automation refuses, the page refuses with a message, keeping the
  // field changed and the value as it was.
  for (const wchar_t* refused : {L"many", L"70000"}) {
    MessageProbe::text.clear();
    Type(ORVANE_DISPID_INDENT, refused);
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &MessageProbe::Check);
    ASSERT_NE(timer, 0u);
    page->Apply();
    EXPECT_NE(MessageProbe::text.find(L"Indent"), std::wstring::npos)
        << refused << ": [" << MessageProbe::text.c_str() << "]";
    EXPECT_EQ(Indent(), 30) << refused;
    EXPECT_EQ(page->IsPageDirty(), S_OK) << refused;
  }
  // Another try with a sound value goes through.
  Type(ORVANE_DISPID_INDENT, L"12");
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(Indent(), 12);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
}

// The page is mirrored exactly when the user's interface language reads
// right to left.
TEST_F(PropertyPageFixture, IsLaidOutFromTheRightInARightToLeftLanguage) {
  const struct {
    LANGID language;
    bool rightToLeft;
  } kLanguages[] = {{MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_EGYPT), true},
                    {MAKELANGID(LANG_HEBREW, SUBLANG_DEFAULT), true},
                    {MAKELANGID(LANG_FARSI, SUBLANG_DEFAULT), true},
                    {MAKELANGID(LANG_URDU, SUBLANG_DEFAULT), true},
                    {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), false},
                    {MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), false},
                    {MAKELANGID(LANG_TURKISH, SUBLANG_DEFAULT), false}};
  for (const auto& l : kLanguages)
    EXPECT_EQ(UiLanguageReadsRightToLeft(l.language), l.rightToLeft) << l.language;
  const bool mirrored = (GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
  EXPECT_EQ(mirrored, UiLanguageReadsRightToLeft(GetUserDefaultUILanguage()));
}

// Fields the user did not touch are not put: a host's value that the page
// cannot show (an alignment of 1) survives an Apply of another field.
TEST_F(PropertyPageFixture, UntouchedFieldsAreLeftAsTheyAre) {
  ASSERT_EQ(control->put_Alignment(static_cast<::TAlignment>(1)), S_OK);
  page->Deactivate();
  RECT rect{0, 0, 400, 260};
  ASSERT_EQ(page->Activate(host.Handle(), &rect, FALSE), S_OK);
  dialog = FindWindowExW(host.Handle(), nullptr, L"#32770", nullptr);
  EXPECT_EQ(Shown(Field(ORVANE_DISPID_ALIGNMENT), L"ComboBox"), L"(none)");
  Type(ORVANE_DISPID_BOOKSDIR, L"E:\\Shelf");
  EXPECT_EQ(page->Apply(), S_OK);
  ::TAlignment alignment = tvLeft;
  control->get_Alignment(&alignment);
  EXPECT_EQ(alignment, 1);
  Bstr dir;
  control->get_BooksDir(dir.Receive());
  EXPECT_EQ(dir.Text(), L"E:\\Shelf");
}

}  // namespace
}  // namespace orvane::test
