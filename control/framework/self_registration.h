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

}  // namespace orvane
