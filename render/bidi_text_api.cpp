#include "render/bidi_text_api.h"

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
  return api;
}

const BidiTextApi& LoadBidiTextLibrary() {
  static const BidiTextApi api = ResolveBidiTextApi(LoadLibraryA("Harfix.dll"));
  return api;
}

}  // namespace orvane
