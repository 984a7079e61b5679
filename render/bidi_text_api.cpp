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

const BidiTextApi& LoadBidiTextLibrary() {
  static const BidiTextApi api = [] {
    // The control is loaded into a host's process from its own folder, and
    // the system looks for a library by bare name beside the host, not
    // beside the control: look beside the module holding this code first.
    HMODULE library = nullptr;
    const std::string beside = PathBesideModule(
        ModuleOf(reinterpret_cast<const void*>(&ResolveBidiTextApi)), "Harfix.dll");
    if (!beside.empty()) {
      library = LoadLibraryExA(beside.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (!library) library = LoadLibraryA("Harfix.dll");
    return ResolveBidiTextApi(library);
  }();
  return api;
}

}  // namespace orvane
