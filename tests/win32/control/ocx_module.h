// ORVANE.OCX as the tests use it: loaded from the build tree the way a host
// loads an in-process server, with its objects made through its own class
// factories.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>

#include "control/framework/com_base.h"
#include "orvane_h.h"
#include "resources/orvane_dispids.h"

namespace orvane::test {

// The loaded module; null when it could not be loaded.
HMODULE OcxModule();
std::wstring OcxPath();

// A new object of `clsid` from the module's DllGetClassObject.
HRESULT CreateFromOcx(REFCLSID clsid, REFIID iid, void** out);

// A new control, initialised as a new one (IPersistStreamInit::InitNew).
ComPtr<IOrvaneAutomation> NewControl();

// Registers the module in the prefix's registry (DllRegisterServer).
HRESULT RegisterOcx();

// tests/data/control of the source tree, as a Windows path.
std::wstring DataFolder();

// A folder of the test run's own, and a catalogue in it that names the
// committed TOC files of tests/data/control; returns the topic name.
std::wstring TempFolder();
std::wstring WriteTestCatalogue(const std::wstring& name);

// Calls a member by DISPID through IDispatch::Invoke, as a host binding by
// identifier does. `args` in call order.
HRESULT InvokeById(IDispatch* dispatch, DISPID id, WORD flags, std::initializer_list<VARIANT> args,
                   VARIANT* result = nullptr, EXCEPINFO* exception = nullptr);

// A Long variant, as a script host passes an integer.
inline VARIANT LongVariant(LONG value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

// A BSTR that frees itself.
class Bstr {
 public:
  explicit Bstr(const wchar_t* text = L"") : m_text(SysAllocString(text)) {}
  explicit Bstr(const std::wstring& text)
      : m_text(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  ~Bstr() { SysFreeString(m_text); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR Get() const { return m_text; }
  BSTR* Receive() {
    SysFreeString(m_text);
    m_text = nullptr;
    return &m_text;
  }
  std::wstring Text() const { return m_text ? std::wstring(m_text, SysStringLen(m_text)) : L""; }

 private:
  BSTR m_text;
};

}  // namespace orvane::test
