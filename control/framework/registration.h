// Registry entries of self-registering in-process servers: classes, their
// programmatic identifiers, and the type library held in the module.
#pragma once

#include <windows.h>

#include <string>

namespace orvane {

std::wstring GuidText(REFGUID guid);

// Writes `value` as the default (name null) or a named string value of the
// key `path` under `root`, creating the key.
bool SetRegistryString(HKEY root, const std::wstring& path, const wchar_t* name,
                       const std::wstring& value);
bool CreateRegistryKey(HKEY root, const std::wstring& path);
// Deletes the key with everything under it; true when it is gone afterwards.
bool DeleteRegistryTree(HKEY root, const std::wstring& path);

struct ControlClassEntries {
  const CLSID* clsid;
  const wchar_t* progId;
  std::wstring userTypeName;
  int toolboxBitmap;
  const GUID* typeLib;
  const wchar_t* typeLibVersion;
  DWORD miscStatus;
};

// The standard entries of an OLE control: the class with its user type name,
// programmatic identifier, in-process server path, toolbox bitmap, type
// library and version, the Control mark and the miscellaneous status. No
// threading model and no Insertable mark are written.
HRESULT RegisterControlClass(const ControlClassEntries& entries);

struct PlainClassEntries {
  const CLSID* clsid;
  const wchar_t* progId;  // may be null
  std::wstring userTypeName;
};

HRESULT RegisterPlainClass(const PlainClassEntries& entries);

// Removes the class key and, when given, the programmatic identifier.
HRESULT UnregisterClassEntries(REFCLSID clsid, const wchar_t* progId);

// Registers the type library resource of the module (TYPELIB 1).
HRESULT RegisterModuleTypeLib();
// Unregisters the type library `libid` whatever version is registered for
// this module's width (TYPE_E_LIBNOTREGISTERED when none is); the other
// width's registration stays.
HRESULT UnregisterTypeLibrary(REFGUID libid);

}  // namespace orvane
