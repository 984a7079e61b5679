// Guarded: the guard of a COM method's body. It lives below the control's
// framework so that every COM object of the module uses it, also those of
// the input and accessibility code (control/framework/com_base.h gives it
// to the rest).
#pragma once

#include <windows.h>

#include <new>

#include "platform/portable/boundary_guard.h"

namespace orvane {

// Runs the body of a COM method so that no exception leaves it: running out
// of memory becomes E_OUTOFMEMORY, anything else E_FAIL. Boundaries that
// return something other than an HRESULT use GuardedValue and GuardedCall
// (platform/portable/boundary_guard.h).
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace orvane
