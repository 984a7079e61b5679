#include "loading/text_outline.h"

#include <cstdint>
#include <memory>

#include "loading/file_system.h"

namespace orvane {

bool ReadTextOutline(FileSystem& files, std::string_view fileName, const OutlineItemSink& item) {
  std::unique_ptr<File> file = files.OpenRead(fileName, Share::Read);
  std::unique_ptr<uint8_t[]> bytes;
  uint32_t length = 0;
  if (!file) return false;
  // Checked before anything is read: a file of gigabytes would hold up the
  // host for as long as reading it takes.
  const int64_t size = file->Size();
  if (size < 0 || size > kMaxTextOutlineBytes) return false;
  if (!ReadWholeFile(*file, bytes, length)) return false;

  std::string_view text(reinterpret_cast<const char*>(bytes.get()), length);
  size_t feed;
  while ((feed = text.find('\n')) != std::string_view::npos) {
    // The character before the line feed is dropped: it is the carriage
    // return of a CR LF pair, and files are written that way.
    std::string_view line = text.substr(0, feed == 0 ? 0 : feed - 1);
    size_t blanks = line.find_first_not_of(' ');
    if (blanks == std::string_view::npos) blanks = line.size();
    item(blanks != 0, line.substr(blanks));
    text.remove_prefix(feed + 1);
  }
  return true;
}

}  // namespace orvane
