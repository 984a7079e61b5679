// Loads Harfix.dll by name, as the control may, and calls it the way the
// control's row painting does: select, measure or draw, release.
#ifndef HARFIX_TESTS_HARFIX_FIXTURE_H
#define HARFIX_TESTS_HARFIX_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "harfix/harfix.h"

namespace harfix_tests {

// The descriptions the control builds from its title font: the font itself,
// and a copy named "Ariel" with character set 0.
struct TitleFonts {
  LOGFONTA arabic{};
  LOGFONTA latin{};
};

// The control's default title font ("Fonta", character set 0) at a pixel
// height; quality picks antialiasing or not.
TitleFonts DefaultTitleFonts(LONG height = -15, BYTE quality = DEFAULT_QUALITY);

class HarfixTest : public ::testing::Test {
 protected:
  // Each test loads the library afresh, so its reading order and tables
  // start as a host would find them.
  void SetUp() override;
  void TearDown() override;

  // Unloads the library and loads it again, with its kept lines and fits
  // switched on or off (the HARFIX_LINE_CACHE switch, read at loading).
  void Reload(bool rememberLayouts);

  SIZE Measure(HDC dc, const std::string& text, const TitleFonts& fonts);
  BOOL Draw(HDC dc, const std::string& text, const RECT& rect, int flags, const TitleFonts& fonts);

  HMODULE module_ = nullptr;
  HarfixSelectDC selectDC_ = nullptr;
  HarfixTextExtent textExtent_ = nullptr;
  HarfixDrawText drawText_ = nullptr;
  HarfixSetReadingOrder setReadingOrder_ = nullptr;
  HarfixGetReadingOrder getReadingOrder_ = nullptr;
  HarfixReleaseDC releaseDC_ = nullptr;
  HarfixFitLineHeight fitLineHeight_ = nullptr;

 private:
  void Load();
};

// Titles as the control holds them: Windows-1256 bytes.
namespace titles {
inline const std::string kAlFath = "\xC7\xE1\xDD\xCA\xCD";  // الفتح
inline const std::string kBahth = "\xC8\xCD\xCB";           // بحث, every letter joins both ways
inline const std::string kBahthSpaced = "\xC8 \xCD \xCB";   // the same letters kept apart
inline const std::string kTwoWords = "\xC8\xCD\xCB \xDD\xCA\xCD";  // بحث فتح
inline const std::string kShadda = "\xE3\xCD\xE3\xF8\xCF";         // محمّد, with a mark
inline const std::string kMixed = "Book \xC7\xE1\xDD\xCA\xCD 12";
inline const std::string kLatin = "Chapter 7: Index";
}  // namespace titles

}  // namespace harfix_tests

#endif
