// The order and result codes of self-registration, with steps that fail on
// purpose: a type library that cannot be registered stops everything.
#include "control/framework/self_registration.h"

#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

namespace orvane {
namespace {

std::string g_log;
HRESULT g_typeLibResult = S_OK;
HRESULT g_firstClassResult = S_OK;

HRESULT TypeLibStep() {
  g_log += "T";
  return g_typeLibResult;
}
HRESULT FirstClassStep() {
  g_log += "1";
  return g_firstClassResult;
}
HRESULT SecondClassStep() {
  g_log += "2";
  return S_OK;
}

const ClassDescription kClasses[] = {
    {&GUID_NULL, nullptr, &FirstClassStep, &FirstClassStep},
    {&GUID_NULL, nullptr, &SecondClassStep, &SecondClassStep},
};
const ServerRegistration kServer{&TypeLibStep, &TypeLibStep, kClasses};

class SelfRegistration : public testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    g_typeLibResult = S_OK;
    g_firstClassResult = S_OK;
  }
};

TEST_F(SelfRegistration, RegistersTheTypeLibraryThenEveryClass) {
  EXPECT_EQ(RegisterServer(kServer), S_OK);
  EXPECT_EQ(g_log, "T12");
  g_log.clear();
  EXPECT_EQ(UnregisterServer(kServer), S_OK);
  EXPECT_EQ(g_log, "T12");
}

TEST_F(SelfRegistration, TypeLibraryFailureRegistersNoClass) {
  g_typeLibResult = TYPE_E_REGISTRYACCESS;
  EXPECT_EQ(RegisterServer(kServer), SELFREG_E_TYPELIB);
  EXPECT_EQ(g_log, "T");
  g_log.clear();
  EXPECT_EQ(UnregisterServer(kServer), SELFREG_E_TYPELIB);
  EXPECT_EQ(g_log, "T");
}

TEST_F(SelfRegistration, ClassFailureIsReportedAfterTheOthersAreTried) {
  g_firstClassResult = E_ACCESSDENIED;
  EXPECT_EQ(RegisterServer(kServer), SELFREG_E_CLASS);
  EXPECT_EQ(g_log, "T12");
  g_log.clear();
  EXPECT_EQ(UnregisterServer(kServer), SELFREG_E_CLASS);
  EXPECT_EQ(g_log, "T12");
}

}  // namespace
}  // namespace orvane
