#include <gtest/gtest.h>

#include <functional>

#include "loading/toc_reader.h"
#include "test_support.h"

namespace orvane {
namespace {

using test::MemoryFile;
using test::SampleBook;
using test::TocBytes;

// A TocBuffer: the file's bytes followed by two spare bytes.
std::vector<uint8_t> Buffer(const std::vector<uint8_t>& file) {
  std::vector<uint8_t> b(file);
  b.resize(file.size() + 2, 0);
  return b;
}

struct Parsed {
  NodeList root;
  OutlineNode* book;
  std::vector<uint8_t> buffer;
  uint32_t end = 0;
  explicit Parsed(const std::vector<uint8_t>& file) : buffer(Buffer(file)) {
    OutlineNode* category = AddChildNode(root, nullptr, "cat");
    book = AddChildNode(root, category, "book");
    end = ParseToc(*book, buffer.data(), static_cast<uint32_t>(file.size()), 7);
  }
};

// Depth-first "title:level:ordinal" of the loaded sections.
std::string Shape(const OutlineNode& node) {
  std::string out;
  std::function<void(const OutlineNode&)> walk = [&](const OutlineNode& n) {
    for (const OutlineNode* c : n.m_children) {
      out += c->TitleText() + ":" + std::to_string(c->Level()) + ":" +
             std::to_string(c->m_ordinal) + " ";
      walk(*c);
    }
  };
  walk(node);
  return out;
}

TEST(DecodeTitle, AddsOneAndBlanksLineBreaks) {
  uint8_t bytes[] = {0x40, 0x41, 0x09, 0x0C, 0xFF, 0x30};
  EXPECT_EQ(DecodeTitle(bytes, 6), 6u);
  EXPECT_EQ(bytes[0], 'A');
  EXPECT_EQ(bytes[1], 'B');
  EXPECT_EQ(bytes[2], ' ');
  EXPECT_EQ(bytes[3], ' ');
  EXPECT_EQ(bytes[4], 0x00);
  EXPECT_EQ(bytes[5], '1');

  uint8_t stops[] = {0x40, 0x00, 0x40};
  EXPECT_EQ(DecodeTitle(stops, 3), 1u);
  EXPECT_EQ(stops[2], 0x40);  // past the stored zero nothing changes
}

TEST(ParseToc, SiblingGroupsDepthFirst) {
  SampleBook sample;
  Parsed p(sample.toc.Get());
  EXPECT_EQ(Shape(*p.book), "A:2:1 A1:3:1 A1x:4:1 A2:3:2 B:2:2 B1:3:1 ");
  EXPECT_EQ(p.book->ChildCount(), 2);
  EXPECT_EQ(p.end, sample.toc.Size());
  const OutlineNode* a1x = p.book->m_children[0]->m_children[0]->m_children[0];
  EXPECT_EQ(a1x->m_bookNumber, 7);
  EXPECT_EQ(a1x->FilePos(), 111);
  EXPECT_EQ(a1x->m_parent->TitleText(), "A1");
}

TEST(ParseToc, SectionNodesShareTheBufferAndLevelsAreRewritten) {
  TocBytes toc(1);
  uint32_t pos = toc.Record("Top", {.childCount = 0, .level = 9});
  Parsed p(toc.Get());
  const OutlineNode* top = p.book->m_children[0];
  EXPECT_EQ(top->Record(), p.buffer.data() + pos);
  EXPECT_EQ(p.buffer[pos + rec::kLevel], 2);  // tree level written into the buffer
  EXPECT_EQ(p.buffer[pos + 21], 'T');         // decoded in place
}

TEST(ParseToc, EmptyTitleRecordIsNotDecoded) {
  TocBytes toc(2);
  toc.Record("", {});
  toc.Record("X", {});
  Parsed p(toc.Get());
  ASSERT_EQ(p.book->m_children.Count(), 2);
  EXPECT_EQ(p.book->m_children[0]->TitleText(), "");
  EXPECT_EQ(p.book->m_children[1]->TitleText(), "X");
}

TEST(ParseToc, ShortFiles) {
  // Missing file: nothing at all, not even the count.
  Parsed none(std::vector<uint8_t>{});
  EXPECT_EQ(none.book->ChildCount(), 0);
  // Exactly the header: the count, no sections.
  TocBytes header(5);
  Parsed ten(header.Get());
  EXPECT_EQ(ten.book->ChildCount(), 5);
  EXPECT_TRUE(ten.book->m_children.Empty());
  // Fewer bytes than the count needs: no count is read from beyond the file.
  for (size_t n = 1; n < 30; ++n) {
    std::vector<uint8_t> bytes(header.Get());
    bytes.resize(n, 0xAB);
    Parsed p(bytes);
    EXPECT_TRUE(p.book->m_children.Empty()) << n;
    if (n < 8) {
      EXPECT_EQ(p.book->ChildCount(), 0) << n;
    }
  }
}

TEST(ParseToc, ZeroRunEndsTheLeadingRegion) {
  TocBytes toc(2);
  toc.Zeros(21);
  toc.Record("late", {});
  Parsed p(toc.Get());
  EXPECT_EQ(p.book->ChildCount(), 2);
  EXPECT_TRUE(p.book->m_children.Empty());

  // Between groups: the first group stays, the rest is not parsed.
  TocBytes two(1);
  two.Record("A", {.childCount = 1});
  two.Zeros(21);
  two.Record("A1", {.level = 3});
  Parsed q(two.Get());
  EXPECT_EQ(Shape(*q.book), "A:2:1 ");
  EXPECT_EQ(q.end, 10u + 22u);
}

TEST(ParseToc, MalformedRecordsStopQuietlyKeepingWhatWasRead) {
  // RecordLength below 21.
  TocBytes shortLength(2);
  shortLength.Record("A", {});
  shortLength.Record("B", {.recordLength = 5});
  Parsed p1(shortLength.Get());
  EXPECT_EQ(Shape(*p1.book), "A:2:1 ");

  // A record reaching past the end of the data.
  TocBytes pastEnd(2);
  pastEnd.Record("A", {});
  pastEnd.Record("B", {.recordLength = 400});
  Parsed p2(pastEnd.Get());
  EXPECT_EQ(Shape(*p2.book), "A:2:1 ");

  // A header cut short.
  TocBytes cut(2);
  cut.Record("A", {});
  std::vector<uint8_t> bytes = cut.Get();
  bytes.resize(bytes.size() + 15, 1);
  Parsed p3(bytes);
  EXPECT_EQ(Shape(*p3.book), "A:2:1 ");

  // More children declared than records present.
  TocBytes greedy(60000);
  greedy.Record("A", {.childCount = 65535});
  greedy.Record("B", {});
  Parsed p4(greedy.Get());
  EXPECT_EQ(p4.book->m_children.Count(), 2);
  EXPECT_EQ(p4.book->m_children[0]->m_children.Count(), 0);
}

TEST(ParseToc, GroupsBelowTheDeepestLevelAreSteppedOver) {
  // "deep" nests down to level 255, whose section declares two children
  // (the first with a child of its own); "other" comes after it at the top.
  TocBytes toc(2);
  toc.Record("deep", {.childCount = 1});
  toc.Record("other", {.childCount = 1});
  for (int level = 3; level < 255; ++level) toc.Record("d", {.childCount = 1});
  toc.Record("last", {.childCount = 2});
  toc.Record("x1", {.childCount = 1});
  toc.Record("x2", {});
  toc.Record("y", {});
  toc.Record("o1", {});
  Parsed p(toc.Get());
  EXPECT_EQ(p.end, toc.Size());

  const OutlineNode* node = p.book->m_children[0];
  while (!node->m_children.Empty()) node = node->m_children[0];
  EXPECT_EQ(node->TitleText(), "last");
  EXPECT_EQ(node->Level(), 255);
  EXPECT_EQ(node->ChildCount(), 2);
  // The records of its group and of their groups belong to no other section.
  const OutlineNode* other = p.book->m_children[1];
  ASSERT_EQ(other->m_children.Count(), 1);
  EXPECT_EQ(other->m_children[0]->TitleText(), "o1");
  EXPECT_EQ(other->m_children[0]->Level(), 3);

  // Deferred children are not read at that level either.
  MemoryFile file(toc.Get());
  EXPECT_EQ(LoadChildren(file, *const_cast<OutlineNode*>(node)), 0);
}

TEST(ParseToc, TitleAtTheVeryEndUsesTheSpareBytes) {
  TocBytes toc(1);
  toc.Record("end", {});
  Parsed p(toc.Get());
  EXPECT_EQ(p.book->m_children[0]->TitleText(), "end");
  EXPECT_EQ(p.buffer[toc.Size()], 0);  // spare byte restored
}

// A section whose children are a deferred run at FirstChildPos.
struct DeferredBook {
  TocBytes toc{1};
  uint32_t top, run;
  DeferredBook() {
    top = toc.Record("Top", {.childCount = 2, .level = 2, .filePos = 5});
    toc.Zeros(21);
    run = toc.Size();
    toc.Record("D1", {.parentPos = top, .level = 3, .filePos = 51});
    toc.Bytes({0xEE, 0xEE});
    toc.Record("D2", {.parentPos = top, .level = 3, .filePos = 52});
    toc.Bytes({0xEE, 0xEE});
    toc.Patch32(top, rec::kFirstChildPos, run);
  }
};

TEST(LoadChildren, ReadsTheDeferredRun) {
  DeferredBook d;
  Parsed p(d.toc.Get());
  OutlineNode* top = p.book->m_children[0];
  EXPECT_TRUE(top->m_children.Empty());
  MemoryFile file(d.toc.Get());
  EXPECT_EQ(LoadChildren(file, *top), 2);
  EXPECT_EQ(Shape(*top), "D1:3:1 D2:3:2 ");
  EXPECT_EQ(top->m_children[1]->FilePos(), 52);
  EXPECT_EQ(top->m_children[1]->m_bookNumber, 7);
  // Counts agree now: nothing more is read.
  EXPECT_EQ(LoadChildren(file, *top), 2);
  EXPECT_EQ(top->m_children.Count(), 2);
}

TEST(LoadChildren, StepsOverChildrenAlreadyReadFromTheFile) {
  DeferredBook d;
  Parsed p(d.toc.Get());
  OutlineNode* top = p.book->m_children[0];
  std::vector<uint8_t> cut = d.toc.Get();
  cut.resize(cut.size() - 6);
  MemoryFile cutFile(cut);
  EXPECT_EQ(LoadChildren(cutFile, *top), 1);
  MemoryFile file(d.toc.Get());
  EXPECT_EQ(LoadChildren(file, *top), 2);
  EXPECT_EQ(Shape(*top), "D1:3:1 D2:3:2 ");
}

TEST(LoadChildren, AppendsTheWholeRunAfterChildrenAHostAdded) {
  DeferredBook d;
  Parsed p(d.toc.Get());
  OutlineNode* top = p.book->m_children[0];
  AddChildNode(p.root, top, "host");
  EXPECT_EQ(ChildrenReadFromFile(*top), 0);
  MemoryFile file(d.toc.Get());
  EXPECT_EQ(LoadChildren(file, *top), 3);
  EXPECT_EQ(Shape(*top), "host:3:1 D1:3:1 D2:3:2 ");
  EXPECT_EQ(ChildrenReadFromFile(*top), 2);
  EXPECT_EQ(LoadChildren(file, *top), 3);
}

TEST(LoadChildren, StopsAtTheFirstUnreadableRecord) {
  DeferredBook d;
  std::vector<uint8_t> bytes = d.toc.Get();
  Parsed p(bytes);
  OutlineNode* top = p.book->m_children[0];

  // Run cut in the middle of its second record.
  std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 6);
  MemoryFile cutFile(cut);
  EXPECT_EQ(LoadChildren(cutFile, *top), 1);

  // FirstChildPos beyond the file.
  Parsed q(bytes);
  OutlineNode* other = q.book->m_children[0];
  WriteU32(other->Record() + rec::kFirstChildPos, 0xFFFFFFF0u);
  MemoryFile file(bytes);
  EXPECT_EQ(LoadChildren(file, *other), 0);
}

TEST(LoadChildren, NothingToReadForNodesWithoutDeclaredChildren) {
  auto node = OutlineNode::FromText("t");
  MemoryFile file(std::vector<uint8_t>(100, 0));
  EXPECT_EQ(LoadChildren(file, *node), 0);
}

TEST(ReadRecordNode, OwnsItsBufferAndDecodes) {
  TocBytes toc(1);
  uint32_t pos = toc.Record("Hi", {.filePos = 9});
  MemoryFile file(toc.Get());
  auto node = ReadRecordNode(file, pos);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->TitleText(), "Hi");
  EXPECT_EQ(node->FilePos(), 9);
  EXPECT_EQ(ReadRecordNode(file, toc.Size()), nullptr);
  EXPECT_EQ(ReadRecordNode(file, toc.Size() - 3), nullptr);
}

}  // namespace
}  // namespace orvane
