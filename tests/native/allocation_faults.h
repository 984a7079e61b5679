// Failing allocations on purpose: the test program replaces the global
// operator new so that, while armed, the Nth allocation from arming fails
// (a throwing new throws std::bad_alloc, a nothrow one returns null).
#pragma once

#include <cstdint>

namespace orvane::test {

// Counts allocations from now on and fails the `nth` (1-based; 0 fails none).
void ArmAllocationFault(int64_t nth);
// Stops counting and failing; returns how many allocations were counted.
int64_t DisarmAllocationFaults();
// Whether the armed fault has happened since arming.
bool AllocationFaultHappened();

// Arms for a scope and disarms however it ends.
class AllocationFaultScope {
 public:
  explicit AllocationFaultScope(int64_t nth) { ArmAllocationFault(nth); }
  ~AllocationFaultScope() { counted = DisarmAllocationFaults(); }
  AllocationFaultScope(const AllocationFaultScope&) = delete;
  AllocationFaultScope& operator=(const AllocationFaultScope&) = delete;
  int64_t counted = 0;
};

}  // namespace orvane::test
