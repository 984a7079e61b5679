#include "render/bidi_text_api.h"

#include <string>

namespace orvane {

namespace {

template <typename Proc>
Proc Resolve(HMODULE library, const char* name) {
  // GetProcAddress hands back a generic function pointer; the library's
  // exports are declared with exactly these signatures.
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

BidiTextApi ResolveBidiTextApi(HMODULE library) {
  BidiTextApi api;
  if (!library) return api;
  api.aSelectDC = Resolve<HarfixSelectDC>(library, "aSelectDC");
  api.aTextExtent = Resolve<HarfixTextExtent>(library, "aTextExtent");
  api.aDrawText = Resolve<HarfixDrawText>(library, "aDrawText");
  api.aSetReadingOrder = Resolve<HarfixSetReadingOrder>(library, "aSetReadingOrder");
  api.aGetReadingOrder = Resolve<HarfixGetReadingOrder>(library, "aGetReadingOrder");
  api.aReleaseDC = Resolve<HarfixReleaseDC>(library, "aReleaseDC");
  api.aFitLineHeight = Resolve<HarfixFitLineHeight>(library, "aFitLineHeight");
  return api;
}

void FitLineHeight(const BidiTextApi& api, HDC dc, int height) {
  if (api.aFitLineHeight && height > 0) api.aFitLineHeight(dc, height);
}

std::string PathBesideModule(HMODULE module, const char* fileName) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  std::string beside(path, n);
  const size_t slash = beside.find_last_of("\\/");
  beside.erase(slash == std::string::npos ? 0 : slash + 1);
  return beside + fileName;
}

HMODULE ModuleOf(const void* address) {
  // A null name would ask for the executable itself.
  if (!address) return nullptr;
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<const char*>(address), &module);
  return module;
}

std::wstring WidePathBesideModule(HMODULE module, const wchar_t* fileName) {
  // Long enough for any path the system hands out; a longer one is refused
  // rather than cut, since a cut path names another file.
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return std::wstring();
  path.resize(n);
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::wstring();
  path.erase(slash + 1);
  return path + fileName;
}

HMODULE LoadLibraryAt(const std::wstring& path) {
  if (path.empty()) return nullptr;
  // Only the file at this path, and what it imports from its own folder and
  // the system folder: never the current directory or PATH.
  HMODULE library = LoadLibraryExW(path.c_str(), nullptr,
                                   LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Systems older than those flags refuse them; a full path is still
  // loaded from that path alone, its imports by the altered search order.
  if (!library && GetLastError() == ERROR_INVALID_PARAMETER)
    library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return library;
}

const BidiTextApi& LoadBidiTextLibrary() {
  static const BidiTextApi api = [] {
    // The library is part of the control: it is taken from the control's own
    // folder and nowhere else. A bare name would be searched for in the
    // host's folder and the current directory, where anyone who can write a
    // file could plant one to run inside the host.
    const std::wstring beside = WidePathBesideModule(
        ModuleOf(reinterpret_cast<const void*>(&ResolveBidiTextApi)), L"Harfix.dll");
    return ResolveBidiTextApi(LoadLibraryAt(beside));
  }();
  return api;
}

}  // namespace orvane
