// The benchmarks' library: 50 categories of 100 books, each book with 20
// top-level sections of 9 children (5,000 books, 1,000,000 sections),
// written once to disk.
#pragma once

#include <filesystem>
#include <string>

namespace orvane::bench {

inline constexpr int kCategories = 50;
inline constexpr int kBooksPerCategory = 100;
inline constexpr int kTopSections = 20;
inline constexpr int kChildren = 9;

// Writes the catalogue `dir`/LIB.INI and the books into `dir`/books, naming
// the books folder in the catalogue as `booksDirInCatalogue` (empty: the
// folder's own path). Does nothing when `dir` already holds the library.
void WriteBenchLibrary(const std::filesystem::path& dir, const std::string& booksDirInCatalogue);

}  // namespace orvane::bench
