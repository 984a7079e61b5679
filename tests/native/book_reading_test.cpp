// Reading books on demand gives what reading them with the catalogue gives.
#include <gtest/gtest.h>

#include <random>

#include "tests/native/book_reading_differential.h"

namespace orvane::test {
namespace {

class SeededChoices : public Choices {
 public:
  explicit SeededChoices(uint32_t seed) : m_random(seed) {}
  uint32_t Below(uint32_t bound) override {
    return bound == 0 ? 0 : std::uniform_int_distribution<uint32_t>(0, bound - 1)(m_random);
  }
  std::vector<uint8_t> Bytes(size_t max) override {
    std::vector<uint8_t> out(Below(static_cast<uint32_t>(max) + 1));
    for (uint8_t& b : out) b = static_cast<uint8_t>(Below(256));
    return out;
  }
  bool Exhausted() const override { return false; }

 private:
  std::mt19937 m_random;
};

TEST(BookReading, OnDemandMatchesReadingWithTheCatalogueThroughRandomWalks) {
  size_t eagerOpens = 0;
  size_t lazyOpens = 0;
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    SeededChoices choices(seed);
    BookReadingDifferential walk(choices);
    std::string failure = walk.Run(80);
    ASSERT_EQ(failure, "") << "seed " << seed;
    eagerOpens += walk.EagerOpens();
    lazyOpens += walk.LazyOpens();
  }
  // The walks must leave books unread, or they would not test the difference.
  EXPECT_LT(lazyOpens, eagerOpens);
}

TEST(BookReading, ABookIsReadOnlyWhenSomethingNeedsIt) {
  CoreFixture f;
  SampleBook sample;
  f.Catalogue("lib", {{"a", "b"}, {"c"}});
  f.Book("a", sample.toc);
  f.Book("b", sample.toc);
  f.Book("c", sample.toc);
  f.core.LoadBooks("lib");
  f.core.View().SetApplyCheck(true);  // every book gets a row
  EXPECT_EQ(f.rows.Count(), 5);
  EXPECT_TRUE(f.files.opened.empty());
  // Check states need no file.
  EXPECT_TRUE(f.core.Checks().SetStateBook(3, false));
  EXPECT_TRUE(f.files.opened.empty());

  // A question about a position reads that book only.
  EXPECT_EQ(f.core.Queries().GetSectionTitle(2, sample.b1), "B1");
  EXPECT_EQ(f.files.opened, std::vector<std::string>{"lib\\b.TOC"});
  // Asking whether a row gets a button reads its book.
  EXPECT_TRUE(f.core.Outline().CanOpen(*f.core.Outline().BookNode(1)));
  EXPECT_EQ(f.files.opened.size(), 2u);
  // Opening the third book's row reads it and shows its sections.
  EXPECT_EQ(f.core.View().ToggleNode(static_cast<int16_t>(f.RowOf("B2.1"))), 2);
  EXPECT_EQ(f.files.opened.size(), 3u);
  EXPECT_EQ(f.RowTitle(f.RowOf("B2.1") + 1), "A");
}

// While reading is held (a form being designed paints its rows), the
// questions the painting asks read nothing and answer from what is loaded;
// the first question after the hold reads the book as if nothing happened.
TEST(BookReading, AHeldLibraryReadsNoFileUntilTheHoldEnds) {
  CoreFixture f;
  SampleBook sample;
  f.Catalogue("lib", {{"a", "b"}});
  f.Book("a", sample.toc);
  f.Book("b", sample.toc);
  f.core.LoadBooks("lib");
  Library& library = f.core.Outline();
  const OutlineNode& a = *library.BookNode(1);
  library.HoldFileReading(true);
  EXPECT_TRUE(library.FileReadingHeld());
  EXPECT_FALSE(library.CanOpen(a)) << "an unread book shows no button while held";
  EXPECT_EQ(library.DeclaredChildren(a), 0);
  EXPECT_TRUE(f.files.opened.empty());
  library.HoldFileReading(false);
  EXPECT_TRUE(library.CanOpen(a));
  EXPECT_EQ(f.files.opened, std::vector<std::string>{"lib\\a.TOC"});
  // Held again, a book already read keeps its answers.
  library.HoldFileReading(true);
  EXPECT_TRUE(library.CanOpen(a));
  EXPECT_EQ(f.core.Queries().GetSectionTitle(2, sample.b1), "");
  library.HoldFileReading(false);
  EXPECT_EQ(f.core.Queries().GetSectionTitle(2, sample.b1), "B1");
  EXPECT_EQ(f.files.opened.size(), 2u);
}

TEST(BookReading, HostItemsUnderAnUnreadBookComeAfterItsSections) {
  CoreFixture f;
  SampleBook sample;
  f.Catalogue("lib", {{"a"}});
  f.Book("a", sample.toc);
  f.core.LoadBooks("lib");
  f.core.View().ToggleNode(0);  // the category: the book's row appears
  f.core.View().AddChild(1, "note");
  const OutlineNode* book = f.core.Outline().BookNode(1);
  ASSERT_EQ(book->m_children.Count(), 3);
  EXPECT_EQ(book->m_children[0]->TitleText(), "A");
  EXPECT_EQ(book->m_children[1]->TitleText(), "B");
  EXPECT_EQ(book->m_children[2]->TitleText(), "note");
}

TEST(BookReading, AFileIsFoundWhereTheCatalogueSaidWhenItWasLoaded) {
  // BooksDir changed after LoadBooks does not move a book read later.
  CoreFixture f;
  SampleBook sample;
  f.Catalogue("lib", {{"a"}});
  f.Book("a", sample.toc);
  f.core.LoadBooks("lib");
  f.core.Catalogue().SetBooksDir("elsewhere");
  EXPECT_EQ(f.core.Queries().GetSectionTitle(1, sample.a), "A");
  EXPECT_EQ(f.files.opened, std::vector<std::string>{"lib\\a.TOC"});
}

TEST(BookReading, AFailedReadIsTriedAgainWhenTheReaderAsksNotWhenARowIsPainted) {
  CoreFixture f;
  f.Catalogue("lib", {{"gone"}});
  f.core.LoadBooks("lib");
  f.core.View().SetApplyCheck(true);  // the book gets a row
  EXPECT_EQ(f.core.Queries().TocToFilePos(1, 10), -1);
  EXPECT_TRUE(f.core.Outline().Shelf().ReadFailed(1));
  SampleBook sample;
  f.Book("gone", sample.toc);  // appears later
  // Painting asks whether the row gets a button: no new try for that.
  EXPECT_FALSE(f.core.Outline().CanOpen(*f.core.Outline().BookNode(1)));
  EXPECT_EQ(f.files.opened.size(), 1u);
  // A query is the reader asking: the file is read now, and kept.
  EXPECT_EQ(f.core.Queries().GetSectionTitle(1, sample.a), "A");
  EXPECT_EQ(f.files.opened.size(), 2u);
  EXPECT_TRUE(f.core.Outline().CanOpen(*f.core.Outline().BookNode(1)));
  // Opening the book's row tries a failed read again too.
  f.files.Remove("lib\\gone.TOC");
  f.core.LoadBooks("lib");
  f.core.View().SetApplyCheck(true);
  EXPECT_EQ(f.core.View().ToggleNode(static_cast<int16_t>(f.RowOf("B1.1"))), 0);
  f.Book("gone", sample.toc);
  f.core.View().ToggleNode(static_cast<int16_t>(f.RowOf("B1.1")));  // closes the empty book
  EXPECT_EQ(f.core.View().ToggleNode(static_cast<int16_t>(f.RowOf("B1.1"))), 2);
}

}  // namespace
}  // namespace orvane::test
