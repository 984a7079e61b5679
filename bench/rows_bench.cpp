// The row view: opening and closing a large category, and jumping deep.
#include <benchmark/benchmark.h>

#include <functional>

#include "loading/toc_writer.h"
#include "rows/row_events.h"
#include "tests/native/test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;

// Category 1 holds 30,000 books, category 2 1,000 more.
void LoadBigCatalogue(CoreFixture& f) {
  f.Catalogue("big",
              {std::vector<std::string>(30000, "none"), std::vector<std::string>(1000, "none")});
  f.core.LoadBooks("big");
}

// The control's screen-reader events stand-in: counts what it is told.
struct CountingRowEvents : RowEvents {
  void RowStateChanged(int32_t) override { ++changes; }
  void RowsReordered() override {}
  int64_t changes = 0;
};

// Category 2 is open with its 1,000 books below category 1.
void BM_OpenCloseCategoryOf30000Books(benchmark::State& state) {
  CoreFixture f;
  LoadBigCatalogue(f);
  f.core.View().ToggleNode(1);
  for (auto _ : state) {
    int32_t opened = f.core.View().ToggleNode(0);
    int32_t closed = f.core.View().ToggleNode(0);
    if (opened != 30000 || closed != 30000) state.SkipWithError("wrong row counts");
  }
  state.counters["rows_below"] = 1001;
}
BENCHMARK(BM_OpenCloseCategoryOf30000Books)->Unit(benchmark::kMillisecond);

// Checking the last book of a 31,000-row list: with a row observer (the
// control's screen-reader events) the core finds the book's and category's
// rows; without one it does not look. Argument 1: observed.
void BM_CheckLastBookOf31000Rows(benchmark::State& state) {
  CountingRowEvents events;
  CoreFixture f;
  LoadBigCatalogue(f);
  f.core.Checks().StoreApplyCheck(true);
  f.core.View().ToggleNode(1);
  f.core.View().ToggleNode(0);
  if (state.range(0) != 0) f.core.View().SetRowEvents(&events);
  f.core.View().SetSelectedNode(f.rows.NodeOf(f.rows.Count() - 1));
  for (auto _ : state) f.core.View().ChangeStateSelected();
  state.counters["rows"] = f.rows.Count();
  state.counters["events"] = static_cast<double>(events.changes);
}
BENCHMARK(BM_CheckLastBookOf31000Rows)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A host setting the state of each of 30,000 shown books in turn, with the
// row observer attached or not (argument 1: observed).
void BM_SetStateOf30000ShownBooks(benchmark::State& state) {
  CountingRowEvents events;
  CoreFixture f;
  LoadBigCatalogue(f);
  f.core.View().SetApplyCheck(true);
  if (state.range(0) != 0) f.core.View().SetRowEvents(&events);
  bool checked = false;
  for (auto _ : state) {
    for (int16_t b = 1; b <= 30000; ++b) f.core.Checks().SetStateBook(b, checked);
    checked = !checked;
  }
  state.counters["rows"] = f.rows.Count();
  state.counters["events"] = static_cast<double>(events.changes);
}
BENCHMARK(BM_SetStateOf30000ShownBooks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A book five levels deep: 8 sections at each level under each section of
// the level above; the jump goes to the last section of the deepest level.
void BM_GotoTocPositionFiveLevelsDeep(benchmark::State& state) {
  std::function<void(std::vector<TocSection>&, int, int32_t&)> fill =
      [&](std::vector<TocSection>& level, int depth, int32_t& filePos) {
        level.resize(8);
        for (auto& s : level) {
          s.title = "section";
          s.filePos = filePos++;
          if (depth < 5) fill(s.children, depth + 1, filePos);
        }
      };
  std::vector<TocSection> top;
  int32_t filePos = 0;
  fill(top, 1, filePos);
  std::vector<uint8_t> bytes;
  std::string error;
  WriteToc(top, {}, bytes, error);

  CoreFixture f;
  f.Catalogue("lib", {{"other", "deep"}});
  f.files.Put("lib\\deep.TOC", bytes);
  f.core.LoadBooks("lib");
  f.core.Outline().EnsureBookRead(2);
  // The target is the last record of the file: the deepest group's last member.
  const OutlineNode* node = f.core.Outline().BookNode(2);
  while (!node->m_children.Empty()) node = node->m_children.Last();
  int32_t target = static_cast<int32_t>(node->Record() - f.core.Outline().Shelf().Buffer(2));
  for (auto _ : state) {
    if (!f.core.View().GotoTocPosition(2, target)) state.SkipWithError("not found");
    state.PauseTiming();
    // Close everything again, so that every jump opens five levels.
    std::function<void(OutlineNode&)> close = [&](OutlineNode& n) {
      n.m_expanded = 0;
      for (OutlineNode* c : n.m_children) close(*c);
    };
    close(*NodeAt(f.core.Outline().RootList(), 1));
    f.rows.Clear();
    f.rows.Append(NodeAt(f.core.Outline().RootList(), 1));
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GotoTocPositionFiveLevelsDeep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvane
