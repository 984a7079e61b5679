// aSelectDC and aReleaseDC: what a selection holds, that it is released
// exactly once, and that hostile arguments fail quietly.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "canvas.h"
#include "harfix_fixture.h"

namespace harfix_tests {
namespace {

const RECT kBox = {0, 0, 300, 40};

bool FaceInstalled(const char* name) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, name);
  HGDIOBJ previous = SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  SelectObject(dc, previous);
  DeleteObject(font);
  DeleteDC(dc);
  return std::strcmp(face, name) == 0;
}

class SelectionTest : public HarfixTest {
 protected:
  const TitleFonts fonts_ = DefaultTitleFonts();
  const std::string title_ = titles::kMixed;
  int length() const { return static_cast<int>(title_.size()); }
};

TEST_F(SelectionTest, EverythingFailsQuietlyOnWhatIsNotADeviceContext) {
  Canvas canvas(300, 40);
  HDC deleted = CreateCompatibleDC(nullptr);
  DeleteDC(deleted);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  const std::vector<HDC> notDeviceContexts = {
      nullptr, reinterpret_cast<HDC>(brush), deleted,
      reinterpret_cast<HDC>(static_cast<INT_PTR>(0x12345678)),
      reinterpret_cast<HDC>(static_cast<INT_PTR>(-1))};
  for (HDC dc : notDeviceContexts) {
    EXPECT_FALSE(selectDC_(dc, &fonts_.latin, &fonts_.arabic)) << dc;
    const SIZE extent = textExtent_(dc, title_.c_str(), length());
    EXPECT_EQ(extent.cx, 0);
    EXPECT_EQ(extent.cy, 0);
    EXPECT_FALSE(drawText_(dc, title_.c_str(), length(), &kBox, HARFIX_ALIGN_RIGHT));
    EXPECT_FALSE(releaseDC_(dc));
  }
  DeleteObject(brush);
  EXPECT_TRUE(canvas.Ink().empty);
}

TEST_F(SelectionTest, MissingArgumentsFailWithoutDrawing) {
  Canvas canvas(300, 40);
  HDC dc = canvas.dc();
  EXPECT_FALSE(selectDC_(dc, nullptr, &fonts_.arabic));
  EXPECT_FALSE(selectDC_(dc, &fonts_.latin, nullptr));
  ASSERT_TRUE(selectDC_(dc, &fonts_.latin, &fonts_.arabic));
  EXPECT_EQ(textExtent_(dc, nullptr, 5).cx, 0);
  EXPECT_EQ(textExtent_(dc, title_.c_str(), -1).cx, 0);
  EXPECT_EQ(textExtent_(dc, title_.c_str(), INT_MIN).cx, 0);
  EXPECT_FALSE(drawText_(dc, nullptr, 5, &kBox, HARFIX_ALIGN_RIGHT));
  EXPECT_FALSE(drawText_(dc, title_.c_str(), length(), nullptr, HARFIX_ALIGN_RIGHT));
  EXPECT_FALSE(drawText_(dc, title_.c_str(), -7, &kBox, HARFIX_ALIGN_RIGHT));
  EXPECT_TRUE(releaseDC_(dc));
  EXPECT_TRUE(canvas.Ink().empty);
}

TEST_F(SelectionTest, MeasuringAndDrawingNeedALiveSelection) {
  Canvas canvas(300, 40);
  HDC dc = canvas.dc();
  EXPECT_EQ(textExtent_(dc, title_.c_str(), length()).cx, 0);
  EXPECT_FALSE(drawText_(dc, title_.c_str(), length(), &kBox, HARFIX_ALIGN_RIGHT));
  ASSERT_TRUE(selectDC_(dc, &fonts_.latin, &fonts_.arabic));
  EXPECT_GT(textExtent_(dc, title_.c_str(), length()).cx, 0);
  EXPECT_TRUE(releaseDC_(dc));
  EXPECT_FALSE(releaseDC_(dc)) << "a selection is released once";
  EXPECT_EQ(textExtent_(dc, title_.c_str(), length()).cx, 0);
  EXPECT_TRUE(canvas.Ink().empty);
}

TEST_F(SelectionTest, ReleaseDeletesTheFontsAndRestoresTheEarlierOne) {
  Canvas canvas(300, 40);
  HDC dc = canvas.dc();
  HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
  ASSERT_TRUE(selectDC_(dc, &fonts_.latin, &fonts_.arabic));
  HGDIOBJ arabicFont = GetCurrentObject(dc, OBJ_FONT);
  // The Latin font is selected while a Latin run is drawn; catch it there.
  textExtent_(dc, "Latin", 5);
  drawText_(dc, "Latin", 5, &kBox, HARFIX_ALIGN_LEFT);
  ASSERT_NE(arabicFont, original);
  EXPECT_EQ(GetObjectType(arabicFont), static_cast<DWORD>(OBJ_FONT));
  ASSERT_TRUE(releaseDC_(dc));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original);
  EXPECT_EQ(GetObjectType(arabicFont), 0u) << "the selection's font outlives it";
}

TEST_F(SelectionTest, SelectingTwiceReplacesTheFirstSelectionWithoutLeakingIt) {
  Canvas canvas(300, 40);
  HDC dc = canvas.dc();
  HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
  ASSERT_TRUE(selectDC_(dc, &fonts_.latin, &fonts_.arabic));
  HGDIOBJ first = GetCurrentObject(dc, OBJ_FONT);
  const TitleFonts larger = DefaultTitleFonts(-30);
  ASSERT_TRUE(selectDC_(dc, &larger.latin, &larger.arabic));
  EXPECT_EQ(GetObjectType(first), 0u);
  const LONG largeWidth = textExtent_(dc, title_.c_str(), length()).cx;
  ASSERT_TRUE(releaseDC_(dc));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original);
  EXPECT_FALSE(releaseDC_(dc));
  EXPECT_GT(largeWidth, Measure(dc, title_, fonts_).cx);
}

TEST_F(SelectionTest, SelectionsOnSeveralDeviceContextsAreIndependent) {
  Canvas one(300, 40), two(300, 40);
  const TitleFonts larger = DefaultTitleFonts(-30);
  ASSERT_TRUE(selectDC_(one.dc(), &fonts_.latin, &fonts_.arabic));
  ASSERT_TRUE(selectDC_(two.dc(), &larger.latin, &larger.arabic));
  const LONG small = textExtent_(one.dc(), title_.c_str(), length()).cx;
  const LONG large = textExtent_(two.dc(), title_.c_str(), length()).cx;
  EXPECT_LT(small, large);
  EXPECT_TRUE(releaseDC_(one.dc()));
  EXPECT_EQ(textExtent_(two.dc(), title_.c_str(), length()).cx, large);
  EXPECT_TRUE(releaseDC_(two.dc()));
}

TEST_F(SelectionTest, LaterSelectionsOfTheSameFontMeasureAsTheFirst) {
  // Shaping data is kept from one selection to the next of the same font;
  // interleaving sizes and titles must not mix it up.
  Canvas canvas(300, 40);
  const TitleFonts small = DefaultTitleFonts(-15), large = DefaultTitleFonts(-30);
  const LONG smallMixed = Measure(canvas.dc(), title_, small).cx;
  const LONG largeMixed = Measure(canvas.dc(), title_, large).cx;
  const LONG smallArabic = Measure(canvas.dc(), titles::kTwoWords, small).cx;
  ASSERT_LT(smallMixed, largeMixed);
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(Measure(canvas.dc(), title_, large).cx, largeMixed);
    EXPECT_EQ(Measure(canvas.dc(), title_, small).cx, smallMixed);
    EXPECT_EQ(Measure(canvas.dc(), titles::kTwoWords, small).cx, smallArabic);
  }
}

TEST_F(SelectionTest, ThousandsOfCyclesLeakNoGdiObject) {
  // GetGuiResources answers 0 under Wine, so leaks are caught by what they
  // do: with all but a few GDI handles taken, a cycle that leaked even one
  // object would soon find none left and fail to select.
  Canvas canvas(300, 40);
  HDC dc = canvas.dc();
  std::vector<HGDIOBJ> hoard;
  while (hoard.size() < 100000) {
    HGDIOBJ pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    if (!pen) break;
    hoard.push_back(pen);
  }
  ASSERT_GT(hoard.size(), 1000u) << "the handle table is larger than this test assumes";
  constexpr std::size_t kHeadroom = 40;
  for (std::size_t i = 0; i < kHeadroom; ++i) {
    DeleteObject(hoard.back());
    hoard.pop_back();
  }

  int failures = 0;
  for (int cycle = 0; cycle < 2000 && failures == 0; ++cycle) {
    if (!selectDC_(dc, &fonts_.latin, &fonts_.arabic)) {
      ++failures;
      break;
    }
    textExtent_(dc, title_.c_str(), length());
    drawText_(dc, title_.c_str(), length(), &kBox, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER);
    if (!releaseDC_(dc)) ++failures;
  }
  for (HGDIOBJ pen : hoard) DeleteObject(pen);
  EXPECT_EQ(failures, 0);
}

TEST_F(SelectionTest, AbsentFacesMapToInstalledFacesThatJoinArabic) {
  Canvas canvas(300, 40);
  HDC dc = canvas.dc();
  ASSERT_TRUE(selectDC_(dc, &fonts_.latin, &fonts_.arabic));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  const wchar_t alef[] = {0x0627, 0x0644};
  WORD glyphs[2] = {};
  GetGlyphIndicesW(dc, alef, 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
  releaseDC_(dc);
  EXPECT_STRNE(face, "Fonta");
  EXPECT_NE(glyphs[0], 0xFFFF) << face;
  EXPECT_NE(glyphs[1], 0xFFFF) << face;
}

TEST_F(SelectionTest, InstalledFaceIsKeptAsTheHostAskedForIt) {
  // DejaVu Sans has Arabic letters; a host that names it gets it, not the
  // library's own choice.
  if (!FaceInstalled("DejaVu Sans")) GTEST_SKIP() << "no DejaVu Sans here";
  TitleFonts fonts = fonts_;
  std::strcpy(fonts.arabic.lfFaceName, "DejaVu Sans");
  Canvas canvas(300, 40);
  HDC dc = canvas.dc();
  ASSERT_TRUE(selectDC_(dc, &fonts.latin, &fonts.arabic));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  releaseDC_(dc);
  EXPECT_STREQ(face, "DejaVu Sans");
}

TEST_F(SelectionTest, HostileFontDescriptionsStillGiveAUsableSelection) {
  Canvas canvas(600, 80);
  HDC dc = canvas.dc();
  TitleFonts hostile = fonts_;
  std::memset(hostile.arabic.lfFaceName, 'x', LF_FACESIZE);  // no terminator
  std::memset(hostile.latin.lfFaceName, 'y', LF_FACESIZE);
  hostile.arabic.lfHeight = INT_MIN;
  hostile.latin.lfHeight = INT_MAX;
  hostile.arabic.lfWidth = -5000;
  hostile.arabic.lfEscapement = 900;  // rotated text would break the measuring
  hostile.arabic.lfWeight = INT_MAX;
  ASSERT_TRUE(selectDC_(dc, &hostile.latin, &hostile.arabic));
  const SIZE extent = textExtent_(dc, title_.c_str(), length());
  EXPECT_GT(extent.cx, 0);
  EXPECT_LT(extent.cx, 100000);
  const RECT box = {0, 0, 600, 80};
  EXPECT_TRUE(drawText_(dc, title_.c_str(), length(), &box, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER));
  EXPECT_TRUE(releaseDC_(dc));
}

}  // namespace
}  // namespace harfix_tests
