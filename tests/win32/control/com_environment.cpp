// Every test of this program runs on one single-threaded apartment, the way
// a host's user-interface thread does.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

class ComEnvironment : public testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

const testing::Environment* const kCom = testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
