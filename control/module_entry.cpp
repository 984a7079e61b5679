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
#include "resources/resource_ids.h"

namespace orvane {
namespace {

constexpr wchar_t kControlProgId[] = L"ORVANE.OrvaneCtrl.1";
constexpr wchar_t kPropPageProgId[] = L"ORVANE.OrvanePropPage.1";

HRESULT RegisterControl() {
  return Guarded([] {
    return RegisterControlClass({&CLSID_Orvane, kControlProgId,
                                 LoadModuleString(IDS_ORVANE_CONTROL), IDB_ORVANE_TOOLBOX,
                                 &LIBID_ORVANELib, L"1.0", kOrvaneMiscStatus});
  });
}

HRESULT UnregisterControl() { return UnregisterClassEntries(CLSID_Orvane, kControlProgId); }

HRESULT RegisterPropPage() {
  return Guarded([] {
    return RegisterPlainClass(
        {&CLSID_OrvanePropPage, kPropPageProgId, LoadModuleString(IDS_ORVANE_PROPPAGE)});
  });
}

HRESULT UnregisterPropPage() {
  return UnregisterClassEntries(CLSID_OrvanePropPage, kPropPageProgId);
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
