// Reading TOC data: ParseToc over a generated book of a million records, and
// title decoding throughput.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/alloc_counter.h"
#include "loading/toc_reader.h"
#include "loading/toc_writer.h"

namespace orvane {
namespace {

// 1000 top-level sections of 999 children each: 1,000,000 records.
const std::vector<uint8_t>& MillionRecordBook() {
  static const std::vector<uint8_t> bytes = [] {
    std::vector<TocSection> top(1000);
    int32_t filePos = 0;
    for (auto& section : top) {
      section.title = "\xC7\xE1\xC8\xC7\xC8 \xC7\xE1\xC3\xE6\xE1";
      section.filePos = filePos++;
      section.children.resize(999);
      for (auto& child : section.children) {
        child.title = "\xDD\xD5\xE1 \xDD\xED \xC7\xE1\xD5\xE1\xC7\xC9";
        child.filePos = filePos++;
      }
    }
    std::vector<uint8_t> out;
    std::string error;
    WriteToc(top, {}, out, error);
    return out;
  }();
  return bytes;
}

void BM_ParseToc(benchmark::State& state) {
  const std::vector<uint8_t>& file = MillionRecordBook();
  std::vector<uint8_t> buffer(file.size() + 2);
  size_t nodes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(buffer.data(), file.data(), file.size());
    auto book = OutlineNode::FromText("book");
    bench::AllocCounter::Start();
    state.ResumeTiming();
    ParseToc(*book, buffer.data(), static_cast<uint32_t>(file.size()), 1);
    state.PauseTiming();
    bench::AllocCounter::Stop();  // outside the timing: the count walks the heap
    nodes = 1000 + 1000 * 999;
    book.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
  state.counters["ns_per_record"] =
      benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
  // Node slots come from a pool whose chunks the first iteration made and
  // the later ones reuse, so the heap growth counts the child lists only: a
  // node costs its slot plus that.
  state.counters["bytes_per_node"] =
      static_cast<double>(sizeof(OutlineNode)) +
      static_cast<double>(bench::AllocCounter::Bytes()) / static_cast<double>(nodes);
}
BENCHMARK(BM_ParseToc)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DecodeTitle(benchmark::State& state) {
  std::vector<uint8_t> titles(1 << 16);
  for (size_t i = 0; i < titles.size(); ++i) titles[i] = static_cast<uint8_t>(0xC0 + i % 40);
  std::vector<uint8_t> work(titles.size());
  for (auto _ : state) {
    std::memcpy(work.data(), titles.data(), titles.size());
    benchmark::DoNotOptimize(DecodeTitle(work.data(), static_cast<uint32_t>(work.size())));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * titles.size()));
}
BENCHMARK(BM_DecodeTitle);

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
