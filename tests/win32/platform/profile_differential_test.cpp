// The portable profile reader against the system's own, on the same files:
// every query of tests/data/ini/queries.txt must read the same through
// IniProfileSource (over PosixFileSystem) as through GetPrivateProfileStringA.
// With ORVANE_RECORD_PROFILE_ANSWERS set to a path, the system's answers are
// written there, for the native tests to check against.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <vector>

#include "platform/portable/ini_profile_source.h"
#include "platform/portable/posix_file_system.h"
#include "platform/portable/profile_encoding.h"
#include "platform/win32/win32_profile_source.h"
#include "tests/win32/platform/profile_queries.h"

namespace orvane {
namespace {

// The data folder as a Windows path: the source tree is reached through the
// drive that maps the Unix root.
std::string DataFolder() {
  std::string path = "Z:" + std::string(ORVANE_SOURCE_DIR) + "/tests/data/ini";
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

TEST(ProfileDifferential, EveryQueryReadsAsTheSystemReadsIt) {
  const std::string folder = DataFolder();
  const auto queries = test::ReadProfileQueries(folder + "\\queries.txt");
  ASSERT_GT(queries.size(), 100u) << "queries.txt not found under " << folder;

  Win32ProfileSource system;
  PosixFileSystem files({{'Z', "Z:\\"}});
  IniProfileSource portable(files);

  const char* recordPath = std::getenv("ORVANE_RECORD_PROFILE_ANSWERS");
  std::ofstream record;
  if (recordPath != nullptr) {
    record.open(recordPath, std::ios::binary);
    record << "# What the system's profile reading answered to each query of queries.txt:\n"
              "# file, section, key, default and answer, separated by tabs.\n";
  }

  int mismatches = 0;
  for (const auto& q : queries) {
    const std::string path = folder + "\\" + q.file;
    const std::string expected = system.GetString(path, q.section, q.key, q.deflt);
    const std::string actual = portable.GetString(path, q.section, q.key, q.deflt);
    if (record.is_open()) {
      record << test::FormatProfileQuery(q) << "\t" << test::EscapeField(expected) << "\n";
    }
    if (expected != actual) ++mismatches;
    EXPECT_EQ(test::EscapeField(expected), test::EscapeField(actual))
        << "queries.txt line " << q.line << ": " << test::FormatProfileQuery(q);
  }
  EXPECT_EQ(mismatches, 0);
}

// Inside a batch the control's profile source answers from its own parse of
// each file: every query must read as the system reads it, value by value.
TEST(ProfileDifferential, BatchedReadsMatchTheSystemsOwn) {
  const std::string folder = DataFolder();
  const auto queries = test::ReadProfileQueries(folder + "\\queries.txt");
  ASSERT_GT(queries.size(), 100u);
  Win32ProfileSource source;
  std::vector<std::string> system;
  for (const auto& q : queries) {
    system.push_back(source.GetString(folder + "\\" + q.file, q.section, q.key, q.deflt));
  }
  ProfileBatch batch(source);
  for (size_t i = 0; i < queries.size(); ++i) {
    const auto& q = queries[i];
    EXPECT_EQ(test::EscapeField(system[i]), test::EscapeField(source.GetString(
                                                folder + "\\" + q.file, q.section, q.key, q.deflt)))
        << "queries.txt line " << q.line << ": " << test::FormatProfileQuery(q);
  }
}

// A value read from a UTF-8 file goes through both of the system's
// conversions; random byte strings, biased towards UTF-8 lead and trail bytes,
// must come out the same from the portable ones.
TEST(ProfileDifferential, Utf8ConversionMatchesTheSystemOnRandomBytes) {
  std::mt19937 random(20261208);
  const uint8_t interesting[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0,
                                 0xBF, 0xC0, 0xC1, 0xC2, 0xD8, 0xDF, 0xE0, 0xE2,
                                 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xF8, 0xFE, 0xFF};
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(random() % 12 + 1, '\0');
    for (char& b : bytes) {
      b = static_cast<char>(random() % 2 ? interesting[random() % sizeof interesting]
                                         : random() % 256);
    }
    std::wstring wide(bytes.size() * 2 + 2, L'\0');
    int units = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                    wide.data(), static_cast<int>(wide.size()));
    wide.resize(units);
    std::string ansi(wide.size() * 2 + 2, '\0');
    const int length = wide.empty()
                           ? 0
                           : WideCharToMultiByte(CP_ACP, 0, wide.data(), units, ansi.data(),
                                                 static_cast<int>(ansi.size()), nullptr, nullptr);
    ansi.resize(length);

    const std::u16string portableWide = Utf8ToUtf16(bytes);
    ASSERT_EQ(std::u16string(wide.begin(), wide.end()), portableWide)
        << "UTF-8 input " << test::EscapeField(bytes);
    ASSERT_EQ(test::EscapeField(ansi), test::EscapeField(Utf16ToAnsi(portableWide)))
        << "UTF-8 input " << test::EscapeField(bytes);
  }
}

TEST(ProfileDifferential, EveryUnitConvertsToTheSystemsAnsiByte) {
  ASSERT_EQ(GetACP(), 1256u) << "the tests expect the Arabic locale that scripts/with-wine sets";
  for (unsigned unit = 1; unit < 0x10000; ++unit) {
    const auto w = static_cast<wchar_t>(unit);
    char out[4] = {};
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, &w, 1, out, sizeof out, nullptr, nullptr), 1);
    ASSERT_EQ(static_cast<uint8_t>(out[0]), Utf16UnitToAnsi(static_cast<char16_t>(unit)))
        << "U+" << std::hex << unit;
  }
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// Random files over the characters the rules turn on, with random queries over
// the names that occur in them, must read the same both ways: this finds rules
// the hand-written files do not think of.
TEST(ProfileDifferential, RandomFilesReadAsTheSystemReadsThem) {
  std::mt19937 random(8121226);
  const std::string alphabet[] = {"[",
                                  "]",
                                  "=",
                                  " ",
                                  "\t",
                                  "\r",
                                  "\n",
                                  "\r\n",
                                  "\"",
                                  "'",
                                  ";",
                                  "a",
                                  "A",
                                  "b",
                                  "k",
                                  "K",
                                  std::string(1, '\0'),
                                  "\x1a",
                                  "\xc7",
                                  "\x8c",
                                  "\x9c",
                                  "\xa0",
                                  "\xef\xbb\xbf",
                                  "\xd9\xa1",
                                  "\x0b"};
  const std::string names[] = {"",   " ",  "a",  "A",  "k",    "K",    "b",   "a b",
                               "ak", "[a", "a]", ";k", "\xc7", "\x9c", "\t k"};
  const std::string defaults[] = {"D", "", "\"q\"", "  x  ", "'", "'z'"};

  char folder[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  Win32ProfileSource system;
  PosixFileSystem files({{folder[0], std::string(folder, 2) + "\\"}});
  IniProfileSource portable(files);

  int mismatches = 0;
  int found = 0;  // queries that found a value rather than the default
  for (int round = 0; round < 1000 && mismatches < 10; ++round) {
    const auto pick = [&](const auto& from) { return from[random() % std::size(from)]; };
    const auto noise = [&](int most) {
      std::string piece;
      for (int n = static_cast<int>(random() % (most + 1)); n > 0; --n) piece += pick(alphabet);
      return piece;
    };
    std::vector<std::string> sections{""}, keys;  // names written, for asking after
    std::string text = random() % 4 == 0 ? "\xef\xbb\xbf" : "";
    if (round % 2 == 0) {
      text += noise(60);
    } else {
      // Lines shaped like headers and keys, with noise in the names and values.
      const std::string blanks[] = {"", " ", "\t", " \x1a"};
      const std::string ends[] = {"\r\n", "\n", "\r", ""};
      for (int lines = static_cast<int>(random() % 12); lines > 0; --lines) {
        text += pick(blanks);
        switch (random() % 3) {
          case 0:
            sections.push_back(pick(names));
            sections.back() += noise(1);
            for (const std::string& part : {std::string(1, '['), pick(blanks), sections.back(),
                                            pick(blanks), std::string(1, ']'), noise(2)}) {
              text += part;
            }
            break;
          case 1:
            keys.push_back(pick(names));
            keys.back() += noise(1);
            for (const std::string& part : {keys.back(), pick(blanks), std::string(1, '='),
                                            pick(blanks), noise(4), pick(defaults), pick(blanks)}) {
              text += part;
            }
            break;
          default:
            text += pick(names);
            text += noise(2);
            break;
        }
        text += pick(ends);
      }
    }
    const std::string path =
        std::string(folder) + "orvane-random-" + std::to_string(round) + ".ini";
    {
      std::ofstream out(path, std::ios::binary);
      out << text;
    }
    for (int q = 0; q < 12; ++q) {
      const bool written = !keys.empty() && random() % 4 != 0;
      const std::string section = written ? pick(sections) : pick(names);
      const std::string key = written ? pick(keys) : pick(names);
      const std::string& deflt = defaults[random() % std::size(defaults)];
      const std::string expected = system.GetString(path, section, key, deflt);
      const std::string actual = portable.GetString(path, section, key, deflt);
      // "\x01" occurs in no generated file.
      if (expected != portable.GetString(path, "\x01", "\x01", deflt)) ++found;
      if (expected == actual) continue;
      ++mismatches;
      ADD_FAILURE() << "file " << test::EscapeField(text) << "\nsection "
                    << test::EscapeField(section) << " key " << test::EscapeField(key)
                    << " default " << test::EscapeField(deflt) << "\nsystem "
                    << test::EscapeField(expected) << "\nportable " << test::EscapeField(actual);
    }
    DeleteFileA(path.c_str());
  }
  // Most queries miss; enough must hit for the comparison to mean something.
  EXPECT_GT(found, 800) << "the generated files rarely hold what is asked";
}

}  // namespace
}  // namespace orvane
