// The entry points of ORVANE.OCX: self-registration (machine-wide, and per
// user through DllInstall), class factories for the control and its
// property page, and the unload query.
#include <windows.h>
#include <olectl.h>

#include "control/framework/class_factory.h"
#include "control/framework/registration.h"
#include "control/framework/self_registration.h"
#include "control/framework/type_library.h"
#include "control/orvane_ctrl.h"
#include "control/orvane_prop_page.h"
#include "resources/orvane_version.h"
#include "resources/resource_ids.h"

namespace orvane {
namespace {

constexpr wchar_t kControlProgId[] = L"ORVANE.OrvaneCtrl.1";
constexpr wchar_t kControlCurrentProgId[] = L"ORVANE.OrvaneCtrl";
constexpr wchar_t kPropPageProgId[] = L"ORVANE.OrvanePropPage.1";

// "1.1": the type library's major and minor version, as the registry spells it.
std::wstring TypeLibVersionText() {
  wchar_t text[16];
  wsprintfW(text, L"%d.%d", ORVANE_VERSION_MAJOR, ORVANE_VERSION_MINOR);
  return text;
}

// Both classes own windows (the control its list box, the page its dialog),
// so each lives in the apartment that creates it.
HRESULT RegisterControl() {
  return Guarded([] {
    return RegisterControlClass({&CLSID_Orvane, kControlProgId, kControlCurrentProgId,
                                 LoadModuleString(IDS_ORVANE_CONTROL), IDB_ORVANE_TOOLBOX,
                                 &LIBID_ORVANELib, TypeLibVersionText(), kOrvaneMiscStatus,
                                 kApartmentThreaded});
  });
}

HRESULT UnregisterControl() {
  return Guarded([] {
    HRESULT current = UnregisterVersionIndependentProgId(CLSID_Orvane, kControlCurrentProgId);
    HRESULT hr = UnregisterClassEntries(CLSID_Orvane, kControlProgId);
    return FAILED(hr) ? hr : current;
  });
}

HRESULT RegisterPropPage() {
  return Guarded([] {
    return RegisterPlainClass({&CLSID_OrvanePropPage, kPropPageProgId,
                               LoadModuleString(IDS_ORVANE_PROPPAGE), kApartmentThreaded});
  });
}

HRESULT UnregisterPropPage() {
  return Guarded([] { return UnregisterClassEntries(CLSID_OrvanePropPage, kPropPageProgId); });
}

HRESULT UnregisterOwnTypeLib() { return UnregisterTypeLibrary(LIBID_ORVANELib); }

const ClassDescription kClasses[] = {
    {&CLSID_Orvane, &CreateInstanceOf<COrvaneCtrl>, &RegisterControl, &UnregisterControl},
    {&CLSID_OrvanePropPage, &CreateInstanceOf<COrvanePropPage>, &RegisterPropPage,
     &UnregisterPropPage},
};

const ServerRegistration kServer{&RegisterModuleTypeLib, &UnregisterOwnTypeLib, kClasses};

}  // namespace
}  // namespace orvane

using namespace orvane;

// Unguarded: stores the instance handle and calls one system function.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    ComModule::SetInstance(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllRegisterServer() {
  return Guarded([&]() -> HRESULT { return RegisterServer(kServer); });
}

STDAPI DllUnregisterServer() {
  return Guarded([&]() -> HRESULT { return UnregisterServer(kServer); });
}

// regsvr32 /n /i:user (and /u /n /i:user): registration for the current
// user only.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  return Guarded(
      [&]() -> HRESULT { return InstallServer(kServer, install != FALSE, commandLine); });
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return Guarded([&]() -> HRESULT { return GetClassObjectFrom(kClasses, clsid, iid, out); });
}

STDAPI DllCanUnloadNow() {
  return Guarded([&]() -> HRESULT {
    if (!ComModule::CanUnload()) return S_FALSE;
    ReleaseTypeLibraryCache();
    return S_OK;
  });
}
