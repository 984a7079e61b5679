// LoadBooks of a generated library of 5,000 books and 1,000,000 sections on
// disk, through the portable file system and profile reader, against reading
// the same files and parsing them alone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench/alloc_counter.h"
#include "core/orvane_core.h"
#include "loading/toc_reader.h"
#include "loading/toc_writer.h"
#include "platform/posix/gap_row_list.h"
#include "platform/posix/ini_profile_source.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/recording_hover_timer.h"

namespace orvane {
namespace {

constexpr int kCategories = 50;
constexpr int kBooksPerCategory = 100;  // 5,000 books
constexpr int kTopSections = 20;
constexpr int kChildren = 9;  // 20 + 180 = 200 sections a book

std::filesystem::path LibraryDir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = std::filesystem::temp_directory_path() / "orvane-bench-library";
    std::filesystem::path books = d / "books";
    if (std::filesystem::exists(d / "done")) return d;
    std::filesystem::create_directories(books);
    std::vector<TocSection> top(kTopSections);
    int32_t filePos = 0;
    for (auto& s : top) {
      s.title = "\xC8\xC7\xC8 \xC7\xE1\xD5\xE1\xC7\xC9 \xE6\xC7\xE1\xD2\xDF\xC7\xC9";
      s.filePos = filePos++;
      s.children.resize(kChildren);
      for (auto& c : s.children) {
        c.title = "\xDD\xD5\xE1 \xDD\xED \xC7\xE1\xC3\xD0\xC7\xE4";
        c.filePos = filePos++;
      }
    }
    std::vector<uint8_t> bytes;
    std::string error;
    WriteToc(top, {}, bytes, error);
    std::ofstream ini(d / "LIB.INI", std::ios::binary);
    ini << "[Directories]\r\nTOC=" << books.string() << "\r\n[Books]\r\nCount="
        << kCategories * kBooksPerCategory << "\r\n[Categories]\r\nCount=" << kCategories << "\r\n";
    for (int k = 1; k <= kCategories; ++k) ini << "Name" << k << "=Category " << k << "\r\n";
    for (int k = 1; k <= kCategories; ++k) {
      ini << "[Category" << k << "]\r\nCount=" << kBooksPerCategory << "\r\n";
      for (int j = 1; j <= kBooksPerCategory; ++j) {
        std::string name = "B" + std::to_string(k) + "_" + std::to_string(j);
        ini << "Title" << j << "=Book " << name << "\r\nName" << j << "=" << name << "\r\n";
        std::ofstream(books / (name + ".TOC"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      }
    }
    std::ofstream(d / "done") << "1";
    return d;
  }();
  return dir;
}

void BM_LoadBooks5000Books1MSections(benchmark::State& state) {
  std::filesystem::path dir = LibraryDir();
  std::string topic = (dir / "LIB").string();
  size_t heap = 0;
  for (auto _ : state) {
    PosixFileSystem files({}, "/");
    IniProfileSource profile(files);
    GapRowList rows;
    RecordingHoverTimer timer;
    auto core = std::make_unique<OrvaneCore>(rows, profile, files, timer);
    state.PauseTiming();
    bench::AllocCounter::Start();
    state.ResumeTiming();
    core->LoadBooks(topic);
    state.PauseTiming();
    bench::AllocCounter::Stop();
    heap = bench::AllocCounter::Bytes();
    bool loaded =
        core->BookCount() == 5000 && core->BookNode(5000)->m_children.Count() == kTopSections;
    core.reset();
    state.ResumeTiming();
    if (!loaded) {
      state.SkipWithError("library not loaded");
      break;
    }
  }
  // Every byte of the load (TOC buffers included) spread over the nodes.
  double nodes = 5000.0 * 200 + 5000 + kCategories;
  state.counters["heap_bytes_per_node_all"] = static_cast<double>(heap) / nodes;
}
BENCHMARK(BM_LoadBooks5000Books1MSections)->Unit(benchmark::kMillisecond)->Iterations(5);

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
