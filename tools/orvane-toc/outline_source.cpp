#include "tools/orvane-toc/outline_source.h"

#include <charconv>
#include <cstdint>

#include "loading/cp1256.h"

namespace orvane::toc_tool {

std::vector<std::string_view> SplitLines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool ConvertTitle(std::string_view utf8, std::string& cp1256, std::string& message) {
  Cp1256Error error;
  if (!Utf8ToCp1256(utf8, cp1256, &error)) {
    message = error.Describe();
    return false;
  }
  for (size_t i = 0; i < cp1256.size(); ++i) {
    if (static_cast<uint8_t>(cp1256[i]) < 0x20) {
      message =
          "control character " + std::to_string(static_cast<int>(cp1256[i])) + " in the title";
      return false;
    }
  }
  return true;
}

namespace {

bool ParseFilePos(std::string_view text, int32_t& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// The number of blanks a line is indented by; -1 when a tab comes first.
int CountIndent(std::string_view line) {
  size_t n = 0;
  while (n < line.size() && line[n] == ' ') ++n;
  if (n < line.size() && line[n] == '\t') return -1;
  return static_cast<int>(n);
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

bool ParseOutline(std::string_view utf8, std::vector<TocSection>& sections, SourceError& error) {
  sections.clear();
  std::vector<TocSection> result;
  // open[d] is the list the next section of depth d joins.
  std::vector<std::vector<TocSection>*> open{&result};
  const std::vector<std::string_view> lines = SplitLines(utf8);
  for (size_t index = 0; index < lines.size(); ++index) {
    std::string_view line = lines[index];
    error.line = index + 1;
    if (IsBlank(line)) continue;
    const int indent = CountIndent(line);
    if (indent < 0) {
      error.message = "indentation must be blanks, not tabs";
      return false;
    }
    if (indent % 2 != 0) {
      error.message =
          "indentation of " + std::to_string(indent) + " blanks is not a multiple of two";
      return false;
    }
    const size_t depth = static_cast<size_t>(indent) / 2;
    if (depth >= open.size()) {
      error.message =
          "indented " + std::to_string(depth) + " levels, more than one below the line before";
      return false;
    }
    line.remove_prefix(static_cast<size_t>(indent));

    TocSection section;
    section.filePos = static_cast<int32_t>(index);
    if (const size_t tab = line.rfind('\t'); tab != std::string_view::npos) {
      if (!ParseFilePos(line.substr(tab + 1), section.filePos)) {
        error.message =
            "\"" + std::string(line.substr(tab + 1)) + "\" after the tab is not a decimal FilePos";
        return false;
      }
      line = line.substr(0, tab);
    }
    if (!ConvertTitle(line, section.title, error.message)) return false;

    open.resize(depth + 1);
    open[depth]->push_back(std::move(section));
    open.push_back(&open[depth]->back().children);
  }
  sections = std::move(result);
  error = {};
  return true;
}

bool ConvertTextOutline(std::string_view utf8, std::string& cp1256, SourceError& error) {
  cp1256.clear();
  std::string result;
  const std::vector<std::string_view> lines = SplitLines(utf8);
  for (size_t index = 0; index < lines.size(); ++index) {
    error.line = index + 1;
    std::string_view line = lines[index];
    const size_t indent = line.find_first_not_of(' ');
    std::string title;
    if (indent != std::string_view::npos &&
        !ConvertTitle(line.substr(indent), title, error.message))
      return false;
    result.append(indent == std::string_view::npos ? line.size() : indent, ' ');
    result += title;
    result += "\r\n";
  }
  cp1256 = std::move(result);
  error = {};
  return true;
}

}  // namespace orvane::toc_tool
