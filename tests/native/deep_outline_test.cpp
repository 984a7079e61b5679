// Outlines a host nests deeper than the 8-bit level can count: closing
// deletes exactly a node's rows, and opening and closing need no stack
// proportional to the depth.
#include <gtest/gtest.h>

#include <functional>
#if __has_include(<pthread.h>)
#include <pthread.h>
#endif

#include "tests/native/test_support.h"

namespace orvane::test {
namespace {

// A chain of host items L0 > L1 > ... > L<depth-1>, every one open, so that
// row r holds Lr; `branch` more items hang beside L<branchAt>'s child.
struct ChainFixture : CoreFixture {
  explicit ChainFixture(int32_t depth, int32_t branchAt = -1) {
    core.View().AddSibling(0, "L0");
    for (int32_t r = 0; r + 1 < depth; ++r) {
      core.View().AddChild(r, "L" + std::to_string(r + 1));
      if (r == branchAt) core.View().AddChild(r, "side");
      core.View().ToggleNode(static_cast<int16_t>(r));
    }
  }
};

TEST(DeepOutline, ClosingANodePastLevel255ClosesExactlyItsRows) {
  struct Case {
    int32_t depth;
    int32_t closed;  // the row closed, then opened again
    int32_t deleted;
  };
  // Rows 255 on all read level 255; row 256 holds L256, whose rows are
  // those of L257 .. L299.
  for (Case c : {Case{300, 255, 44}, Case{300, 256, 43}, Case{300, 298, 1}, Case{300, 254, 45},
                 Case{300, 0, 299}}) {
    ChainFixture f(c.depth);
    ASSERT_EQ(f.rows.Count(), c.depth);
    const std::vector<std::string> open = f.Titles();
    EXPECT_EQ(f.core.View().ToggleNode(static_cast<int16_t>(c.closed)), c.deleted) << c.closed;
    EXPECT_EQ(f.rows.Count(), c.depth - c.deleted) << c.closed;
    EXPECT_EQ(f.RowTitle(c.closed), "L" + std::to_string(c.closed));
    // Opening again gives the same rows, none twice.
    EXPECT_EQ(f.core.View().ToggleNode(static_cast<int16_t>(c.closed)), c.deleted) << c.closed;
    EXPECT_EQ(f.Titles(), open) << c.closed;
  }
}

TEST(DeepOutline, ClosingADeepNodeLeavesItsSiblingsSubtreeAlone) {
  // L299 has a sibling "side" (both under L298, both reading level 255):
  // closing L298's child L299 deletes nothing of "side"'s row.
  ChainFixture f(300, 298);
  ASSERT_EQ(f.RowTitle(299), "L299");
  ASSERT_EQ(f.RowTitle(300), "side");
  f.core.View().AddChild(299, "under L299");
  EXPECT_EQ(f.core.View().ToggleNode(299), 1);  // opens L299
  EXPECT_EQ(f.RowTitle(301), "side");
  EXPECT_EQ(f.core.View().ToggleNode(299), 1);  // and closes it
  EXPECT_EQ(f.RowTitle(300), "side");
  EXPECT_EQ(f.rows.Count(), 301);
}

// Runs `body` on a thread with a stack of `bytes`, the size a Windows
// host's main thread commonly has, or on this thread where threads with a
// chosen stack cannot be made.
void OnSmallStack(size_t bytes, const std::function<void()>& body) {
#if __has_include(<pthread.h>)
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, bytes);
  pthread_t thread;
  auto run = [](void* arg) -> void* {
    (*static_cast<const std::function<void()>*>(arg))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&body)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
#else
  body();
#endif
}

TEST(DeepOutline, ReopeningThousandsOfOpenLevelsNeedsNoDeepStack) {
  constexpr int32_t kDepth = 20000;
  ChainFixture f(kDepth);
  ASSERT_EQ(f.rows.Count(), kDepth);
  int32_t closed = 0;
  int32_t reopened = 0;
  OnSmallStack(256 * 1024, [&] {
    closed = f.core.View().ToggleNode(0);
    reopened = f.core.View().ToggleNode(0);
  });
  EXPECT_EQ(closed, kDepth - 1);
  EXPECT_EQ(reopened, kDepth - 1);
  EXPECT_EQ(f.RowTitle(kDepth - 1), "L" + std::to_string(kDepth - 1));
  // Destroying the chain needs no stack either.
  OnSmallStack(256 * 1024, [&] {
    f.core.View().Clear();
    f.core.Outline().Clear();
  });
  EXPECT_TRUE(f.core.Outline().RootList().Empty());
}

}  // namespace
}  // namespace orvane::test
