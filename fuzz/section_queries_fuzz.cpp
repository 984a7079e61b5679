// Section queries and GotoTocPosition with arbitrary BookNumber and TocPos on
// a book whose TOC file is fuzzed too.
#include "fuzz/fuzz_input.h"
#include "tests/native/test_support.h"

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  test::CoreFixture f;
  f.Catalogue("lib", {{"a", "b"}});
  f.Book("b", test::TocBytes(0));
  std::vector<uint8_t> toc = in.TakeBytes(4096);
  f.files.Put("lib\\a.TOC", toc);
  f.core.LoadBooks("lib");
  for (int i = 0; i < 8 && !in.Empty(); ++i) {
    int16_t book = static_cast<int16_t>(in.Take<uint8_t>() % 5 - 1);
    int32_t pos = in.Take<int32_t>();
    if (in.Take<uint8_t>() & 1)
      pos = static_cast<int32_t>(static_cast<uint32_t>(pos) % (toc.size() + 40));
    (void)f.core.Queries().GetSectionTitle(book, pos);
    (void)f.core.Queries().GetParentPos(book, pos);
    (void)f.core.Queries().TocToFilePos(book, pos);
    f.core.Queries().SetTocFile(std::to_string(book));
    f.core.Queries().LoadFromTocFile(std::to_string(pos));
    f.core.View().GotoTocPosition(book, pos);
    (void)f.core.View().ActiveBook();
    (void)f.core.View().ActiveCategory();
  }
  return 0;
}
