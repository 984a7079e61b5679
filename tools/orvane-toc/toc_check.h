// Finding structural problems in a TOC file, without the reader: the reader
// stops quietly at the first thing it cannot use, while a library author
// wants to know about every one of them and where it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::toc_tool {

struct TocProblem {
  uint32_t offset;  // byte offset in the file the problem is found at
  std::string message;
};

// Walks the leading region in the reader's order and every deferred run
// reachable through FirstChildPos, and reports, sorted by offset: a file
// shorter than its header, records reaching past the end, RecordLength below
// 21, groups and runs holding fewer records than their parent declares,
// FirstChildPos outside the file or not at the first child, runs that lead
// back to records already read, ParentPos not at the parent's record, Level
// not one more than the parent's, titles cut short by a stored zero byte,
// sections declared in the header but not stored, and bytes that belong to
// no record. An empty result means the file is sound.
std::vector<TocProblem> CheckToc(const std::vector<uint8_t>& bytes);

}  // namespace orvane::toc_tool
