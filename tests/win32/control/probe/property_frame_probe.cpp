// The control's General page as a user meets it: the control is created by
// its version-independent name, activated in place, and its Properties verb
// opens the property frame. Inside the frame's modal loop a timer fills
// every field of the page and presses Apply; then types a value the control
// refuses and presses OK, dismisses the message that names the field, sees
// the frame stay open, and presses Cancel; afterwards every
// property is read back through automation and printed as NAME=VALUE, with
// "modified=" telling whether the control asks to be saved again.
// tests/scripts/run-hosts.sh compares the lines for each width.
//   property_frame_probe.exe
// Exit code 0 when the frame opened, the page was found and Apply was
// pressed; 1 otherwise.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <string>

#include "../test_container.h"
#include "control/framework/table_property_page.h"
#include "orvane_h.h"
#include "resources/orvane_dispids.h"

using namespace orvane;
using namespace orvane::test;

namespace {

// What the timer does to each field: text typed into an edit box, a choice
// picked by its position, or a check box clicked.
struct Edit {
  DISPID dispid;
  const wchar_t* typed;  // null: not an edit box
  int choice;            // -1: not a list
};

const Edit kEdits[] = {
    {ORVANE_DISPID_INDENT, L"25", -1},
    {ORVANE_DISPID_ELAPSEDTIME, L"750", -1},
    {ORVANE_DISPID_ALIGNMENT, nullptr, 0},     // 0 - tvLeft
    {ORVANE_DISPID_READINGORDER, nullptr, 0},  // 0 - RTL
    {ORVANE_DISPID_TOPICNAME, L"LIBRARY", -1},
    {ORVANE_DISPID_BOOKSDIR, L"D:\\Books", -1},
    {ORVANE_DISPID_SHOWBALLOONHELP, nullptr, -1},  // clicked: True becomes False
    {ORVANE_DISPID_APPLYCHECK, nullptr, -1},       // clicked: False becomes True
};

const struct {
  DISPID dispid;
  const char* name;
} kReadBack[] = {{ORVANE_DISPID_INDENT, "Indent"},
                 {ORVANE_DISPID_ELAPSEDTIME, "ElapsedTime"},
                 {ORVANE_DISPID_ALIGNMENT, "Alignment"},
                 {ORVANE_DISPID_READINGORDER, "ReadingOrder"},
                 {ORVANE_DISPID_TOPICNAME, "TopicName"},
                 {ORVANE_DISPID_BOOKSDIR, "BooksDir"},
                 {ORVANE_DISPID_SHOWBALLOONHELP, "ShowBalloonHelp"},
                 {ORVANE_DISPID_APPLYCHECK, "ApplyCheck"}};

constexpr int kApplyButton = 0x3021;  // the property sheet's Apply

int g_step = 0;
bool g_pageFound = false;
bool g_applied = false;
bool g_appliedByButton = false;
bool g_layoutRtl = false;
// After Apply: the refused value and OK, the message, then Cancel.
enum class Phase { Fill, Refuse, Message, Cancel, Done } g_phase = Phase::Fill;
std::wstring g_refusal;
bool g_stayedOpen = false;

BOOL CALLBACK FindIndentField(HWND child, LPARAM slot) {
  if (GetDlgCtrlID(child) != kFieldControlBase + ORVANE_DISPID_INDENT) return TRUE;
  *reinterpret_cast<HWND*>(slot) = GetParent(child);
  return FALSE;
}

BOOL CALLBACK SearchTopWindow(HWND top, LPARAM slot) {
  EnumChildWindows(top, &FindIndentField, slot);
  return *reinterpret_cast<HWND*>(slot) == nullptr;
}

// The General page's dialog, found by its Indent field.
HWND FindPage() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &SearchTopWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK Step(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND page = FindPage();
  if (page == nullptr) {
    if (++g_step > 100) KillTimer(nullptr, timer);  // ten seconds: no frame
    return;
  }
  HWND frame = GetAncestor(page, GA_ROOT);
  if (g_phase == Phase::Fill) {
    g_phase = Phase::Refuse;
    g_pageFound = true;
    g_layoutRtl = (GetWindowLongPtrW(page, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    for (const Edit& edit : kEdits) {
      HWND control = GetDlgItem(page, kFieldControlBase + static_cast<int>(edit.dispid));
      if (control == nullptr) continue;
      const WPARAM id = kFieldControlBase + static_cast<WPARAM>(edit.dispid);
      if (edit.typed) {
        SetWindowTextW(control, edit.typed);  // sends EN_CHANGE itself
      } else if (edit.choice >= 0) {
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(edit.choice), 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
      } else {
        SendMessageW(control, BM_CLICK, 0, 0);
      }
    }
    HWND apply = GetDlgItem(frame, kApplyButton);
    g_appliedByButton = apply != nullptr && IsWindowEnabled(apply);
    if (g_appliedByButton) SendMessageW(apply, BM_CLICK, 0, 0);
    g_applied = true;
    return;
  }
  switch (g_phase) {
    case Phase::Refuse:
      // Posted, so that the message box's loop runs outside this callback.
      SetWindowTextW(GetDlgItem(page, kFieldControlBase + ORVANE_DISPID_INDENT), L"many");
      PostMessageW(frame, WM_COMMAND, IDOK, 0);
      g_step = 0;
      g_phase = Phase::Message;
      return;
    case Phase::Message: {
      HWND box = FindWindowW(L"#32770", L"Orvane Control");
      if (box == nullptr) {
        if (++g_step > 100) g_phase = Phase::Cancel;
        return;
      }
      wchar_t text[256] = {};
      GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 256);
      g_refusal = text;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      g_phase = Phase::Cancel;
      return;
    }
    case Phase::Cancel:
      // What Apply put stays; the refused value never reached the control.
      g_stayedOpen = IsWindowVisible(frame) != FALSE;
      KillTimer(nullptr, timer);
      PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
      g_phase = Phase::Done;
      return;
    default:
      KillTimer(nullptr, timer);
      return;
  }
}

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

int Run() {
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"ORVANE.OrvaneCtrl", &clsid))) return 1;
  ComPtr<IDispatch> control;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(control.Receive()))))
    return 1;
  ComPtr<IPersistStreamInit> persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
  if (persist) persist->InitNew();
  HostWindow host;
  auto* site = new TestSite(host.Handle(), {0, 0, 300, 200});
  site->AddRef();
  ComPtr<IOleObject> object = ActivateInPlace(control.Get(), site, host.Handle(), {0, 0, 300, 200});
  if (!object) return 1;
  UINT_PTR timer = SetTimer(nullptr, 0, 100, &Step);
  RECT rect{0, 0, 300, 200};
  const HRESULT hr = object->DoVerb(OLEIVERB_PROPERTIES, nullptr, site, 0, host.Handle(), &rect);
  KillTimer(nullptr, timer);
  printf("verb=0x%08lX\n", static_cast<unsigned long>(hr));
  printf("page=%s\n", g_pageFound ? "found" : "missing");
  printf("layout=%s\n", g_layoutRtl ? "rtl" : "ltr");
  printf("applied by=%s\n", g_appliedByButton ? "Apply" : "none");
  printf("refusal names Indent=%s\n",
         g_refusal.find(L"Indent") != std::wstring::npos ? "yes" : "no");
  printf("open after a refused OK=%s\n", g_stayedOpen ? "yes" : "no");
  for (const auto& property : kReadBack) {
    VARIANT value;
    VariantInit(&value);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    control->Invoke(property.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                    &value, nullptr, nullptr);
    VARIANT text;
    VariantInit(&text);
    VariantChangeType(&text, &value, VARIANT_ALPHABOOL, VT_BSTR);
    printf("%s=%s\n", property.name, Narrow(V_VT(&text) == VT_BSTR ? V_BSTR(&text) : L"?").c_str());
    VariantClear(&text);
    VariantClear(&value);
  }
  printf("modified=%s\n", persist && persist->IsDirty() == S_OK ? "yes" : "no");
  fflush(stdout);
  CloseInPlace(object.Get());
  site->Release();
  return SUCCEEDED(hr) && g_pageFound && g_applied ? 0 : 1;
}

}  // namespace

int main() {
  if (FAILED(OleInitialize(nullptr))) return 1;
  const int result = Run();
  OleUninitialize();
  return result;
}
