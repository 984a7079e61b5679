#include <gtest/gtest.h>

#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;
using test::SampleBook;

struct ChecksFixture : CoreFixture {
  SampleBook sample;
  ChecksFixture() {
    Catalogue("lib", {{"a", "b", "c"}, {"d"}});
    Book("a", sample.toc);
    core.LoadBooks("lib");
    core.Checks().StoreApplyCheck(true);
  }
  const CategoryEntry& Entry(int k) { return *core.Outline().Categories().Entry(k); }
};

TEST(GetStateBook, FreshCatalogueAndOutOfRange) {
  ChecksFixture f;
  for (int16_t b = 1; b <= 4; ++b) EXPECT_EQ(f.core.Checks().GetStateBook(b), csChecked);
  EXPECT_EQ(f.core.Checks().GetStateBook(0), 0);
  EXPECT_EQ(f.core.Checks().GetStateBook(5), 0);
  EXPECT_EQ(f.core.Checks().GetStateBook(-300), 0);
}

TEST(SetStateBook, RoundTripsAndRefusesUnknownBooks) {
  ChecksFixture f;
  EXPECT_TRUE(f.core.Checks().SetStateBook(2, false));
  EXPECT_EQ(f.core.Checks().GetStateBook(2), csUnchecked);
  EXPECT_TRUE(f.core.Checks().SetStateBook(2, true));
  EXPECT_EQ(f.core.Checks().GetStateBook(2), csChecked);
  EXPECT_FALSE(f.core.Checks().SetStateBook(0, true));
  EXPECT_FALSE(f.core.Checks().SetStateBook(5, false));
  EXPECT_FALSE(f.core.Checks().SetStateBook(-1, false));
}

TEST(SetStateBook, SameStateChangesNoCountAndMarksNothingStale) {
  ChecksFixture f;
  f.core.Checks().StoreApplyCheck(false);
  EXPECT_TRUE(f.core.Checks().SetStateBook(1, true));
  EXPECT_EQ(f.Entry(1).checkedCount, 3);
  EXPECT_FALSE(f.core.Checks().RowsStale());
  EXPECT_TRUE(f.core.Checks().SetStateBook(1, false));
  EXPECT_TRUE(f.core.Checks().RowsStale());
}

TEST(CategorySummary, FollowsItsBooks) {
  ChecksFixture f;
  for (int16_t b = 1; b <= 3; ++b) f.core.Checks().SetStateBook(b, false);
  EXPECT_EQ(f.Entry(1).summaryState, csUnchecked);
  EXPECT_EQ(f.Entry(1).checkedCount, 0);
  f.core.Checks().SetStateBook(2, true);
  EXPECT_EQ(f.Entry(1).summaryState, csPartial);
  f.core.Checks().SetStateBook(1, true);
  f.core.Checks().SetStateBook(3, true);
  EXPECT_EQ(f.Entry(1).summaryState, csChecked);
  EXPECT_EQ(f.Entry(1).checkedCount, 3);
  // One book: checking it again makes the summary checked at once.
  f.core.Checks().SetStateBook(4, false);
  EXPECT_EQ(f.Entry(2).summaryState, csUnchecked);
  f.core.Checks().SetStateBook(4, true);
  EXPECT_EQ(f.Entry(2).summaryState, csChecked);
}

TEST(ChangeStateSelected, CategoriesBooksAndSections) {
  ChecksFixture f;
  OutlineNode* c1 = NodeAt(f.core.Outline().RootList(), 1);
  f.core.Checks().SetStateBook(2, false);  // partial
  f.core.View().SetSelectedNode(c1);
  f.core.View().ChangeStateSelected();
  EXPECT_EQ(f.Entry(1).summaryState, csChecked);
  EXPECT_EQ(f.core.Checks().GetStateBook(2), csChecked);
  f.core.View().ChangeStateSelected();
  EXPECT_EQ(f.Entry(1).summaryState, csUnchecked);
  EXPECT_EQ(f.Entry(1).checkedCount, 0);
  for (int16_t b = 1; b <= 3; ++b) EXPECT_EQ(f.core.Checks().GetStateBook(b), csUnchecked);

  f.core.View().SetSelectedNode(f.core.Outline().BookNode(3));
  f.core.View().ChangeStateSelected();
  EXPECT_EQ(f.core.Checks().GetStateBook(3), csChecked);
  EXPECT_EQ(f.Entry(1).summaryState, csPartial);

  // A section has no state of its own; it reports its book's.
  f.core.Outline().EnsureBookRead(1);
  OutlineNode* section = f.core.Outline().BookNode(1)->m_children[0];
  f.core.View().SetSelectedNode(section);
  f.core.View().ChangeStateSelected();
  EXPECT_EQ(f.core.Checks().GetStateBook(1), csUnchecked);
  EXPECT_EQ(f.core.Checks().GetCheckState(section), csUnchecked);
}

TEST(ChangeStateSelected, NothingInTheCheckedOnlyViewOrWithoutSelection) {
  ChecksFixture f;
  f.core.View().ChangeStateSelected();  // no selection yet
  f.core.View().SetSelectedNode(f.core.Outline().BookNode(1));
  f.core.Checks().StoreApplyCheck(false);
  f.core.View().ChangeStateSelected();
  EXPECT_EQ(f.core.Checks().GetStateBook(1), csChecked);
}

TEST(CheckStates, TextItemsNeverTouchCategoryEntries) {
  ChecksFixture f;
  // Text items after a catalogue: root items numbered like categories, and
  // children of a category row. None of them is a book or a category.
  OutlineNode* text = f.core.View().AddSibling(0, "text");
  text->m_ordinal = 1;
  OutlineNode* child = f.core.View().AddChild(0, "under C1");
  EXPECT_EQ(f.core.Checks().GetCheckState(text), csChecked);
  EXPECT_EQ(f.core.Checks().GetCheckState(child), csChecked);
  f.core.View().SetSelectedNode(text);
  f.core.View().ChangeStateSelected();
  f.core.View().SetSelectedNode(child);
  f.core.View().ChangeStateSelected();
  EXPECT_EQ(f.Entry(1).summaryState, csChecked);
  EXPECT_EQ(f.Entry(1).checkedCount, 3);
  // Checking all books of C1 still reaches "all checked" beside the text child.
  f.core.Checks().SetStateBook(1, false);
  f.core.Checks().SetStateBook(1, true);
  EXPECT_EQ(f.Entry(1).summaryState, csChecked);
}

TEST(ApplyCheck, SwitchesViewsOnceLoaded) {
  CoreFixture f;
  f.core.View().SetApplyCheck(false);  // before LoadBooks: nothing to rebuild
  EXPECT_EQ(f.rows.Count(), 0);
  f.Catalogue("lib", {{"a", "b"}, {"c"}});
  f.core.LoadBooks("lib");
  f.core.Checks().SetStateBook(3, false);
  f.core.View().SetApplyCheck(false);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "B1.2"}));
  f.core.View().SetApplyCheck(true);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "B1.2", "C2", "B2.1"}));
}

TEST(RefreshPendingRows, RebuildsTheCheckedOnlyViewAtTheNextPaint) {
  ChecksFixture f;
  f.core.View().SetApplyCheck(false);
  std::vector<std::string> before = f.Titles();
  f.core.Checks().SetStateBook(2, false);
  EXPECT_EQ(f.Titles(), before);
  EXPECT_TRUE(f.core.View().RefreshPendingRows());
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "B1.1", "B1.3", "C2", "B2.1"}));
  EXPECT_FALSE(f.core.Checks().RowsStale());
  EXPECT_FALSE(f.core.View().RefreshPendingRows());

  // In the check view a stale flag waits.
  f.core.Checks().SetStateBook(1, false);
  f.core.Checks().StoreApplyCheck(true);
  EXPECT_FALSE(f.core.View().RefreshPendingRows());
  EXPECT_TRUE(f.core.Checks().RowsStale());
}

}  // namespace
}  // namespace orvane
