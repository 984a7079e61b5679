// IniProfileSource: the profile rules of the system (found by experiment under
// Wine and checked there by tests/win32/platform), pinned here so that a
// native run catches a regression, plus the recorded answers of the system.
#include "platform/portable/ini_profile_source.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/portable/posix_file_system.h"
#include "platform/portable/profile_encoding.h"
#include "tests/win32/platform/profile_queries.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

class ProfileRules : public testing::Test {
 protected:
  static fs::path MakeFolder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    fs::path folder = fs::temp_directory_path() / (std::string("orvane-ini-") + info->name() + "-" +
                                                   std::to_string(std::rand()));
    fs::create_directories(folder);
    return folder;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_folder, ec);
  }

  void WriteIni(const std::string& bytes, const std::string& name = "test.ini") {
    std::ofstream(m_folder / name, std::ios::binary) << bytes;
  }

  std::string Get(std::string_view section, std::string_view key, std::string_view deflt = "D",
                  const std::string& name = "test.ini") {
    return m_profile.GetString("\\" + name, section, key, deflt);
  }

  fs::path m_folder = MakeFolder();
  PosixFileSystem m_files{{}, m_folder.string()};
  IniProfileSource m_profile{m_files};
};

TEST_F(ProfileRules, NamesMatchIgnoringAsciiCaseAndSurroundingBlanks) {
  WriteIni("[Books]\r\n  Count =\t12 \r\n[ Spaced Out ]\r\nk=v\r\nK\x8c=oe\r\n");
  EXPECT_EQ(Get("BOOKS", "count"), "12");
  EXPECT_EQ(Get(" books\t",
                "\x0b"
                "COUNT\x1a"),
            "12");
  EXPECT_EQ(Get("spaced out", "K"), "v");
  EXPECT_EQ(Get("Spaced  Out", "k"), "D");
  // Only ASCII letters have case here: 0x8C and 0x9C are two capitals apart.
  EXPECT_EQ(Get("spaced out", "K\x8c"), "oe");
  EXPECT_EQ(Get("spaced out", "K\x9c"), "D");
}

TEST_F(ProfileRules, FirstSectionAndFirstKeyOfANameWin) {
  WriteIni("[S]\nDup=first\nDUP=second\nNoValue\nNoValue=later\n[s]\nDup=other\nOnlyLater=x\n");
  EXPECT_EQ(Get("S", "dup"), "first");
  // A key line without "=" hides a later one with a value.
  EXPECT_EQ(Get("S", "NoValue"), "D");
  // A later section of the same name is never searched.
  EXPECT_EQ(Get("S", "OnlyLater"), "D");
}

TEST_F(ProfileRules, CommentLinesAreOrdinaryKeys) {
  WriteIni("[S]\n;Count=5\n# Name = hash\nCount=7\n");
  EXPECT_EQ(Get("S", "Count"), "7");
  EXPECT_EQ(Get("S", ";Count"), "5");
  EXPECT_EQ(Get("S", "# Name"), "hash");
}

TEST_F(ProfileRules, SectionNamesRunToTheLastBracket) {
  WriteIni("top=before\n[Junk] trailing\nk=junk\n[Two]x]\nk=two\n[NoClose\nk=noclose\n[]\nk=e\n");
  EXPECT_EQ(Get("Junk", "k"), "junk");
  EXPECT_EQ(Get("Two]x", "k"), "two");
  // "[NoClose" is a key without a value inside [Two]x], whose k came first.
  EXPECT_EQ(Get("Two]x", "[NoClose"), "D");
  EXPECT_EQ(Get("NoClose", "k"), "D");
  // Keys before any header form the section with the empty name, which
  // hides a later "[]".
  EXPECT_EQ(Get("", "top"), "before");
  EXPECT_EQ(Get("", "k"), "D");
}

TEST_F(ProfileRules, ValuesSplitAtTheFirstEqualsAndLoseOuterBlanks) {
  WriteIni("[S]\nEq = a=b \nEmpty=\n=no name\nA B = spaced key\n");
  EXPECT_EQ(Get("S", "Eq"), "a=b");
  EXPECT_EQ(Get("S", "Empty"), "");
  EXPECT_EQ(Get("S", ""), "no name");
  EXPECT_EQ(Get("S", " "), "no name");
  EXPECT_EQ(Get("S", "A B"), "spaced key");
  EXPECT_EQ(Get("S", "A  B"), "D");
}

TEST_F(ProfileRules, OnlyMatchingOuterQuotesAreStripped) {
  WriteIni(
      "[S]\nQ1=\"quoted\"\nQ2='single'\nQ3=\"mixed'\nQ4=\"\nQ5=\"\"\nQ6=\" in \"\n"
      "Q7=a\"b\"\nQ8=\"x\" y\n");
  EXPECT_EQ(Get("S", "Q1"), "quoted");
  EXPECT_EQ(Get("S", "Q2"), "single");
  EXPECT_EQ(Get("S", "Q3"), "\"mixed'");
  EXPECT_EQ(Get("S", "Q4"), "\"");
  EXPECT_EQ(Get("S", "Q5"), "");
  EXPECT_EQ(Get("S", "Q6"), " in ");
  EXPECT_EQ(Get("S", "Q7"), "a\"b\"");
  EXPECT_EQ(Get("S", "Q8"), "\"x\" y");
}

TEST_F(ProfileRules, ValuesAreCutTo255Bytes) {
  const std::string b254(254, 'b'), b255(255, 'b'), b256(256, 'b');
  WriteIni("[S]\nLong=" + std::string(300, 'a') + "\nQ254=\"" + b254 + "\"\nQ255=\"" + b255 +
           "\"\nQ256=\"" + b256 + "\"\nOpen=\"" + b256 + "\n");
  EXPECT_EQ(Get("S", "Long"), std::string(255, 'a'));
  EXPECT_EQ(Get("S", "Q254"), b254);
  // The system strips the closing quote after the cut, so a value whose
  // closing quote would be the 256th unit loses its last character.
  EXPECT_EQ(Get("S", "Q255"), b254);
  EXPECT_EQ(Get("S", "Q256"), b255);
  EXPECT_EQ(Get("S", "Open"), "\"" + b254);
}

TEST_F(ProfileRules, DefaultsLoseTrailingSpacesAndQuotesAndAreCut) {
  WriteIni("[S]\n");
  EXPECT_EQ(Get("S", "Missing", "  lead  "), "  lead");
  EXPECT_EQ(Get("S", "Missing", "tab\t"), "tab\t");
  EXPECT_EQ(Get("S", "Missing", "\"quoted\"  "), "quoted");
  EXPECT_EQ(Get("S", "Missing", ""), "");
  EXPECT_EQ(Get("S", "Missing", std::string(300, 'f')), std::string(255, 'f'));
  EXPECT_EQ(Get("Nope", "Missing", "'x'"), "x");
}

TEST_F(ProfileRules, MissingEmptyAndUnreadableFilesGiveTheDefault) {
  WriteIni("", "empty.ini");
  WriteIni("\xEF\xBB\xBF", "bom.ini");
  EXPECT_EQ(Get("S", "k", "dflt", "empty.ini"), "dflt");
  EXPECT_EQ(Get("S", "k", "dflt", "bom.ini"), "dflt");
  EXPECT_EQ(Get("S", "k", "\"dflt\"", "missing.ini"), "dflt");
  // A missing folder fails earlier in the system, before quotes are handled.
  EXPECT_EQ(Get("S", "k", "\"dflt\"", "nowhere\\missing.ini"), "\"dflt\"");
  EXPECT_EQ(m_profile.GetString("", "S", "k", "dflt"), "dflt");
}

TEST_F(ProfileRules, LinesEndAtCrOrLf) {
  WriteIni("[CR]\rk1=v1\rk2=v2\r[LF]\nA\rB=split\nlast=no line end");
  EXPECT_EQ(Get("CR", "k2"), "v2");
  EXPECT_EQ(Get("LF", "B"), "split");
  EXPECT_EQ(Get("LF", "A"), "D");
  EXPECT_EQ(Get("LF", "last"), "no line end");
}

TEST_F(ProfileRules, NulEndsANameOrValue) {
  using namespace std::string_literals;
  WriteIni("[S]\nN\0ul=name\nV=ab\0cd\nq=\"\0\"\n[A\0B]\nk=section\n"s);
  EXPECT_EQ(Get("S", "N"), "name");
  EXPECT_EQ(Get("S", "V"), "ab");
  EXPECT_EQ(Get("S", "q"), "\"");
  EXPECT_EQ(Get("A", "k"), "section");
  EXPECT_EQ(Get("A\0B"s, "k"), "section");
}

TEST_F(ProfileRules, AnsiBytesPassThroughUnchanged) {
  std::string high;
  for (int c = 0x80; c <= 0xFF; ++c) high.push_back(static_cast<char>(c));
  WriteIni("[S]\n\xC7\xD3\xE3=" + high + "\n");
  EXPECT_EQ(Get("S", "\xC7\xD3\xE3"), high);
}

TEST_F(ProfileRules, Utf8AndUtf16FilesReadAsTheAnsiCodePage) {
  // "k=" Beh Seen Meem, space, full-width A, A grave, Arabic-Indic one,
  // an emoji (two units) and a Han character.
  WriteIni(
      "\xEF\xBB\xBF[S]\r\nk=\xD8\xA8\xD8\xB3\xD9\x85 \xEF\xBC\xA1\xC3\x80\xD9\xA1"
      "\xF0\x9F\x98\x80\xE4\xB8\xAD\r\n\xEF\xBC\xAE=full width\r\nN=plain\r\n",
      "utf8.ini");
  EXPECT_EQ(Get("S", "k", "D", "utf8.ini"), "\xC8\xD3\xE3 AA1???");
  // Names are compared before conversion: a full-width N is not N.
  EXPECT_EQ(Get("S", "N", "D", "utf8.ini"), "plain");

  const std::u16string text = u"[S]\r\nk=\u0628\u00e9\r\n";
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char16_t u : text) {
    le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    be += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
  }
  WriteIni(le + "X", "le.ini");  // an odd last byte is ignored
  WriteIni(be, "be.ini");
  EXPECT_EQ(Get("S", "k", "D", "le.ini"), "\xC8\xE9");
  EXPECT_EQ(Get("S", "k", "D", "be.ini"), "\xC8\xE9");
}

TEST(ProfileEncoding, MalformedUtf8BecomesOneReplacementPerBadSequence) {
  const auto count = [](std::string_view bytes) {
    std::u16string units = Utf8ToUtf16(bytes);
    return std::count(units.begin(), units.end(), u'\uFFFD');
  };
  EXPECT_EQ(count("\x80"), 1);
  EXPECT_EQ(count("\xC0\x80"), 2);          // C0 never starts a sequence
  EXPECT_EQ(count("\xE0\x80\x80"), 2);      // overlong: lead and second byte as one
  EXPECT_EQ(count("\xED\xA0\x80"), 2);      // a surrogate
  EXPECT_EQ(count("\xF4\x90\x80\x80"), 3);  // past U+10FFFF
  EXPECT_EQ(count("\xF5\x80\x80\x80"), 4);
  EXPECT_EQ(count("\xC2\xC2\xA9"), 1);
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82x|"), u"\uFFFDx|");
  // Too close to the end: the lead takes the rest along.
  EXPECT_EQ(Utf8ToUtf16("x\xE2\x41"), u"x\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf8ToUtf16("\xED\x9F\xBF\xF4\x8F\xBF\xBF"), u"\uD7FF\U0010FFFF");
}

TEST(ProfileEncoding, UnitsWithoutAByteUseTheBestFitOrAQuestionMark) {
  EXPECT_EQ(Utf16UnitToAnsi(u'\u0627'), 0xC7);  // Alef
  EXPECT_EQ(Utf16UnitToAnsi(u'\uFE8D'), 0xC7);  // isolated Alef
  EXPECT_EQ(Utf16UnitToAnsi(u'\u0663'), '3');   // Arabic-Indic three
  EXPECT_EQ(Utf16UnitToAnsi(u'\uFF5E'), '~');   // full-width tilde
  EXPECT_EQ(Utf16UnitToAnsi(u'\u00C9'), 'E');
  EXPECT_EQ(Utf16UnitToAnsi(u'\u06CC'), 0xED);  // Farsi Yeh as Yeh
  EXPECT_EQ(Utf16UnitToAnsi(u'\u4E2D'), '?');
  EXPECT_EQ(Utf16UnitToAnsi(char16_t{0xD83D}), '?');  // a lone surrogate
  EXPECT_EQ(Utf16UnitToAnsi(u'\u00C4'), '?');         // no fit for A diaeresis
  for (int byte = 1; byte < 256; ++byte) {
    const std::u16string unit = AnsiToUtf16(std::string(1, static_cast<char>(byte)));
    ASSERT_EQ(Utf16UnitToAnsi(unit[0]), byte);
  }
}

class ProfileCache : public ProfileRules {};

TEST_F(ProfileCache, AFileIsParsedOnceWhileItIsUnchanged) {
  WriteIni("[Books]\nCount=3\n");
  for (int i = 0; i < 100; ++i) ASSERT_EQ(Get("Books", "Count"), "3");
  EXPECT_EQ(m_profile.ParseCount(), 1u);
}

TEST_F(ProfileCache, AChangedFileIsReadAgain) {
  WriteIni("[Books]\nCount=3\n");
  ASSERT_EQ(Get("Books", "Count"), "3");
  // Same size, later time.
  WriteIni("[Books]\nCount=4\n");
  fs::last_write_time(m_folder / "test.ini",
                      fs::last_write_time(m_folder / "test.ini") + std::chrono::seconds(3));
  EXPECT_EQ(Get("Books", "Count"), "4");
  WriteIni("[Books]\nCount=12\n");
  EXPECT_EQ(Get("Books", "Count"), "12");
  fs::remove(m_folder / "test.ini");
  EXPECT_EQ(Get("Books", "Count"), "D");
}

TEST_F(ProfileCache, ManyFilesStayCorrect) {
  const auto name = [](int i) { return std::string("f") + std::to_string(i) + ".ini"; };
  for (int i = 0; i < 40; ++i) {
    WriteIni(std::string("[S]\nk=") + std::to_string(i) + "\n", name(i));
  }
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 40; ++i) ASSERT_EQ(Get("S", "k", "D", name(i)), std::to_string(i));
  }
}

TEST_F(ProfileRules, ABareNameIsLookedForInTheConfiguredFolder) {
  fs::create_directories(m_folder / "Windows");
  WriteIni("[S]\nk=windows\n", "Windows/WIN.INI");
  IniProfileSource profile(m_files, "\\Windows");
  EXPECT_EQ(profile.GetString("win.ini", "S", "k", "D"), "windows");
  EXPECT_EQ(profile.GetString("\\Windows\\win.ini", "S", "k", "D"), "windows");
}

// The system's own answers, recorded by the Win32 differential test from the
// same files and queries.
TEST(ProfileAnswers, EveryRecordedAnswerOfTheSystemIsReproduced) {
  const std::string folder = std::string(ORVANE_SOURCE_DIR) + "/tests/data/ini";
  const auto queries = test::ReadProfileQueries(folder + "/queries.txt");
  const auto answers = test::ReadProfileQueries(folder + "/wine-answers.txt");
  ASSERT_GT(queries.size(), 100u);
  ASSERT_EQ(answers.size(), queries.size()) << "wine-answers.txt is older than queries.txt";

  PosixFileSystem files({}, folder);
  IniProfileSource profile(files);
  for (size_t i = 0; i < answers.size(); ++i) {
    const auto& a = answers[i];
    ASSERT_EQ(test::FormatProfileQuery(a), test::FormatProfileQuery(queries[i]))
        << "wine-answers.txt is older than queries.txt";
    EXPECT_EQ(test::EscapeField(profile.GetString("\\" + a.file, a.section, a.key, a.deflt)),
              test::EscapeField(a.answer))
        << "wine-answers.txt line " << a.line << ": " << test::FormatProfileQuery(a);
  }
}

}  // namespace
}  // namespace orvane
