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

// The threading model written beside the in-process server. A control that
// owns windows lives in the apartment that made it: "Apartment".
inline constexpr wchar_t kApartmentThreaded[] = L"Apartment";

struct ControlClassEntries {
  const CLSID* clsid;
  const wchar_t* progId;
  // The name without the version ("Maker.Class"), whose CurVer names
  // `progId`; may be null.
  const wchar_t* versionIndependentProgId;
  std::wstring userTypeName;
  int toolboxBitmap;
  const GUID* typeLib;
  std::wstring typeLibVersion;
  DWORD miscStatus;
  const wchar_t* threadingModel;  // may be null: none is written
};

// The component category of controls, {40FC6ED4-2438-11CF-A3DB-080036F12502}.
extern const GUID kControlCategory;

// The standard entries of an OLE control: the class with its user type name,
// programmatic identifiers (the versioned one and, when given, the
// version-independent one with its CurVer), the in-process server path and
// threading model, toolbox bitmap, type library and version, the Control
// mark, the control's component category and the miscellaneous status. No
// Insertable mark is written.
HRESULT RegisterControlClass(const ControlClassEntries& entries);

struct PlainClassEntries {
  const CLSID* clsid;
  const wchar_t* progId;  // may be null
  std::wstring userTypeName;
  const wchar_t* threadingModel = nullptr;  // may be null: none is written
};

HRESULT RegisterPlainClass(const PlainClassEntries& entries);

// Removes the class key and, when given, the programmatic identifier.
HRESULT UnregisterClassEntries(REFCLSID clsid, const wchar_t* progId);

// Removes the version-independent programmatic identifier `progId` when it
// names `clsid`; one that another class has taken over since stays.
HRESULT UnregisterVersionIndependentProgId(REFCLSID clsid, const wchar_t* progId);

// Registers the type library resource of the module (TYPELIB 1).
HRESULT RegisterModuleTypeLib();
// Unregisters the type library `libid` whatever version is registered for
// this module's width (TYPE_E_LIBNOTREGISTERED when none is); the other
// width's registration stays.
HRESULT UnregisterTypeLibrary(REFGUID libid);

}  // namespace orvane
