// A node as a host names it: what it is, where its record lies, finding a
// section from a position, revealing, selecting, opening and closing it;
// and what the node observer hears, once per change, for every cause.
#include "rows/node_events.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;
using test::SampleBook;
using test::TocBytes;

// Records each call as what happened and the node's title.
struct NodeRecorder : NodeEvents {
  void NodeOpened(OutlineNode& node) override { calls.push_back("open " + node.TitleText()); }
  void NodeClosed(OutlineNode& node) override { calls.push_back("close " + node.TitleText()); }
  void NodeChecked(OutlineNode& node) override { calls.push_back("check " + node.TitleText()); }
  std::vector<std::string> Take() { return std::exchange(calls, {}); }
  std::vector<std::string> calls;
};

using V = std::vector<std::string>;

// Two categories: C1 with books a (the sample) and b, C2 with book c; book a
// has a section whose two children wait in a run after its leading region.
struct NodeFixture : CoreFixture {
  SampleBook sample;
  TocBytes deferred{2};
  uint32_t runStart = 0, b1 = 0, b2 = 0;
  NodeRecorder events;
  NodeFixture() {
    deferred.Record("A", {.childCount = 1, .filePos = 1});
    const uint32_t b = deferred.Record("B", {.childCount = 2, .filePos = 2});
    deferred.Record("A1", {.level = 3, .filePos = 11});
    deferred.Zeros(21);
    runStart = deferred.Size();
    b1 = deferred.Record("B1", {.parentPos = b, .level = 3, .filePos = 21});
    deferred.Bytes({0, 0});
    b2 = deferred.Record("B2", {.parentPos = b, .level = 3, .filePos = 22});
    deferred.Bytes({0, 0});
    deferred.Patch32(b, rec::kFirstChildPos, runStart);
    Catalogue("lib", {{"a", "b"}, {"c"}});
    Book("a", sample.toc);
    Book("b", deferred);
    core.LoadBooks("lib");
    core.SetNodeEvents(&events);
  }
  OutlineNode* Child(OutlineNode* node, int32_t ordinal) {
    return NodeAt(core.ChildrenOf(*node), ordinal);
  }
};

TEST(NodeFacts, KindCategoryIndexAndPositionOfEveryKindOfNode) {
  NodeFixture f;
  OutlineNode* c1 = f.core.Outline().CategoryNode(1);
  OutlineNode* a = f.core.Outline().BookNode(1);
  OutlineNode* b = f.core.Outline().BookNode(2);
  OutlineNode* item = f.core.View().AddChild(0, "note");  // under C1's row
  OutlineNode* top = f.core.View().AddSibling(-1, "free");
  OutlineNode* underBook = nullptr;
  f.core.ChildrenOf(*a);
  underBook = AddChildNode(f.core.Outline().RootList(), a, "host's");
  struct Row {
    const char* what;
    OutlineNode* node;
    OrvaneCore::NodeKind kind;
    int16_t category;
    int32_t tocPos;
    int32_t index;
  };
  using K = OrvaneCore::NodeKind;
  const Row rows[] = {
      {"a category", c1, K::kCategory, 1, 0, 1},
      {"a book", a, K::kBook, 1, 0, 1},
      {"the second book", b, K::kBook, 1, 0, 2},
      {"a leading section", f.Child(a, 2), K::kSection, 1, static_cast<int32_t>(f.sample.b), 2},
      {"a deep section", f.Child(f.Child(f.Child(a, 1), 1), 1), K::kSection, 1,
       static_cast<int32_t>(f.sample.a1x), 1},
      {"a section read later", f.Child(f.Child(b, 2), 2), K::kSection, 1,
       static_cast<int32_t>(f.b2), 2},
      {"an item under a category", item, K::kItem, 1, 0, 3},
      {"an item under a book", underBook, K::kItem, 1, 0, 3},
      {"an item at the top", top, K::kItem, 0, 0, 3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ASSERT_NE(r.node, nullptr);
    EXPECT_EQ(f.core.KindOf(*r.node), r.kind);
    EXPECT_EQ(f.core.CategoryOf(*r.node), r.category);
    EXPECT_EQ(f.core.TocPosOf(*r.node), r.tocPos);
    EXPECT_EQ(f.core.IndexOf(*r.node), r.index);
    if (r.kind == K::kSection) {
      // The position names the record the queries read.
      EXPECT_EQ(f.core.Queries().GetSectionTitle(r.node->m_bookNumber, r.tocPos),
                r.node->TitleText());
      EXPECT_EQ(f.core.SectionNode(r.node->m_bookNumber, r.tocPos), r.node);
    }
  }
}

TEST(NodeFacts, SectionNodeReadsWhatIsNeededAndRefusesHostilePositions) {
  NodeFixture f;
  // Nothing of book b has been read; finding a child of the run reads the
  // book and the run.
  OutlineNode* b1 = f.core.SectionNode(2, static_cast<int32_t>(f.b1));
  ASSERT_NE(b1, nullptr);
  EXPECT_EQ(b1->TitleText(), "B1");
  // Below the first record is the first record, as the queries read it.
  ASSERT_NE(f.core.SectionNode(1, 0), nullptr);
  EXPECT_EQ(f.core.SectionNode(1, 0)->TitleText(), "A");
  for (int32_t pos : {-1, 1 << 30, 11, static_cast<int32_t>(f.sample.a) + 1}) {
    EXPECT_EQ(f.core.SectionNode(1, pos), nullptr) << pos;
  }
  EXPECT_EQ(f.core.SectionNode(3, 10), nullptr) << "a book without a file";
  EXPECT_EQ(f.core.SectionNode(0, 10), nullptr);
  EXPECT_EQ(f.core.SectionNode(9, 10), nullptr);
}

TEST(NodeFacts, ParentLoopsInTheFileEndTheSearch) {
  CoreFixture f;
  TocBytes toc(1);
  const uint32_t x = toc.Record("X", {.childCount = 1, .level = 2});
  const uint32_t y = toc.Record("Y", {.parentPos = x, .level = 3});
  toc.Patch32(x, rec::kParentPos, y);  // X and Y each other's parent
  f.Catalogue("lib", {{"loop"}});
  f.Book("loop", toc);
  f.core.LoadBooks("lib");
  EXPECT_EQ(f.core.SectionNode(1, static_cast<int32_t>(y)), nullptr);
}

TEST(NodeRows, RevealSelectAndOpenFromAnyNode) {
  NodeFixture f;
  OutlineNode* a1x = f.core.SectionNode(1, static_cast<int32_t>(f.sample.a1x));
  ASSERT_NE(a1x, nullptr);
  EXPECT_EQ(f.core.View().RowOf(a1x), -1);
  EXPECT_TRUE(f.core.View().SelectNode(a1x));
  EXPECT_EQ(f.Titles(), (V{"C1", "B1.1", "A", "A1", "A1x", "A2", "B", "B1.2", "C2"}));
  EXPECT_EQ(f.rows.Selection(), 4);
  EXPECT_EQ(f.core.View().SelectedNode(), a1x);
  EXPECT_EQ(f.events.Take(), (V{"open C1", "open B1.1", "open A", "open A1"}));

  OutlineNode* a = a1x->m_parent->m_parent;
  EXPECT_TRUE(f.core.View().SetNodeOpen(a, false));
  EXPECT_FALSE(f.core.View().SetNodeOpen(a, false)) << "already closed";
  EXPECT_EQ(f.events.Take(), (V{"close A"}));
  // A1 stays open under its closed parent; closing it clears the flag.
  EXPECT_TRUE(f.core.View().SetNodeOpen(a1x->m_parent, false));
  EXPECT_EQ(f.events.Take(), (V{"close A1"}));
  EXPECT_EQ(a1x->m_parent->m_expanded, 0);
  // Revealing opens the way again, outermost first.
  EXPECT_EQ(f.core.View().RevealNode(a1x), 4);
  EXPECT_EQ(f.events.Take(), (V{"open A", "open A1"}));
}

TEST(NodeRows, AnUncheckedBookInTheCheckedOnlyViewGetsNoRow) {
  NodeFixture f;
  f.core.View().SetApplyCheck(false);
  f.core.Checks().SetStateBook(1, false);
  OutlineNode* a = f.core.Outline().BookNode(1);
  EXPECT_EQ(f.core.View().RevealNode(a), -1);
  EXPECT_FALSE(f.core.View().SelectNode(a));
  EXPECT_FALSE(f.core.View().SetNodeOpen(a, true));
  EXPECT_EQ(f.core.View().SelectedNode(), nullptr);
}

// Each cause of a change, and what the observer hears.
struct Cause {
  const char* what;
  void (*act)(NodeFixture& f);
  V heard;
};

const Cause kCauses[] = {
    {"a category opened and closed by its row",
     [](NodeFixture& f) {
       f.core.View().ToggleNode(0);
       f.core.View().ToggleNode(0);
     },
     {"open C1", "close C1"}},
    {"re-opening a category re-opens its open books inside one change",
     [](NodeFixture& f) {
       f.core.View().ToggleNode(0);
       f.core.View().ToggleNode(1);  // B1.1
       f.events.Take();
       f.core.View().ToggleNode(0);
       f.core.View().ToggleNode(0);
     },
     {"close C1", "open C1"}},
    {"a book checked off by the host, its category's summary moving",
     [](NodeFixture& f) { f.core.Checks().SetStateBook(1, false); },
     {"check B1.1", "check C1"}},
    {"a second book, the summary already partial",
     [](NodeFixture& f) {
       f.core.Checks().SetStateBook(1, false);
       f.events.Take();
       f.core.Checks().SetStateBook(2, false);
       f.core.Checks().SetStateBook(2, false);  // no change
     },
     {"check B1.2", "check C1"}},
    {"a category's box in the check view: its books are not told one by one",
     [](NodeFixture& f) {
       f.core.View().SetApplyCheck(true);
       f.core.View().SetSelectedNode(f.core.Outline().CategoryNode(1));
       f.core.View().ChangeStateSelected();
     },
     {"check C1"}},
    {"a category set by the host, then set again to what it is",
     [](NodeFixture& f) {
       f.core.Checks().SetStateCategory(f.core.Outline().CategoryNode(2), false);
       f.core.Checks().SetStateCategory(f.core.Outline().CategoryNode(2), false);
     },
     {"check C2"}},
    {"rebuilds and a load",
     [](NodeFixture& f) {
       f.core.View().SetApplyCheck(true);
       f.core.View().SetApplyCheck(false);
       f.core.LoadBooks("lib");
     },
     {}},
    {"greying an open book that has no row",
     [](NodeFixture& f) {
       f.core.View().ToggleNode(0);
       f.core.View().ToggleNode(1);  // B1.1 open
       f.core.View().ToggleNode(0);  // C1 closed over it
       f.events.Take();
       f.core.View().DeactivateBook(1);
     },
     {"close B1.1"}},
};

class NodeEventCauses : public testing::TestWithParam<size_t> {};

TEST_P(NodeEventCauses, EachChangeIsHeardOnce) {
  const Cause& c = kCauses[GetParam()];
  SCOPED_TRACE(c.what);
  NodeFixture f;
  c.act(f);
  EXPECT_EQ(f.events.Take(), c.heard);
}

INSTANTIATE_TEST_SUITE_P(EveryCause, NodeEventCauses,
                         testing::Range<size_t>(0, std::size(kCauses)));

TEST(LibraryGeneration, MovesOnWithEveryClearOnly) {
  NodeFixture f;
  const uint32_t before = f.core.Outline().Generation();
  f.core.View().AddSibling(-1, "added");
  EXPECT_EQ(f.core.Outline().Generation(), before) << "adding keeps the outline";
  f.core.LoadBooks("lib");
  EXPECT_NE(f.core.Outline().Generation(), before);
}

}  // namespace
}  // namespace orvane
