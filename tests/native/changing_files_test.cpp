// Book files that are missing, locked, cut, replaced, moved or too large
// when the control reads them, and reads that run out of memory part-way.
#include <gtest/gtest.h>

#include "tests/native/allocation_faults.h"
#include "tests/native/test_support.h"

namespace orvane::test {
namespace {

// A file that tells one size and holds fewer bytes: it was cut by another
// program between the two.
class ShrunkFile : public File {
 public:
  ShrunkFile(std::vector<uint8_t> bytes, int64_t toldSize)
      : m_file(std::move(bytes)), m_toldSize(toldSize) {}
  int64_t Size() override { return m_toldSize; }
  bool Seek(uint32_t pos) override { return m_file.Seek(pos); }
  size_t Read(void* buffer, size_t count) override {
    ++reads;
    return m_file.Read(buffer, count);
  }
  int reads = 0;

 private:
  MemoryFile m_file;
  int64_t m_toldSize;
};

// Serves one file, whatever the path, as a ShrunkFile.
class OneFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> OpenRead(std::string_view path, Share) override {
    opened.emplace_back(path);
    return std::make_unique<ShrunkFile>(bytes, toldSize);
  }
  std::vector<uint8_t> bytes;
  int64_t toldSize = 0;
  std::vector<std::string> opened;
};

// A library whose one book keeps B's children in a deferred run.
struct DeferredBook : CoreFixture {
  TocBytes toc{2};
  DeferredBook() {
    toc.Record("A", {.childCount = 0, .filePos = 1});
    uint32_t b = toc.Record("B", {.childCount = 2, .filePos = 2});
    toc.Zeros(21);
    uint32_t run = toc.Size();
    toc.Record("B1", {.parentPos = b, .level = 3, .filePos = 21});
    toc.Bytes({0, 0});
    toc.Record("B2", {.parentPos = b, .level = 3, .filePos = 22});
    toc.Bytes({0, 0});
    toc.Patch32(b, rec::kFirstChildPos, run);
    Catalogue("lib", {{"deep"}});
    files.Put("lib\\deep.TOC", toc.Get(), 7);
    core.LoadBooks("lib");
    core.View().ToggleNode(0);
    core.View().ToggleNode(1);  // the book: A and B
  }
  int32_t OpenB() { return core.View().ToggleNode(RowOf("B")); }
};

TEST(ChangingFiles, DeferredChildrenComeOnlyFromTheFileTheBookWasReadFrom) {
  // What happens between the book's leading read and the opening of B.
  struct Case {
    const char* name;
    void (*change)(DeferredBook&);
    int32_t rows;
    std::vector<std::string> opened;
  };
  const Case cases[] = {
      {"nothing", [](DeferredBook&) {}, 2, {"lib\\deep.TOC"}},
      {"BooksDir moved",
       [](DeferredBook& f) {
         f.files.Put("elsewhere\\deep.Toc", f.toc.Get(), 7);
         f.core.Catalogue().SetBooksDir("elsewhere");
       },
       2,
       {"lib\\deep.TOC"}},
      {"TopicName changed",
       [](DeferredBook& f) {
         f.Catalogue("other", {{"other"}});
         f.core.Catalogue().SetTopicName("other");
       },
       2,
       {"lib\\deep.TOC"}},
      {"rewritten with the same size",
       [](DeferredBook& f) { f.files.Put("lib\\deep.TOC", f.toc.Get(), 8); },
       0,
       {"lib\\deep.TOC"}},
      {"cut",
       [](DeferredBook& f) {
         std::vector<uint8_t> cut = f.toc.Get();
         cut.resize(cut.size() - 4);
         f.files.Put("lib\\deep.TOC", cut, 7);
       },
       0,
       {"lib\\deep.TOC"}},
      {"gone", [](DeferredBook& f) { f.files.Remove("lib\\deep.TOC"); }, 0, {"lib\\deep.TOC"}},
  };
  for (const Case& c : cases) {
    DeferredBook f;
    c.change(f);
    f.files.opened.clear();
    EXPECT_EQ(f.OpenB(), c.rows) << c.name;
    EXPECT_EQ(f.files.opened, c.opened) << c.name;
    if (c.rows == 0) {
      EXPECT_EQ(f.core.Outline().BookNode(1)->m_children[1]->m_children.Count(), 0) << c.name;
    }
  }
}

TEST(ChangingFiles, EveryReadSharesReadingAndWriting) {
  DeferredBook f;
  f.OpenB();
  f.core.Queries().GetSectionTitle(1, 10);
  ASSERT_EQ(f.files.shares.size(), 2u);  // the leading read, then B's run
  for (Share share : f.files.shares) EXPECT_EQ(share, Share::ReadWrite);
}

TEST(ChangingFiles, AFileCutWhileItIsReadGivesWhatItStillHolds) {
  SampleBook sample;
  GapRowList rows{20};
  MapProfile profile;
  OneFileSystem files;
  RecordingHoverTimer timer;
  OrvaneCore core{rows, profile, files, timer};
  profile.Set("lib.INI", "Directories", "TOC", "lib");
  profile.Set("lib.INI", "Categories", "Count", "1");
  profile.Set("lib.INI", "Category1", "Count", "1");
  profile.Set("lib.INI", "Category1", "Name1", "a");
  // The file held the whole book when its size was told, and then lost its
  // last record (B1): A and its subtree are still there.
  files.bytes = sample.toc.Get();
  files.toldSize = static_cast<int64_t>(files.bytes.size());
  files.bytes.resize(sample.b1);
  core.LoadBooks("lib");
  EXPECT_EQ(core.Queries().GetSectionTitle(1, static_cast<int32_t>(sample.a1x)), "A1x");
  EXPECT_EQ(core.Queries().TocToFilePos(1, static_cast<int32_t>(sample.b1)), -1);
  EXPECT_EQ(core.Outline().Shelf().Length(1), sample.b1);
  EXPECT_EQ(files.opened.size(), 1u);
}

TEST(ChangingFiles, TocFilesAboveTheCapAreNotReadAtAll) {
  SampleBook sample;
  struct Case {
    int64_t toldSize;
    bool read;
  };
  for (Case c : {Case{kMaxTocFileBytes, true}, Case{kMaxTocFileBytes + 1, false},
                 Case{4'000'000'000LL, false}}) {
    GapRowList rows{20};
    MapProfile profile;
    OneFileSystem files;
    RecordingHoverTimer timer;
    OrvaneCore core{rows, profile, files, timer};
    profile.Set("lib.INI", "Categories", "Count", "1");
    profile.Set("lib.INI", "Category1", "Count", "1");
    profile.Set("lib.INI", "Category1", "Name1", "a");
    // The file says it is that large and holds the sample book: a read
    // gives the book, with the rest as if cut.
    files.bytes = sample.toc.Get();
    files.toldSize = c.toldSize;
    core.LoadBooks("lib");
    EXPECT_EQ(core.Queries().GetSectionTitle(1, static_cast<int32_t>(sample.a)), c.read ? "A" : "")
        << c.toldSize;
    EXPECT_EQ(core.Outline().Shelf().ReadFailed(1), !c.read) << c.toldSize;
  }
}

TEST(ChangingFiles, AReadThatRunsOutOfMemoryLeavesNoSectionAndIsTriedAgain) {
  // Each allocation of the book's read fails in turn; the book must then
  // have no sections borrowing a freed buffer, and the next query must read
  // it whole.
  for (int64_t nth = 1;; ++nth) {
    CoreFixture f;
    SampleBook sample;
    f.Catalogue("lib", {{"a"}});
    f.Book("a", sample.toc);
    f.core.LoadBooks("lib");
    f.core.View().ToggleNode(0);
    bool failed = false;
    {
      AllocationFaultScope fault(nth);
      try {
        f.core.Outline().EnsureBookRead(1);
      } catch (const std::bad_alloc&) {
        failed = true;
      }
    }
    const OutlineNode* book = f.core.Outline().BookNode(1);
    // The buffer is asked for without throwing: its failure is no exception.
    failed = failed || !f.core.Outline().Shelf().IsRead(1);
    if (!failed) {
      EXPECT_EQ(book->m_children.Count(), 2);
      break;
    }
    EXPECT_FALSE(f.core.Outline().Shelf().IsRead(1)) << nth;
    EXPECT_EQ(book->m_children.Count(), 0) << nth;
    EXPECT_EQ(f.core.Queries().GetSectionTitle(1, static_cast<int32_t>(sample.a1x)), "A1x") << nth;
    f.core.View().ToggleNode(1);
    EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "A", "B"})) << nth;
  }
}

TEST(ChangingFiles, ALoadThatFailsPartWayLeavesNothingOfEitherCatalogue) {
  // A large catalogue is loaded, then a small one whose load runs out of
  // memory at each allocation in turn: no book of the first may stay
  // numbered, with or without a path.
  for (int64_t nth = 1;; ++nth) {
    CoreFixture f;
    SampleBook sample;
    f.Catalogue("big", {{"a", "a", "a"}, {"a", "a", "a"}});
    f.Catalogue("small", {{"a"}});
    f.Book("a", sample.toc);
    f.core.LoadBooks("big");
    bool failed = false;
    {
      AllocationFaultScope fault(nth);
      try {
        f.core.LoadBooks("small");
      } catch (const std::bad_alloc&) {
        failed = true;
      }
    }
    if (!failed) {
      EXPECT_EQ(f.core.Outline().BookCount(), 1);
      break;
    }
    EXPECT_EQ(f.core.Outline().BookCount(), 0) << nth;
    EXPECT_EQ(f.rows.Count(), 0) << nth;
    for (int16_t book = 1; book <= 6; ++book) {
      EXPECT_EQ(f.core.Queries().GetSectionTitle(book, static_cast<int32_t>(sample.a)), "") << nth;
      EXPECT_FALSE(f.core.View().GotoTocPosition(book, static_cast<int32_t>(sample.a))) << nth;
    }
    // And the next load works.
    f.core.LoadBooks("big");
    EXPECT_EQ(f.core.Queries().GetSectionTitle(6, static_cast<int32_t>(sample.a)), "A") << nth;
  }
}

}  // namespace
}  // namespace orvane::test
