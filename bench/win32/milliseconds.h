// The clock of the timing programs run under Wine.
#pragma once

#include <windows.h>

namespace orvane::bench {

// Milliseconds from the performance counter, for differences only.
inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace orvane::bench
