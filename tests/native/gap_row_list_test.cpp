#include <gtest/gtest.h>

#include "platform/portable/gap_row_list.h"
#include "test_support.h"

namespace orvane {
namespace {

OutlineNode* N(int i) { return reinterpret_cast<OutlineNode*>(static_cast<uintptr_t>(i * 8 + 8)); }

TEST(GapRowList, InsertDeleteKeepOrderAcrossGapMoves) {
  GapRowList rows;
  std::vector<OutlineNode*> model;
  // Inserts and deletes at scattered places, checked against a vector.
  uint32_t seed = 12345;
  for (int step = 0; step < 3000; ++step) {
    seed = seed * 1103515245 + 12345;
    int32_t count = rows.Count();
    int32_t at = count ? static_cast<int32_t>((seed >> 8) % (count + 1)) : 0;
    if ((seed >> 4) % 3 != 0 || count == 0) {
      rows.Insert(at, N(step));
      model.insert(model.begin() + at, N(step));
    } else {
      at = at % count;
      rows.Delete(at);
      model.erase(model.begin() + at);
    }
  }
  ASSERT_EQ(rows.Count(), static_cast<int32_t>(model.size()));
  for (int32_t i = 0; i < rows.Count(); ++i) ASSERT_EQ(rows.NodeOf(i), model[i]) << i;
}

TEST(GapRowList, SelectionMovesWithItsRow) {
  GapRowList rows;
  for (int i = 0; i < 5; ++i) rows.Append(N(i));
  rows.SetSelection(2);
  rows.Insert(2, N(9));
  EXPECT_EQ(rows.Selection(), 3);
  rows.Insert(4, N(10));
  EXPECT_EQ(rows.Selection(), 3);
  rows.Delete(0);
  EXPECT_EQ(rows.Selection(), 2);
  EXPECT_EQ(rows.NodeOf(2), N(2));
  rows.Delete(2);
  EXPECT_EQ(rows.Selection(), -1);
  rows.SetSelection(1);
  rows.Clear();
  EXPECT_EQ(rows.Selection(), -1);
  EXPECT_EQ(rows.Count(), 0);
}

TEST(GapRowList, Bounds) {
  GapRowList rows(4);
  for (int i = 0; i < 10; ++i) rows.Append(N(i));
  EXPECT_EQ(rows.NodeOf(-1), nullptr);
  EXPECT_EQ(rows.NodeOf(10), nullptr);
  rows.Insert(11, N(50));  // beyond the end: refused
  rows.Delete(10);
  EXPECT_EQ(rows.Count(), 10);
  rows.SetSelection(7);  // scrolled into view
  EXPECT_EQ(rows.TopIndex(), 4);
  EXPECT_EQ(rows.RowHeight(), 16);
}

}  // namespace
}  // namespace orvane
