// Measures the heap a piece of work leaves allocated (allocator overhead
// included), so that benchmarks can report memory per node.
#pragma once

#include <cstddef>

namespace orvane::bench {

struct AllocCounter {
  static void Start();
  static void Stop();
  static size_t Bytes();
};

}  // namespace orvane::bench
