#include "render/bidi_text_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace orvane {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

TEST(BidiTextApi, ModulesWithoutTheExportsGiveAnIncompleteTable) {
  EXPECT_FALSE(ResolveBidiTextApi(nullptr).Complete());
  const BidiTextApi kernel = ResolveBidiTextApi(GetModuleHandleA("kernel32.dll"));
  EXPECT_FALSE(kernel.Complete());
  EXPECT_EQ(kernel.aDrawText, nullptr);
}

TEST(BidiTextApi, LibraryIsLookedForBesideTheGivenModule) {
  // Beside a system library, not beside the executable that loaded it.
  const std::string path = Lower(PathBesideModule(GetModuleHandleA("kernel32.dll"), "Harfix.dll"));
  EXPECT_NE(path.find("system32\\harfix.dll"), std::string::npos) << path;

  char exe[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  ASSERT_GT(n, 0u);
  const std::string exeDir(exe, std::string(exe, n).find_last_of('\\') + 1);
  EXPECT_EQ(PathBesideModule(nullptr, "Harfix.dll"), exeDir + "Harfix.dll");
}

TEST(BidiTextApi, ModuleOfAnAddressIsTheImageHoldingIt) {
  static const int here = 0;
  EXPECT_EQ(ModuleOf(&here), GetModuleHandleA(nullptr));
  EXPECT_EQ(ModuleOf(nullptr), nullptr);
}

}  // namespace
}  // namespace orvane
