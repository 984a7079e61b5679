// The entry points of the bidirectional text library (Harfix.dll) that the
// row painting calls to measure and draw titles. They are resolved at run
// time so that the control still loads, and paints its glyphs, when the
// library is missing; callers check Complete() before any call.
#pragma once

#include <windows.h>

namespace orvane {

// Reading-order codes the library takes.
inline constexpr int kLibraryRtl = 2;
inline constexpr int kLibraryLtr = 1;

// aDrawText flags.
inline constexpr int kTextLeft = 0;
inline constexpr int kTextRight = 2;
inline constexpr int kTextVCenter = 4;

using ASelectDCProc = void(WINAPI*)(HDC dc, const LOGFONTA* first, const LOGFONTA* second);
using ATextExtentProc = SIZE(WINAPI*)(HDC dc, const char* text, int length);
using ADrawTextProc = void(WINAPI*)(HDC dc, const char* text, int length, const RECT* rect,
                                    int flags);
using ASetReadingOrderProc = void(WINAPI*)(int code);
using AGetReadingOrderProc = int(WINAPI*)();
using AReleaseDCProc = void(WINAPI*)(HDC dc);

struct BidiTextApi {
  ASelectDCProc aSelectDC = nullptr;
  ATextExtentProc aTextExtent = nullptr;
  ADrawTextProc aDrawText = nullptr;
  ASetReadingOrderProc aSetReadingOrder = nullptr;
  AGetReadingOrderProc aGetReadingOrder = nullptr;
  AReleaseDCProc aReleaseDC = nullptr;

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
