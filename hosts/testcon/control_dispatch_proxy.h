// What the script knows as "Orvane": a dispatch interface that forwards
// every call to the control hosted at that moment, so that a script keeps
// talking to the control after Host.Recreate has replaced it.
#pragma once

#include <oaidl.h>

#include <span>

#include "hosts/testcon/com_support.h"

namespace testcon {

class HostedControl;

class ControlDispatchProxy final : public ComBase<ControlDispatchProxy, IDispatch> {
 public:
  explicit ControlDispatchProxy(const HostedControl& control) : m_control(control) {}

  static std::span<const InterfaceEntry> Interfaces();
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  ~ControlDispatchProxy() = default;
  IDispatch* Target() const;

  const HostedControl& m_control;
};

}  // namespace testcon
