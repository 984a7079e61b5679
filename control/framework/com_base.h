// COM plumbing shared by every object of the module: reference counting and
// QueryInterface answered from a table of the interfaces a class exposes.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <oleauto.h>

#include <new>
#include <span>
#include <utility>

#include "control/framework/com_module.h"
#include "platform/win32/com_guard.h"

namespace orvane {

// One row of a QueryInterface table: an interface and how to reach it from
// the object.
struct InterfaceEntry {
  const IID* iid;
  void* (*cast)(void* object);
};

template <class T, class I>
void* CastTo(void* object) {
  return static_cast<I*>(static_cast<T*>(object));
}

// Looks `iid` up in `table`; IUnknown is answered with the first entry, so
// that every interface of the object gives the same identity.
inline HRESULT QueryFromTable(void* object, std::span<const InterfaceEntry> table, REFIID iid,
                              void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (table.empty()) return E_NOINTERFACE;
  if (IsEqualIID(iid, IID_IUnknown)) {
    *out = table.front().cast(object);
    return S_OK;
  }
  for (const InterfaceEntry& entry : table) {
    if (IsEqualIID(iid, *entry.iid)) {
      *out = entry.cast(object);
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

// Implements IUnknown for `Derived`, which lists its interfaces in a static
// member `Interfaces()` returning a span of InterfaceEntry. Objects start with
// one reference (the creator's) and count towards the module's objects.
template <class Derived, class... Bases>
class ComBase : public Bases... {
 public:
  ComBase() { ComModule::ObjectCreated(); }
  virtual ~ComBase() { ComModule::ObjectDestroyed(); }
  ComBase(const ComBase&) = delete;
  ComBase& operator=(const ComBase&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return Guarded([&]() -> HRESULT {
      HRESULT hr = QueryFromTable(static_cast<Derived*>(this), Derived::Interfaces(), iid, out);
      if (hr == E_NOINTERFACE) {
        if (void* extra = QueryExtraInterface(iid)) {
          *out = extra;
          hr = S_OK;
        }
      }
      if (SUCCEEDED(hr)) static_cast<IUnknown*>(*out)->AddRef();
      return hr;
    });
  }
  // Unguarded: counts references; the destructor it may run allocates nothing.
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  // Unguarded: as AddRef.
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --m_refs;
    if (left == 0) {
      // Guards against a re-entrant release from the destructor.
      m_refs = 1;
      delete this;
    }
    return left;
  }

 protected:
  // Interfaces a derived class answers beyond its table; null for none.
  virtual void* QueryExtraInterface(REFIID) { return nullptr; }

 private:
  ULONG m_refs = 1;
};

// A reference to a COM interface, released when it goes.
template <class I>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(I* p) : m_p(p) {
    if (m_p) m_p->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
  ComPtr(ComPtr&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  ~ComPtr() { Reset(); }
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(m_p, other.m_p);
    return *this;
  }
  // Takes over a reference already counted.
  static ComPtr Adopt(I* p) {
    ComPtr result;
    result.m_p = p;
    return result;
  }
  void Reset() {
    if (m_p) {
      I* p = m_p;
      m_p = nullptr;
      p->Release();
    }
  }
  I* Get() const { return m_p; }
  I* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  // For out-parameters: releases what is held and gives its slot.
  I** Receive() {
    Reset();
    return &m_p;
  }
  // Hands the reference to the caller.
  I* Detach() {
    I* p = m_p;
    m_p = nullptr;
    return p;
  }
  template <class Q>
  ComPtr<Q> As(REFIID iid) const {
    ComPtr<Q> result;
    if (m_p) m_p->QueryInterface(iid, reinterpret_cast<void**>(result.Receive()));
    return result;
  }

 private:
  I* m_p = nullptr;
};

}  // namespace orvane

namespace orvane {

// Guarded, the guard of every COM method's body, is in
// platform/win32/com_guard.h.

// Owns a VARIANT for the length of a scope.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() { VariantInit(&v); }
  ~ScopedVariant() { VariantClear(&v); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

// Owns a BSTR for the length of a scope.
struct ScopedBstr {
  BSTR s = nullptr;
  ScopedBstr() = default;
  explicit ScopedBstr(const wchar_t* text) : s(SysAllocString(text)) {}
  ~ScopedBstr() { SysFreeString(s); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
};

}  // namespace orvane
