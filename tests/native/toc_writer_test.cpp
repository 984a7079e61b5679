#include "loading/toc_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <memory>
#include <random>

#include "loading/file_system.h"
#include "loading/memory_file.h"
#include "loading/toc_reader.h"
#include "model/outline_node.h"
#include "model/toc_record.h"

namespace orvane {
namespace {

TocSection Section(std::string title, std::vector<TocSection> children = {}, int32_t filePos = -1) {
  return TocSection{std::move(title), filePos, std::move(children)};
}

// Sections A (A1 with A1x, A2) and B (B1): the layout example of the format.
std::vector<TocSection> ExampleBook() {
  return {Section("A", {Section("A1", {Section("A1x", {}, 5)}, 3), Section("A2", {}, 4)}, 1),
          Section("B", {Section("B1", {}, 7)}, 6)};
}

std::vector<uint8_t> Write(const std::vector<TocSection>& sections, TocWriteOptions options = {}) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WriteToc(sections, options, bytes, error)) << error;
  return bytes;
}

// The stored fields of the record at `pos`, with its title decoded.
struct StoredRecord {
  uint16_t length;
  uint32_t parentPos;
  uint16_t childCount;
  uint32_t firstChildPos;
  uint8_t level;
  int32_t filePos;
  std::string title;
};

StoredRecord At(const std::vector<uint8_t>& bytes, uint32_t pos) {
  EXPECT_LE(pos + kRecordHeaderSize, bytes.size());
  if (pos + kRecordHeaderSize > bytes.size()) return {};
  const uint8_t* p = bytes.data() + pos;
  StoredRecord r{ReadU16(p), ReadU32(p + 2), ReadU16(p + 6), ReadU32(p + 8), p[12], ReadI32(p + 17),
                 {}};
  EXPECT_LE(pos + r.length, bytes.size());
  for (uint32_t i = kRecordHeaderSize; i < r.length && pos + i < bytes.size(); ++i) {
    r.title += static_cast<char>(p[i] + 1);
  }
  return r;
}

bool ZeroRunAt(const std::vector<uint8_t>& bytes, uint32_t pos) {
  if (pos + kRecordHeaderSize > bytes.size()) return false;
  for (uint32_t i = 0; i < kRecordHeaderSize; ++i) {
    if (bytes[pos + i] != 0) return false;
  }
  return true;
}

TEST(TocWriterLayout, HeaderCarriesOnlyTheTopLevelCount) {
  const auto bytes = Write(ExampleBook());
  ASSERT_GE(bytes.size(), kTocHeaderSize);
  EXPECT_EQ(ReadU16(bytes.data() + 6), 2);
  for (uint32_t i : {0u, 1u, 2u, 3u, 4u, 5u, 8u, 9u}) EXPECT_EQ(bytes[i], 0) << i;

  const auto empty = Write({});
  EXPECT_EQ(empty, std::vector<uint8_t>(kTocHeaderSize, 0));
}

TEST(TocWriterLayout, LeadingRegionStoresSiblingGroupsDepthFirst) {
  const auto bytes = Write(ExampleBook());
  // A, B, A1, A2, A1x, B1, packed: records of 21 bytes plus their titles.
  const uint32_t a = 10, b = 32, a1 = 54, a2 = 77, a1x = 100, b1 = 124;
  ASSERT_EQ(bytes.size(), 147u);
  const struct {
    uint32_t pos;
    const char* title;
    uint32_t parent;
    uint16_t children;
    uint32_t firstChild;
    uint8_t level;
    int32_t filePos;
  } expected[] = {
      {a, "A", 0, 2, a1, 2, 1},  {b, "B", 0, 1, b1, 2, 6},     {a1, "A1", a, 1, a1x, 3, 3},
      {a2, "A2", a, 0, 0, 3, 4}, {a1x, "A1x", a1, 0, 0, 4, 5}, {b1, "B1", b, 0, 0, 3, 7},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.title);
    const StoredRecord r = At(bytes, e.pos);
    EXPECT_EQ(r.title, e.title);
    EXPECT_EQ(r.length, kRecordHeaderSize + std::strlen(e.title));
    EXPECT_EQ(r.parentPos, e.parent);
    EXPECT_EQ(r.childCount, e.children);
    EXPECT_EQ(r.firstChildPos, e.firstChild);
    EXPECT_EQ(r.level, e.level);
    EXPECT_EQ(r.filePos, e.filePos);
    for (uint32_t i = 13; i < 17; ++i) EXPECT_EQ(bytes[e.pos + i], 0);
  }
}

TEST(TocWriterLayout, LaterGroupsBecomeDeferredRunsAfterTheTerminator) {
  TocWriteOptions options;
  options.leadingGroups = 2;  // the top-level group and A's children
  const auto bytes = Write(ExampleBook(), options);
  const uint32_t a = 10, b = 32, a1 = 54, terminator = 100, a1x = 121, b1 = 147;
  ASSERT_EQ(bytes.size(), 172u);
  EXPECT_TRUE(ZeroRunAt(bytes, terminator));
  EXPECT_EQ(At(bytes, a1).firstChildPos, a1x);
  EXPECT_EQ(At(bytes, b).firstChildPos, b1);
  EXPECT_EQ(At(bytes, a).firstChildPos, a1);

  const StoredRecord deferred = At(bytes, a1x);
  EXPECT_EQ(deferred.title, "A1x");
  EXPECT_EQ(deferred.length, 24);  // the two spare bytes are not counted
  EXPECT_EQ(deferred.parentPos, a1);
  EXPECT_EQ(deferred.level, 4);
  EXPECT_EQ(bytes[a1x + 24], 0);
  EXPECT_EQ(bytes[a1x + 25], 0);
  EXPECT_EQ(At(bytes, b1).parentPos, b);
}

TEST(TocWriterLayout, DeferredRunsHoldWholeGroupsTwoBytesApartAndNest) {
  // One top-level section whose three children each have children: with only
  // the top-level group leading, the children's group is a run and so are
  // the groups below its members.
  std::vector<TocSection> book = {Section("T", {Section("c1", {Section("g1")}), Section("c2"),
                                                Section("c3", {Section("g3a"), Section("g3b")})})};
  TocWriteOptions options;
  options.leadingGroups = 1;
  const auto bytes = Write(book, options);
  const uint32_t t = 10, terminator = 32;
  EXPECT_TRUE(ZeroRunAt(bytes, terminator));
  const uint32_t c1 = At(bytes, t).firstChildPos;
  EXPECT_EQ(c1, terminator + kRecordHeaderSize);
  const uint32_t c2 = c1 + 23 + 2, c3 = c2 + 23 + 2;
  EXPECT_EQ(At(bytes, c2).title, "c2");
  EXPECT_EQ(At(bytes, c3).title, "c3");
  for (uint32_t pos : {c1, c2, c3}) EXPECT_EQ(At(bytes, pos).parentPos, t);

  const uint32_t g3a = At(bytes, c3).firstChildPos;
  EXPECT_EQ(At(bytes, g3a).title, "g3a");
  EXPECT_EQ(At(bytes, g3a + 24 + 2).title, "g3b");
  EXPECT_EQ(At(bytes, g3a + 24 + 2).parentPos, c3);
  EXPECT_EQ(At(bytes, At(bytes, c1).firstChildPos).title, "g1");
  EXPECT_EQ(At(bytes, c2).firstChildPos, 0u);
  EXPECT_EQ(bytes.size(), g3a + 2 * (24 + 2));
}

TEST(TocWriterLayout, TerminatorOnlyWhenAskedOrNeeded) {
  const auto plain = Write(ExampleBook());
  TocWriteOptions terminate;
  terminate.terminate = true;
  const auto terminated = Write(ExampleBook(), terminate);
  ASSERT_EQ(terminated.size(), plain.size() + kRecordHeaderSize);
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), terminated.begin()));
  EXPECT_TRUE(ZeroRunAt(terminated, static_cast<uint32_t>(plain.size())));

  // More leading groups than the book has is the same as all of them.
  TocWriteOptions generous;
  generous.leadingGroups = 99;
  EXPECT_EQ(Write(ExampleBook(), generous), plain);
}

TEST(TocWriterLayout, EmptyLeadingRegionDeclaresSectionsButStoresNone) {
  TocWriteOptions options;
  options.leadingGroups = 0;
  const auto bytes = Write(ExampleBook(), options);
  ASSERT_EQ(bytes.size(), kTocHeaderSize + kRecordHeaderSize);
  EXPECT_EQ(ReadU16(bytes.data() + 6), 2);
  EXPECT_TRUE(ZeroRunAt(bytes, kTocHeaderSize));
}

TEST(TocWriterTitles, StoredAsCodeMinusOne) {
  const auto bytes = Write({Section(std::string("\x41\xC7\xFF\x02 ", 5))});
  ASSERT_EQ(bytes.size(), 10u + 21u + 5u);
  const uint8_t expected[] = {0x40, 0xC6, 0xFE, 0x01, 0x1F};
  EXPECT_EQ(0, std::memcmp(bytes.data() + 31, expected, sizeof expected));
}

TEST(TocWriterTitles, LongestTitleFitsAndOneMoreByteIsRefused) {
  const std::string longest(0xFFFF - kRecordHeaderSize, '\xC7');
  const auto bytes = Write({Section(longest)});
  EXPECT_EQ(ReadU16(bytes.data() + 10), 0xFFFF);
  EXPECT_EQ(bytes.size(), 10u + 0xFFFF);

  std::vector<uint8_t> out = {1, 2, 3};
  std::string error;
  EXPECT_FALSE(WriteToc({Section(longest + "x")}, {}, out, error));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(error.empty());
}

TEST(TocWriterTitles, BytesTheReaderWouldCutAreRefused) {
  for (const char* bad : {"a\x01"
                          "b",
                          "\x01"}) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_FALSE(WriteToc({Section("ok", {Section(bad)})}, {}, out, error)) << bad;
    EXPECT_TRUE(out.empty());
  }
  std::vector<uint8_t> out;
  std::string error;
  EXPECT_FALSE(WriteToc({Section(std::string("a\0b", 3))}, {}, out, error));
}

TEST(TocWriterLimits, TooManySiblingsOrLevelsAreRefused) {
  std::vector<uint8_t> out;
  std::string error;
  std::vector<TocSection> wide(0x10000, Section("x"));
  EXPECT_FALSE(WriteToc(wide, {}, out, error));
  EXPECT_FALSE(WriteToc({Section("top", std::move(wide))}, {}, out, error));

  // 254 levels (2 .. 255) fit; one more would wrap the Level byte.
  auto chain = [](uint32_t depth) {
    TocSection root = Section("d");
    TocSection* at = &root;
    for (uint32_t i = 1; i < depth; ++i) {
      at->children.push_back(Section("d"));
      at = &at->children.back();
    }
    return std::vector<TocSection>{root};
  };
  EXPECT_TRUE(WriteToc(chain(kMaxTocDepth), {}, out, error)) << error;
  EXPECT_EQ(out[out.size() - 22 + rec::kLevel], 255);
  EXPECT_FALSE(WriteToc(chain(kMaxTocDepth + 1), {}, out, error));
  EXPECT_TRUE(out.empty());
}

TEST(TocWriterGroups, CountsTheBookGroupAndEverySectionWithChildren) {
  EXPECT_EQ(CountTocGroups({}), 0u);
  EXPECT_EQ(CountTocGroups({Section("a"), Section("b")}), 1u);
  EXPECT_EQ(CountTocGroups(ExampleBook()), 4u);
}

// --- Round trips through the control's reader -------------------------------

// A book loaded the way the control loads one: the file whole into a buffer
// with two spare bytes, the leading region parsed under a level-1 book node.
struct LoadedBook {
  explicit LoadedBook(std::vector<uint8_t> fileBytes) : bytes(std::move(fileBytes)), file(bytes) {
    buffer = std::make_unique<uint8_t[]>(bytes.size() + 2);
    std::copy(bytes.begin(), bytes.end(), buffer.get());
    book = OutlineNode::FromText("book");
    book->Header().SetLevel(1);
    parsedTo = ParseToc(*book, buffer.get(), static_cast<uint32_t>(bytes.size()), 7);
  }

  // Reads on demand every section whose children are not all loaded yet.
  void LoadEverything() {
    std::vector<OutlineNode*> stack(book->m_children.begin(), book->m_children.end());
    while (!stack.empty()) {
      OutlineNode* node = stack.back();
      stack.pop_back();
      if (node->m_children.Count() < node->ChildCount()) LoadChildren(file, *node);
      for (OutlineNode* child : node->m_children) stack.push_back(child);
    }
  }

  std::vector<uint8_t> bytes;
  MemoryFile file;
  std::unique_ptr<uint8_t[]> buffer;
  std::unique_ptr<OutlineNode> book;
  uint32_t parsedTo = 0;
};

// Compares a loaded subtree with the outline it was written from.
void ExpectSameOutline(const std::vector<TocSection>& expected, const OutlineNode& parent,
                       const std::vector<uint8_t>& bytes) {
  ASSERT_EQ(parent.m_children.Count(), static_cast<int32_t>(expected.size())) << parent.TitleText();
  for (size_t i = 0; i < expected.size(); ++i) {
    const OutlineNode& node = *parent.m_children[static_cast<int32_t>(i)];
    SCOPED_TRACE(expected[i].title);
    EXPECT_EQ(node.TitleText(), expected[i].title);
    EXPECT_EQ(node.FilePos(), expected[i].filePos);
    EXPECT_EQ(node.ChildCount(), expected[i].children.size());
    EXPECT_EQ(node.Level(), parent.Level() + 1);
    EXPECT_EQ(node.m_ordinal, static_cast<int16_t>(i + 1));
    EXPECT_EQ(node.m_bookNumber, 7);
    EXPECT_EQ(node.m_parent, &parent);
    // ParentPos leads to the parent's record in the file (0 under the book).
    const uint32_t parentPos = node.Header().ParentPos();
    if (parent.Level() == 1) {
      EXPECT_EQ(parentPos, 0u);
    } else {
      const StoredRecord stored = At(bytes, parentPos);
      EXPECT_EQ(stored.title, parent.TitleText());
      EXPECT_EQ(stored.childCount, parent.ChildCount());
    }
    ExpectSameOutline(expected[i].children, node, bytes);
  }
}

TEST(TocWriterRoundTrip, ExampleBookLoadsWithItsLevelsAndOrdinals) {
  LoadedBook loaded(Write(ExampleBook()));
  EXPECT_EQ(loaded.book->ChildCount(), 2);
  EXPECT_EQ(loaded.parsedTo, loaded.bytes.size());
  ExpectSameOutline(ExampleBook(), *loaded.book, loaded.bytes);
}

TEST(TocWriterRoundTrip, DeferredGroupsLoadOnlyOnDemand) {
  TocWriteOptions options;
  options.leadingGroups = 2;
  LoadedBook loaded(Write(ExampleBook(), options));
  OutlineNode* a = NodeAt(loaded.book->m_children, 1);
  OutlineNode* b = NodeAt(loaded.book->m_children, 2);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->m_children.Count(), 2);  // A's group is the second in the leading region
  EXPECT_EQ(b->m_children.Count(), 0);  // B's group comes after the terminator
  OutlineNode* a1 = NodeAt(a->m_children, 1);
  ASSERT_TRUE(a1);
  EXPECT_EQ(a1->m_children.Count(), 0);
  EXPECT_EQ(loaded.parsedTo, 100u);  // stopped at the terminator

  EXPECT_EQ(LoadChildren(loaded.file, *b), 1);
  EXPECT_EQ(NodeAt(b->m_children, 1)->TitleText(), "B1");
  loaded.LoadEverything();
  ExpectSameOutline(ExampleBook(), *loaded.book, loaded.bytes);
}

TEST(TocWriterRoundTrip, TerminatorAfterAFullLeadingRegionChangesNothingLoaded) {
  TocWriteOptions options;
  options.terminate = true;
  LoadedBook loaded(Write(ExampleBook(), options));
  EXPECT_EQ(loaded.parsedTo, loaded.bytes.size() - kRecordHeaderSize);
  ExpectSameOutline(ExampleBook(), *loaded.book, loaded.bytes);
}

TEST(TocWriterRoundTrip, EmptyLeadingRegionGivesTheCountButNoSections) {
  TocWriteOptions options;
  options.leadingGroups = 0;
  LoadedBook loaded(Write(ExampleBook(), options));
  EXPECT_EQ(loaded.book->ChildCount(), 2);
  EXPECT_EQ(loaded.book->m_children.Count(), 0);
}

TEST(TocWriterRoundTrip, ArabicTitlesComeBackByteForByte) {
  // "كتاب الطهارة" and "باب الوضوء" in Windows-1256, with a tatweel and a
  // stored 0xFF (yeh barree) at the end of a title.
  const std::vector<TocSection> book = {
      Section("\xDF\xCA\xC7\xC8 \xC7\xE1\xD8\xE5\xC7\xD1\xC9",
              {Section("\xC8\xC7\xC8 \xC7\xE1\xE6\xD6\xE6\xC1\xDC\xFF", {}, 12)}, 0)};
  TocWriteOptions options;
  options.leadingGroups = 1;
  LoadedBook loaded(Write(book, options));
  loaded.LoadEverything();
  ExpectSameOutline(book, *loaded.book, loaded.bytes);
}

TEST(TocWriterRoundTrip, RandomOutlinesSurviveEveryLeadingRegionSize) {
  // Outlines of random shape, with titles over the byte range the reader
  // gives back unchanged, each written with every possible leading region.
  std::mt19937 random(20261208);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    std::vector<TocSection> book;
    std::vector<std::vector<TocSection>*> open{&book};
    const int count = 1 + static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) {
      const size_t depth = random() % open.size();
      open.resize(depth + 1);
      std::string title;
      for (uint32_t n = random() % 12; n > 0; --n) {
        // Line feeds and carriage returns are read back as blanks.
        char c = static_cast<char>(2 + random() % 254);
        title += (c == '\n' || c == '\r') ? '.' : c;
      }
      open[depth]->push_back(Section(title, {}, static_cast<int32_t>(random())));
      open.push_back(&open[depth]->back().children);
    }
    const uint32_t groups = CountTocGroups(book);
    for (uint32_t leading = 1; leading <= groups; ++leading) {
      TocWriteOptions options;
      options.leadingGroups = leading;
      LoadedBook loaded(Write(book, options));
      loaded.LoadEverything();
      ExpectSameOutline(book, *loaded.book, loaded.bytes);
      if (HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace orvane
