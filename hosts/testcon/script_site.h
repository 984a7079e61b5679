// The container as a script engine's site: it hands out the named items
// ("Orvane" and "Host"), the window for the engine's dialogs, and reports
// every script error once on standard error.
#pragma once

#include <activscp.h>

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "hosts/testcon/com_support.h"
#include "hosts/testcon/script_errors.h"

namespace testcon {

class ScriptSite final : public ComBase<ScriptSite, IActiveScriptSite, IActiveScriptSiteWindow> {
 public:
  ScriptSite(HWND window, ScriptErrors& errors) : m_window(window), m_errors(errors) {}

  void AddItem(std::wstring name, IUnknown* object) {
    m_items.emplace_back(std::move(name), ComPtr<IUnknown>(object));
  }

  static std::span<const InterfaceEntry> Interfaces();

  // IActiveScriptSite
  STDMETHODIMP GetLCID(LCID* locale) override;
  STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override;
  STDMETHODIMP GetDocVersionString(BSTR* version) override;
  STDMETHODIMP OnScriptTerminate(const VARIANT* result, const EXCEPINFO* exception) override;
  STDMETHODIMP OnStateChange(SCRIPTSTATE state) override;
  STDMETHODIMP OnScriptError(IActiveScriptError* error) override;
  STDMETHODIMP OnEnterScript() override;
  STDMETHODIMP OnLeaveScript() override;

  // IActiveScriptSiteWindow
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;

 private:
  ~ScriptSite() = default;

  HWND m_window;
  ScriptErrors& m_errors;
  std::vector<std::pair<std::wstring, ComPtr<IUnknown>>> m_items;
};

}  // namespace testcon
