// What ORVANE.OCX writes to the registry and takes out again, read back from
// the registry itself: the entries a host's tools and COM look for, in the
// machine's classes and, through DllInstall, in the user's; and what the
// threading model buys a host that creates the control on a second
// single-threaded apartment.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "ocx_module.h"
#include "resources/orvane_version.h"

namespace orvane::test {
namespace {

constexpr wchar_t kControl[] = L"CLSID\\{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}";
constexpr wchar_t kPage[] = L"CLSID\\{2A78A059-1BD4-4D73-A4F9-DD40663782BC}";

std::wstring Join(const wchar_t* a, const wchar_t* b) { return std::wstring(a) + L"\\" + b; }

const std::wstring kTypeLibVersion = [] {
  wchar_t text[16];
  swprintf(text, 16, L"%d.%d", ORVANE_VERSION_MAJOR, ORVANE_VERSION_MINOR);
  return std::wstring(text);
}();

// A value under a classes root: its key, its name (null: the default) and
// what it must hold; an empty value only asks for the key.
struct ExpectedEntry {
  std::wstring key;
  const wchar_t* name;
  std::wstring value;
};

std::vector<ExpectedEntry> ExpectedEntries() {
  return {
      {Join(kControl, L"InprocServer32"), L"ThreadingModel", L"Apartment"},
      {Join(kPage, L"InprocServer32"), L"ThreadingModel", L"Apartment"},
      {Join(kControl, L"ProgID"), nullptr, L"ORVANE.OrvaneCtrl.1"},
      {Join(kControl, L"VersionIndependentProgID"), nullptr, L"ORVANE.OrvaneCtrl"},
      {L"ORVANE.OrvaneCtrl", nullptr, L"Orvane Control"},
      {L"ORVANE.OrvaneCtrl\\CLSID", nullptr, L"{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}"},
      {L"ORVANE.OrvaneCtrl\\CurVer", nullptr, L"ORVANE.OrvaneCtrl.1"},
      {L"ORVANE.OrvaneCtrl.1\\CLSID", nullptr, L"{9EBE2CF0-7C53-4DD8-8389-3180337D7FB4}"},
      {Join(kControl, L"Implemented Categories\\{40FC6ED4-2438-11CF-A3DB-080036F12502}"), nullptr,
       L""},
      {Join(kControl, L"Control"), nullptr, L""},
      {Join(kControl, L"MiscStatus\\1"), nullptr, L"131473"},
      {Join(kControl, L"Version"), nullptr, kTypeLibVersion},
      {L"ORVANE.OrvanePropPage.1\\CLSID", nullptr, L"{2A78A059-1BD4-4D73-A4F9-DD40663782BC}"},
  };
}

// Every key the registration makes at its top: none may be left afterwards.
const wchar_t* const kTopKeys[] = {kControl, kPage, L"ORVANE.OrvaneCtrl", L"ORVANE.OrvaneCtrl.1",
                                   L"ORVANE.OrvanePropPage.1"};

bool KeyExists(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

constexpr wchar_t kAbsent[] = L"(absent)";

// The string value, or kAbsent when the key or value is not there.
std::wstring ReadString(HKEY root, const std::wstring& path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return kAbsent;
  wchar_t value[512] = {};
  DWORD bytes = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  LSTATUS status =
      RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return kAbsent;
  return value;
}

using ServerEntry = HRESULT(STDAPICALLTYPE*)();
using InstallEntry = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

template <typename Proc>
Proc Export(const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(OcxModule(), name)));
}

// One scope of registration: how to register and unregister, and where the
// entries land (read as plain keys, so the test sees what was written, not
// the merged view).
struct Scope {
  const char* name;
  bool perUser;
  HKEY root;
  const wchar_t* classes;
};

class RegistryEntries : public testing::TestWithParam<Scope> {
 protected:
  void SetUp() override {
    ASSERT_NE(OcxModule(), nullptr);
    wasRegistered = KeyExists(HKEY_CLASSES_ROOT, kControl);
  }
  void TearDown() override {
    // The other tests of this program find the module registered when it was.
    if (wasRegistered) RegisterOcx();
  }
  HRESULT Register(bool install) {
    if (GetParam().perUser) return Export<InstallEntry>("DllInstall")(install, L"user");
    return Export<ServerEntry>(install ? "DllRegisterServer" : "DllUnregisterServer")();
  }
  std::wstring Path(const std::wstring& key) const {
    return std::wstring(GetParam().classes) + key;
  }
  bool wasRegistered = false;
};

TEST_P(RegistryEntries, RegisteringWritesEveryEntryAndUnregisteringLeavesNone) {
  const Scope& scope = GetParam();
  ASSERT_EQ(Register(true), S_OK);
  for (const ExpectedEntry& e : ExpectedEntries()) {
    if (e.value.empty()) {
      EXPECT_TRUE(KeyExists(scope.root, Path(e.key))) << scope.name << ": " << e.key.c_str();
    } else {
      EXPECT_EQ(ReadString(scope.root, Path(e.key), e.name), e.value)
          << scope.name << ": " << e.key.c_str();
    }
  }
  ASSERT_EQ(Register(false), S_OK);
  for (const wchar_t* key : kTopKeys)
    EXPECT_FALSE(KeyExists(scope.root, Path(key))) << scope.name << " left " << key;
  // Registering again after that works as the first time did.
  ASSERT_EQ(Register(true), S_OK);
  EXPECT_EQ(ReadString(scope.root, Path(L"ORVANE.OrvaneCtrl\\CurVer"), nullptr),
            L"ORVANE.OrvaneCtrl.1");
  ASSERT_EQ(Register(false), S_OK);
}

// A version-independent name that another class has taken since (a later
// release, say) is not ours to remove.
TEST_P(RegistryEntries, UnregisteringLeavesAVersionIndependentNameAnotherClassOwns) {
  const Scope& scope = GetParam();
  ASSERT_EQ(Register(true), S_OK);
  const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(scope.root, Path(L"ORVANE.OrvaneCtrl\\CLSID").c_str(), 0, nullptr, 0,
                            KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other.c_str()),
                 static_cast<DWORD>((other.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  ASSERT_EQ(Register(false), S_OK);
  EXPECT_EQ(ReadString(scope.root, Path(L"ORVANE.OrvaneCtrl\\CLSID"), nullptr), other);
  EXPECT_FALSE(KeyExists(scope.root, Path(kControl)));
  EXPECT_FALSE(KeyExists(scope.root, Path(L"ORVANE.OrvaneCtrl.1")));
  RegDeleteTreeW(scope.root, Path(L"ORVANE.OrvaneCtrl").c_str());
  RegDeleteKeyW(scope.root, Path(L"ORVANE.OrvaneCtrl").c_str());
}

INSTANTIATE_TEST_SUITE_P(
    , RegistryEntries,
    testing::Values(Scope{"machine", false, HKEY_LOCAL_MACHINE, L"Software\\Classes\\"},
                    Scope{"user", true, HKEY_CURRENT_USER, L"Software\\Classes\\"}),
    [](const testing::TestParamInfo<Scope>& param) { return std::string(param.param.name); });

TEST(VersionResource, SpellsTheNumbersOfTheTypeLibrary) {
  char expected[32];
  snprintf(expected, sizeof expected, "%d.%d.%d.%d", ORVANE_VERSION_MAJOR, ORVANE_VERSION_MINOR,
           ORVANE_VERSION_PATCH, ORVANE_VERSION_BUILD);
  EXPECT_STREQ(ORVANE_VERSION_TEXT, expected);

  const std::wstring path = OcxPath();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const DWORD ms = MAKELONG(ORVANE_VERSION_MINOR, ORVANE_VERSION_MAJOR);
  const DWORD ls = MAKELONG(ORVANE_VERSION_BUILD, ORVANE_VERSION_PATCH);
  EXPECT_EQ(fixed->dwFileVersionMS, ms);
  EXPECT_EQ(fixed->dwFileVersionLS, ls);
  EXPECT_EQ(fixed->dwProductVersionMS, ms);
  EXPECT_EQ(fixed->dwProductVersionLS, ls);

  std::wstring text;
  for (const char* c = ORVANE_VERSION_TEXT; *c; ++c) text += static_cast<wchar_t>(*c);
  const struct {
    const wchar_t* name;
    std::wstring value;
  } fields[] = {{L"FileVersion", text},
                {L"ProductVersion", text},
                {L"CompanyName", L"Orvane project"},
                {L"OLESelfRegister", L""},
                {L"OriginalFilename", L"ORVANE.OCX"}};
  for (const auto& field : fields) {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + field.name;
    ASSERT_TRUE(
        VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars))
        << "no " << query.c_str();
    EXPECT_EQ(std::wstring(value, wcsnlen(value, chars)), field.value) << query.c_str();
  }
}

struct SecondApartment {
  HRESULT progId = E_FAIL;
  HRESULT create = E_FAIL;
  bool direct = false;
};

DWORD WINAPI CreateOnSecondApartment(void* arg) {
  SecondApartment& o = *static_cast<SecondApartment*>(arg);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  {
    CLSID clsid{};
    o.progId = CLSIDFromProgID(L"ORVANE.OrvaneCtrl", &clsid);
    ComPtr<IOleObject> object;
    o.create = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(object.Receive()));
    if (object) {
      void* vtable = *reinterpret_cast<void**>(object.Get());
      HMODULE owner = nullptr;
      GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCWSTR>(vtable), &owner);
      o.direct = owner == OcxModule();
    }
  }
  CoUninitialize();
  return 0;
}

// The control's object on a second single-threaded apartment: with the
// threading model registered it is made there, so the caller holds the object
// itself; without one it would be made on the first apartment and the caller
// would hold a proxy, living in the system's COM module.
TEST(ThreadingModel, ASecondApartmentGetsTheControlItselfByItsCurrentName) {
  // Afresh: registering over old entries would keep a value it no longer writes.
  ASSERT_NE(OcxModule(), nullptr);
  Export<ServerEntry>("DllUnregisterServer")();
  ASSERT_EQ(RegisterOcx(), S_OK);
  SecondApartment outcome;
  HANDLE thread = CreateThread(nullptr, 0, &CreateOnSecondApartment, &outcome, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  // This thread is the first apartment: it pumps while it waits, so that a
  // creation sent here could finish instead of hanging the test.
  DWORD index = 0;
  HRESULT waited = CoWaitForMultipleHandles(0, 20000, 1, &thread, &index);
  CloseHandle(thread);
  ASSERT_EQ(waited, S_OK);
  EXPECT_EQ(outcome.progId, S_OK);
  EXPECT_EQ(outcome.create, S_OK);
  EXPECT_TRUE(outcome.direct) << "the second apartment holds a proxy";
}

}  // namespace
}  // namespace orvane::test
