// LoadFromTextFile on arbitrary bytes, then openings and closings.
#include "tests/native/test_support.h"

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  test::CoreFixture f;
  f.files.Put("t.txt", std::vector<uint8_t>(data, data + size));
  f.core.LoadFromTextFile("t.txt");
  for (size_t i = 0; i < 16 && f.rows.Count() > 0; ++i) {
    uint8_t pick = size ? data[i % size] : 0;
    f.core.View().ToggleNode(static_cast<int16_t>(pick % f.rows.Count()));
  }
  f.core.View().SetSelectedNode(f.rows.NodeOf(0));
  f.core.View().ChangeStateSelected();
  (void)f.core.View().ActiveCategory();
  return 0;
}
