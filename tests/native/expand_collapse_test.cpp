#include <gtest/gtest.h>

#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;
using test::SampleBook;
using test::TocBytes;

struct LibraryFixture : CoreFixture {
  SampleBook sample;
  LibraryFixture() {
    Catalogue("lib", {{"a", "b"}, {"c"}});
    Book("a", sample.toc);
    core.LoadBooks("lib");
  }
};

TEST(ToggleNode, OpensAndClosesBlocks) {
  LibraryFixture f;
  int16_t last = -5;
  EXPECT_EQ(f.core.View().ToggleNode(0, &last), 2);
  EXPECT_EQ(last, 2);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "B1.2", "C2"}));
  EXPECT_EQ(f.core.View().ToggleNode(1, &last), 2);
  EXPECT_EQ(last, 3);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "A", "B", "B1.2", "C2"}));
  EXPECT_EQ(f.core.View().ToggleNode(0, &last), 4);
  EXPECT_EQ(last, 0);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "C2"}));
  EXPECT_EQ(f.timer.stops, 3);
  EXPECT_EQ(f.timer.starts, 3);
  EXPECT_TRUE(f.timer.running);
}

TEST(ToggleNode, ReopeningShowsWhatWasOpenAtEveryDepth) {
  LibraryFixture f;
  f.core.View().ToggleNode(0);
  f.core.View().ToggleNode(f.RowOf("B1.1"));
  f.core.View().ToggleNode(f.RowOf("A"));
  f.core.View().ToggleNode(f.RowOf("A1"));
  std::vector<std::string> open = f.Titles();
  EXPECT_EQ(open,
            (std::vector<std::string>{"C1", "B1.1", "A", "A1", "A1x", "A2", "B", "B1.2", "C2"}));
  f.core.View().ToggleNode(0);
  int16_t last = 0;
  EXPECT_EQ(f.core.View().ToggleNode(0, &last), 7);
  EXPECT_EQ(last, 7);
  EXPECT_EQ(f.Titles(), open);
}

TEST(ToggleNode, NodeWithoutChildrenOnlyFlipsItsFlag) {
  LibraryFixture f;
  f.core.View().ToggleNode(1);  // C2 at row 1 has one book
  f.core.View().ToggleNode(0);
  int16_t bookRow = f.RowOf("B1.2");  // no TOC file: no sections
  int stops = f.timer.stops;
  int16_t last = -1;
  EXPECT_EQ(f.core.View().ToggleNode(bookRow, &last), 0);
  EXPECT_EQ(last, bookRow);
  EXPECT_EQ(f.core.Outline().BookNode(2)->m_expanded, 1);
  EXPECT_EQ(f.timer.stops, stops);  // timer left alone
  EXPECT_EQ(f.core.View().ToggleNode(bookRow), 0);
  EXPECT_EQ(f.core.Outline().BookNode(2)->m_expanded, 0);
}

TEST(ToggleNode, ClosingTheLastRowDeletesNothing) {
  LibraryFixture f;
  f.core.View().ToggleNode(1);
  f.core.View().ToggleNode(0);
  int16_t lastRow = static_cast<int16_t>(f.rows.Count() - 1);
  OutlineNode* n = f.rows.NodeOf(lastRow);
  n->m_expanded = 1;
  AttachChild(*n, OutlineNode::FromText("hidden"));
  EXPECT_EQ(f.core.View().ToggleNode(lastRow), 0);
  EXPECT_EQ(n->m_expanded, 0);
}

TEST(ToggleNode, InvalidRowChangesNothing) {
  LibraryFixture f;
  int16_t last = 0;
  EXPECT_EQ(f.core.View().ToggleNode(-1, &last), 0);
  EXPECT_EQ(f.core.View().ToggleNode(99, &last), 0);
  EXPECT_EQ(last, 99);
  EXPECT_EQ(f.rows.Count(), 2);
}

TEST(ToggleNode, CheckedOnlyViewSkipsUncheckedBooks) {
  LibraryFixture f;
  f.core.View().SetApplyCheck(false);
  f.core.Checks().SetStateBook(1, false);
  f.core.View().RefreshPendingRows();
  f.core.View().ToggleNode(0);  // close C1 (rebuild opened it)
  EXPECT_EQ(f.core.View().ToggleNode(0), 1);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.2", "C2", "B2.1"}));
  f.core.Checks().SetStateBook(2, false);
  f.core.View().RefreshPendingRows();
  // C1 is gone; C2 holds its only book. Uncheck it too, then open C2's
  // closed node with nothing checked: nothing is inserted.
  OutlineNode* c2 = NodeAt(f.core.Outline().RootList(), 2);
  f.core.View().ToggleNode(0);
  f.core.Checks().SetStateBook(3, false);
  c2->m_expanded = 0;
  f.rows.Clear();
  f.rows.Append(c2);
  int16_t last = -1;
  EXPECT_EQ(f.core.View().ToggleNode(0, &last), 0);
  EXPECT_EQ(last, 0);
}

// A book whose second top-level section keeps its children in a deferred run.
struct DeferredFixture : CoreFixture {
  TocBytes toc{2};
  DeferredFixture() {
    toc.Record("A", {.childCount = 1, .filePos = 1});
    uint32_t b = toc.Record("B", {.childCount = 2, .filePos = 2});
    toc.Record("A1", {.level = 3, .filePos = 11});
    toc.Zeros(21);
    uint32_t run = toc.Size();
    toc.Record("B1", {.parentPos = b, .level = 3, .filePos = 21});
    toc.Bytes({0, 0});
    toc.Record("B2", {.parentPos = b, .level = 3, .filePos = 22});
    toc.Bytes({0, 0});
    toc.Patch32(b, rec::kFirstChildPos, run);
    Catalogue("lib", {{"deep"}});
    Book("deep", toc);
    core.LoadBooks("lib");
    core.View().ToggleNode(0);
    core.View().ToggleNode(1);
  }
};

TEST(ToggleNode, SectionWithDeferredChildrenReadsThemWhenOpened) {
  DeferredFixture f;
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "A", "B"}));
  OutlineNode* b = f.rows.NodeOf(3);
  EXPECT_TRUE(f.core.Outline().CanOpen(*b));
  f.files.opened.clear();
  EXPECT_EQ(f.core.View().ToggleNode(3), 2);
  EXPECT_EQ(f.files.opened, (std::vector<std::string>{"lib\\deep.TOC"}));
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "A", "B", "B1", "B2"}));
  // Once the counts agree nothing is read again.
  f.core.View().ToggleNode(3);
  f.core.View().ToggleNode(3);
  EXPECT_EQ(f.files.opened.size(), 1u);
  EXPECT_EQ(b->m_children.Count(), 2);
}

TEST(ToggleNode, DeferredReadRetriesWhileTheFileIsMissing) {
  DeferredFixture f;
  f.files.Remove("lib\\deep.TOC");
  EXPECT_EQ(f.core.View().ToggleNode(3), 0);
  EXPECT_EQ(f.core.View().ToggleNode(3), 0);  // closing
  f.Book("deep", f.toc);
  EXPECT_EQ(f.core.View().ToggleNode(3), 2);
}

TEST(ToggleNode, HostChildrenDoNotHideTheChildrenStillInTheFile) {
  // Children a host added before the first opening are not in the file's
  // run: every record of the run is read and appended after them.
  DeferredFixture f;
  f.core.View().AddChild(3, "host");
  f.core.View().AddChild(3, "guest");
  OutlineNode* b = f.rows.NodeOf(3);
  EXPECT_TRUE(f.core.Outline().CanOpen(*b));
  EXPECT_EQ(f.core.View().ToggleNode(3), 4);
  EXPECT_EQ(f.Titles(),
            (std::vector<std::string>{"C1", "B1.1", "A", "B", "host", "guest", "B1", "B2"}));
  // Every declared child has come from the file: later openings read nothing.
  f.files.opened.clear();
  f.core.View().ToggleNode(3);
  f.core.View().AddChild(3, "late");
  EXPECT_EQ(f.core.View().ToggleNode(3), 5);
  EXPECT_TRUE(f.files.opened.empty());
  EXPECT_EQ(f.RowTitle(8), "late");
}

TEST(ToggleNode, FileCutSinceTheLeadingReadGivesNoDeferredChildren) {
  // The file is cut inside the run's second record after its leading region
  // was read: it is no longer that file, so nothing is read from it. Once
  // the file is whole again (same size and time) the run is read, after a
  // child the host added meanwhile.
  DeferredFixture f;
  std::vector<uint8_t> cut = f.toc.Get();
  cut.resize(cut.size() - 6);
  f.files.Put("lib\\deep.TOC", cut);
  EXPECT_EQ(f.core.View().ToggleNode(3), 0);
  f.core.View().ToggleNode(3);
  f.core.View().AddChild(3, "host");
  f.Book("deep", f.toc);
  EXPECT_EQ(f.core.View().ToggleNode(3), 3);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "A", "B", "host", "B1", "B2"}));
}

TEST(ToggleNode, BookWithEmptyLeadingRegionNeverReadsFromOffsetZero) {
  CoreFixture f;
  TocBytes toc(3);
  toc.Zeros(21);
  toc.Record("never", {});
  f.Catalogue("lib", {{"e"}});
  f.Book("e", toc);
  f.core.LoadBooks("lib");
  f.core.View().ToggleNode(0);
  OutlineNode* book = f.core.Outline().BookNode(1);
  EXPECT_FALSE(f.core.Outline().CanOpen(*book));
  EXPECT_EQ(book->ChildCount(), 3);
  f.files.opened.clear();
  EXPECT_EQ(f.core.View().ToggleNode(1), 0);
  EXPECT_TRUE(f.files.opened.empty());
  EXPECT_TRUE(book->m_children.Empty());
}

TEST(ToggleNode, BooksAndCategoriesNeverReadTheirFileWhenCountsDisagree) {
  // The header declares three top-level sections and the file holds two:
  // the book opens with the two, and neither it nor its category opens the
  // file, however often they are opened.
  CoreFixture f;
  TocBytes toc(3);
  toc.Record("S1", {});
  toc.Record("S2", {});
  f.Catalogue("lib", {{"short"}});
  f.Book("short", toc);
  f.core.LoadBooks("lib");
  f.core.Outline().EnsureBookRead(1);
  OutlineNode* book = f.core.Outline().BookNode(1);
  ASSERT_EQ(book->ChildCount(), 3);
  f.files.opened.clear();
  for (int round = 0; round < 2; ++round) {
    f.core.View().ToggleNode(0);
    if (round == 0) {
      EXPECT_EQ(f.core.View().ToggleNode(1), 2);
    }
    f.core.View().ToggleNode(0);
  }
  EXPECT_TRUE(f.files.opened.empty());
  EXPECT_EQ(book->m_children.Count(), 2);
}

TEST(ToggleNode, TextOutlineNodesNeverOpenAFile) {
  CoreFixture f;
  f.files.Put("t.txt", "A\r\n  b\r\n");
  f.core.LoadFromTextFile("t.txt");
  f.files.opened.clear();
  EXPECT_EQ(f.core.View().ToggleNode(0), 1);
  EXPECT_TRUE(f.files.opened.empty());
}

TEST(Rebuilds, AllRowsAndCheckedRows) {
  LibraryFixture f;
  f.core.View().ToggleNode(0);
  f.core.View().ToggleNode(1);  // open book 1 with sections
  f.core.Checks().SetStateBook(2, false);
  f.core.View().RebuildCheckedRows();
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "C2", "B2.1"}));
  EXPECT_EQ(f.core.Outline().Categories().Entry(1)->lastShown, 1);
  EXPECT_EQ(f.core.Outline().BookNode(1)->m_expanded, 0);
  f.core.View().RebuildAllRows();
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "B1.2", "C2", "B2.1"}));
  EXPECT_EQ(NodeAt(f.core.Outline().RootList(), 2)->m_expanded, 1);
  // Sections keep their flags: reopening the book shows them as they were.
  f.core.View().ToggleNode(1);
  EXPECT_EQ(f.rows.Count(), 7);
}

TEST(Rebuilds, CheckedRowsSkipCategoriesWithNothingChecked) {
  LibraryFixture f;
  f.core.Checks().SetStateBook(3, false);
  f.core.View().RebuildCheckedRows();
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "B1.2"}));
  EXPECT_EQ(NodeAt(f.core.Outline().RootList(), 2)->m_expanded, 0);
}

// Many categories of many books, to reach the row limit.
struct BigFixture : CoreFixture {
  explicit BigFixture(int categories, int books) {
    std::vector<std::vector<std::string>> cats(static_cast<size_t>(categories));
    for (auto& c : cats) c.assign(static_cast<size_t>(books), "none");
    Catalogue("big", cats);
    core.LoadBooks("big");
  }
};

TEST(InsertNodeRow, RowLimitClosesOtherCategoriesFromTheTop) {
  BigFixture f(6, 5400);
  for (int k = 5; k >= 1; --k) f.core.View().ToggleNode(static_cast<int16_t>(k - 1));
  ASSERT_EQ(f.rows.Count(), 6 + 27000);
  int16_t last = 0;
  f.core.View().ToggleNode(f.RowOf("C6"), &last);
  EXPECT_LT(f.rows.Count(), kRowsBeforeClosingOthers);
  // Category 1, at the top, was closed to make room; the others stay open.
  EXPECT_EQ(NodeAt(f.core.Outline().RootList(), 1)->m_expanded, 0);
  EXPECT_EQ(NodeAt(f.core.Outline().RootList(), 2)->m_expanded, 1);
  // The rows of C6 follow its row, in order, and the last row is its last book.
  int16_t c6row = f.RowOf("C6");
  EXPECT_EQ(f.RowTitle(c6row + 1), "B6.1");
  EXPECT_EQ(f.RowTitle(last), "B6.5400");
  EXPECT_EQ(last, f.rows.Count() - 1);
  EXPECT_EQ(f.RowTitle(1), "C2");
}

TEST(InsertNodeRow, RowsBelowTheInsertionPointDoNotMoveIt) {
  BigFixture f(6, 5400);
  for (int k = 6; k >= 2; --k) f.core.View().ToggleNode(static_cast<int16_t>(k - 1));
  ASSERT_EQ(f.rows.Count(), 6 + 27000);
  int16_t last = 0;
  f.core.View().ToggleNode(0, &last);  // C1 at the top: C2 below it is closed
  EXPECT_EQ(NodeAt(f.core.Outline().RootList(), 2)->m_expanded, 0);
  EXPECT_EQ(f.RowTitle(1), "B1.1");
  EXPECT_EQ(f.RowTitle(last), "B1.5400");
  EXPECT_EQ(f.RowTitle(last + 1), "C2");
  EXPECT_EQ(f.RowTitle(last + 2), "C3");
}

TEST(InsertNodeRow, CheckedOnlyViewNeverClosesCategoriesWithNothingChecked) {
  BigFixture f(6, 5400);
  f.core.View().SetApplyCheck(false);  // every category shown open
  ASSERT_EQ(f.rows.Count(), 6 + 32400);
  // Category 1 ends with nothing checked while its rows are still shown.
  for (int16_t b = 1; b <= 5400; ++b) f.core.Checks().SetStateBook(b, false);
  f.core.View().ToggleNode(f.RowOf("C6"));
  f.core.View().ToggleNode(f.RowOf("C6"));
  EXPECT_LT(f.rows.Count(), kRowsBeforeClosingOthers);
  EXPECT_EQ(NodeAt(f.core.Outline().RootList(), 1)->m_expanded, 1);
  EXPECT_EQ(NodeAt(f.core.Outline().RootList(), 2)->m_expanded, 0);
  EXPECT_EQ(NodeAt(f.core.Outline().RootList(), 6)->m_expanded, 1);
}

TEST(InsertNodeRow, FullListStopsTheOpeningShort) {
  // A text outline is never closed for room: the limit holds anyway.
  CoreFixture f;
  std::string text = "Top\r\n";
  for (int i = 0; i < 33000; ++i) text += "  c\r\n";
  f.files.Put("t.txt", text);
  f.core.LoadFromTextFile("t.txt");
  f.core.View().ToggleNode(0);
  EXPECT_EQ(f.rows.Count(), kRowsBeforeClosingOthers);
  EXPECT_EQ(f.rows.NodeOf(0)->TitleText(), "Top");
}

}  // namespace
}  // namespace orvane
