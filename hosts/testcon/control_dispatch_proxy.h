// What the script knows as "Orvane": a dispatch interface that forwards
// every call to the control hosted at that moment, so that a script keeps
// talking to the control after Host.Recreate has replaced it.
#pragma once

#include <oaidl.h>

namespace testcon {

class HostedControl;

class ControlDispatchProxy final : public IDispatch {
 public:
  explicit ControlDispatchProxy(const HostedControl& control) : m_control(control) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  ~ControlDispatchProxy() = default;
  IDispatch* Target() const;

  ULONG m_refs = 1;
  const HostedControl& m_control;
};

}  // namespace testcon
