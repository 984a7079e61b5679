#include <gtest/gtest.h>

#include "loading/text_outline.h"
#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;

TEST(LoadFromTextFile, IndentedLinesBecomeChildrenOfTheLastTopItem) {
  CoreFixture f;
  f.files.Put("out.txt", "A\r\n  b\r\n  c\r\nD\r\n");
  f.core.LoadFromTextFile("out.txt");
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"A", "D"}));
  const OutlineNode* a = NodeAt(f.core.Outline().RootList(), 1);
  ASSERT_EQ(a->m_children.Count(), 2);
  EXPECT_EQ(a->m_children[0]->TitleText(), "b");
  EXPECT_EQ(a->m_children[1]->TitleText(), "c");
  EXPECT_EQ(a->m_children[1]->Level(), 1);
  EXPECT_EQ(a->ChildCount(), 0);  // free items never declare children
  EXPECT_FALSE(f.core.Outline().CatalogueLoaded());
}

TEST(LoadFromTextFile, LineRules) {
  CoreFixture f;
  // Bare line feeds lose the last character; a one-character line is empty;
  // a line of blanks is an empty child; the last line without a feed is lost.
  f.files.Put("lf.txt", "AB\nx\n   \nlast");
  f.core.LoadFromTextFile("lf.txt");
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"A", ""}));
  const OutlineNode* second = NodeAt(f.core.Outline().RootList(), 2);
  ASSERT_EQ(second->m_children.Count(), 1);
  EXPECT_EQ(second->m_children[0]->TitleText(), "");

  CoreFixture g;
  g.files.Put("f.txt", "\n\tTab\r\n");
  g.core.LoadFromTextFile("f.txt");
  // A feed at position 0 gives an empty line; tabs are not indentation.
  EXPECT_EQ(g.Titles(), (std::vector<std::string>{"", "\tTab"}));
}

TEST(LoadFromTextFile, IndentedFirstLineOnEmptyControlIsARootItem) {
  CoreFixture f;
  f.files.Put("f.txt", "  child\r\n");
  f.core.LoadFromTextFile("f.txt");
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"child"}));
}

TEST(LoadFromTextFile, MissingFileChangesNothingAndSecondFileAppends) {
  CoreFixture f;
  f.core.LoadFromTextFile("none.txt");
  EXPECT_EQ(f.rows.Count(), 0);
  f.files.Put("a.txt", "one\r\n");
  f.files.Put("b.txt", "two\r\n");
  f.core.LoadFromTextFile("a.txt");
  f.core.LoadFromTextFile("b.txt");
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"one", "two"}));
}

// A file that says it is huge and counts the bytes asked of it.
class HugeFile : public File {
 public:
  explicit HugeFile(int64_t size, int* reads) : m_size(size), m_reads(reads) {}
  int64_t Size() override { return m_size; }
  bool Seek(uint32_t) override { return true; }
  size_t Read(void*, size_t) override {
    ++*m_reads;
    return 0;
  }

 private:
  int64_t m_size;
  int* m_reads;
};

class HugeFileSystem : public FileSystem {
 public:
  std::unique_ptr<File> OpenRead(std::string_view, Share) override {
    return std::make_unique<HugeFile>(3'000'000'000LL, &reads);
  }
  int reads = 0;
};

TEST(LoadFromTextFile, FilesAboveTheBoundAreNotRead) {
  const size_t bound = kMaxTextOutlineBytes;
  CoreFixture f;
  // At the bound the file loads (its tail has no line feed and is unused).
  f.files.Put("max.txt", "A\r\n" + std::string(bound - 3, ' '));
  f.core.LoadFromTextFile("max.txt");
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"A"}));
  // One byte more and nothing is loaded, as for an unreadable file.
  f.files.Put("over.txt", "B\r\n" + std::string(bound - 2, ' '));
  f.core.LoadFromTextFile("over.txt");
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"A"}));

  GapRowList rows{20};
  test::MapProfile profile;
  HugeFileSystem files;
  RecordingHoverTimer timer;
  OrvaneCore core{rows, profile, files, timer};
  core.LoadFromTextFile("C:\\huge.txt");
  EXPECT_EQ(files.reads, 0);
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_TRUE(core.Outline().RootList().Empty());
}

TEST(AddChildAndSibling, RowsOnlyForTopLevelItems) {
  CoreFixture f;
  f.core.View().AddSibling(-1, "a");
  f.core.View().AddSibling(0, "b");
  f.core.View().AddSibling(0, "c");
  OutlineNode* child = f.core.View().AddChild(1, "b1");
  EXPECT_EQ(child->m_parent, NodeAt(f.core.Outline().RootList(), 2));
  EXPECT_EQ(child->Level(), 1);
  EXPECT_EQ(f.rows.Count(), 3);
  // Index beyond the rows: a new root item with a row.
  f.core.View().AddChild(5, "d");
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"a", "b", "c", "d"}));
  // A child added under an open parent stays out of sight until reopened.
  f.core.View().ToggleNode(1);
  EXPECT_EQ(f.rows.Count(), 5);
  f.core.View().AddChild(1, "b2");
  EXPECT_EQ(f.rows.Count(), 5);
  f.core.View().ToggleNode(1);
  f.core.View().ToggleNode(1);
  EXPECT_EQ(f.rows.Count(), 6);
  // A sibling of a child row joins the parent's children, without a row.
  OutlineNode* sib = f.core.View().AddSibling(2, "b3");
  EXPECT_EQ(sib->Level(), 1);
  EXPECT_EQ(sib->m_ordinal, 3);
  EXPECT_EQ(f.rows.Count(), 6);
}

TEST(Demo, SetsApplyCheckAndLoadsTheFixedFile) {
  CoreFixture f;
  f.files.Put(OrvaneCore::kDemoFile, "Demo\r\n");
  f.core.Demo();
  EXPECT_TRUE(f.core.Checks().ApplyCheck());
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"Demo"}));
  EXPECT_EQ(f.files.opened.back(), "C:\\MIRVAK\\DATA\\BOOKS.TXT");
}

}  // namespace
}  // namespace orvane
