#include "control/framework/self_registration.h"

#include <olectl.h>

namespace orvane {

HRESULT RegisterServer(const ServerRegistration& server) {
  if (FAILED(server.registerTypeLib())) return SELFREG_E_TYPELIB;
  bool failed = false;
  for (const ClassDescription& description : server.classes)
    if (FAILED(description.registerClass())) failed = true;
  return failed ? SELFREG_E_CLASS : S_OK;
}

HRESULT UnregisterServer(const ServerRegistration& server) {
  if (FAILED(server.unregisterTypeLib())) return SELFREG_E_TYPELIB;
  bool failed = false;
  for (const ClassDescription& description : server.classes)
    if (FAILED(description.unregisterClass())) failed = true;
  return failed ? SELFREG_E_CLASS : S_OK;
}

HRESULT InstallServer(const ServerRegistration& server, bool install, const wchar_t* commandLine) {
  auto run = [&] { return install ? RegisterServer(server) : UnregisterServer(server); };
  if (commandLine == nullptr || *commandLine == L'\0') return run();
  if (lstrcmpiW(commandLine, L"user") != 0) return E_INVALIDARG;
  HKEY userClasses = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0,
                                   KEY_ALL_ACCESS, nullptr, &userClasses, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  // Every write to HKEY_CLASSES_ROOT in this process, the system's type
  // library registration included, goes to the user's classes until the
  // override ends. Installers capture registrations the same way; the
  // process is regsvr32 or an installer, which does nothing else meanwhile.
  status = RegOverridePredefKey(HKEY_CLASSES_ROOT, userClasses);
  HRESULT hr = HRESULT_FROM_WIN32(status);
  if (status == ERROR_SUCCESS) {
    hr = run();
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  }
  RegCloseKey(userClasses);
  return hr;
}

}  // namespace orvane
