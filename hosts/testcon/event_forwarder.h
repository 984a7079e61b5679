// Receives the control's events through its connection point and calls the
// script's handler for each, by name: event Click of the item "Orvane"
// calls the script's Orvane_Click. Events the script has no handler for are
// dropped, as a script host drops them.
#pragma once

#include <oaidl.h>
#include <activscp.h>

#include <map>
#include <span>
#include <string>

#include "hosts/testcon/com_support.h"
#include "hosts/testcon/script_errors.h"

namespace testcon {

class EventForwarder final : public ComBase<EventForwarder, IDispatch> {
 public:
  // `eventIid` is the control's event interface, `eventInfo` its type
  // information (may be null: the stock events are known by number).
  EventForwarder(std::wstring itemName, const IID& eventIid, ITypeInfo* eventInfo,
                 ScriptErrors& errors);

  // Handlers are looked up in the script's global dispatch at each event:
  // a script's subs exist only once its code has been run.
  void SetScript(IActiveScript* script) { m_script = ComPtr<IActiveScript>(script); }

  static std::span<const InterfaceEntry> Interfaces();
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  ~EventForwarder() = default;
  // The control's event interface, known only at run time.
  void* QueryExtraInterface(REFIID iid) override;
  std::wstring EventName(DISPID id) const;

  std::wstring m_itemName;
  IID m_eventIid;
  ComPtr<ITypeInfo> m_eventInfo;
  ComPtr<IActiveScript> m_script;
  ScriptErrors& m_errors;
};

// The type information of the default source interface of the object's
// class, or null.
ComPtr<ITypeInfo> EventTypeInfoOf(IUnknown* object);

}  // namespace testcon
