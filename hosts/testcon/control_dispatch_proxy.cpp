#include "hosts/testcon/control_dispatch_proxy.h"

#include "hosts/testcon/hosted_control.h"

namespace testcon {

IDispatch* ControlDispatchProxy::Target() const { return m_control.Dispatch(); }

std::span<const InterfaceEntry> ControlDispatchProxy::Interfaces() {
  static const InterfaceEntry kTable[] = {
      {&IID_IDispatch, &CastTo<ControlDispatchProxy, IDispatch>}};
  return kTable;
}

STDMETHODIMP ControlDispatchProxy::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  IDispatch* target = Target();
  if (target == nullptr) {
    *count = 0;
    return S_OK;
  }
  return target->GetTypeInfoCount(count);
}

STDMETHODIMP ControlDispatchProxy::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  IDispatch* target = Target();
  return target ? target->GetTypeInfo(index, locale, info) : DISP_E_BADINDEX;
}

STDMETHODIMP ControlDispatchProxy::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                                 LCID locale, DISPID* ids) {
  IDispatch* target = Target();
  if (target == nullptr) {
    if (ids != nullptr)
      for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  return target->GetIDsOfNames(iid, names, count, locale, ids);
}

STDMETHODIMP ControlDispatchProxy::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                          DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                          UINT* argError) {
  IDispatch* target = Target();
  if (target == nullptr) {
    if (exception != nullptr) {
      *exception = EXCEPINFO{};
      exception->scode = E_UNEXPECTED;
      exception->bstrSource = SysAllocString(L"Orvane");
      exception->bstrDescription =
          SysAllocString(L"the control is not there: it could not be created");
    }
    return DISP_E_EXCEPTION;
  }
  // The control may be replaced by a call it makes back into the script.
  target->AddRef();
  HRESULT hr = target->Invoke(id, iid, locale, flags, params, result, exception, argError);
  target->Release();
  return hr;
}

}  // namespace testcon
