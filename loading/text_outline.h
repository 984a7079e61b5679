// Indented text outlines: one item a line, a line that starts with a blank
// belonging under the item before it.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace orvane {

class FileSystem;

// The largest text outline that is read; a larger file is left alone, as an
// unreadable one is. A table of contents is far smaller: this holds half a
// million items of thirty characters.
inline constexpr int64_t kMaxTextOutlineBytes = 16 * 1024 * 1024;

// Calls `item` for each line of the file `fileName` that ends in a line feed,
// in order, with the line's text after its leading blanks and whether it had
// any. False, with no call, when the file cannot be read or is larger than
// kMaxTextOutlineBytes.
using OutlineItemSink = std::function<void(bool indented, std::string_view text)>;
bool ReadTextOutline(FileSystem& files, std::string_view fileName, const OutlineItemSink& item);

}  // namespace orvane
