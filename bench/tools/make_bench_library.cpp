// Writes the benchmarks' library for timing under Wine:
//   make_bench_library DIR WINDOWS-PATH-OF-DIR\books
#include <cstdio>

#include "bench/bench_library.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_bench_library DIR BOOKS-DIR-AS-WINDOWS-SEES-IT\n");
    return 2;
  }
  orvane::bench::WriteBenchLibrary(argv[1], argv[2]);
  return 0;
}
