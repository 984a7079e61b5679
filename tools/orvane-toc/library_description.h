// A whole library described in one UTF-8 text file: the catalogue's name, the
// books directory it names, the categories in order and, under each, its books
// with their file names, titles and outline files. `orvane-toc library` turns
// it into the catalogue INI file and one TOC file per book.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "loading/toc_writer.h"
#include "tools/orvane-toc/outline_source.h"

namespace orvane::toc_tool {

struct LibraryBook {
  std::string name;               // file name without extension, ASCII
  std::string title;              // Windows-1256
  std::filesystem::path outline;  // resolved against the description's folder
  TocWriteOptions options;
  size_t line = 0;  // where the description names the book
};

struct LibraryCategory {
  std::string title;  // Windows-1256
  std::vector<LibraryBook> books;
};

struct LibraryDescription {
  std::string catalogue;  // the topic name: the catalogue is <catalogue>.INI
  std::string directory;  // Windows-1256 value of "Directories"/"TOC"; may be empty
  bool hasDirectory = false;
  std::vector<LibraryCategory> categories;
};

// Parses a library description (format in docs/library-format.md). Outline
// paths are taken relative to `baseDir`.
bool ParseLibraryDescription(std::string_view utf8, const std::filesystem::path& baseDir,
                             LibraryDescription& library, SourceError& error);

// The catalogue file's bytes: Windows-1256 text with CR LF line ends, counts
// and keys numbered from 1 without leading zeros.
std::string CatalogueText(const LibraryDescription& library);

// Builds the catalogue and every book's TOC file in memory and writes them
// into `outDir` (created when missing) only when all of them could be made.
// `directoryOverride`, when not empty, replaces the books directory the
// description names; when neither gives one, the absolute output folder is
// used. Reports what it wrote to `log`; on failure says why in `error`.
bool BuildLibrary(const std::filesystem::path& description, const std::filesystem::path& outDir,
                  const std::string& directoryOverride, std::ostream& log, std::string& error);

}  // namespace orvane::toc_tool
