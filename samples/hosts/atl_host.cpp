// A small C++ host of the Orvane control. It puts the control in a window of
// the system's control-host class "AtlAxWin" (from atl.dll, which registers
// it in AtlAxWinInit), reaches the control through AtlAxGetControl, and
// drives it by name through IDispatch, as any late-binding host does:
// loads a catalogue, jumps to a section, reads its title back. With
// /properties it opens the control's property pages through the container
// verb OLEIVERB_PROPERTIES.
//
//   atl_host CATALOGUE [BOOK POSITION] [/properties] [/autoclose]
//
// CATALOGUE is the catalogue's path without ".INI". /autoclose cancels the
// property frame as soon as it shows and prints its caption (for unattended
// runs). Exit code 0 when every step succeeded.
//
// Build (x86 or x64 alike; it needs C++17, for std::string's writable data()):
//   i686-w64-mingw32-g++ -std=c++17 -O2 -municode -static atl_host.cpp -o atl_host.exe
//   -lole32 -loleaut32 -luuid
// or with the Windows SDK:  cl /std:c++17 /EHsc atl_host.cpp ole32.lib oleaut32.lib user32.lib
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// Prints UTF-8, whatever the console's code page.
void Print(const std::wstring& text) {
  std::wstring line = text + L"\n";
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr,
                                  0, nullptr, nullptr);
  std::string utf8(bytes > 0 ? bytes : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes,
                      nullptr, nullptr);
  fwrite(utf8.data(), 1, utf8.size(), stdout);
  fflush(stdout);
}

std::wstring HresultText(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

// Calls `name` on `object` by name. `args` in call order.
HRESULT Call(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* result,
             std::initializer_list<VARIANT> args = {}) {
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT reversed[4];
  UINT count = 0;
  for (auto it = args.end(); it != args.begin() && count < 4;) reversed[count++] = *--it;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed, nullptr, count, 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  if (result) VariantInit(result);
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr,
                        nullptr);
}

VARIANT Text(const wchar_t* text) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  return v;
}

VARIANT Number(LONG n) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = n;
  return v;
}

// Cancels the first dialog of this process that shows (the property frame),
// from a timer that runs inside the frame's modal loop.
std::wstring g_frameCaption;
BOOL CALLBACK CancelFrame(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (process != GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(window))
    return TRUE;
  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  g_frameCaption = caption;
  PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  return FALSE;
}
void CALLBACK AutoCloseTimer(HWND, UINT, UINT_PTR, DWORD) { EnumWindows(&CancelFrame, 0); }

int Run(int argc, wchar_t** argv) {
  if (argc < 2) {
    Print(L"usage: atl_host CATALOGUE [BOOK POSITION] [/properties] [/autoclose]");
    return 2;
  }
  bool properties = false, autoClose = false;
  std::wstring catalogue;
  LONG book = 0, position = -1;
  int plain = 0;
  for (int i = 1; i < argc; ++i) {
    if (_wcsicmp(argv[i], L"/properties") == 0) {
      properties = true;
    } else if (_wcsicmp(argv[i], L"/autoclose") == 0) {
      autoClose = true;
    } else if (plain == 0) {
      catalogue = argv[i];
      ++plain;
    } else if (plain == 1) {
      book = _wtol(argv[i]);
      ++plain;
    } else {
      position = _wtol(argv[i]);
    }
  }

  HMODULE atl = LoadLibraryW(L"atl.dll");
  auto init = reinterpret_cast<BOOL(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
  auto getControl = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
  if (!init || !getControl || !init()) {
    Print(L"atl.dll has no control host");
    return 1;
  }

  HWND frame =
      CreateWindowExW(0, L"STATIC", L"Orvane in AtlAxWin", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      CW_USEDEFAULT, CW_USEDEFAULT, 420, 480, nullptr, nullptr, nullptr, nullptr);
  // The window's text names the control to create: a ProgID or a CLSID.
  HWND host = CreateWindowExW(0, L"AtlAxWin", L"ORVANE.OrvaneCtrl.1", WS_CHILD | WS_VISIBLE, 0, 0,
                              400, 440, frame, nullptr, nullptr, nullptr);
  IUnknown* unknown = nullptr;
  if (host == nullptr || FAILED(getControl(host, &unknown)) || unknown == nullptr) {
    Print(L"the control could not be created: is ORVANE.OCX registered for this width?");
    DestroyWindow(frame);
    return 1;
  }
  IDispatch* control = nullptr;
  unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control));
  Print(std::wstring(L"module width: ") + (sizeof(void*) == 8 ? L"64" : L"32") + L"-bit");

  int failures = 0;
  VARIANT result;
  VARIANT name = Text(catalogue.c_str());
  HRESULT hr = Call(control, L"LoadBooks", DISPATCH_METHOD, &result, {name});
  VariantClear(&name);
  const bool loaded = SUCCEEDED(hr) && V_VT(&result) == VT_BOOL && V_BOOL(&result);
  Print(std::wstring(L"LoadBooks: ") + (loaded ? L"True" : L"False " + HresultText(hr)));
  if (!loaded) ++failures;

  if (position >= 0) {
    hr = Call(control, L"GotoTocPosition", DISPATCH_METHOD, &result,
              {Number(book), Number(position)});
    const bool found = SUCCEEDED(hr) && V_VT(&result) == VT_BOOL && V_BOOL(&result);
    Print(std::wstring(L"GotoTocPosition: ") + (found ? L"True" : L"False"));
    if (!found) ++failures;
    hr = Call(control, L"GetSectionTitle", DISPATCH_METHOD, &result,
              {Number(book), Number(position)});
    if (SUCCEEDED(hr) && V_VT(&result) == VT_BSTR) {
      Print(std::wstring(L"GetSectionTitle: ") + V_BSTR(&result));
    } else {
      Print(L"GetSectionTitle failed: " + HresultText(hr));
      ++failures;
    }
    VariantClear(&result);
  }

  // Colours travel as Longs, the type every late-binding host expects.
  hr = Call(control, L"BackColor", DISPATCH_PROPERTYGET, &result);
  Print(L"BackColor type: " + std::to_wstring(SUCCEEDED(hr) ? V_VT(&result) : -1));

  if (properties) {
    IOleObject* object = nullptr;
    unknown->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object));
    IOleClientSite* site = nullptr;
    if (object) object->GetClientSite(&site);
    UINT_PTR timer = autoClose ? SetTimer(nullptr, 0, 100, &AutoCloseTimer) : 0;
    RECT rect{0, 0, 400, 440};
    // Modal: returns when the frame closes.
    hr =
        object ? object->DoVerb(OLEIVERB_PROPERTIES, nullptr, site, 0, host, &rect) : E_NOINTERFACE;
    if (timer) KillTimer(nullptr, timer);
    Print(L"Properties verb: " + HresultText(hr));
    if (autoClose) Print(L"property frame: " + g_frameCaption);
    if (FAILED(hr) || (autoClose && g_frameCaption.empty())) ++failures;
    if (site) site->Release();
    if (object) object->Release();
  }

  control->Release();
  unknown->Release();
  DestroyWindow(frame);
  return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (FAILED(OleInitialize(nullptr))) return 1;
  int code = Run(argc, argv);
  OleUninitialize();
  return code;
}
