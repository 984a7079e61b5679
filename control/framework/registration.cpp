#include "control/framework/registration.h"

#include <oleauto.h>

#include <cwchar>
#include <vector>

#include "control/framework/com_module.h"

namespace orvane {

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  if (StringFromGUID2(guid, text, 40) == 0) return {};
  return text;
}

bool CreateRegistryKey(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool SetRegistryString(HKEY root, const std::wstring& path, const wchar_t* name,
                       const std::wstring& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  LSTATUS status =
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool DeleteRegistryTree(HKEY root, const std::wstring& path) {
  LSTATUS status = RegDeleteTreeW(root, path.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
    // RegDeleteTree leaves the key itself when it had no subkeys on some systems.
    status = RegDeleteKeyW(root, path.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
  }
  return false;
}

const GUID kControlCategory = {
    0x40fc6ed4, 0x2438, 0x11cf, {0xa3, 0xdb, 0x08, 0x00, 0x36, 0xf1, 0x25, 0x02}};

namespace {

bool WriteServer(const std::wstring& key, const std::wstring& module, const wchar_t* threading) {
  const std::wstring server = key + L"\\InprocServer32";
  return SetRegistryString(HKEY_CLASSES_ROOT, server, nullptr, module) &&
         (threading == nullptr ||
          SetRegistryString(HKEY_CLASSES_ROOT, server, L"ThreadingModel", threading));
}

// The default value of `path` under HKEY_CLASSES_ROOT; empty when absent.
std::wstring ReadClassesString(const std::wstring& path) {
  wchar_t value[128] = {};
  DWORD bytes = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  LSTATUS status =
      RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return {};
  return std::wstring(value, wcsnlen(value, bytes / sizeof(wchar_t)));
}

}  // namespace

HRESULT RegisterControlClass(const ControlClassEntries& e) {
  const std::wstring module = ComModule::FileName();
  const std::wstring clsid = GuidText(*e.clsid);
  if (module.empty() || clsid.empty()) return E_FAIL;
  const std::wstring key = L"CLSID\\" + clsid;
  wchar_t misc[16];
  wsprintfW(misc, L"%lu", static_cast<unsigned long>(e.miscStatus));
  wchar_t bitmap[16];
  wsprintfW(bitmap, L", %d", e.toolboxBitmap);
  bool ok =
      SetRegistryString(HKEY_CLASSES_ROOT, e.progId, nullptr, e.userTypeName) &&
      SetRegistryString(HKEY_CLASSES_ROOT, std::wstring(e.progId) + L"\\CLSID", nullptr, clsid) &&
      SetRegistryString(HKEY_CLASSES_ROOT, key, nullptr, e.userTypeName) &&
      SetRegistryString(HKEY_CLASSES_ROOT, key + L"\\ProgID", nullptr, e.progId) &&
      WriteServer(key, module, e.threadingModel) &&
      SetRegistryString(HKEY_CLASSES_ROOT, key + L"\\ToolboxBitmap32", nullptr, module + bitmap) &&
      SetRegistryString(HKEY_CLASSES_ROOT, key + L"\\TypeLib", nullptr, GuidText(*e.typeLib)) &&
      SetRegistryString(HKEY_CLASSES_ROOT, key + L"\\Version", nullptr, e.typeLibVersion) &&
      CreateRegistryKey(HKEY_CLASSES_ROOT, key + L"\\Control") &&
      CreateRegistryKey(HKEY_CLASSES_ROOT,
                        key + L"\\Implemented Categories\\" + GuidText(kControlCategory)) &&
      SetRegistryString(HKEY_CLASSES_ROOT, key + L"\\MiscStatus", nullptr, L"0") &&
      SetRegistryString(HKEY_CLASSES_ROOT, key + L"\\MiscStatus\\1", nullptr, misc);
  if (ok && e.versionIndependentProgId != nullptr) {
    const std::wstring vi = e.versionIndependentProgId;
    ok = SetRegistryString(HKEY_CLASSES_ROOT, key + L"\\VersionIndependentProgID", nullptr, vi) &&
         SetRegistryString(HKEY_CLASSES_ROOT, vi, nullptr, e.userTypeName) &&
         SetRegistryString(HKEY_CLASSES_ROOT, vi + L"\\CLSID", nullptr, clsid) &&
         SetRegistryString(HKEY_CLASSES_ROOT, vi + L"\\CurVer", nullptr, e.progId);
  }
  return ok ? S_OK : E_FAIL;
}

HRESULT RegisterPlainClass(const PlainClassEntries& e) {
  const std::wstring module = ComModule::FileName();
  const std::wstring clsid = GuidText(*e.clsid);
  if (module.empty() || clsid.empty()) return E_FAIL;
  const std::wstring key = L"CLSID\\" + clsid;
  bool ok = SetRegistryString(HKEY_CLASSES_ROOT, key, nullptr, e.userTypeName) &&
            WriteServer(key, module, e.threadingModel);
  if (ok && e.progId != nullptr) {
    ok = SetRegistryString(HKEY_CLASSES_ROOT, key + L"\\ProgID", nullptr, e.progId) &&
         SetRegistryString(HKEY_CLASSES_ROOT, e.progId, nullptr, e.userTypeName) &&
         SetRegistryString(HKEY_CLASSES_ROOT, std::wstring(e.progId) + L"\\CLSID", nullptr, clsid);
  }
  return ok ? S_OK : E_FAIL;
}

HRESULT UnregisterClassEntries(REFCLSID clsid, const wchar_t* progId) {
  bool ok = DeleteRegistryTree(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidText(clsid));
  if (progId != nullptr) ok = DeleteRegistryTree(HKEY_CLASSES_ROOT, progId) && ok;
  return ok ? S_OK : E_FAIL;
}

HRESULT UnregisterVersionIndependentProgId(REFCLSID clsid, const wchar_t* progId) {
  const std::wstring named = ReadClassesString(std::wstring(progId) + L"\\CLSID");
  // A later version of the class, or another class, may own the name now.
  if (named.empty() || lstrcmpiW(named.c_str(), GuidText(clsid).c_str()) != 0) return S_OK;
  return DeleteRegistryTree(HKEY_CLASSES_ROOT, progId) ? S_OK : E_FAIL;
}

HRESULT RegisterModuleTypeLib() {
  const std::wstring module = ComModule::FileName();
  if (module.empty()) return E_FAIL;
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadTypeLibEx(module.c_str(), REGKIND_REGISTER, &lib);
  if (lib) lib->Release();
  return hr;
}

namespace {

struct RegisteredTypeLib {
  WORD major;
  WORD minor;
  LCID lcid;
};

// The module's own width: the 32-bit and 64-bit modules register the same
// library, each under its platform's subkey (TypeLib\{libid}\1.0\409\win32
// or win64), and the TypeLib key is shared by both registry views.
constexpr SYSKIND kOwnSyskind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
constexpr const wchar_t* kOwnPlatform = sizeof(void*) == 8 ? L"win64" : L"win32";

// Every version and locale under which `libid` is registered for this
// module's width, read from the registry: the system's lookup by version and
// locale falls back only to neutral locales, so a library registered for
// 0x409 cannot be found by it from another locale. The other width's
// registration is left to the other module.
std::vector<RegisteredTypeLib> FindRegisteredTypeLibs(REFGUID libid) {
  std::vector<RegisteredTypeLib> found;
  HKEY libKey = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (L"TypeLib\\" + GuidText(libid)).c_str(), 0, KEY_READ,
                    &libKey) != ERROR_SUCCESS)
    return found;
  wchar_t version[64];
  for (DWORD i = 0;; ++i) {
    DWORD length = 64;
    if (RegEnumKeyExW(libKey, i, version, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    unsigned major = 0, minor = 0;
    if (swscanf(version, L"%x.%x", &major, &minor) != 2 || major > 0xFFFF || minor > 0xFFFF)
      continue;
    HKEY versionKey = nullptr;
    if (RegOpenKeyExW(libKey, version, 0, KEY_READ, &versionKey) != ERROR_SUCCESS) continue;
    wchar_t locale[64];
    for (DWORD j = 0;; ++j) {
      DWORD localeLength = 64;
      if (RegEnumKeyExW(versionKey, j, locale, &localeLength, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      wchar_t* end = nullptr;
      unsigned long lcid = wcstoul(locale, &end, 16);
      if (end == locale || *end != L'\0') continue;  // FLAGS, HELPDIR
      HKEY platformKey = nullptr;
      if (RegOpenKeyExW(versionKey, (std::wstring(locale) + L"\\" + kOwnPlatform).c_str(), 0,
                        KEY_READ, &platformKey) != ERROR_SUCCESS)
        continue;
      RegCloseKey(platformKey);
      found.push_back(
          {static_cast<WORD>(major), static_cast<WORD>(minor), static_cast<LCID>(lcid)});
    }
    RegCloseKey(versionKey);
  }
  RegCloseKey(libKey);
  return found;
}

}  // namespace

HRESULT UnregisterTypeLibrary(REFGUID libid) {
  std::vector<RegisteredTypeLib> registered = FindRegisteredTypeLibs(libid);
  if (registered.empty()) return TYPE_E_LIBNOTREGISTERED;
  for (const RegisteredTypeLib& lib : registered) {
    HRESULT hr = UnRegisterTypeLib(libid, lib.major, lib.minor, lib.lcid, kOwnSyskind);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace orvane
