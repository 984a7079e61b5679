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

// DllInstall's per-user scope: a class step that writes under
// HKEY_CLASSES_ROOT lands in the user's classes, and nothing reaches the
// machine's; afterwards HKEY_CLASSES_ROOT is the machine's again.
constexpr wchar_t kProbe[] = L"Orvane.InstallScopeProbe";
HRESULT WriteProbe() {
  HKEY key = nullptr;
  LSTATUS status =
      RegCreateKeyExW(HKEY_CLASSES_ROOT, kProbe, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  if (key) RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}
HRESULT DeleteProbe() { return HRESULT_FROM_WIN32(RegDeleteKeyW(HKEY_CLASSES_ROOT, kProbe)); }
HRESULT NoTypeLib() { return S_OK; }
const ClassDescription kProbeClasses[] = {{&GUID_NULL, nullptr, &WriteProbe, &DeleteProbe}};
const ServerRegistration kProbeServer{&NoTypeLib, &NoTypeLib, kProbeClasses};

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}
// The probe's key under HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE.
const std::wstring kProbeKey = std::wstring(L"Software\\Classes\\") + kProbe;

TEST(InstallScope, PerUserRegistrationWritesAndRemovesOnlyTheUsersClasses) {
  ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProbeKey));
  EXPECT_EQ(InstallServer(kProbeServer, true, L"User"), S_OK);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kProbeKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProbeKey));

  // The machine's classes are HKEY_CLASSES_ROOT again once it is done.
  ASSERT_EQ(WriteProbe(), S_OK);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kProbeKey));

  EXPECT_EQ(InstallServer(kProbeServer, false, L"user"), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProbeKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kProbeKey)) << "the machine's entry stays";
  EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, kProbeKey.c_str()), ERROR_SUCCESS);
}

TEST(InstallScope, WithoutACommandLineItIsTheMachineWideRegistration) {
  EXPECT_EQ(InstallServer(kProbeServer, true, nullptr), S_OK);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kProbeKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProbeKey));
  EXPECT_EQ(InstallServer(kProbeServer, false, L""), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProbeKey));
}

TEST(InstallScope, AnotherCommandLineIsRefusedAndChangesNothing) {
  EXPECT_EQ(InstallServer(kProbeServer, true, L"machine"), E_INVALIDARG);
  EXPECT_EQ(InstallServer(kProbeServer, true, L"user2"), E_INVALIDARG);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProbeKey));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProbeKey));
}

}  // namespace
}  // namespace orvane
