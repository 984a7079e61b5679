// DllRegisterServer and DllUnregisterServer as sequences of steps, so that
// the order and the result codes can be checked with steps that fail.
#pragma once

#include <windows.h>

#include <span>

#include "control/framework/class_factory.h"

namespace orvane {

struct ServerRegistration {
  HRESULT (*registerTypeLib)();
  HRESULT (*unregisterTypeLib)();
  std::span<const ClassDescription> classes;
};

// The type library first; when it fails nothing else is registered and the
// result is SELFREG_E_TYPELIB. Then every class; SELFREG_E_CLASS when any
// fails (the others are still tried). S_OK otherwise.
HRESULT RegisterServer(const ServerRegistration& server);
// The same order and codes for taking the entries out.
HRESULT UnregisterServer(const ServerRegistration& server);

// DllInstall. With the command line "user" (any case), as regsvr32 /n /i:user
// passes it, the same entries are written to or taken from the current
// user's classes (HKCU\Software\Classes), which a user without
// administrator rights may change; the machine-wide entries are not touched.
// Without a command line it is DllRegisterServer or DllUnregisterServer;
// another command line is refused with E_INVALIDARG.
HRESULT InstallServer(const ServerRegistration& server, bool install, const wchar_t* commandLine);

}  // namespace orvane
