#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "loading/cp1256.h"
#include "loading/title_folding.h"
#include "loading/toc_writer.h"
#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;
using test::TocBytes;

// ---- The reference: each title decoded to Unicode and folded a character
// at a time, by the rules as a reader states them. ----

bool IsDropped(char32_t c) {
  return (c >= 0x064B && c <= 0x0652) || c == 0x0640 || (c >= 0x200C && c <= 0x200F);
}

std::u32string ReferenceFold(const std::string& cp1256) {
  std::u32string out;
  bool blank = true;
  for (char byte : cp1256) {
    char32_t c = Cp1256ToUnicode(static_cast<uint8_t>(byte));
    if (IsDropped(c)) continue;
    if (c == U' ' || c == U'\t' || c == 0x00A0) {
      if (!blank) out.push_back(U' ');
      blank = true;
      continue;
    }
    blank = false;
    if (c >= U'A' && c <= U'Z') c = c - U'A' + U'a';
    if (c == 0x0622 || c == 0x0623 || c == 0x0625) c = 0x0627;
    if (c == 0x0649 || c == 0x0626) c = 0x064A;
    if (c == 0x0629) c = 0x0647;
    if (c == 0x0624) c = 0x0648;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == U' ') out.pop_back();
  return out;
}

bool ReferenceFinds(const std::string& query, const std::string& title) {
  const std::u32string q = ReferenceFold(query);
  return !q.empty() && ReferenceFold(title).find(q) != std::u32string::npos;
}

// ---- Generated libraries that hold every folded letter and mark ----

// Letters with their folded forms, marks, blanks of every kind (a line feed
// shows as one), Latin of both cases and accented Latin.
const std::string kAlphabet =
    "\xC7\xC2\xC3\xC5\xEC\xED\xC9\xE5\xC4\xE6\xC6\xC1\xC8\xE1"  // letters and forms
    "\xF0\xF1\xF2\xF3\xF5\xF6\xF8\xFA\xDC\x9D\x9E\xFD\xFE"      // marks, tatweel, format marks
    " \t\xA0\n"                                                 // blanks
    "AaBb\xE9"
    "e";  // Latin, é

struct Item {
  std::string title;  // as shown: a line feed already a blank
  int32_t filePos = -1;
  int level = 0;
};

class LibraryMaker {
 public:
  explicit LibraryMaker(uint32_t seed) : m_rng(seed) {}

  uint32_t Below(uint32_t n) { return n == 0 ? 0 : m_rng() % n; }

  std::string Title() {
    std::string t;
    for (uint32_t n = 1 + Below(8); n > 0; --n) t.push_back(kAlphabet[Below(kAlphabet.size())]);
    return t;
  }

  std::vector<TocSection> Sections(int depth) {
    std::vector<TocSection> out;
    if (depth > 3) return out;
    for (uint32_t n = Below(depth == 0 ? 5 : 4); n > 0; --n) {
      TocSection s;
      s.title = Title();
      s.filePos = 1000 + m_sections++;
      if (Below(2)) s.children = Sections(depth + 1);
      out.push_back(std::move(s));
    }
    return out;
  }

  // Builds a library into `f` and returns every title in outline order.
  std::vector<Item> Build(CoreFixture& f) {
    std::vector<std::vector<std::string>> names(1 + Below(3));
    int book = 0;
    for (auto& books : names) {
      for (uint32_t n = Below(4); n > 0; --n) books.push_back("b" + std::to_string(book++));
    }
    f.Catalogue("lib", names);
    std::vector<Item> order;
    book = 0;
    for (size_t k = 0; k < names.size(); ++k) {
      order.push_back({"C" + std::to_string(k + 1), -1, 0});
      for (size_t j = 0; j < names[k].size(); ++j, ++book) {
        order.push_back({"B" + std::to_string(k + 1) + "." + std::to_string(j + 1), -1, 1});
        std::vector<TocSection> sections = Sections(0);
        TocWriteOptions options;
        // Some books keep only their first groups in the leading region, the
        // rest in runs reached from their parents.
        if (Below(2)) options.leadingGroups = 1 + Below(CountTocGroups(sections) + 1);
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(WriteToc(sections, options, bytes, error)) << error;
        f.files.Put("lib\\" + names[k][j] + ".TOC", bytes);
        AddSections(sections, 2, order);
      }
    }
    f.core.LoadBooks("lib");
    // Free items after the catalogue, one with a child.
    for (uint32_t n = Below(3); n > 0; --n) {
      std::string title = Title();
      f.core.View().AddSibling(-1, title);
      order.push_back({title, -1, 0});
      if (Below(2)) {
        std::string child = Title();
        f.core.View().AddChild(f.rows.Count() - 1, child);
        order.push_back({child, -1, 1});
      }
    }
    return order;
  }

  // A query that a title of the library should answer: part of it, spelled
  // with other forms of its letters, marks and blanks.
  std::string QueryFrom(const std::vector<Item>& order) {
    if (Below(4) == 0) return Title();
    const std::string& t = order[Below(static_cast<uint32_t>(order.size()))].title;
    size_t from = Below(static_cast<uint32_t>(t.size()));
    std::string q = t.substr(from, 1 + Below(static_cast<uint32_t>(t.size() - from)));
    std::string out;
    for (char c : q) {
      const uint8_t b = static_cast<uint8_t>(c);
      const char* forms = b == 0xC7 || b == 0xC2 || b == 0xC3 || b == 0xC5 ? "\xC7\xC2\xC3\xC5"
                          : b == 0xED || b == 0xEC || b == 0xC6            ? "\xED\xEC\xC6"
                          : b == 0xE5 || b == 0xC9                         ? "\xE5\xC9"
                          : b == 0xE6 || b == 0xC4                         ? "\xE6\xC4"
                          : b == 'a' || b == 'A'                           ? "aA"
                                                                           : nullptr;
      out.push_back(forms ? forms[Below(static_cast<uint32_t>(std::strlen(forms)))] : c);
      if (Below(6) == 0) out.push_back(kAlphabet[14 + Below(13)]);  // a mark
      if (c == ' ' && Below(3) == 0) out += "\t\xA0";
    }
    return out;
  }

 private:
  void AddSections(const std::vector<TocSection>& sections, int level, std::vector<Item>& order) {
    for (const TocSection& s : sections) {
      std::string shown = s.title;
      for (char& c : shown) {
        if (c == '\n') c = ' ';
      }
      order.push_back({shown, s.filePos, level});
      AddSections(s.children, level + 1, order);
    }
  }

  std::mt19937 m_rng;
  int32_t m_sections = 0;
};

std::string Describe(const OutlineNode* n) {
  return n->TitleText() + " @" + std::to_string(n->FilePos()) + " L" + std::to_string(n->Level());
}

std::string Describe(const Item& item) {
  return item.title + " @" + std::to_string(item.filePos) + " L" + std::to_string(item.level);
}

int64_t CountNodes(const NodeList& list) {
  int64_t n = 0;
  for (const OutlineNode* node : list) n += 1 + CountNodes(node->m_children);
  return n;
}

// Some books read, some sections' runs read, before a search: the search
// must give the same whatever was read.
void ReadSome(CoreFixture& f, LibraryMaker& maker) {
  Library& library = f.core.Outline();
  for (int16_t b = 1; b <= library.BookCount(); ++b) {
    if (maker.Below(2)) continue;
    library.EnsureBookRead(b);
    OutlineNode* book = library.BookNode(b);
    if (book == nullptr) continue;
    for (OutlineNode* section : book->m_children) {
      if (library.HasDeferredChildren(*section) && maker.Below(2)) {
        f.core.Catalogue().ReadDeferredChildren(*section);
      }
    }
  }
}

TEST(FindDifferential, EveryMatchInOutlineOrderAgainstTheReference) {
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    CoreFixture f;
    LibraryMaker maker(seed);
    const std::vector<Item> order = maker.Build(f);
    ReadSome(f, maker);
    for (int q = 0; q < 6; ++q) {
      const std::string query = maker.QueryFrom(order);
      std::vector<std::string> expected;
      for (const Item& item : order) {
        if (ReferenceFinds(query, item.title)) expected.push_back(Describe(item));
      }
      std::vector<std::string> found;
      for (const OutlineNode* n : f.core.Search().FindAll(FoldedQuery(query), 100000)) {
        found.push_back(Describe(n));
      }
      ASSERT_EQ(found, expected) << "seed " << seed << " query " << Cp1256ToUtf8(query);
      // At most MaxCount, the first ones.
      if (expected.size() > 1) {
        auto first = f.core.Search().FindAll(FoldedQuery(query), 1);
        ASSERT_EQ(first.size(), 1u);
        EXPECT_EQ(Describe(first[0]), expected[0]);
      }
    }
  }
}

TEST(FindDifferential, FindNextVisitsTheMatchesInOrderAndWraps) {
  for (uint32_t seed = 200; seed <= 260; ++seed) {
    CoreFixture f;
    LibraryMaker maker(seed);
    const std::vector<Item> order = maker.Build(f);
    ReadSome(f, maker);
    const std::string query = maker.QueryFrom(order);
    std::vector<std::string> expected;
    for (const Item& item : order) {
      if (ReferenceFinds(query, item.title)) expected.push_back(Describe(item));
    }
    const FoldedQuery folded(query);
    if (expected.empty()) {
      EXPECT_FALSE(f.core.View().FindAndShow(folded, false));
      EXPECT_EQ(f.rows.Selection(), -1);
      continue;
    }
    const size_t n = expected.size();
    for (size_t i = 0; i < n + 1; ++i) {
      ASSERT_TRUE(f.core.View().FindAndShow(folded, false)) << seed;
      const OutlineNode* current = f.core.View().SelectedNode();
      ASSERT_EQ(f.rows.NodeOf(f.rows.Selection()), current);
      ASSERT_EQ(Describe(current), expected[i % n]) << "seed " << seed << " step " << i;
    }
    // Back again: from the first match (where the walk above ended), the
    // previous one is the last.
    for (size_t i = 0; i < n + 1; ++i) {
      ASSERT_TRUE(f.core.View().FindAndShow(folded, true));
      ASSERT_EQ(Describe(f.core.View().SelectedNode()), expected[(2 * n - 1 - i) % n])
          << "seed " << seed << " back " << i;
    }
  }
}

TEST(FindDifferential, ANonMatchingFindMakesNoNode) {
  for (uint32_t seed = 300; seed <= 340; ++seed) {
    CoreFixture f;
    LibraryMaker maker(seed);
    maker.Build(f);
    // Every book read, deferred runs left in their files.
    for (int16_t b = 1; b <= f.core.Outline().BookCount(); ++b) f.core.Outline().EnsureBookRead(b);
    const int64_t before = CountNodes(f.core.Outline().RootList());
    EXPECT_TRUE(f.core.Search().FindAll(FoldedQuery("zzz"), 100000).empty());
    EXPECT_EQ(CountNodes(f.core.Outline().RootList()), before) << seed;
  }
}

// ---- Single libraries, one behaviour each ----

struct DeferredBook : CoreFixture {
  // Book 1: A (A1, A2 deferred), B; book 2 unread: "needle" deep in a run.
  DeferredBook() {
    std::vector<TocSection> one = {
        {"A", 10, {{"A1", 11, {}}, {"A2", 12, {}}}},
        {"B", 20, {}},
    };
    std::vector<TocSection> two = {
        {"X", 30, {{"Y", 31, {{"needle", 32, {}}, {"hay", 33, {}}}}}},
    };
    Put("b1", one, 1);
    Put("b2", two, 1);
    Catalogue("lib", {{"b1", "b2"}});
    core.LoadBooks("lib");
  }
  void Put(const std::string& name, const std::vector<TocSection>& sections, uint32_t groups) {
    std::vector<uint8_t> bytes;
    std::string error;
    TocWriteOptions options;
    options.leadingGroups = groups;
    WriteToc(sections, options, bytes, error);
    files.Put("lib\\" + name + ".TOC", bytes);
  }
};

TEST(Find, MakesTheMatchAndTheRunsOnItsWayOnly) {
  DeferredBook f;
  auto found = f.core.Search().FindAll(FoldedQuery("needle"), 10);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0]->TitleText(), "needle");
  EXPECT_EQ(found[0]->m_parent->TitleText(), "Y");
  EXPECT_EQ(found[0]->m_parent->m_parent->TitleText(), "X");
  // Y's run was read to reach the match; A's run, with nothing found, was not.
  const OutlineNode* a = f.core.Outline().BookNode(1)->m_children[0];
  EXPECT_EQ(a->m_children.Count(), 0);
  EXPECT_TRUE(f.core.Outline().HasDeferredChildren(*a));
  // The same node again, not a second copy.
  EXPECT_EQ(f.core.Search().FindAll(FoldedQuery("NEEDLE"), 10), found);
  // Opening the way shows it where the rows put it.
  ASSERT_TRUE(f.core.View().SelectNode(found[0]));
  EXPECT_EQ(f.Titles(),
            (std::vector<std::string>{"C1", "B1.1", "B1.2", "X", "Y", "needle", "hay"}));
  EXPECT_EQ(f.RowTitle(f.rows.Selection()), "needle");
}

TEST(Find, ItemsAddedInsideAReadBookAreFound) {
  // The book's leading region holds every section and lacks the letters of
  // "zq": only the items a host hangs under its nodes hold them.
  CoreFixture f;
  test::SampleBook sample;
  f.Catalogue("lib", {{"s"}});
  f.Book("s", sample.toc);
  f.core.LoadBooks("lib");
  f.core.View().ToggleNode(0);
  f.core.View().ToggleNode(f.RowOf("B1.1"));
  ASSERT_TRUE(f.core.View().AddChild(f.RowOf("B"), "zq under B"));
  ASSERT_TRUE(f.core.View().AddChild(f.RowOf("B1.1"), "zq under the book"));
  std::vector<std::string> found;
  for (const OutlineNode* n : f.core.Search().FindAll(FoldedQuery("ZQ"), 10)) {
    found.push_back(n->TitleText());
  }
  EXPECT_EQ(found, (std::vector<std::string>{"zq under B", "zq under the book"}));
}

TEST(Find, ChildrenReadFromARunAreFound) {
  // A's children wait in a run; once opening has read them, they are nodes
  // whose titles lie outside the leading region.
  DeferredBook f;
  f.core.View().ToggleNode(0);
  f.core.View().ToggleNode(f.RowOf("B1.1"));
  f.core.View().ToggleNode(f.RowOf("A"));
  EXPECT_EQ(f.core.Search().FindAll(FoldedQuery("a2"), 10).size(), 1u);
}

TEST(Find, ChangedBooksDirStillFindsMatchesInTheBooksOwnFile) {
  DeferredBook f;
  f.core.Outline().EnsureBookRead(2);
  f.core.Catalogue().SetBooksDir("elsewhere");
  // The run is read again from the file when the node is made, from the
  // path the book had when the library was loaded.
  EXPECT_EQ(f.core.Search().FindAll(FoldedQuery("needle"), 10).size(), 1u);
  EXPECT_EQ(f.core.Search().FindAll(FoldedQuery("X"), 10).size(), 1u);
}

TEST(Find, LoopingRunsEnd) {
  // A section whose run starts at itself: every opening would show it again.
  CoreFixture f;
  TocBytes toc(1);
  uint32_t a = toc.Record("A", {.childCount = 1, .firstChildPos = 0, .level = 2});
  toc.Zeros(21);
  uint32_t loop = toc.Size();
  toc.Record("L", {.childCount = 3, .firstChildPos = loop, .level = 3});
  toc.Patch32(a, rec::kFirstChildPos, loop);
  f.Catalogue("lib", {{"b"}});
  f.Book("b", toc);
  f.core.LoadBooks("lib");
  auto found = f.core.Search().FindAll(FoldedQuery("L"), 100000);
  EXPECT_FALSE(found.empty());
  EXPECT_LE(found.size(), toc.Size());
  EXPECT_EQ(found[0]->TitleText(), "L");
}

TEST(Find, RunsReachingIntoTheLeadingRegionMatchWhatTheFileHolds) {
  // A's run points at B's record, whose title was decoded in place when the
  // book was read: the reader reads the file, and so must the search.
  CoreFixture f;
  TocBytes toc(2);
  uint32_t a = toc.Record("A", {.childCount = 1, .level = 2});
  uint32_t b = toc.Record("Bee", {.level = 2});
  toc.Zeros(21);
  toc.Patch32(a, rec::kFirstChildPos, b);
  f.Catalogue("lib", {{"b"}});
  f.Book("b", toc);
  f.core.LoadBooks("lib");
  auto found = f.core.Search().FindAll(FoldedQuery("bee"), 10);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0]->m_parent->TitleText(), "A");  // the child read from the run
  EXPECT_EQ(found[1]->TitleText(), "Bee");
}

TEST(FindNext, PassesOverWhatTheCheckedOnlyViewHides) {
  DeferredBook f;
  f.core.View().SetApplyCheck(false);
  f.core.Checks().SetStateBook(2, false);
  EXPECT_FALSE(f.core.View().FindAndShow(FoldedQuery("needle"), false));
  EXPECT_EQ(f.rows.Selection(), -1);
  EXPECT_TRUE(f.core.View().FindAndShow(FoldedQuery("a2"), false));
  EXPECT_EQ(f.RowTitle(f.rows.Selection()), "A2");
  f.core.Checks().SetStateBook(2, true);
  EXPECT_TRUE(f.core.View().FindAndShow(FoldedQuery("needle"), false));
  EXPECT_EQ(f.RowTitle(f.rows.Selection()), "needle");
}

TEST(FindNext, NothingChangesWithoutAMatch) {
  DeferredBook f;
  f.core.View().ToggleNode(0);
  f.rows.SetSelection(1);
  const std::vector<std::string> rows = f.Titles();
  EXPECT_FALSE(f.core.View().FindAndShow(FoldedQuery("zzz"), false));
  EXPECT_FALSE(f.core.View().FindAndShow(FoldedQuery("zzz"), true));
  EXPECT_FALSE(f.core.View().FindAndShow(FoldedQuery(""), false));
  EXPECT_EQ(f.Titles(), rows);
  EXPECT_EQ(f.rows.Selection(), 1);
}

TEST(FindNext, StartsFromTheSelectedRowAndLeavesEarlierBooksUnread) {
  DeferredBook f;
  f.core.View().ToggleNode(0);
  f.rows.SetSelection(f.RowOf("B1.2"));
  EXPECT_TRUE(f.core.View().FindAndShow(FoldedQuery("hay"), false));
  EXPECT_EQ(f.RowTitle(f.rows.Selection()), "hay");
  EXPECT_FALSE(f.core.Outline().Shelf().IsRead(1));
  // Only one match: after wrapping it is found again, where it is.
  EXPECT_TRUE(f.core.View().FindAndShow(FoldedQuery("hay"), false));
  EXPECT_EQ(f.RowTitle(f.rows.Selection()), "hay");
}

TEST(TypeAhead, MovesToTheNextRowThePrefixBegins) {
  CoreFixture f;
  f.Catalogue("lib", {{"a", "b", "c"}, {"d"}});
  f.core.LoadBooks("lib");
  f.core.View().ToggleNode(0);  // C1, B1.1, B1.2, B1.3, C2
  struct Case {
    int32_t selected;
    const char* prefix;
    int32_t row;
  } cases[] = {
      {-1, "b", 1},                 // no selection: from the top
      {1, "b", 1},                  // the current row still begins with it: it stays
      {1, "c", 4},                  // C1 is behind: C2 is next
      {4, "c", 4},   {4, "C1", 0},  // round past the end
      {2, "b1.", 2}, {3, "b1.2", 2}, {0, "zz", -1}, {0, "", -1},
  };
  for (const Case& c : cases) {
    f.rows.SetSelection(c.selected);
    EXPECT_EQ(f.core.View().TypeAheadRow(FoldedQuery(c.prefix)), c.row)
        << c.selected << " " << c.prefix;
  }
}

}  // namespace
}  // namespace orvane
