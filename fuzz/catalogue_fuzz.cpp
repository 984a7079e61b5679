// The portable profile reader and LoadBooks on an arbitrary catalogue text
// with arbitrary TOC files behind it, then a few openings and queries.
#include "fuzz/fuzz_input.h"
#include "platform/portable/ini_profile_source.h"
#include "tests/native/test_support.h"

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  test::MemoryFileSystem files;
  files.Put("cat.INI", in.TakeBytes(4096));
  // Up to four books, named as the catalogue most likely names them.
  for (const char* name : {"lib\\a.TOC", "lib\\b.TOC", "\\a.TOC", "lib\\1.TOC"}) {
    if (!in.Empty()) files.Put(name, in.TakeBytes(2048));
  }
  IniProfileSource profile(files);
  GapRowList rows;
  RecordingHoverTimer timer;
  OrvaneCore core(rows, profile, files, timer);
  core.LoadBooks("cat");
  for (int i = 0; i < 8 && rows.Count() > 0; ++i) {
    core.View().ToggleNode(static_cast<int16_t>(in.Take<uint16_t>() % rows.Count()));
  }
  core.Checks().SetStateBook(in.Take<int16_t>(), in.Take<uint8_t>() & 1);
  core.View().SetApplyCheck(in.Take<uint8_t>() & 1);
  core.View().RefreshPendingRows();
  core.View().GotoTocPosition(in.Take<int16_t>(), in.Take<int32_t>());
  return 0;
}
