// Printing a TOC file as the control loads it.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

namespace orvane::toc_tool {

// Loads `bytes` through the control's own reader (ParseToc for the leading
// region, LoadChildren wherever a section has fewer loaded children than it
// declares) and prints "sections <N>", then one line per section, depth
// first: two blanks per level below 2, "L<Level> C<ChildCount> P<ParentPos>
// F<FilePos> <title>" with the title in UTF-8. Returns false when loading was
// cut short because the file names more sections than its bytes can hold
// (a loop of FirstChildPos values); what was loaded is printed all the same.
bool DumpToc(const std::vector<uint8_t>& bytes, std::ostream& out);

}  // namespace orvane::toc_tool
