#include <gtest/gtest.h>

#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;
using test::SampleBook;
using test::TocBytes;

struct NavFixture : CoreFixture {
  SampleBook sample;
  NavFixture() {
    Catalogue("lib", {{"x"}, {"y", "s"}});
    Book("s", sample.toc);
    Book("y", sample.toc);
    core.LoadBooks("lib");
  }
};

TEST(GotoTocPosition, OpensTheWayAndSelectsTheSection) {
  NavFixture f;
  EXPECT_TRUE(f.core.View().GotoTocPosition(3, static_cast<int32_t>(f.sample.b)));
  EXPECT_EQ(f.rows.Selection(), f.RowOf("B"));
  EXPECT_EQ(f.rows.NodeOf(f.rows.Selection())->TitleText(), "B");
  EXPECT_EQ(f.rows.NodeOf(f.rows.Selection())->m_bookNumber, 3);
  EXPECT_EQ(f.core.View().ActiveBook(), 3);
  EXPECT_EQ(f.core.View().ActiveCategory(), 2);
  EXPECT_EQ(f.core.Outline().BookNode(3)->m_expanded, 1);
}

TEST(GotoTocPosition, DeepSectionsOpenTheirAncestorsAndKeepWhatWasOpen) {
  NavFixture f;
  f.core.View().ToggleNode(1);                // C2 open
  f.core.View().ToggleNode(f.RowOf("B2.1"));  // book 2 open too
  EXPECT_TRUE(f.core.View().GotoTocPosition(3, static_cast<int32_t>(f.sample.a1x)));
  const OutlineNode* selected = f.rows.NodeOf(f.rows.Selection());
  EXPECT_EQ(selected->TitleText(), "A1x");
  EXPECT_EQ(selected->m_bookNumber, 3);
  EXPECT_EQ(f.core.View().SelectedNode(), selected);
  EXPECT_EQ(f.core.Outline().BookNode(2)->m_expanded, 1);  // still open
}

TEST(GotoTocPosition, LowPositionsMeanTheFirstRecord) {
  NavFixture f;
  EXPECT_TRUE(f.core.View().GotoTocPosition(3, 0));
  EXPECT_EQ(f.core.View().SelectedNode()->TitleText(), "A");
  EXPECT_TRUE(f.core.View().GotoTocPosition(3, 9));
  EXPECT_EQ(f.core.View().SelectedNode()->TitleText(), "A");
}

TEST(GotoTocPosition, UncheckedBookInCheckedOnlyView) {
  NavFixture f;
  f.core.View().SetApplyCheck(false);
  f.core.Checks().SetStateBook(3, false);  // pending: rebuilt before the search
  EXPECT_FALSE(f.core.View().GotoTocPosition(3, static_cast<int32_t>(f.sample.b)));
  EXPECT_EQ(f.core.View().SelectedNode(), nullptr);
  EXPECT_EQ(f.rows.Selection(), -1);
  EXPECT_EQ(f.RowOf("B2.2"), -1);
  f.core.View().SetApplyCheck(true);
  EXPECT_TRUE(f.core.View().GotoTocPosition(3, static_cast<int32_t>(f.sample.b)));
}

TEST(GotoTocPosition, HostilePositionsAndBooks) {
  NavFixture f;
  EXPECT_FALSE(f.core.View().GotoTocPosition(0, 10));
  EXPECT_FALSE(f.core.View().GotoTocPosition(4, 10));
  EXPECT_FALSE(f.core.View().GotoTocPosition(-5, 10));
  EXPECT_FALSE(f.core.View().GotoTocPosition(1, 10));  // no TOC file
  EXPECT_FALSE(f.core.View().GotoTocPosition(3, -1));
  EXPECT_FALSE(f.core.View().GotoTocPosition(
      3, static_cast<int32_t>(f.core.Outline().Shelf().Length(3)) - 3));
  EXPECT_FALSE(f.core.View().GotoTocPosition(3, 1 << 30));
  EXPECT_EQ(f.rows.Selection(), -1);
}

TEST(GotoTocPosition, ParentLoopsAndWildParentsStop) {
  CoreFixture f;
  TocBytes toc(1);
  uint32_t a = toc.Record("A", {.childCount = 1, .filePos = 1});
  uint32_t b = toc.Record("B", {.parentPos = a, .level = 3, .filePos = 2});
  toc.Patch32(a, rec::kParentPos, b);  // A's parent is B, B's is A
  uint32_t wild = toc.Record("W", {.parentPos = 0x7FFFFFF0, .level = 3});
  f.Catalogue("lib", {{"loop"}});
  f.Book("loop", toc);
  f.core.LoadBooks("lib");
  EXPECT_FALSE(f.core.View().GotoTocPosition(1, static_cast<int32_t>(b)));
  EXPECT_FALSE(f.core.View().GotoTocPosition(1, static_cast<int32_t>(wild)));
}

TEST(GotoTocPosition, AfterTheRowsWereLost) {
  // A re-created window leaves an empty list; the outline stays.
  NavFixture f;
  f.rows.Clear();
  EXPECT_FALSE(f.core.View().GotoTocPosition(3, 10));
}

TEST(ActiveCategoryAndBook, FollowTheSelectedNode) {
  NavFixture f;
  EXPECT_EQ(f.core.View().ActiveCategory(), 0);
  EXPECT_EQ(f.core.View().ActiveBook(), 0);
  f.core.View().SetSelectedNode(NodeAt(f.core.Outline().RootList(), 2));
  EXPECT_EQ(f.core.View().ActiveCategory(), 2);
  EXPECT_EQ(f.core.View().ActiveBook(), 0);
  f.core.Outline().EnsureBookRead(3);
  f.core.View().SetSelectedNode(f.core.Outline().BookNode(3)->m_children[1]);
  EXPECT_EQ(f.core.View().ActiveCategory(), 2);
  EXPECT_EQ(f.core.View().ActiveBook(), 3);
}

TEST(DeactivateBook, ClosesAnOpenBookAndGreysIt) {
  NavFixture f;
  f.core.View().ToggleNode(1);
  int16_t bookRow = f.RowOf("B2.2");
  f.core.View().ToggleNode(bookRow);
  EXPECT_EQ(f.rows.Count(), 6);
  EXPECT_TRUE(f.core.View().DeactivateBook(3));  // repaint wanted
  EXPECT_EQ(f.rows.Count(), 4);
  EXPECT_EQ(f.core.Outline().BookNode(3)->m_active, 0);
  EXPECT_TRUE(f.core.View().ActivateBook(3));
  EXPECT_EQ(f.core.Outline().BookNode(3)->m_active, 1);
  EXPECT_EQ(f.rows.Count(), 4);  // not opened again
}

TEST(DeactivateBook, ClosedBooksAndUnknownBooks) {
  NavFixture f;
  EXPECT_FALSE(f.core.View().DeactivateBook(3));  // greyed, no repaint now
  EXPECT_EQ(f.core.Outline().BookNode(3)->m_active, 0);
  EXPECT_FALSE(f.core.View().DeactivateBook(0));
  EXPECT_FALSE(f.core.View().DeactivateBook(4));
  EXPECT_FALSE(f.core.View().ActivateBook(0));
  EXPECT_FALSE(f.core.View().ActivateBook(4));
}

TEST(DeactivateBook, OpenBookWithoutARowShowsClosedLater) {
  NavFixture f;
  f.core.View().ToggleNode(1);
  f.core.View().ToggleNode(f.RowOf("B2.2"));
  f.core.View().ToggleNode(1);  // close the category: the book has no row
  EXPECT_FALSE(f.core.View().DeactivateBook(3));
  EXPECT_EQ(f.core.Outline().BookNode(3)->m_expanded, 0);
  f.core.View().ToggleNode(1);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "C2", "B2.1", "B2.2"}));
}

}  // namespace
}  // namespace orvane
