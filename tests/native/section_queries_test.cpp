#include <gtest/gtest.h>

#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;
using test::SampleBook;
using test::TocBytes;

struct QueryFixture : CoreFixture {
  SampleBook sample;
  uint32_t deferred = 0;
  QueryFixture() {
    // Book 3 holds the sample followed by a record the parser never reaches.
    TocBytes toc = sample.toc;
    toc.Zeros(21);
    deferred = toc.Record("Late\n", {.parentPos = sample.b1, .level = 4, .filePos = 777});
    Catalogue("lib", {{"x", "y"}, {"z"}});
    Book("z", toc);
    Book("y", TocBytes(0));
  }
};

TEST(GetSectionTitle, DecodedTitlesOfTheLeadingRegionAndDecodedCopiesBeyond) {
  QueryFixture f;
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, f.sample.a1), "");  // before LoadBooks
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, f.sample.a1), "A1");
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, 0), "A");  // raised to the first record
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, 9), "A");
  // A line feed in a title reads as a blank; the buffer itself stays as stored.
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, static_cast<int32_t>(f.deferred)), "Late ");
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, static_cast<int32_t>(f.deferred)), "Late ");
}

TEST(GetSectionTitle, HostPositionsOutsideTheDataGiveEmptyText) {
  QueryFixture f;
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.Queries().GetSectionTitle(0, 10), "");
  EXPECT_EQ(f.core.Queries().GetSectionTitle(4, 10), "");  // beyond the book count
  EXPECT_EQ(f.core.Queries().GetSectionTitle(-1, 10), "");
  EXPECT_EQ(f.core.Queries().GetSectionTitle(1, 10), "");  // no TOC file
  EXPECT_EQ(f.core.Queries().GetSectionTitle(2, 10), "");  // header only
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, -1), "");  // a very large position
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, 1 << 30), "");
  uint32_t size = f.core.Outline().Shelf().Length(3);
  EXPECT_EQ(f.core.Queries().GetSectionTitle(3, static_cast<int32_t>(size - 5)), "");
}

TEST(GetParentPos, ParentsAndTopLevels) {
  QueryFixture f;
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.Queries().GetParentPos(3, 10), -1);
  EXPECT_EQ(f.core.Queries().GetParentPos(3, 3), -1);
  EXPECT_EQ(f.core.Queries().GetParentPos(3, static_cast<int32_t>(f.sample.b)), -1);  // level 2
  EXPECT_EQ(f.core.Queries().GetParentPos(3, static_cast<int32_t>(f.sample.a1x)),
            static_cast<int32_t>(f.sample.a1));
  EXPECT_EQ(f.core.Queries().GetParentPos(3, static_cast<int32_t>(f.deferred)),
            static_cast<int32_t>(f.sample.b1));
  EXPECT_EQ(f.core.Queries().GetParentPos(1, 40), -1);
  EXPECT_EQ(f.core.Queries().GetParentPos(99, 40), -1);
}

TEST(GetParentPos, SecondLevelRecordWithParentZeroGivesTen) {
  CoreFixture f;
  TocBytes toc(1);
  toc.Record("A", {.childCount = 1});
  uint32_t child = toc.Record("A1", {.parentPos = 0, .level = 3});
  f.Catalogue("lib", {{"a"}});
  f.Book("a", toc);
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.Queries().GetParentPos(1, static_cast<int32_t>(child)), 10);
}

TEST(LoadFromTocFile, BookFromTocFileAndPositionFromTheArgument) {
  QueryFixture f;
  f.core.Queries().SetTocFile("3");
  f.core.Queries().LoadFromTocFile(std::to_string(f.sample.a2));
  EXPECT_EQ(f.core.Queries().TocFile(), "-1");  // no catalogue yet
  f.core.LoadBooks("lib");
  f.core.Queries().SetTocFile("3");
  f.core.Queries().LoadFromTocFile(std::to_string(f.sample.a2));
  EXPECT_EQ(f.core.Queries().TocFile(), "120");
  f.core.Queries().SetTocFile("3 and more");
  f.core.Queries().LoadFromTocFile(std::to_string(f.deferred) + "xyz");
  EXPECT_EQ(f.core.Queries().TocFile(), "777");
  f.core.Queries().SetTocFile("3");
  f.core.Queries().LoadFromTocFile("abc");  // reads as 0, raised to the first record
  EXPECT_EQ(f.core.Queries().TocFile(), "100");
  f.core.Queries().SetTocFile("70000");
  f.core.Queries().LoadFromTocFile("10");
  EXPECT_EQ(f.core.Queries().TocFile(), "-1");
  f.core.Queries().SetTocFile("C:\\0\\1.TXT");
  f.core.Queries().LoadFromTocFile("10");
  EXPECT_EQ(f.core.Queries().TocFile(), "-1");
}

TEST(TocToFilePos, RecordsAndFailures) {
  QueryFixture f;
  EXPECT_EQ(f.core.Queries().TocToFilePos(3, 10), -1);
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.Queries().TocToFilePos(3, static_cast<int32_t>(f.sample.b1)), 210);
  EXPECT_EQ(
      f.core.Queries().TocToFilePos(3, static_cast<int32_t>(f.core.Outline().Shelf().Length(3))),
      -1);
  EXPECT_EQ(f.core.Queries().TocToFilePos(1, 10), -1);
}

}  // namespace
}  // namespace orvane
