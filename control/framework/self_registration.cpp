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

}  // namespace orvane
