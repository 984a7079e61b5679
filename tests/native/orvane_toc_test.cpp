// The orvane-toc tool, driven through its command-line entry so that the
// tests run exactly the forms people and scripts type, on real files in a
// scratch folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "loading/cp1256.h"
#include "model/toc_record.h"
// The tool's pieces are compiled into this test directly: the tool itself is
// built natively only, and these sources are portable.
#include "tools/orvane-toc/file_io.cpp"
#include "tools/orvane-toc/library_description.cpp"
#include "tools/orvane-toc/outline_source.cpp"
#include "tools/orvane-toc/toc_check.cpp"
#include "tools/orvane-toc/toc_cli.cpp"
#include "tools/orvane-toc/toc_dump.cpp"

namespace orvane::toc_tool {
namespace {

namespace fs = std::filesystem;

class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device seed;
    m_path = fs::temp_directory_path() / ("orvane-toc-test-" + std::to_string(seed()));
    fs::create_directories(m_path);
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  std::string Put(const std::string& name, std::string_view text) const {
    EXPECT_TRUE(WriteFileBytes(m_path / name, text));
    return (m_path / name).string();
  }
  std::string Path(const std::string& name) const { return (m_path / name).string(); }
  const fs::path& Root() const { return m_path; }

 private:
  fs::path m_path;
};

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun Tool(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = RunOrvaneToc(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadFileBytes(fs::path(path), bytes)) << path;
  return bytes;
}

// "A (A1 (A1x), A2), B (B1)", the layout example, with FilePos on one line.
constexpr std::string_view kExampleOutline = "A\n  A1\n    A1x\t99\n  A2\nB\n  B1\n";

// --- Outline sources --------------------------------------------------------

TEST(OutlineSource, IndentationMakesLevelsAndLinesGiveFilePos) {
  std::vector<TocSection> sections;
  SourceError error;
  ASSERT_TRUE(
      ParseOutline("\xEF\xBB\xBF"
                   "A\r\n  A1\r\n\r\n    A1x\t-1\r\n  A2\t1234\r\nB\r\n",
                   sections, error))
      << error.message;
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].title, "A");
  EXPECT_EQ(sections[0].filePos, 0);
  ASSERT_EQ(sections[0].children.size(), 2u);
  EXPECT_EQ(sections[0].children[0].filePos, 1);
  // The blank third line is skipped but keeps its number.
  ASSERT_EQ(sections[0].children[0].children.size(), 1u);
  EXPECT_EQ(sections[0].children[0].children[0].title, "A1x");
  EXPECT_EQ(sections[0].children[0].children[0].filePos, -1);
  EXPECT_EQ(sections[0].children[1].filePos, 1234);
  EXPECT_EQ(sections[1].title, "B");
  EXPECT_EQ(sections[1].filePos, 5);
  EXPECT_TRUE(sections[1].children.empty());
}

TEST(OutlineSource, ArabicTitlesAreStoredInWindows1256) {
  std::vector<TocSection> sections;
  SourceError error;
  // "سورة البقرة" with its FilePos
  ASSERT_TRUE(ParseOutline("\u0633\u0648\u0631\u0629 \u0627\u0644\u0628\u0642\u0631\u0629\t7\n",
                           sections, error));
  ASSERT_EQ(sections.size(), 1u);
  EXPECT_EQ(sections[0].title, "\xD3\xE6\xD1\xC9 \xC7\xE1\xC8\xDE\xD1\xC9");
  EXPECT_EQ(sections[0].filePos, 7);
}

TEST(OutlineSource, MistakesAreReportedWithTheirLine) {
  const struct {
    const char* text;
    size_t line;
    const char* says;
  } cases[] = {
      {"A\n   B\n", 2, "multiple of two"},
      {"A\n  B\n      C\n", 3, "more than one below"},
      {"  A\n", 1, "more than one below"},
      {"A\n\tB\n", 2, "tabs"},
      {"A\nB\tx12\n", 2, "FilePos"},
      {"A\nB\t99999999999\n", 2, "FilePos"},
      {"A\nB\t\n", 2, "FilePos"},
      {"A\n\n  \u0628\uFDFA\n", 3, "U+FDFA"},
      {"A\nB\x01\n", 2, "control character"},
      {"A\nB\xC3\n", 2, "malformed UTF-8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<TocSection> sections;
    SourceError error;
    EXPECT_FALSE(ParseOutline(c.text, sections, error));
    EXPECT_EQ(error.line, c.line);
    EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
    EXPECT_TRUE(sections.empty());
  }
}

TEST(OutlineSource, TextOutlineBecomesWindows1256WithCrLf) {
  std::string out;
  SourceError error;
  ASSERT_TRUE(ConvertTextOutline("\u0627\n  \u0628\r\n  \n\u062C", out, error));
  EXPECT_EQ(out, "\xC7\r\n  \xC8\r\n  \r\n\xCC\r\n");
  EXPECT_FALSE(ConvertTextOutline("ok\n  \u0671\n", out, error));
  EXPECT_EQ(error.line, 2u);
}

// --- build and dump ---------------------------------------------------------

TEST(OrvaneTocBuild, WritesTheFileAndDumpPrintsItAsTheReaderLoadsIt) {
  ScratchFolder folder;
  const std::string outline = folder.Put("book.txt", kExampleOutline);
  // A1's offset: packed after A and B, or first of the runs after the
  // terminator when only the top-level group leads.
  const struct {
    std::vector<std::string> options;
    uint32_t a1;
  } cases[] = {{{}, 54},
               {{"--leading", "2"}, 54},
               {{"--leading", "1", "--terminate"}, 75},
               {{"--terminate"}, 54}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a1);
    std::vector<std::string> args = {"build", outline, folder.Path("BOOK.TOC")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ToolRun build = Tool(args);
    ASSERT_EQ(build.status, kExitOk) << build.err;

    const ToolRun dump = Tool({"dump", folder.Path("BOOK.TOC")});
    EXPECT_EQ(dump.status, kExitOk);
    EXPECT_EQ(dump.out,
              "sections 2\n"
              "L2 C2 P0 F0 A\n"
              "  L3 C1 P10 F1 A1\n"
              "    L4 C0 P" +
                  std::to_string(c.a1) +
                  " F99 A1x\n"
                  "  L3 C0 P10 F3 A2\n"
                  "L2 C1 P0 F4 B\n"
                  "  L3 C0 P32 F5 B1\n");
    EXPECT_EQ(Tool({"check", folder.Path("BOOK.TOC")}).status, kExitOk);
  }
}

TEST(OrvaneTocBuild, DumpPrintsArabicTitlesAsUtf8) {
  ScratchFolder folder;
  // "كتاب الطهارة"
  const std::string title = "\u0643\u062A\u0627\u0628 \u0627\u0644\u0637\u0647\u0627\u0631\u0629";
  const std::string outline = folder.Put("book.txt", title + "\t100\n  \u0628\u0627\u0628\t101\n");
  ASSERT_EQ(Tool({"build", outline, folder.Path("B.TOC"), "--leading", "1"}).status, kExitOk);
  const ToolRun dump = Tool({"dump", folder.Path("B.TOC")});
  EXPECT_EQ(dump.out,
            "sections 1\nL2 C1 P0 F100 " + title + "\n  L3 C0 P10 F101 \u0628\u0627\u0628\n");
}

TEST(OrvaneTocBuild, UnmappableCharacterNamesTheLineAndWritesNothing) {
  ScratchFolder folder;
  // The honorific ligature ﷺ has no Windows-1256 byte.
  const std::string outline =
      folder.Put("book.txt", "A\n  A1\n  \u0645\u062D\u0645\u062F \uFDFA\nB\n");
  const ToolRun build = Tool({"build", outline, folder.Path("BOOK.TOC")});
  EXPECT_EQ(build.status, kExitFailed);
  EXPECT_NE(build.err.find("book.txt:3:"), std::string::npos) << build.err;
  EXPECT_NE(build.err.find("U+FDFA"), std::string::npos) << build.err;
  EXPECT_FALSE(fs::exists(folder.Path("BOOK.TOC")));
}

TEST(OrvaneTocBuild, BadIndentationNamesTheLineAndWritesNothing) {
  ScratchFolder folder;
  const std::string outline = folder.Put("book.txt", "A\n  A1\n      A1x\n");
  const ToolRun build = Tool({"build", outline, folder.Path("BOOK.TOC")});
  EXPECT_EQ(build.status, kExitFailed);
  EXPECT_NE(build.err.find("book.txt:3:"), std::string::npos) << build.err;
  EXPECT_FALSE(fs::exists(folder.Path("BOOK.TOC")));
}

TEST(OrvaneTocBuild, CommandLineMistakesAreUsageErrors) {
  ScratchFolder folder;
  const std::string outline = folder.Put("book.txt", kExampleOutline);
  EXPECT_EQ(Tool({}).status, kExitUsage);
  EXPECT_EQ(Tool({"frobnicate"}).status, kExitUsage);
  EXPECT_EQ(Tool({"build", outline}).status, kExitUsage);
  EXPECT_EQ(Tool({"build", outline, folder.Path("X.TOC"), "--leading"}).status, kExitUsage);
  EXPECT_EQ(Tool({"build", outline, folder.Path("X.TOC"), "--leading", "-1"}).status, kExitUsage);
  EXPECT_EQ(Tool({"build", outline, folder.Path("X.TOC"), "--fast"}).status, kExitUsage);
  EXPECT_EQ(Tool({"dump"}).status, kExitUsage);
  EXPECT_FALSE(fs::exists(folder.Path("X.TOC")));
  EXPECT_EQ(Tool({"dump", folder.Path("missing.toc")}).status, kExitFailed);
  EXPECT_EQ(Tool({"build", folder.Path("missing.txt"), folder.Path("X.TOC")}).status, kExitFailed);
}

// --- check --------------------------------------------------------------------

class OrvaneTocCheck : public ::testing::Test {
 protected:
  // The example book; with `leading` set, only that many groups lead.
  std::vector<uint8_t> Example(std::optional<uint32_t> leading = std::nullopt) {
    std::vector<TocSection> sections;
    SourceError error;
    EXPECT_TRUE(ParseOutline(kExampleOutline, sections, error));
    TocWriteOptions options;
    options.leadingGroups = leading;
    std::vector<uint8_t> bytes;
    std::string message;
    EXPECT_TRUE(WriteToc(sections, options, bytes, message));
    return bytes;
  }

  // Expects a problem at `offset` whose message holds `says`.
  static void ExpectProblem(const std::vector<uint8_t>& bytes, uint32_t offset,
                            const std::string& says) {
    const std::vector<TocProblem> problems = CheckToc(bytes);
    std::string all;
    for (const TocProblem& p : problems) all += std::to_string(p.offset) + ": " + p.message + "\n";
    const bool found = std::any_of(problems.begin(), problems.end(), [&](const TocProblem& p) {
      return p.offset == offset && p.message.find(says) != std::string::npos;
    });
    EXPECT_TRUE(found) << "wanted at " << offset << ": " << says << "\ngot:\n" << all;
  }

  // Offsets in the example book, all leading: A 10, B 32, A1 54, A2 77, A1x 100, B1 124.
  // With two leading groups: terminator 100, A1x 121, B1 147, end 172.
};

TEST_F(OrvaneTocCheck, SoundFilesHaveNoProblems) {
  EXPECT_TRUE(CheckToc(Example()).empty());
  for (uint32_t leading = 1; leading <= 4; ++leading)
    EXPECT_TRUE(CheckToc(Example(leading)).empty()) << leading;
  EXPECT_TRUE(CheckToc(std::vector<uint8_t>(10, 0)).empty());
}

TEST_F(OrvaneTocCheck, RecordsReachingPastTheEnd) {
  auto bytes = Example();
  bytes.resize(130);  // B1 at 124 loses most of its header
  ExpectProblem(bytes, 124, "past the end");

  bytes = Example();
  bytes.resize(bytes.size() - 1);  // B1 loses the last byte of its title
  ExpectProblem(bytes, 124, "reaches past the end");

  ExpectProblem(std::vector<uint8_t>(7, 0), 0, "fewer than its 10-byte header");
}

TEST_F(OrvaneTocCheck, RecordLengthBelowTheHeaderSize) {
  auto bytes = Example();
  WriteU16(bytes.data() + 32, 5);
  ExpectProblem(bytes, 32, "RecordLength 5 is below 21");
}

TEST_F(OrvaneTocCheck, MoreChildrenDeclaredThanStored) {
  auto bytes = Example(2);
  WriteU16(bytes.data() + 32 + rec::kChildCount, 2);  // B's deferred run holds one record
  ExpectProblem(bytes, 32, "ChildCount 2 but its deferred run holds 1");
  ExpectProblem(bytes, 172, "past the end");

  bytes = Example();
  WriteU16(bytes.data() + 6, 7);
  ExpectProblem(bytes, 6, "declares 7 top-level sections");

  // A header whose sections were never stored.
  ExpectProblem(Example(0), 6, "declares 2 top-level sections, the leading region holds 0");
}

TEST_F(OrvaneTocCheck, FirstChildPosOutsideTheFileOrOffTheFirstChild) {
  auto bytes = Example(2);
  WriteU32(bytes.data() + 32 + rec::kFirstChildPos, 5000);
  ExpectProblem(bytes, 32, "FirstChildPos 5000 lies outside");

  bytes = Example(2);
  WriteU32(bytes.data() + 32 + rec::kFirstChildPos, 165);  // a run starting 7 bytes before the end
  ExpectProblem(bytes, 165, "past the end");

  bytes = Example();
  WriteU32(bytes.data() + 10 + rec::kFirstChildPos, 77);  // A's first child is A1 at 54
  ExpectProblem(bytes, 10, "FirstChildPos 77 is not the offset of the first child, 54");
}

TEST_F(OrvaneTocCheck, ParentPosAndLevelMustFollowTheTree) {
  auto bytes = Example();
  WriteU32(bytes.data() + 77 + rec::kParentPos, 32);
  bytes[100 + rec::kLevel] = 9;
  WriteU32(bytes.data() + 10 + rec::kParentPos, 4);
  ExpectProblem(bytes, 77, "ParentPos 32 does not point at the parent record at 10");
  ExpectProblem(bytes, 100, "Level 9 where the outline puts the section at level 4");
  ExpectProblem(bytes, 10, "ParentPos 4 is not 0");

  bytes = Example(2);
  WriteU32(bytes.data() + 147 + rec::kParentPos, 10);  // B1, deferred, belongs to B at 32
  ExpectProblem(bytes, 147, "ParentPos 10 does not point at the parent record at 32");
}

TEST_F(OrvaneTocCheck, RunsThatLeadBackAreLoopsAndStop) {
  auto bytes = Example(2);
  // A1x (deferred, at 121) claims one child: itself.
  WriteU16(bytes.data() + 121 + rec::kChildCount, 1);
  WriteU32(bytes.data() + 121 + rec::kFirstChildPos, 121);
  ExpectProblem(bytes, 121, "leads back to the record at 121");

  // The reader-driven dump stops too, and says so.
  ScratchFolder folder;
  const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  folder.Put("LOOP.TOC", view);
  const ToolRun dump = Tool({"dump", folder.Path("LOOP.TOC")});
  EXPECT_EQ(dump.status, kExitFailed);
  EXPECT_NE(dump.out.find("stopped"), std::string::npos);
}

TEST_F(OrvaneTocCheck, TitlesCutShortAndStrayBytes) {
  auto bytes = Example();
  bytes[100 + 21 + 1] = 0;  // the '1' of A1x stored as zero
  ExpectProblem(bytes, 122, "stored zero byte");

  bytes = Example();
  bytes.insert(bytes.end(), {1, 2, 3});
  ExpectProblem(bytes, 147, "bytes 147..149 belong to no record");
}

TEST_F(OrvaneTocCheck, ToolReportsOffsetsAndExitsOneOnProblems) {
  ScratchFolder folder;
  auto bytes = Example();
  WriteU16(bytes.data() + 32, 5);
  folder.Put("BAD.TOC",
             std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  const ToolRun check = Tool({"check", folder.Path("BAD.TOC")});
  EXPECT_EQ(check.status, kExitFailed);
  EXPECT_NE(check.out.find("offset 32: RecordLength 5 is below 21"), std::string::npos)
      << check.out;

  bytes = Example();
  folder.Put("GOOD.TOC",
             std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  EXPECT_EQ(Tool({"check", folder.Path("GOOD.TOC")}).status, kExitOk);
}

TEST_F(OrvaneTocCheck, RandomDamageNeverCrashesAndWhatCheckPassesLoadsWhole) {
  std::mt19937 random(8);
  const auto sound = Example(2);
  int passed = 0;
  for (int round = 0; round < 2000; ++round) {
    auto bytes = sound;
    for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n) {
      bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
    }
    if (random() % 4 == 0) bytes.resize(random() % bytes.size());
    const bool clean = CheckToc(bytes).empty();
    std::ostringstream out;
    DumpToc(bytes, out);
    ASSERT_EQ(out.str().rfind("sections ", 0), 0u);
    if (!clean) continue;
    // A file check passes is one the reader loads whole: every section the
    // header and the records declare is printed, once.
    ++passed;
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line);
    long declared = std::stol(line.substr(9));
    long printed = 0;
    while (std::getline(lines, line)) {
      ++printed;
      declared += std::stol(line.substr(line.find(" C") + 2));
    }
    EXPECT_EQ(printed, declared) << out.str();
  }
  EXPECT_GT(passed, 100);  // damage to titles and FilePos leaves files sound
}

// --- library and text ----------------------------------------------------------

TEST(OrvaneTocLibrary, BuildsTheCatalogueAndEveryBook) {
  ScratchFolder folder;
  folder.Put("a.txt", kExampleOutline);
  folder.Put("b.txt", "\u0628\u0627\u0628\n");
  folder.Put("library.txt",
             "# two categories, the second empty\n"
             "catalogue MAKTABA\n"
             "directory C:\\\u0645\u0643\u062A\u0628\u0629\n"
             "category \u0627\u0644\u0641\u0642\u0647\n"
             "book FIQH1 | \u0627\u0644\u0623\u0648\u0644 | a.txt | leading 1\n"
             "book Fiqh2 | Second | b.txt | terminate\n"
             "category \u0627\u0644\u0646\u062D\u0648\n");
  const ToolRun run = Tool({"library", folder.Path("library.txt"), folder.Path("out")});
  ASSERT_EQ(run.status, kExitOk) << run.err;

  std::string ini;
  ASSERT_TRUE(ReadFileText(folder.Root() / "out" / "MAKTABA.INI", ini));
  EXPECT_EQ(
      ini,
      "[Directories]\r\nTOC=C:\\\xE3\xDF\xCA\xC8\xC9\r\n\r\n"
      "[Books]\r\nCount=2\r\n\r\n"
      "[Categories]\r\nCount=2\r\nName1=\xC7\xE1\xDD\xDE\xE5\r\nName2=\xC7\xE1\xE4\xCD\xE6\r\n\r\n"
      "[Category1]\r\nCount=2\r\nTitle1=\xC7\xE1\xC3\xE6\xE1\r\nName1=FIQH1\r\n"
      "Title2=Second\r\nName2=Fiqh2\r\n\r\n"
      "[Category2]\r\nCount=0\r\n");

  const auto fiqh1 = Bytes(folder.Path("out/FIQH1.TOC"));
  EXPECT_TRUE(CheckToc(fiqh1).empty());
  // One leading group: A and B, the terminator, then three runs of records
  // two bytes apart: A1, A2, A1x, B1.
  EXPECT_EQ(fiqh1.size(), 10u + 22 + 22 + 21 + (23 + 2) + (23 + 2) + (24 + 2) + (23 + 2));
  const auto fiqh2 = Bytes(folder.Path("out/Fiqh2.TOC"));
  EXPECT_EQ(fiqh2.size(), 10u + 24u + 21u);

  // --directory overrides the description.
  ASSERT_EQ(
      Tool({"library", folder.Path("library.txt"), folder.Path("out2"), "--directory", "Z:\\books"})
          .status,
      kExitOk);
  ASSERT_TRUE(ReadFileText(folder.Root() / "out2" / "MAKTABA.INI", ini));
  EXPECT_EQ(ini.rfind("[Directories]\r\nTOC=Z:\\books\r\n", 0), 0u);
}

TEST(OrvaneTocLibrary, MistakesNameTheirLineAndWriteNothing) {
  const struct {
    const char* description;
    const char* says;
  } cases[] = {
      {"catalogue L\nbook A | t | a.txt\n", ":2: a book before the first category"},
      {"catalogue L\ncategory c\nbook A | t | a.txt\nbook a | u | a.txt\n",
       ":4: book name \"a\" is used twice"},
      {"catalogue L\ncategory c\nbook A | t\n", ":3: a book needs"},
      {"catalogue L\ncategory c\nbook A/B | t | a.txt\n", ":3: book name"},
      {"catalogue L\ncategory \uFDFA\n", ":2: the category title: U+FDFA"},
      {"catalogue L\ncategory c\nbook A | t | a.txt | leading x\n", ":3: \"x\" is not a number"},
      {"catalogue L\ncategory c\nbook A | t | a.txt | fast\n", ":3: unknown book option"},
      {"catalogue L\ncategory c\nbook A | t | missing.txt\n", ":3: cannot read the outline"},
      {"catalogue L\ncategory c\nbook A | t | bad.txt\n", "bad.txt:2:"},
      {"category c\n", "no catalogue line"},
      {"catalogue L\nshelf x\n", ":2: unknown line"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    ScratchFolder folder;
    folder.Put("a.txt", "A\n");
    folder.Put("bad.txt", "A\n   B\n");
    folder.Put("library.txt", c.description);
    const ToolRun run = Tool({"library", folder.Path("library.txt"), folder.Path("out")});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(folder.Root() / "out"));
  }

  ScratchFolder folder;
  folder.Put("a.txt", "A\n");
  folder.Put("library.txt",
             "catalogue L\ncategory c\nbook A | " + std::string(256, 'x') + " | a.txt\n");
  const ToolRun run = Tool({"library", folder.Path("library.txt"), folder.Path("out")});
  EXPECT_NE(run.err.find("at most 255"), std::string::npos) << run.err;
}

TEST(OrvaneTocLibrary, TheBundledSampleLibraryBuildsSound) {
  const fs::path samples = fs::path(ORVANE_SOURCE_DIR) / "samples";
  if (!fs::exists(samples / "library.txt"))
    GTEST_SKIP() << "no sample library at " << samples.string();
  ScratchFolder folder;
  const ToolRun run = Tool({"library", (samples / "library.txt").string(), folder.Path("out")});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  size_t books = 0;
  for (const auto& entry : fs::directory_iterator(folder.Root() / "out")) {
    if (entry.path().extension() != ".TOC") continue;
    ++books;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(entry.path(), bytes));
    const auto problems = CheckToc(bytes);
    EXPECT_TRUE(problems.empty()) << entry.path().string() << ": " << problems.front().message;
  }
  EXPECT_GE(books, 12u);
}

TEST(OrvaneTocText, ConvertsAFreeOutlineFile) {
  ScratchFolder folder;
  const std::string source = folder.Put("outline.txt", "\u0627\n  \u0628\n");
  ASSERT_EQ(Tool({"text", source, folder.Path("OUT.TXT")}).status, kExitOk);
  std::string text;
  ASSERT_TRUE(ReadFileText(folder.Root() / "OUT.TXT", text));
  EXPECT_EQ(text, "\xC7\r\n  \xC8\r\n");

  folder.Put("bad.txt", "a\n\u0671\n");
  const ToolRun bad = Tool({"text", folder.Path("bad.txt"), folder.Path("REFUSED.TXT")});
  EXPECT_EQ(bad.status, kExitFailed);
  EXPECT_NE(bad.err.find("bad.txt:2:"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder.Path("REFUSED.TXT")));
}

}  // namespace
}  // namespace orvane::toc_tool
