#include "tools/orvane-toc/file_io.h"

#include <fstream>
#include <iterator>

namespace orvane::toc_tool {

bool ReadFileText(const std::filesystem::path& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>& bytes) {
  std::string text;
  if (!ReadFileText(path, text)) return false;
  bytes.assign(text.begin(), text.end());
  return true;
}

bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

}  // namespace orvane::toc_tool
