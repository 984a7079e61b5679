// What the script knows as "Host": the container's own services to a test
// script (output, the rows and the selection, real mouse and keyboard
// input, waiting, screenshots and the control's persisted properties).
// A dispatch interface served from a table of names; every argument is
// checked and a failure reaches the script as an error with a description.
#pragma once

#include <oaidl.h>

#include <string>

namespace testcon {

class HostedControl;
class InputDriver;
class MessagePump;

class HostObject final : public IDispatch {
 public:
  HostObject(HostedControl& control, InputDriver& input, MessagePump& pump,
             std::wstring scriptDir);

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
  ~HostObject() = default;

  ULONG m_refs = 1;
  HostedControl& m_control;
  InputDriver& m_input;
  MessagePump& m_pump;
  std::wstring m_scriptDir;
};

}  // namespace testcon
