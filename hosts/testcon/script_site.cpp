#include "hosts/testcon/script_site.h"

namespace testcon {

std::span<const InterfaceEntry> ScriptSite::Interfaces() {
  using T = ScriptSite;
  static const InterfaceEntry kTable[] = {
      {&IID_IActiveScriptSite, &CastTo<T, IActiveScriptSite>},
      {&IID_IActiveScriptSiteWindow, &CastTo<T, IActiveScriptSiteWindow>}};
  return kTable;
}

STDMETHODIMP ScriptSite::GetLCID(LCID* locale) {
  if (locale == nullptr) return E_POINTER;
  *locale = GetUserDefaultLCID();
  return S_OK;
}

STDMETHODIMP ScriptSite::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                     ITypeInfo** info) {
  if (name == nullptr) return E_INVALIDARG;
  if ((mask & SCRIPTINFO_IUNKNOWN) && item == nullptr) return E_POINTER;
  if ((mask & SCRIPTINFO_ITYPEINFO) && info == nullptr) return E_POINTER;
  if (item) *item = nullptr;
  if (info) *info = nullptr;
  for (auto& [itemName, object] : m_items) {
    if (CompareStringOrdinal(itemName.c_str(), -1, name, -1, TRUE) != CSTR_EQUAL) continue;
    if (mask & SCRIPTINFO_IUNKNOWN) {
      *item = object.Get();
      (*item)->AddRef();
    }
    if (mask & SCRIPTINFO_ITYPEINFO) {
      ComPtr<IDispatch> dispatch = object.As<IDispatch>(IID_IDispatch);
      UINT count = 0;
      if (dispatch && SUCCEEDED(dispatch->GetTypeInfoCount(&count)) && count > 0)
        dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info);
    }
    return S_OK;
  }
  return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP ScriptSite::GetDocVersionString(BSTR* version) {
  if (version) *version = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ScriptSite::OnScriptTerminate(const VARIANT*, const EXCEPINFO*) { return S_OK; }
STDMETHODIMP ScriptSite::OnStateChange(SCRIPTSTATE) { return S_OK; }

STDMETHODIMP ScriptSite::OnScriptError(IActiveScriptError* error) {
  if (error == nullptr) return E_POINTER;
  EXCEPINFO exception{};
  error->GetExceptionInfo(&exception);
  DWORD context = 0;
  ULONG line = 0;
  LONG column = 0;
  bool positioned = SUCCEEDED(error->GetSourcePosition(&context, &line, &column));
  try {
    std::wstring text = DescribeException(exception.scode ? exception.scode : E_FAIL, &exception);
    m_errors.Report(positioned ? line + 1 : 0, positioned ? static_cast<unsigned>(column) + 1 : 0,
                    text);
  } catch (...) {
    m_errors.Report(0, 0, L"");  // out of memory: still a failed run
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return S_OK;
}

STDMETHODIMP ScriptSite::OnEnterScript() { return S_OK; }
STDMETHODIMP ScriptSite::OnLeaveScript() { return S_OK; }

STDMETHODIMP ScriptSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = m_window;
  return S_OK;
}

STDMETHODIMP ScriptSite::EnableModeless(BOOL) { return S_OK; }

}  // namespace testcon
