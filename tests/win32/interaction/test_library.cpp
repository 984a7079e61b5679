#include "test_library.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "loading/toc_writer.h"

namespace orvane::test {
namespace {

void WriteFile(const std::string& path, const void* bytes, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes, 1, size, file);
  std::fclose(file);
}

void WriteBook(const std::string& path, const std::vector<TocSection>& sections) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!orvane::WriteToc(sections, TocWriteOptions{}, bytes, error)) throw std::runtime_error(error);
  WriteFile(path, bytes.data(), bytes.size());
}

std::string MakeLibrary() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder =
      std::string(temp) + "orvane-interaction-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  WriteBook(folder + "\\PURITY.TOC",
            {{"Water", 100, {{"Rain", 110, {}}, {"Well", 120, {}}}}, {"Ablution", 200, {}}});
  WriteBook(folder + "\\PRAYER.TOC", {{"Times", 300, {}}});
  WriteBook(folder + "\\LONG.TOC", {{kLongSection, 400, {{"Isnad", 410, {}}}}});
  const std::string catalogue = "[Directories]\r\nTOC=" + folder +
                                "\r\n[Books]\r\nCount=4\r\n"
                                "[Categories]\r\nCount=2\r\nName1=Fiqh\r\nName2=Hadith\r\n"
                                "[Category1]\r\nCount=2\r\nTitle1=Purity\r\nName1=PURITY\r\n"
                                "Title2=Prayer\r\nName2=PRAYER\r\n"
                                "[Category2]\r\nCount=2\r\nTitle1=" +
                                kLongTitle + "\r\nName1=LONG\r\nTitle2=Short\r\nName2=SHORT\r\n";
  WriteFile(folder + "\\LIBRARY.INI", catalogue.data(), catalogue.size());
  return folder + "\\LIBRARY";
}

}  // namespace

const std::string& TestTopic() {
  static const std::string topic = MakeLibrary();
  return topic;
}

}  // namespace orvane::test
