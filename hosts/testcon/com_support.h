// The container's COM plumbing: reference counting, QueryInterface tables
// and owning interface pointers come from the control framework's COM base,
// so that the container's objects count and answer as the control's do; the
// scoped VARIANT and BSTR are the container's own.
#pragma once

#include <objbase.h>

#include "control/framework/com_base.h"

namespace testcon {

using orvane::CastTo;
using orvane::ComBase;
using orvane::ComPtr;
using orvane::InterfaceEntry;

// The slot of `pointer` as a QueryInterface or creation call's `void**`
// out-parameter; what it held is released first.
template <class I>
void** OutSlot(ComPtr<I>& pointer) {
  return reinterpret_cast<void**>(pointer.Receive());
}

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
