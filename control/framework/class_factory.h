// The class factory of one creatable class, and the module's list of them.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <array>
#include <new>
#include <span>

#include "control/framework/com_base.h"

namespace orvane {

// What the module knows of a creatable class: its GUID, how to make one and
// how to enter it in the registry and take it out again.
struct ClassDescription {
  const CLSID* clsid;
  // A new object with one reference, or null when out of memory.
  IUnknown* (*create)();
  HRESULT (*registerClass)();
  HRESULT (*unregisterClass)();
};

template <class T>
IUnknown* CreateInstanceOf() {
  T* object = new (std::nothrow) T();
  return object ? object->Identity() : nullptr;
}

class ClassFactory : public ComBase<ClassFactory, IClassFactory> {
 public:
  explicit ClassFactory(const ClassDescription& description) : m_description(description) {}

  static std::span<const InterfaceEntry> Interfaces() {
    static constexpr InterfaceEntry kTable[] = {
        {&IID_IClassFactory, &CastTo<ClassFactory, IClassFactory>}};
    return kTable;
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    return Guarded([&]() -> HRESULT {
      if (out == nullptr) return E_POINTER;
      *out = nullptr;
      if (outer != nullptr) return CLASS_E_NOAGGREGATION;
      IUnknown* object = m_description.create();
      if (object == nullptr) return E_OUTOFMEMORY;
      HRESULT hr = object->QueryInterface(iid, out);
      object->Release();
      return hr;
    });
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    return Guarded([&]() -> HRESULT {
      ComModule::Lock(lock != FALSE);
      return S_OK;
    });
  }

 private:
  const ClassDescription& m_description;
};

// DllGetClassObject's lookup among the module's classes.
inline HRESULT GetClassObjectFrom(std::span<const ClassDescription> classes, REFCLSID clsid,
                                  REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  for (const ClassDescription& description : classes) {
    if (IsEqualCLSID(clsid, *description.clsid)) {
      ClassFactory* factory = new (std::nothrow) ClassFactory(description);
      if (factory == nullptr) return E_OUTOFMEMORY;
      HRESULT hr = factory->QueryInterface(iid, out);
      factory->Release();
      return hr;
    }
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace orvane
