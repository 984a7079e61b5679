#include "bench/bench_library.h"

#include <fstream>
#include <vector>

#include "loading/toc_writer.h"

namespace orvane::bench {

void WriteBenchLibrary(const std::filesystem::path& dir, const std::string& booksDirInCatalogue) {
  std::filesystem::path books = dir / "books";
  if (std::filesystem::exists(dir / "done")) return;
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
  std::ofstream ini(dir / "LIB.INI", std::ios::binary);
  ini << "[Directories]\r\nTOC="
      << (booksDirInCatalogue.empty() ? books.string() : booksDirInCatalogue)
      << "\r\n[Books]\r\nCount=" << kCategories * kBooksPerCategory
      << "\r\n[Categories]\r\nCount=" << kCategories << "\r\n";
  for (int k = 1; k <= kCategories; ++k) ini << "Name" << k << "=Category " << k << "\r\n";
  for (int k = 1; k <= kCategories; ++k) {
    ini << "[Category" << k << "]\r\nCount=" << kBooksPerCategory << "\r\n";
    for (int j = 1; j <= kBooksPerCategory; ++j) {
      std::string name = "B" + std::to_string(k) + "_" + std::to_string(j);
      ini << "Title" << j << "=Book " << name << "\r\nName" << j << "=" << name << "\r\n";
      std::ofstream(books / (name + ".TOC"), std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
    }
  }
  std::ofstream(dir / "done") << "1";
}

}  // namespace orvane::bench
