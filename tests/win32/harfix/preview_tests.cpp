// Renders a sheet of titles for a person to look at (build/.../harfix/
// preview.png): Arabic must come out joined and right to left.
#include <string>
#include <vector>

#include "canvas.h"
#include "harfix_fixture.h"

namespace harfix_tests {
namespace {

// The preview folder as Wine sees it: the Unix root is drive Z:.
std::wstring PreviewPath() {
  std::string unixPath = HARFIX_PREVIEW_DIR;
  std::wstring path = L"Z:";
  for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  CreateDirectoryW(path.c_str(), nullptr);
  return path + L"\\preview.png";
}

TEST_F(HarfixTest, PreviewSheetShowsEveryTitleInBothOrders) {
  const std::vector<std::string> sheet = {titles::kAlFath,
                                          titles::kTwoWords,
                                          titles::kShadda,
                                          titles::kMixed,
                                          titles::kBahthSpaced,
                                          titles::kLatin,
                                          "\xDD\xED \xC7\xE1\xD5\xE1\xC7\xC9 (1-23)"};
  constexpr int kRow = 16;
  constexpr int kLarge = 40;
  const int rowsHeight = static_cast<int>(sheet.size()) * (2 * kRow + 2 * kLarge);
  Canvas canvas(640, rowsHeight + 8);
  const TitleFonts rowFonts = DefaultTitleFonts(-15);
  const TitleFonts largeFonts = DefaultTitleFonts(-30);
  int top = 4;
  for (const std::string& title : sheet) {
    for (int order : {HARFIX_ORDER_RTL, HARFIX_ORDER_LTR}) {
      setReadingOrder_(order);
      // Row size, right-aligned as in the right-to-left layout, then large.
      const RECT row = {8, top, 632, top + kRow};
      ASSERT_TRUE(Draw(canvas.dc(), title, row, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, rowFonts));
      EXPECT_FALSE(canvas.Ink(row).empty) << title;
      top += kRow;
      const RECT large = {8, top, 632, top + kLarge};
      ASSERT_TRUE(Draw(canvas.dc(), title, large, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, largeFonts));
      EXPECT_FALSE(canvas.Ink(large).empty) << title;
      top += kLarge;
    }
  }
  EXPECT_EQ(canvas.SavePng(PreviewPath()), S_OK);
}

}  // namespace
}  // namespace harfix_tests
