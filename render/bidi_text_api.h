// The entry points of the bidirectional text library (Harfix.dll) that the
// row painting calls to measure and draw titles. They are resolved at run
// time so that the control still loads, and paints its glyphs, when the
// library is missing; callers check Complete() before any call.
#pragma once

#include <windows.h>

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

  // All six are present; a partial table is never called.
  bool Complete() const {
    return aSelectDC && aTextExtent && aDrawText && aSetReadingOrder && aGetReadingOrder &&
           aReleaseDC;
  }
};

// Resolves the six entry points of an already loaded module; the table stays
// incomplete when one is missing.
BidiTextApi ResolveBidiTextApi(HMODULE library);

// Loads "Harfix.dll" once for the process and returns its table, incomplete
// (all null) when the library cannot be loaded. The module is never freed:
// the control may call it until the process ends.
const BidiTextApi& LoadBidiTextLibrary();

}  // namespace orvane
