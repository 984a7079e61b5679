// The guard every boundary of the modules runs its body in: a window,
// subclass, timer or hook procedure, an export, or (through Guarded in
// control/framework/com_base.h) a COM method. No C++ exception may leave
// one: the 32-bit build cannot unwind through the system's frames, and the
// host could do nothing sound with one anyway. scripts/check-guards finds a
// boundary that does not use one of these.
#pragma once

#include <new>
#include <utility>

namespace orvane {

// Runs `body` and returns what it returns; an exception gives `onFailure`
// instead: the boundary's documented failure value (FALSE, 0, -1, "").
template <class Result, class Body>
Result GuardedValue(Result onFailure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return onFailure;
  }
}

// The same for a boundary that returns nothing: an exception ends the body
// and is dropped; the body's own scopes restore what it changed.
template <class Body>
void GuardedCall(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
  }
}

}  // namespace orvane
