// Reading the UTF-8 outline a library author writes for one book: one section
// a line, two blanks of indentation per level, an optional TAB and FilePos.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "loading/toc_writer.h"

namespace orvane::toc_tool {

// A problem in a source text, at a 1-based line.
struct SourceError {
  size_t line = 0;
  std::string message;
};

// Parses an outline. Blank lines are skipped but still counted, so that a
// section's default FilePos is always its own 0-based line number. A leading
// byte-order mark and CR LF line ends are accepted. Fails on indentation
// that is odd, made of tabs, or deeper than one level below the previous
// line, on a FilePos that is not a decimal 32-bit number, on control
// characters in a title and on anything Windows-1256 cannot hold.
bool ParseOutline(std::string_view utf8, std::vector<TocSection>& sections, SourceError& error);

// Converts an indented UTF-8 outline to the control's text outline file:
// Windows-1256, every line (the last too) ended by CR LF, indentation kept.
bool ConvertTextOutline(std::string_view utf8, std::string& cp1256, SourceError& error);

// Splits text into lines, dropping a byte-order mark, the line feeds and a
// carriage return before each.
std::vector<std::string_view> SplitLines(std::string_view text);

// A title converted to Windows-1256 with no control characters in it.
bool ConvertTitle(std::string_view utf8, std::string& cp1256, std::string& message);

}  // namespace orvane::toc_tool
