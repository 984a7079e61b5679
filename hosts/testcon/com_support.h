// The container's COM plumbing: reference counting, QueryInterface tables,
// owning interface pointers and scoped VARIANTs and BSTRs come from the
// control framework's COM base, so that the container's objects count and
// answer as the control's do.
#pragma once

#include <objbase.h>

#include "control/framework/com_base.h"

namespace testcon {

using orvane::CastTo;
using orvane::ComBase;
using orvane::ComPtr;
using orvane::InterfaceEntry;
using orvane::ScopedBstr;
using orvane::ScopedVariant;

// The slot of `pointer` as a QueryInterface or creation call's `void**`
// out-parameter; what it held is released first.
template <class I>
void** OutSlot(ComPtr<I>& pointer) {
  return reinterpret_cast<void**>(pointer.Receive());
}

}  // namespace testcon
