#include "tools/orvane-toc/library_description.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <set>

#include "loading/cp1256.h"
#include "tools/orvane-toc/file_io.h"

namespace orvane::toc_tool {
namespace {

// The profile reader hands the control at most 255 characters of a value.
constexpr size_t kMaxValueLength = 255;
constexpr size_t kMaxNameLength = 64;

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> SplitFields(std::string_view s) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t bar = s.find('|');
    fields.push_back(Trim(s.substr(0, bar)));
    if (bar == std::string_view::npos) return fields;
    s.remove_prefix(bar + 1);
  }
}

bool IsFileName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxNameLength &&
         std::all_of(name.begin(), name.end(), [](char c) {
           return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
         });
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// A value for the catalogue: Windows-1256, no control characters, short
// enough for the profile reader to hand over whole.
bool CatalogueValue(std::string_view utf8, const char* what, bool mayBeEmpty, std::string& value,
                    std::string& message) {
  if (utf8.empty() && !mayBeEmpty) {
    message = std::string(what) + " is empty";
    return false;
  }
  if (!ConvertTitle(utf8, value, message)) {
    message = std::string(what) + ": " + message;
    return false;
  }
  if (value.size() > kMaxValueLength) {
    message = std::string(what) + " has " + std::to_string(value.size()) +
              " characters; the catalogue keeps at most 255";
    return false;
  }
  return true;
}

bool ParseBookOptions(const std::vector<std::string_view>& fields, TocWriteOptions& options,
                      std::string& message) {
  for (size_t i = 3; i < fields.size(); ++i) {
    std::string_view field = fields[i];
    if (field == "terminate") {
      options.terminate = true;
    } else if (field.starts_with("leading ")) {
      std::string_view number = Trim(field.substr(8));
      uint32_t groups = 0;
      auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), groups);
      if (number.empty() || ec != std::errc() || ptr != number.data() + number.size()) {
        message = "\"" + std::string(number) + "\" is not a number of groups";
        return false;
      }
      options.leadingGroups = groups;
    } else {
      message = "unknown book option \"" + std::string(field) + "\" (leading N, terminate)";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseLibraryDescription(std::string_view utf8, const std::filesystem::path& baseDir,
                             LibraryDescription& library, SourceError& error) {
  library = {};
  std::set<std::string> names;
  const std::vector<std::string_view> lines = SplitLines(utf8);
  for (size_t index = 0; index < lines.size(); ++index) {
    error.line = index + 1;
    const std::string_view line = Trim(lines[index]);
    if (line.empty() || line.starts_with('#')) continue;
    const size_t space = line.find_first_of(" \t");
    const std::string_view keyword = line.substr(0, space);
    const std::string_view rest =
        space == std::string_view::npos ? std::string_view{} : Trim(line.substr(space));

    if (keyword == "catalogue") {
      if (!library.catalogue.empty()) {
        error.message = "a second catalogue line";
        return false;
      }
      if (!IsFileName(rest)) {
        error.message =
            "catalogue name \"" + std::string(rest) + "\" must be 1 to 64 letters, digits, _ or -";
        return false;
      }
      library.catalogue = std::string(rest);
    } else if (keyword == "directory") {
      if (!CatalogueValue(rest, "the directory", true, library.directory, error.message))
        return false;
      library.hasDirectory = true;
    } else if (keyword == "category") {
      LibraryCategory category;
      if (!CatalogueValue(rest, "the category title", false, category.title, error.message))
        return false;
      library.categories.push_back(std::move(category));
    } else if (keyword == "book") {
      if (library.categories.empty()) {
        error.message = "a book before the first category";
        return false;
      }
      const std::vector<std::string_view> fields = SplitFields(rest);
      if (fields.size() < 3) {
        error.message = "a book needs NAME | TITLE | OUTLINE";
        return false;
      }
      LibraryBook book;
      book.line = index + 1;
      if (!IsFileName(fields[0])) {
        error.message =
            "book name \"" + std::string(fields[0]) + "\" must be 1 to 64 letters, digits, _ or -";
        return false;
      }
      // File names are compared without regard to case on the control's side.
      if (!names.insert(Upper(fields[0])).second) {
        error.message = "book name \"" + std::string(fields[0]) + "\" is used twice";
        return false;
      }
      book.name = std::string(fields[0]);
      if (!CatalogueValue(fields[1], "the book title", false, book.title, error.message))
        return false;
      if (fields[2].empty()) {
        error.message = "the book has no outline file";
        return false;
      }
      book.outline =
          baseDir / std::filesystem::path(std::u8string(fields[2].begin(), fields[2].end()));
      if (!ParseBookOptions(fields, book.options, error.message)) return false;
      library.categories.back().books.push_back(std::move(book));
    } else {
      error.message =
          "unknown line \"" + std::string(keyword) + "\" (catalogue, directory, category, book)";
      return false;
    }
  }
  if (library.catalogue.empty()) {
    error.line = 0;
    error.message = "no catalogue line names the catalogue";
    return false;
  }
  error = {};
  return true;
}

std::string CatalogueText(const LibraryDescription& library) {
  std::string ini;
  auto line = [&ini](const std::string& text) { ini += text + "\r\n"; };
  size_t bookCount = 0;
  for (const LibraryCategory& category : library.categories) bookCount += category.books.size();

  line("[Directories]");
  line("TOC=" + library.directory);
  line("");
  line("[Books]");
  line("Count=" + std::to_string(bookCount));
  line("");
  line("[Categories]");
  line("Count=" + std::to_string(library.categories.size()));
  for (size_t k = 0; k < library.categories.size(); ++k) {
    line("Name" + std::to_string(k + 1) + "=" + library.categories[k].title);
  }
  for (size_t k = 0; k < library.categories.size(); ++k) {
    const LibraryCategory& category = library.categories[k];
    line("");
    line("[Category" + std::to_string(k + 1) + "]");
    line("Count=" + std::to_string(category.books.size()));
    for (size_t j = 0; j < category.books.size(); ++j) {
      line("Title" + std::to_string(j + 1) + "=" + category.books[j].title);
      line("Name" + std::to_string(j + 1) + "=" + category.books[j].name);
    }
  }
  return ini;
}

bool BuildLibrary(const std::filesystem::path& description, const std::filesystem::path& outDir,
                  const std::string& directoryOverride, std::ostream& log, std::string& error) {
  std::string text;
  if (!ReadFileText(description, text)) {
    error = "cannot read " + description.string();
    return false;
  }
  LibraryDescription library;
  SourceError sourceError;
  if (!ParseLibraryDescription(text, description.parent_path(), library, sourceError)) {
    error =
        description.string() + ":" + std::to_string(sourceError.line) + ": " + sourceError.message;
    return false;
  }
  std::string message;
  if (!directoryOverride.empty()) {
    if (!CatalogueValue(directoryOverride, "the directory", false, library.directory, message)) {
      error = message;
      return false;
    }
  } else if (!library.hasDirectory) {
    const std::string absolute = std::filesystem::absolute(outDir).lexically_normal().string();
    if (!CatalogueValue(absolute, "the output folder", false, library.directory, message)) {
      error = message + " (give --directory)";
      return false;
    }
  }

  // Everything is made in memory first, so that a mistake in one book leaves
  // no half-built library behind.
  std::map<std::string, std::vector<uint8_t>> tocFiles;
  for (const LibraryCategory& category : library.categories) {
    for (const LibraryBook& book : category.books) {
      const std::string where = description.string() + ":" + std::to_string(book.line) + ": ";
      std::string outline;
      if (!ReadFileText(book.outline, outline)) {
        error = where + "cannot read the outline " + book.outline.string();
        return false;
      }
      std::vector<TocSection> sections;
      if (!ParseOutline(outline, sections, sourceError)) {
        error = book.outline.string() + ":" + std::to_string(sourceError.line) + ": " +
                sourceError.message;
        return false;
      }
      std::vector<uint8_t> bytes;
      if (!WriteToc(sections, book.options, bytes, message)) {
        error = book.outline.string() + ": " + message;
        return false;
      }
      tocFiles[book.name + ".TOC"] = std::move(bytes);
    }
  }

  std::error_code ec;
  std::filesystem::create_directories(outDir, ec);
  const std::string catalogueFile = library.catalogue + ".INI";
  if (!WriteFileBytes(outDir / catalogueFile, CatalogueText(library))) {
    error = "cannot write " + (outDir / catalogueFile).string();
    return false;
  }
  log << "wrote " << (outDir / catalogueFile).string() << '\n';
  for (const auto& [name, bytes] : tocFiles) {
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!WriteFileBytes(outDir / name, view)) {
      error = "cannot write " + (outDir / name).string();
      return false;
    }
    log << "wrote " << (outDir / name).string() << " (" << bytes.size() << " bytes)\n";
  }
  return true;
}

}  // namespace orvane::toc_tool
