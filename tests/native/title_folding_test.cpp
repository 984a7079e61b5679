#include <gtest/gtest.h>

#include <string>

#include "loading/cp1256.h"
#include "loading/title_folding.h"

namespace orvane {
namespace {

std::string Cp(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp1256(utf8, out)) << utf8;
  return out;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

bool Finds(const std::string& queryUtf8, const std::string& titleUtf8) {
  const std::string title = Cp(titleUtf8);
  return FoldedQuery(Cp(queryUtf8))
      .FoundIn(Bytes(title), static_cast<uint32_t>(title.size()), TitleBytes::Decoded);
}

// The same title as a book's file stores it: every byte one less.
std::string Stored(const std::string& cp1256) {
  std::string s = cp1256;
  for (char& c : s) c = static_cast<char>(static_cast<uint8_t>(c) - 1);
  return s;
}

struct TitlePair {
  const char* query;
  const char* title;
  bool found;
};

// Titles of real books and chapters, and what a reader types for them.
const TitlePair kTitlePairs[] = {
    {"احياء علوم الدين", "إحياء علوم الدين", true},
    {"الصلاه", "الصَّلاة", true},
    {"الصلاة", "كتاب الصلاه", true},
    {"القران", "تفسير القرآن العظيم", true},
    {"الاذان", "باب الأذان", true},
    {"مساله", "مسألة في الطهارة", true},
    {"سوال", "سؤال وجواب", true},
    {"المسايل", "المسائل الفقهية", true},
    {"موسي", "قصة موسى", true},
    {"علي", "الرد على المخالف", true},
    {"جزء عم", "تفسير جزء عمّ", true},
    {"بهنام", "به‌نام", true},
    {"كتاب الصلاة", "كتـــاب   الصَّـلاة", true},
    {"كتاب الصلاة", "كتاب\tالصلاة", true},
    {"كتاب الصلاة", "كتاب\u00A0الصلاة", true},
    {"  الصلاة  ", "كتاب الصلاة", true},
    {"sahih", "SAHIH al-Bukhari", true},
    {"AL-BUKHARI", "Sahih al-Bukhari", true},
    {"bukhari", "\u200FBukh\u200Eari", true},
    // What must stay apart.
    {"كتاب الصلاة", "كتابالصلاة", false},
    {"جزو", "جزء عم", false},
    {"ا", "ء", false},
    {"باب", "كتاب", false},
    {"cafe", "café", false},
    {"é", "e", false},
    {"الزكاة", "الصلاة", false},
    {"ت", "ة", false},
    {"ه", "ة", true},
    {"ي", "ئ", true},
    {"و", "ؤ", true},
    // Queries that fold to nothing.
    {"َّ", "الصَّلاة", false},
    {"ـــ", "كتـــاب", false},
    {"   ", "كتاب الصلاة", false},
    {"", "كتاب", false},
};

TEST(TitleFolding, RealTitlePairs) {
  for (const TitlePair& p : kTitlePairs) {
    EXPECT_EQ(Finds(p.query, p.title), p.found) << p.query << " in " << p.title;
    // A book's file holds the same title shifted; it must fold the same.
    const std::string stored = Stored(Cp(p.title));
    EXPECT_EQ(FoldedQuery(Cp(p.query))
                  .FoundIn(Bytes(stored), static_cast<uint32_t>(stored.size()), TitleBytes::Stored),
              p.found)
        << p.query << " in the stored " << p.title;
  }
}

struct FoldCase {
  const char* text;
  const char* folded;
};

const FoldCase kFoldCases[] = {
    {"إحياء علوم الدين", "احياء علوم الدين"},
    {"آأإا", "اااا"},
    {"ىيئ", "ييي"},
    {"ة ه", "ه ه"},
    {"ؤو", "وو"},
    {"ء", "ء"},
    {"ًٌٍَُِّْ", ""},
    {"كـتـاب", "كتاب"},
    {"ABCxyz", "abcxyz"},
    {"éàçŒœ", "éàçŒœ"},
    {" \t\u00A0a \t b\u00A0 ", "a b"},
    {"a \u064E b", "a b"},
    {"\u200C\u200D\u200E\u200Fa", "a"},
};

TEST(TitleFolding, FoldedForms) {
  for (const FoldCase& c : kFoldCases) {
    EXPECT_EQ(FoldCp1256(Cp(c.text)), Cp(c.folded)) << c.text;
  }
}

TEST(TitleFolding, EveryByteFoldsToAByteThatFoldsToItself) {
  // A folded query folds to itself: FoldText twice gives what once gives.
  for (int b = 0; b < 256; ++b) {
    const std::string once = FoldCp1256(std::string(1, static_cast<char>(b)));
    EXPECT_EQ(FoldCp1256(once), once) << b;
  }
}

TEST(TitleFolding, StoredTitlesEndWhereTheReaderEndsThem) {
  const std::string title = Stored("abc") + std::string(1, '\0') + Stored("xyz");
  const auto n = static_cast<uint32_t>(title.size());
  EXPECT_TRUE(FoldedQuery("abc").FoundIn(Bytes(title), n, TitleBytes::Stored));
  EXPECT_FALSE(FoldedQuery("xyz").FoundIn(Bytes(title), n, TitleBytes::Stored));
  // A stored 0xFF decodes to the zero that ends the title as shown.
  const std::string ff = Stored("abc") + "\xFF" + Stored("xyz");
  EXPECT_FALSE(FoldedQuery("xyz").FoundIn(Bytes(ff), 7, TitleBytes::Stored));
  // A stored line feed or carriage return shows as a blank.
  const std::string lf = Stored("a\nb\rc");
  EXPECT_TRUE(FoldedQuery("a b c").FoundIn(Bytes(lf), 5, TitleBytes::Stored));
  // A decoded title ends at its first zero or its length.
  const std::string decoded = std::string("ab\0cd", 5);
  EXPECT_FALSE(FoldedQuery("cd").FoundIn(Bytes(decoded), 5, TitleBytes::Decoded));
  EXPECT_FALSE(FoldedQuery("abc").FoundIn(Bytes("abcd"), 2, TitleBytes::Decoded));
}

struct HostileQuery {
  const char* name;
  std::string query;
};

TEST(TitleFolding, HostileQueriesMatchNothing) {
  const std::string title = Cp("كتاب الصلاة abc");
  const HostileQuery queries[] = {
      {"empty", ""},
      {"only marks", Cp("ًٌٍَُِّْـ\u200C\u200F")},
      {"only blanks", " \t\xA0 "},
      {"embedded zero", std::string("ab\0c", 4)},
      {"trailing zero", std::string("abc\0", 4)},
      {"longer than any title", std::string(100000, '\xC7')},
      {"repeats beyond the title", Cp("كتاب الصلاة abc") + "a"},
  };
  for (const HostileQuery& q : queries) {
    FoldedQuery folded(q.query);
    EXPECT_FALSE(
        folded.FoundIn(Bytes(title), static_cast<uint32_t>(title.size()), TitleBytes::Decoded))
        << q.name;
    EXPECT_FALSE(
        folded.BeginsTitle(Bytes(title), static_cast<uint32_t>(title.size()), TitleBytes::Decoded))
        << q.name;
  }
  EXPECT_TRUE(FoldedQuery::Nothing().MatchesNothing());
}

TEST(TitleFolding, RepeatedPatternsAreFoundAfterPartialMatches) {
  // Partial matches that overlap the real one: a search that restarts past
  // them misses it.
  struct Case {
    const char* query;
    const char* title;
    bool found;
  } cases[] = {
      {"aab", "aaab", true},    {"abab", "abaabab", true},     {"aaaa", "aaa aaaa", true},
      {"a b", "a  a  b", true}, {"ab", "a\xDC\xF3\x62", true}, {"aba", "ab ab", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FoldedQuery(c.query).FoundIn(Bytes(c.title),
                                           static_cast<uint32_t>(std::string(c.title).size()),
                                           TitleBytes::Decoded),
              c.found)
        << c.query << " in " << c.title;
  }
}

TEST(TitleFolding, PrefixesBeginTitles) {
  struct Case {
    const char* prefix;
    const char* title;
    bool begins;
  } cases[] = {
      {"اح", "إحياء علوم الدين", true},
      {"  اح", "  إحياء", true},
      {"كتاب ا", "كتاب\t\tالأذان", true},
      {"حياء", "إحياء", false},
      {"sa", "Sahih", true},
      {"كتابا", "كتاب", false},
  };
  for (const Case& c : cases) {
    const std::string title = Cp(c.title);
    EXPECT_EQ(
        FoldedQuery(Cp(c.prefix))
            .BeginsTitle(Bytes(title), static_cast<uint32_t>(title.size()), TitleBytes::Decoded),
        c.begins)
        << c.prefix << " / " << c.title;
  }
}

}  // namespace
}  // namespace orvane
