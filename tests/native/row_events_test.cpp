// What the core tells its row observer: the row of each node whose state a
// change touched, once, after the rows show it, and one reorder per block.
#include "rows/row_events.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace orvane {
namespace {

using test::CoreFixture;
using test::SampleBook;

// Records each call as the title of the row it names, read when it comes.
struct Recorder : RowEvents {
  explicit Recorder(const CoreFixture& f) : fixture(f) {}
  void RowStateChanged(int32_t row) override { calls.push_back("state " + fixture.RowTitle(row)); }
  void RowsReordered() override { calls.push_back("reorder"); }
  std::vector<std::string> Take() { return std::exchange(calls, {}); }
  const CoreFixture& fixture;
  std::vector<std::string> calls;
};

struct EventsFixture : CoreFixture {
  SampleBook sample;
  Recorder events{*this};
  EventsFixture() {
    Catalogue("lib", {{"a", "b"}, {"c"}});
    Book("a", sample.toc);
    core.LoadBooks("lib");
    core.Checks().StoreApplyCheck(true);
    core.View().SetRowEvents(&events);
  }
  using V = std::vector<std::string>;
};

TEST(RowEvents, OpeningAndClosingNameTheRowThenReorder) {
  EventsFixture f;
  f.core.View().ToggleNode(0);  // C1 opens: its books
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state C1", "reorder"}));
  f.core.View().ToggleNode(f.RowOf("B1.1"));
  f.core.View().ToggleNode(f.RowOf("A"));
  f.events.Take();
  // Closing and re-opening C1 re-opens B1.1 and A inside one change.
  f.core.View().ToggleNode(0);
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state C1", "reorder"}));
  f.core.View().ToggleNode(0);
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state C1", "reorder"}));
  EXPECT_EQ(f.RowOf("A1"), 3);
  // A section with nothing to show flips its flag and moves no row.
  f.core.View().ToggleNode(f.RowOf("A2"));
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state A2"}));
  // A row that does not exist is no change at all.
  f.core.View().ToggleNode(500);
  EXPECT_TRUE(f.events.Take().empty());
}

TEST(RowEvents, CheckChangesNameBookAndCategory) {
  EventsFixture f;
  f.core.View().ToggleNode(0);
  f.events.Take();
  f.core.View().SetSelectedNode(f.rows.NodeOf(f.RowOf("B1.2")));
  f.core.View().ChangeStateSelected();
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state B1.2", "state C1"}));
  // A category's change reaches each of its shown books.
  f.core.View().SetSelectedNode(f.rows.NodeOf(0));
  f.core.View().ChangeStateSelected();
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state C1", "state B1.1", "state B1.2"}));
  // A host's change; the same state again is no change.
  f.core.Checks().SetStateBook(1, false);
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state B1.1", "state C1"}));
  f.core.Checks().SetStateBook(1, false);
  EXPECT_TRUE(f.events.Take().empty());
  // A book without a row (its category closed) names only what is shown.
  f.core.Checks().SetStateBook(3, false);
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state C2"}));
}

TEST(RowEvents, ActivationAndRebuilds) {
  EventsFixture f;
  f.core.View().ToggleNode(0);
  f.core.View().ToggleNode(f.RowOf("B1.1"));
  f.events.Take();
  // Deactivating an open book greys it and closes it.
  f.core.View().DeactivateBook(1);
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state B1.1", "state B1.1", "reorder"}));
  f.core.View().DeactivateBook(1);
  EXPECT_TRUE(f.events.Take().empty());
  f.core.View().ActivateBook(1);
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"state B1.1"}));
  f.core.View().SetApplyCheck(false);
  EXPECT_EQ(f.events.Take(), (EventsFixture::V{"reorder"}));
  // Observed no more once let go.
  f.core.View().SetRowEvents(nullptr);
  f.core.View().SetApplyCheck(true);
  EXPECT_TRUE(f.events.Take().empty());
}

}  // namespace
}  // namespace orvane
