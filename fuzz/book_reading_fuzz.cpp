// Reading books on demand against reading them with the catalogue: a library
// and a run of operations chosen by the input, both cores side by side; any
// difference in what they show or answer is a finding.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "tests/native/book_reading_differential.h"

using namespace orvane;

namespace {

class InputChoices : public test::Choices {
 public:
  InputChoices(const uint8_t* data, size_t size) : m_in(data, size) {}
  uint32_t Below(uint32_t bound) override {
    if (bound <= 1) return 0;
    uint32_t value = bound <= 256 ? m_in.Take<uint8_t>() : m_in.Take<uint16_t>();
    return value % bound;
  }
  std::vector<uint8_t> Bytes(size_t max) override { return m_in.TakeBytes(max); }
  bool Exhausted() const override { return m_in.Empty(); }

 private:
  fuzz::Input m_in;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputChoices choices(data, size);
  test::BookReadingDifferential walk(choices);
  std::string failure = walk.Run(64);
  if (!failure.empty()) {
    std::fprintf(stderr, "on-demand reading differs:\n%s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
