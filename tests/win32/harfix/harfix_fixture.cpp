#include "harfix_fixture.h"

#include <cstring>

namespace harfix_tests {
namespace {

// GetProcAddress's type fits no export; going through the generic function
// pointer type is the conversion the compiler accepts without complaint.
template <typename Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

TitleFonts DefaultTitleFonts(LONG height, BYTE quality) {
  TitleFonts fonts;
  fonts.arabic.lfHeight = height;
  fonts.arabic.lfWeight = FW_NORMAL;
  fonts.arabic.lfCharSet = ANSI_CHARSET;
  fonts.arabic.lfQuality = quality;
  std::strcpy(fonts.arabic.lfFaceName, "Fonta");
  fonts.latin = fonts.arabic;
  std::strcpy(fonts.latin.lfFaceName, "Ariel");
  fonts.latin.lfCharSet = 0;
  return fonts;
}

void HarfixTest::SetUp() { Load(); }

void HarfixTest::Reload(bool rememberLayouts) {
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
  SetEnvironmentVariableA("HARFIX_LINE_CACHE", rememberLayouts ? nullptr : "0");
  Load();
  SetEnvironmentVariableA("HARFIX_LINE_CACHE", nullptr);
}

void HarfixTest::Load() {
  module_ = LoadLibraryW(L"Harfix.dll");
  ASSERT_NE(module_, nullptr) << "Harfix.dll must sit beside the test program";
  selectDC_ = Export<HarfixSelectDC>(module_, "aSelectDC");
  textExtent_ = Export<HarfixTextExtent>(module_, "aTextExtent");
  drawText_ = Export<HarfixDrawText>(module_, "aDrawText");
  setReadingOrder_ = Export<HarfixSetReadingOrder>(module_, "aSetReadingOrder");
  getReadingOrder_ = Export<HarfixGetReadingOrder>(module_, "aGetReadingOrder");
  releaseDC_ = Export<HarfixReleaseDC>(module_, "aReleaseDC");
  fitLineHeight_ = Export<HarfixFitLineHeight>(module_, "aFitLineHeight");
  ASSERT_TRUE(selectDC_ && textExtent_ && drawText_ && setReadingOrder_ && getReadingOrder_ &&
              releaseDC_ && fitLineHeight_);
}

void HarfixTest::TearDown() {
  if (module_) FreeLibrary(module_);
}

SIZE HarfixTest::Measure(HDC dc, const std::string& text, const TitleFonts& fonts) {
  SIZE extent = {-1, -1};
  if (!selectDC_(dc, &fonts.latin, &fonts.arabic)) return extent;
  extent = textExtent_(dc, text.c_str(), static_cast<int>(text.size()));
  releaseDC_(dc);
  return extent;
}

BOOL HarfixTest::Draw(HDC dc, const std::string& text, const RECT& rect, int flags,
                      const TitleFonts& fonts) {
  if (!selectDC_(dc, &fonts.latin, &fonts.arabic)) return FALSE;
  SetTextAlign(dc, TA_BASELINE);
  SetBkMode(dc, TRANSPARENT);
  const BOOL drawn = drawText_(dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
  releaseDC_(dc);
  return drawn;
}

}  // namespace harfix_tests
