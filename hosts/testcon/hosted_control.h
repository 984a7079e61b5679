// One control embedded in the frame: created by class through COM, its
// persisted properties loaded or initialised, in-place activated over the
// frame's client area, and torn down again; the last saved properties are
// kept so that the control can be made anew from them.
#pragma once

#include <ocidl.h>

#include <memory>
#include <string>

#include "hosts/testcon/com_support.h"
#include "hosts/testcon/control_site.h"
#include "hosts/testcon/property_store.h"

namespace testcon {

class HostedControl {
 public:
  // `userMode` is the ambient UserMode its site answers.
  HostedControl(HWND frame, SIZE size, const CLSID& clsid, bool userMode = true);
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  // Creates and activates the control, loading `properties` when given;
  // on failure `error` says which step failed.
  HRESULT Create(const PropertyStore* properties, std::wstring& error);
  // Deactivates, disconnects and releases the control.
  void Destroy();
  // Destroy, then Create from the last saved properties (the current ones
  // when none were ever saved or loaded).
  HRESULT Recreate(std::wstring& error);

  // The control's persisted properties, through its IPersistPropertyBag;
  // what is saved or loaded becomes the last saved properties.
  HRESULT SaveProperties(PropertyStore& out);
  HRESULT LoadProperties(const PropertyStore& properties);

  // The object whose events go to `sink` (an IDispatch that also answers
  // the control's event interface), now and after every re-creation.
  void SetEventSink(IDispatch* sink);
  // The control's default source interface, from its class information.
  const IID& EventIid() const { return m_eventIid; }

  IUnknown* Object() const { return m_object.Get(); }
  IDispatch* Dispatch() const { return m_dispatch.Get(); }
  // The control's own window (the list box), or null when not active.
  HWND Window() const;
  IOleInPlaceActiveObject* ActiveObject() const;

 private:
  void Advise();
  void Unadvise();

  HWND m_frame;
  SIZE m_size;
  CLSID m_clsid;
  bool m_userMode;
  ControlSite* m_site = nullptr;
  ComPtr<IOleObject> m_object;
  ComPtr<IDispatch> m_dispatch;
  ComPtr<IDispatch> m_eventSink;
  IID m_eventIid = IID_NULL;
  DWORD m_adviseCookie = 0;
  ComPtr<IConnectionPoint> m_eventPoint;
  std::unique_ptr<PropertyStore> m_lastSaved;
};

}  // namespace testcon
