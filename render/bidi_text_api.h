// The entry points of the bidirectional text library (Harfix.dll) that the
// row painting calls to measure and draw titles. They are resolved at run
// time so that the control still loads, and paints its glyphs, when the
// library is missing; callers check Complete() before any call.
#pragma once

#include <windows.h>

#include <string>

#include "harfix/harfix.h"

namespace orvane {

// Reading-order codes the library takes.
inline constexpr int kLibraryRtl = HARFIX_ORDER_RTL;
inline constexpr int kLibraryLtr = HARFIX_ORDER_LTR;

struct BidiTextApi {
  HarfixSelectDC aSelectDC = nullptr;
  HarfixTextExtent aTextExtent = nullptr;
  HarfixDrawText aDrawText = nullptr;
  HarfixSetReadingOrder aSetReadingOrder = nullptr;
  HarfixGetReadingOrder aGetReadingOrder = nullptr;
  HarfixReleaseDC aReleaseDC = nullptr;
  // Optional: a library without it draws and measures at the font's own
  // size, and callers skip the call.
  HarfixFitLineHeight aFitLineHeight = nullptr;

  // All six are present; a partial table is never called.
  bool Complete() const {
    return aSelectDC && aTextExtent && aDrawText && aSetReadingOrder && aGetReadingOrder &&
           aReleaseDC;
  }
};

// Lets a selection measure at the size it will be drawn at in a rectangle
// `height` pixels tall; nothing when the library has no such entry point.
void FitLineHeight(const BidiTextApi& api, HDC dc, int height);

// Resolves the six entry points of an already loaded module, and the optional
// aFitLineHeight; the table stays incomplete when one of the six is missing.
BidiTextApi ResolveBidiTextApi(HMODULE library);

// Loads "Harfix.dll" once for the process by its full path in the folder of
// the module that holds this code (the control), never by a search, and
// returns its table, incomplete (all null) when it is not there or cannot be
// loaded; titles are then drawn through the system (render/system_text.h).
// The module is never freed: the control may call it until the process ends.
const BidiTextApi& LoadBidiTextLibrary();

// Loads the library file at `path` and nothing else: no search of the current
// directory or PATH for it; its own imports come from its folder and the
// system folder. Null when there is no such file or it cannot be loaded.
HMODULE LoadLibraryAt(const std::wstring& path);

// `fileName` in the folder of `module` (null: the process's executable),
// for paths of any length and script; empty when the path cannot be read.
std::wstring WidePathBesideModule(HMODULE module, const wchar_t* fileName);

// `fileName` in the folder of `module` (null: the process's executable);
// empty when the module's path cannot be read.
std::string PathBesideModule(HMODULE module, const char* fileName);

// The module whose image holds `address`, or null.
HMODULE ModuleOf(const void* address);

}  // namespace orvane
