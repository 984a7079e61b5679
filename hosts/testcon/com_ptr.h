// A minimal owning pointer for COM interfaces, so that every early return in
// the container releases what it holds.
#pragma once

#include <objbase.h>

#include <utility>

namespace testcon {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* p, bool addRef = true) : m_p(p) {
    if (m_p && addRef) m_p->AddRef();
  }
  ComPtr(const ComPtr& other) : m_p(other.m_p) {
    if (m_p) m_p->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(m_p, other.m_p);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (T* p = std::exchange(m_p, nullptr)) p->Release();
  }
  // Releases what is held and hands out the slot for an out-parameter.
  T** Receive() {
    Reset();
    return &m_p;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
  T* Get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }

  template <class U>
  ComPtr<U> As(const IID& iid) const {
    ComPtr<U> out;
    if (m_p) m_p->QueryInterface(iid, out.ReceiveVoid());
    return out;
  }

 private:
  T* m_p = nullptr;
};

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

}  // namespace testcon
