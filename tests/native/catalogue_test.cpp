#include <gtest/gtest.h>

#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;
using test::SampleBook;
using test::TocBytes;

TEST(LoadBooks, NumbersBooksAcrossCategoriesAndShowsOneRowPerCategory) {
  CoreFixture f;
  f.Catalogue("lib", {{"a", "b", "c"}, {"d", "e"}});
  EXPECT_TRUE(f.core.LoadBooks("lib"));
  EXPECT_TRUE(f.core.Outline().CatalogueLoaded());
  EXPECT_EQ(f.core.Catalogue().BooksDir(), "lib");
  EXPECT_EQ(f.core.Outline().BookCount(), 5);
  EXPECT_EQ(f.Titles(), (std::vector<std::string>{"C1", "C2"}));

  const OutlineNode* c2 = NodeAt(f.core.Outline().RootList(), 2);
  ASSERT_NE(c2, nullptr);
  EXPECT_EQ(c2->m_ordinal, 2);
  EXPECT_EQ(c2->ChildCount(), 2);
  EXPECT_EQ(c2->m_expanded, 0);
  const OutlineNode* book5 = NodeAt(c2->m_children, 2);
  EXPECT_EQ(book5->m_bookNumber, 5);
  EXPECT_EQ(book5->m_ordinal, 2);
  EXPECT_EQ(book5->Level(), 1);
  EXPECT_EQ(book5->TitleText(), "B2.2");
  EXPECT_EQ(f.core.Outline().BookNode(5), book5);
  EXPECT_EQ(f.core.Catalogue().BookName(5), "e");
  EXPECT_EQ(f.core.Catalogue().BookName(6), "");

  const CategoryEntry* e2 = f.core.Outline().Categories().Entry(2);
  EXPECT_EQ(e2->numberBase, 3);
  EXPECT_EQ(e2->checkedCount, 2);
  EXPECT_EQ(e2->lastShown, 2);
  EXPECT_EQ(e2->summaryState, csChecked);
}

TEST(LoadBooks, ReadsEachBooksTocFileWhenTheBookIsFirstNeeded) {
  CoreFixture f;
  f.Catalogue("lib", {{"first"}, {"second"}});
  SampleBook sample;
  f.Book("second", sample.toc);
  f.core.LoadBooks("lib");
  EXPECT_TRUE(f.files.opened.empty());
  f.core.Outline().EnsureBookRead(2);
  f.core.Outline().EnsureBookRead(1);
  f.core.Outline().EnsureBookRead(2);                         // once only
  f.core.Outline().EnsureBookRead(1, Library::Retry::Never);  // failed: not yet again
  ASSERT_EQ(f.files.opened.size(), 2u);
  EXPECT_EQ(f.files.opened[0], "lib\\second.TOC");
  EXPECT_EQ(f.files.opened[1], "lib\\first.TOC");
  // The missing file: no sections, no buffer.
  EXPECT_EQ(f.core.Outline().BookNode(1)->ChildCount(), 0);
  EXPECT_EQ(f.core.Outline().Shelf().Buffer(1), nullptr);
  EXPECT_EQ(f.core.Outline().Shelf().Length(1), 0u);
  const OutlineNode* book = f.core.Outline().BookNode(2);
  EXPECT_EQ(book->ChildCount(), 2);
  EXPECT_EQ(book->m_children.Count(), 2);
  EXPECT_EQ(book->m_children[0]->m_bookNumber, 2);
  EXPECT_EQ(f.core.Outline().Shelf().Length(2), sample.toc.Size());
}

TEST(LoadBooks, MissingCatalogueReadsAsDefaults) {
  CoreFixture f;
  f.core.Catalogue().SetBooksDir("C:\\Mirvak");
  EXPECT_TRUE(f.core.LoadBooks("nothing"));
  EXPECT_TRUE(f.core.Outline().CatalogueLoaded());
  EXPECT_EQ(f.core.Catalogue().BooksDir(), "");
  EXPECT_EQ(f.core.Outline().BookCount(), 0);
  EXPECT_EQ(f.rows.Count(), 0);
  EXPECT_EQ(f.core.Catalogue().TopicName(), "nothing");
}

TEST(LoadBooks, DirectoriesWithoutTocGivesPathsFromTheRoot) {
  CoreFixture f;
  f.Catalogue("lib", {{"x"}});
  f.profile.Set("lib.INI", "Directories", "TOC", "");
  f.core.LoadBooks("lib");
  f.core.Outline().EnsureBookRead(1);
  EXPECT_EQ(f.files.opened.back(), "\\x.TOC");
}

TEST(LoadBooks, CategoryWithoutCountHasNoBooks) {
  CoreFixture f;
  f.Catalogue("lib", {{"a", "b"}, {}, {"c"}});
  f.profile.Set("lib.INI", "Category2", "Count", "");
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.Outline().Categories().Entry(2)->bookCount, 0);
  EXPECT_EQ(f.core.Outline().Categories().Entry(2)->numberBase, 2);
  EXPECT_EQ(f.core.Outline().Categories().Entry(3)->numberBase, 2);
  EXPECT_EQ(f.core.Outline().BookNode(3)->TitleText(), "B3.1");
}

TEST(LoadBooks, BookArraysCoverEveryNumberedBook) {
  // The catalogue says 1 book, the categories hold 3: all three are usable.
  CoreFixture f;
  f.Catalogue("lib", {{"a", "b", "c"}}, 1);
  SampleBook sample;
  f.Book("c", sample.toc);
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.Outline().BookCount(), 3);
  f.core.Outline().EnsureBookRead(3);
  EXPECT_NE(f.core.Outline().Shelf().Buffer(3), nullptr);
  EXPECT_TRUE(f.core.Checks().SetStateBook(3, false));
  EXPECT_EQ(f.core.Checks().GetStateBook(3), csUnchecked);
}

TEST(LoadBooks, AbsurdCountsAreHeldToWhatBookNumbersCanCount) {
  CoreFixture f;
  f.profile.Set("lib.INI", "Books", "Count", "-7");
  f.profile.Set("lib.INI", "Categories", "Count", "2");
  f.profile.Set("lib.INI", "Category1", "Count", "-3");
  f.profile.Set("lib.INI", "Category2", "Count", "99999999999");
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.Outline().Categories().Entry(1)->bookCount, 0);
  EXPECT_EQ(f.core.Outline().Categories().Entry(2)->bookCount, 32767);
  EXPECT_EQ(f.core.Outline().BookCount(), 32767);
  EXPECT_EQ(f.core.Outline().BookNode(32767)->m_bookNumber, 32767);
  EXPECT_EQ(f.core.Checks().GetStateBook(32767), csChecked);
}

TEST(LoadBooks, SecondLoadGivesWhatAFirstLoadGives) {
  SampleBook sample;
  CoreFixture once;
  once.Catalogue("lib", {{"a", "b"}, {"c"}});
  once.Book("b", sample.toc);
  once.core.LoadBooks("lib");

  CoreFixture twice;
  twice.Catalogue("lib", {{"a", "b"}, {"c"}});
  twice.Book("b", sample.toc);
  twice.core.View().AddSibling(0, "stray text item");
  twice.core.LoadBooks("lib");
  twice.core.View().ToggleNode(0);
  twice.core.Checks().SetStateBook(1, false);
  twice.core.View().SetSelectedNode(twice.core.Outline().BookNode(2));
  twice.core.LoadBooks("lib");

  EXPECT_EQ(twice.Titles(), once.Titles());
  EXPECT_EQ(twice.core.Outline().RootList().Count(), 2);
  EXPECT_EQ(twice.core.Checks().GetStateBook(1), csChecked);
  EXPECT_EQ(twice.core.View().SelectedNode(), nullptr);
  EXPECT_EQ(twice.core.Outline().Categories().Entry(1)->checkedCount, 2);
  EXPECT_EQ(twice.core.Queries().GetSectionTitle(2, sample.a1), "A1");
  EXPECT_EQ(twice.core.Outline().BookNode(2)->m_children.Count(), 2);
}

TEST(LoadBooks, ReadsTheCatalogueOnceAValue) {
  CoreFixture f;
  f.Catalogue("lib", {{"a", "b"}, {"c"}});
  f.core.LoadBooks("lib");
  // TOC, two counts, per category name and count, per book title and name.
  EXPECT_EQ(f.profile.reads, 3 + 2 * 2 + 3 * 2);
}

}  // namespace
}  // namespace orvane
