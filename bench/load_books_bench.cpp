// LoadBooks of a generated library of 5,000 books and 1,000,000 sections on
// disk, through the portable file system and profile reader, against reading
// the same files and parsing them alone.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/alloc_counter.h"
#include "bench/bench_library.h"
#include "core/orvane_core.h"
#include "loading/catalogue_loader.h"
#include "loading/toc_reader.h"
#include "platform/portable/gap_row_list.h"
#include "platform/portable/ini_profile_source.h"
#include "platform/portable/posix_file_system.h"
#include "platform/portable/recording_hover_timer.h"

namespace orvane {
namespace {

using bench::kBooksPerCategory;
using bench::kCategories;
using bench::kTopSections;

std::filesystem::path LibraryDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = std::filesystem::temp_directory_path() / "orvane-bench-library";
    bench::WriteBenchLibrary(d, "");
    return d;
  }();
  return dir;
}

// Loads the library reading each book when it is first needed (`reading` 0,
// the control's way) or every book with the catalogue (1, what it did
// before). The on-demand load then reads one book, as a first paint of a
// closed category would not even do.
void BM_LoadBooks5000Books1MSections(benchmark::State& state) {
  std::filesystem::path dir = LibraryDir();
  std::string topic = (dir / "LIB").string();
  const bool withCatalogue = state.range(0) == 1;
  size_t heap = 0;
  for (auto _ : state) {
    PosixFileSystem files({}, "/");
    IniProfileSource profile(files);
    GapRowList rows;
    RecordingHoverTimer timer;
    auto core = std::make_unique<OrvaneCore>(rows, profile, files, timer);
    if (withCatalogue) core->Catalogue().SetBookReading(BookReading::WithCatalogue);
    state.PauseTiming();
    bench::AllocCounter::Start();
    state.ResumeTiming();
    core->LoadBooks(topic);
    state.PauseTiming();
    bench::AllocCounter::Stop();
    heap = bench::AllocCounter::Bytes();
    core->Outline().EnsureBookRead(5000);
    bool loaded = core->Outline().BookCount() == 5000 &&
                  core->Outline().BookNode(5000)->m_children.Count() == kTopSections;
    core.reset();
    state.ResumeTiming();
    if (!loaded) {
      state.SkipWithError("library not loaded");
      break;
    }
  }
  state.SetLabel(withCatalogue ? "every book read with the catalogue" : "books read on demand");
  if (withCatalogue) {
    // Every byte of the load (TOC buffers and child lists) spread over the
    // nodes, plus each node's pooled slot (the pool's chunks are reused from
    // one iteration to the next, so the heap does not show them again).
    double nodes = 5000.0 * 200 + 5000 + kCategories;
    state.counters["bytes_per_node_all"] =
        static_cast<double>(heap) / nodes + static_cast<double>(sizeof(OutlineNode));
  } else {
    state.counters["bytes_per_book"] = static_cast<double>(heap) / 5000.0;
  }
}
BENCHMARK(BM_LoadBooks5000Books1MSections)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The first question about a book not yet read: its file is read and parsed
// then (200 sections), against the same question once it has been.
void BM_FirstQuestionAboutAnUnreadBook(benchmark::State& state) {
  std::string topic = (LibraryDir() / "LIB").string();
  PosixFileSystem files({}, "/");
  IniProfileSource profile(files);
  GapRowList rows;
  RecordingHoverTimer timer;
  OrvaneCore core(rows, profile, files, timer);
  core.LoadBooks(topic);
  const bool unread = state.range(0) == 0;
  int16_t book = 1;
  for (auto _ : state) {
    if (unread && book > core.Outline().BookCount()) {
      state.PauseTiming();
      core.LoadBooks(topic);
      book = 1;
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(core.Queries().TocToFilePos(unread ? book++ : 1, 10));
  }
  state.SetLabel(unread ? "unread book" : "book already read");
}
BENCHMARK(BM_FirstQuestionAboutAnUnreadBook)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The catalogue's share: the values LoadBooks reads, one at a time.
void BM_CatalogueReadsOfLoadBooks(benchmark::State& state) {
  std::string ini = (LibraryDir() / "LIB.INI").string();
  PosixFileSystem files({}, "/");
  IniProfileSource profile(files);
  for (auto _ : state) {
    ProfileBatch batch(profile);  // as LoadBooks reads them
    for (int k = 1; k <= kCategories; ++k) {
      std::string section = "Category" + std::to_string(k);
      for (int j = 1; j <= kBooksPerCategory; ++j) {
        std::string n = std::to_string(j);
        benchmark::DoNotOptimize(profile.GetString(ini, section, "Title" + n, ""));
        benchmark::DoNotOptimize(profile.GetString(ini, section, "Name" + n, ""));
      }
    }
  }
  state.counters["reads"] = 2.0 * kCategories * kBooksPerCategory;
}
BENCHMARK(BM_CatalogueReadsOfLoadBooks)->Unit(benchmark::kMillisecond);

// The floor: read every TOC file whole and parse it, nothing else.
void BM_ReadAndParseSameFilesAlone(benchmark::State& state) {
  std::filesystem::path books = LibraryDir() / "books";
  std::vector<std::string> paths;
  for (auto& e : std::filesystem::directory_iterator(books)) paths.push_back(e.path().string());
  for (auto _ : state) {
    PosixFileSystem files({}, "/");
    NodeList root;
    std::vector<std::unique_ptr<uint8_t[]>> buffers;
    OutlineNode* category = AddChildNode(root, nullptr, "c");
    for (const std::string& path : paths) {
      auto file = files.OpenRead(path, Share::Read);
      std::unique_ptr<uint8_t[]> bytes;
      uint32_t length = 0;
      ReadWholeFile(*file, bytes, length, 2);
      OutlineNode* book = AddChildNode(root, category, "b");
      ParseToc(*book, bytes.get(), length, 1);
      buffers.push_back(std::move(bytes));
    }
    state.PauseTiming();
    root.Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReadAndParseSameFilesAlone)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace orvane
