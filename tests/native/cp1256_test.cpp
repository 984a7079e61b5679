#include "loading/cp1256.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(Cp1256, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1256ToUtf8(all);
  std::string back;
  ASSERT_TRUE(Utf8ToCp1256(utf8, back));
  EXPECT_EQ(back, all);
}

TEST(Cp1256, EveryByteHasItsOwnCharacter) {
  // A table with a duplicated character would encode two bytes the same way.
  for (int b = 0; b < 256; ++b) {
    uint8_t encoded = 0;
    ASSERT_TRUE(UnicodeToCp1256(Cp1256ToUnicode(static_cast<uint8_t>(b)), encoded)) << b;
    EXPECT_EQ(encoded, b);
  }
}

TEST(Cp1256, ArabicLettersAndPunctuationSitWhereTheCodePageHasThem) {
  EXPECT_EQ(Cp1256ToUnicode(0xC7), U'\u0627');  // alef
  EXPECT_EQ(Cp1256ToUnicode(0xE1), U'\u0644');  // lam
  EXPECT_EQ(Cp1256ToUnicode(0xED), U'\u064A');  // yeh
  EXPECT_EQ(Cp1256ToUnicode(0xA1), U'\u060C');  // Arabic comma
  EXPECT_EQ(Cp1256ToUnicode(0xBF), U'\u061F');  // Arabic question mark
  EXPECT_EQ(Cp1256ToUnicode(0xDC), U'\u0640');  // tatweel
  EXPECT_EQ(Cp1256ToUnicode(0xD7), U'\u00D7');  // Latin multiplication sign among the letters
  EXPECT_EQ(Cp1256ToUnicode(0x81), U'\u067E');  // peh
  EXPECT_EQ(Cp1256ToUnicode(0xFF), U'\u06D2');  // yeh barree

  std::string out;
  ASSERT_TRUE(Utf8ToCp1256("\u0627\u0644\u0642\u0631\u0622\u0646 1", out));  // "القرآن 1"
  EXPECT_EQ(out, "\xC7\xE1\xDE\xD1\xC2\xE4 1");
  EXPECT_EQ(Cp1256ToUtf8("\xC8\xD3\xE3"), "\u0628\u0633\u0645");
}

TEST(Cp1256, CharactersOutsideTheCodePageAreRefusedWithTheirPlace) {
  struct Case {
    const char* text;
    char32_t code;
    size_t offset;
  } cases[] = {
      {"ab\uFDFA", U'\uFDFA', 2},               // the sallallahu ligature
      {"\u0627\u0671", U'\u0671', 2},           // alef wasla, used in Quranic spelling
      {"\u0627\u0670", U'\u0670', 2},           // superscript alef
      {"x\xF0\x9F\x93\x96", U'\U0001F4D6', 1},  // outside the basic plane
      {"\u0100", U'\u0100', 0},
  };
  for (const Case& c : cases) {
    std::string out = "stale";
    Cp1256Error error;
    EXPECT_FALSE(Utf8ToCp1256(c.text, out, &error)) << c.text;
    EXPECT_EQ(error.kind, Cp1256Error::Kind::Unmappable);
    EXPECT_EQ(error.code, c.code);
    EXPECT_EQ(error.offset, c.offset);
    EXPECT_TRUE(out.empty());
  }
  Cp1256Error error;
  std::string out;
  Utf8ToCp1256("\uFDFA", out, &error);
  EXPECT_NE(error.Describe().find("U+FDFA"), std::string::npos);
}

TEST(Cp1256, MalformedUtf8IsRefused) {
  const std::string cases[] = {
      "\xC0\xAF",          // overlong '/'
      "\xE0\x80\xAF",      // overlong, three bytes
      "\xED\xA0\x80",      // a surrogate
      "\xD8",              // truncated at the end
      "\xD8 ",             // continuation byte missing
      "\x80",              // stray continuation byte
      "\xF8\x88\x80\x80",  // five-byte lead
      "\xF4\x90\x80\x80",  // beyond U+10FFFF
  };
  for (const std::string& text : cases) {
    std::string out;
    Cp1256Error error;
    EXPECT_FALSE(Utf8ToCp1256("ok" + text, out, &error));
    EXPECT_EQ(error.kind, Cp1256Error::Kind::InvalidUtf8);
    EXPECT_EQ(error.offset, 2u);
  }
}

TEST(Cp1256, EmptyTextConvertsToEmptyText) {
  std::string out = "stale";
  EXPECT_TRUE(Utf8ToCp1256("", out));
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(Cp1256ToUtf8(""), "");
}

}  // namespace
}  // namespace orvane
