// Find over the benchmark library (5,000 books, 1,000,000 sections) beside
// its floors measured in the same run: visiting every title once, and
// reading the same files bare; FindNext into an unread book beside that
// book's read; a type-ahead keystroke over 31,000 rows beside a plain pass
// over them.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/bench_library.h"
#include "core/orvane_core.h"
#include "loading/cp1256.h"
#include "loading/title_folding.h"
#include "platform/portable/gap_row_list.h"
#include "platform/portable/ini_profile_source.h"
#include "platform/portable/posix_file_system.h"
#include "platform/portable/recording_hover_timer.h"

namespace orvane {
namespace {

std::filesystem::path LibraryDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = std::filesystem::temp_directory_path() / "orvane-bench-library";
    bench::WriteBenchLibrary(d, "");
    return d;
  }();
  return dir;
}

std::string Cp(const char* utf8) {
  std::string out;
  Utf8ToCp1256(utf8, out);
  return out;
}

// Queries that match nothing in the library: one with a letter no title
// holds, one whose every letter is in every book (so each title is read).
std::string NoMatchQuery(int64_t which) { return Cp(which == 0 ? "الصيام" : "باب الأذان"); }

struct LoadedLibrary {
  PosixFileSystem files{{}, "/"};
  IniProfileSource profile{files};
  GapRowList rows;
  RecordingHoverTimer timer;
  OrvaneCore core{rows, profile, files, timer};
  explicit LoadedLibrary(bool readAll) {
    core.LoadBooks((LibraryDir() / "LIB").string());
    if (!readAll) return;
    for (int16_t b = 1; b <= core.Outline().BookCount(); ++b) core.Outline().EnsureBookRead(b);
  }
};

int64_t CountNodes(const NodeList& list) {
  int64_t n = 0;
  for (const OutlineNode* node : list) n += 1 + CountNodes(node->m_children);
  return n;
}

void BM_FindNothingEveryBookRead(benchmark::State& state) {
  LoadedLibrary lib(true);
  const FoldedQuery query(NoMatchQuery(state.range(0)));
  const int64_t before = CountNodes(lib.core.Outline().RootList());
  size_t found = 0;
  for (auto _ : state) found += lib.core.Search().FindAll(query, 100000).size();
  const int64_t after = CountNodes(lib.core.Outline().RootList());
  if (found != 0) state.SkipWithError("the query matched");
  state.counters["nodes"] = static_cast<double>(before);
  state.counters["nodes_made"] = static_cast<double>(after - before);
  state.SetLabel(state.range(0) == 0 ? "a letter no title holds" : "every letter in every book");
}
BENCHMARK(BM_FindNothingEveryBookRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The floor: every node visited in outline order and every byte of its
// title read, with nothing folded or compared.
void TouchTitles(const NodeList& list, uint64_t& sum) {
  for (const OutlineNode* node : list) {
    const uint8_t* t = node->Title();
    for (uint32_t i = 0, n = node->TitleLength(); i < n && t[i] != 0; ++i) sum += t[i];
    TouchTitles(node->m_children, sum);
  }
}

void BM_FloorVisitEveryTitle(benchmark::State& state) {
  LoadedLibrary lib(true);
  for (auto _ : state) {
    uint64_t sum = 0;
    TouchTitles(lib.core.Outline().RootList(), sum);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_FloorVisitEveryTitle)->Unit(benchmark::kMillisecond);

// The other floor: every title of the leading regions read where it lies in
// its book's buffer, record after record.
void BM_FloorReadEveryTitleWhereItLies(benchmark::State& state) {
  LoadedLibrary lib(true);
  const BookShelf& shelf = lib.core.Outline().Shelf();
  for (auto _ : state) {
    uint64_t sum = 0;
    for (int16_t b = 1; b <= shelf.Count(); ++b) {
      const uint8_t* buffer = shelf.Buffer(b);
      for (uint32_t pos = kTocHeaderSize, end = shelf.ParsedEnd(b);
           pos < end && RecordFits(buffer, end, pos); pos += ReadU16(buffer + pos)) {
        const uint8_t* t = buffer + pos + kRecordHeaderSize;
        for (uint32_t i = 0, n = ReadU16(buffer + pos) - kRecordHeaderSize; i < n && t[i]; ++i) {
          sum += t[i];
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_FloorReadEveryTitleWhereItLies)->Unit(benchmark::kMillisecond);

// The first Find of a library just loaded reads every book on the way.
void BM_FirstFindOfAFreshLibrary(benchmark::State& state) {
  const FoldedQuery query(NoMatchQuery(1));
  for (auto _ : state) {
    state.PauseTiming();
    auto lib = std::make_unique<LoadedLibrary>(false);
    state.ResumeTiming();
    benchmark::DoNotOptimize(lib->core.Search().FindAll(query, 100000).size());
    state.PauseTiming();
    lib.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstFindOfAFreshLibrary)->Unit(benchmark::kMillisecond)->Iterations(5);

// Its floor: opening and reading every book's file whole, nothing else.
void BM_FloorReadSameFilesBare(benchmark::State& state) {
  std::vector<std::string> paths;
  for (auto& e : std::filesystem::directory_iterator(LibraryDir() / "books")) {
    paths.push_back(e.path().string());
  }
  PosixFileSystem files({}, "/");
  for (auto _ : state) {
    uint64_t total = 0;
    for (const std::string& path : paths) {
      auto file = files.OpenRead(path, Share::Read);
      std::unique_ptr<uint8_t[]> bytes;
      uint32_t length = 0;
      if (file && ReadWholeFile(*file, bytes, length, 2)) total += length;
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_FloorReadSameFilesBare)->Unit(benchmark::kMillisecond)->Iterations(5);

// FindNext from the last section of a book to the first match of the next,
// unread book (Arg 0), beside reading that book alone (Arg 1).
void BM_FindNextIntoAnUnreadBook(benchmark::State& state) {
  const bool alone = state.range(0) == 1;
  const FoldedQuery query(Cp("الاذان"));
  auto lib = std::make_unique<LoadedLibrary>(false);
  int16_t book = 1;
  for (auto _ : state) {
    state.PauseTiming();
    // A fresh library now and then: the opened books' rows would fill the
    // list, where opening one more first closes others.
    if (book % 200 == 0) {
      lib = std::make_unique<LoadedLibrary>(false);
      book = 1;
    }
    Library& library = lib->core.Outline();
    library.EnsureBookRead(book);
    OutlineNode* last = library.BookNode(book)->m_children.Last()->m_children.Last();
    lib->core.View().SelectNode(last);
    state.ResumeTiming();
    if (alone) {
      library.EnsureBookRead(book + 1);
    } else if (!lib->core.View().FindAndShow(query, false) ||
               lib->core.View().SelectedNode()->m_bookNumber != book + 1) {
      state.SkipWithError("the next book's match was not found");
      break;
    }
    ++book;
  }
  state.SetLabel(alone ? "the book's read alone" : "FindNext");
}
BENCHMARK(BM_FindNextIntoAnUnreadBook)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A type-ahead keystroke with a prefix no row begins, over 31,000 rows.
struct ManyRows : LoadedLibrary {
  ManyRows() : LoadedLibrary(false) {
    RowView& view = core.View();
    view.SetApplyCheck(true);  // every category open, every book a row
    for (int32_t r = 0; rows.Count() < 31000 && r < rows.Count(); ++r) {
      if (core.Outline().IsBook(rows.NodeOf(r))) r += view.ToggleNode(static_cast<int16_t>(r));
    }
    rows.SetSelection(0);
  }
};

void BM_TypeAheadOver31000Rows(benchmark::State& state) {
  ManyRows lib;
  const FoldedQuery prefix(Cp("فصل في الز"));
  int32_t row = 0;
  for (auto _ : state) row = lib.core.View().TypeAheadRow(prefix);
  if (row != -1) state.SkipWithError("the prefix began a row");
  state.counters["rows"] = lib.rows.Count();
}
BENCHMARK(BM_TypeAheadOver31000Rows)->Unit(benchmark::kMicrosecond);

// Its floor: each row's node and the first byte of its title, once.
void BM_FloorPassOver31000Rows(benchmark::State& state) {
  ManyRows lib;
  for (auto _ : state) {
    uint64_t sum = 0;
    for (int32_t r = 0; r < lib.rows.Count(); ++r) sum += lib.rows.NodeOf(r)->Title()[0];
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_FloorPassOver31000Rows)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvane
