// Timing under Wine: ParseToc of a million records, and the heap's share.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench/win32/milliseconds.h"
#include "loading/toc_reader.h"
#include "loading/toc_writer.h"

using orvane::bench::Now;

int main() {
  std::vector<orvane::TocSection> top(1000);
  for (auto& s : top) {
    s.title = "\xC7\xE1\xC8\xC7\xC8";
    s.children.resize(999);
    for (auto& c : s.children) c.title = "\xDD\xD5\xE1 \xDD\xED";
  }
  std::vector<uint8_t> bytes;
  std::string error;
  orvane::WriteToc(top, {}, bytes, error);
  for (int i = 0; i < 3; ++i) {
    std::vector<uint8_t> buffer(bytes);
    buffer.resize(bytes.size() + 2);
    auto book = orvane::OutlineNode::FromText("b");
    double t0 = Now();
    orvane::ParseToc(*book, buffer.data(), static_cast<uint32_t>(bytes.size()), 1);
    double t1 = Now();
    book.reset();
    double t2 = Now();
    std::printf("ParseToc 1,000,000 records: %.1f ms; freeing them: %.1f ms\n", t1 - t0, t2 - t1);
  }
  double t0 = Now();
  std::vector<void*> blocks(1000000);
  for (auto& b : blocks) b = operator new(72);
  double t1 = Now();
  for (auto& b : blocks) operator delete(b);
  double t2 = Now();
  std::printf("1,000,000 heap blocks of 72 bytes: %.1f ms to allocate, %.1f ms to free\n", t1 - t0,
              t2 - t1);
  return 0;
}
