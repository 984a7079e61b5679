#include "bench/alloc_counter.h"

#include <malloc.h>

namespace orvane::bench {
namespace {
size_t g_start = 0;
size_t g_bytes = 0;

// Bytes the allocator has handed out, its own chunk headers and slack
// included, whether from the heap or from separate mappings.
size_t InUse() {
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}
}  // namespace

void AllocCounter::Start() {
  g_start = InUse();
  g_bytes = 0;
}
void AllocCounter::Stop() { g_bytes = InUse() - g_start; }
size_t AllocCounter::Bytes() { return g_bytes; }
}  // namespace orvane::bench
