// Harfix: measures and draws 8-bit Windows-1256 titles in right-to-left or
// left-to-right reading order, shaping Arabic with the system's script
// engine. The control links to it by name or loads it with LoadLibrary; the
// typedefs below are for the second way.
//
// Calling order on every path: aSelectDC, then aTextExtent or aDrawText on
// the same device context, then aReleaseDC on it before the device context
// goes away. Each selection is released exactly once.
//
// Lines already laid out are kept (bounded) and drawn again without shaping;
// what is drawn is the same. The calls may come from several threads, each
// with its own device context: they are carried out one at a time.
#ifndef HARFIX_HARFIX_H
#define HARFIX_HARFIX_H

#include <windows.h>

#ifdef HARFIX_BUILDING
#define HARFIX_API __declspec(dllexport)
#else
#define HARFIX_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Reading-order codes for aSetReadingOrder and aGetReadingOrder.
enum { HARFIX_ORDER_LTR = 1, HARFIX_ORDER_RTL = 2 };

// aDrawText flags; the values are those of DrawText's DT_ flags of the same
// meaning, so that code written against DrawText reads the same.
enum {
  HARFIX_ALIGN_LEFT = 0x0,
  HARFIX_ALIGN_CENTER = 0x1,
  HARFIX_ALIGN_RIGHT = 0x2,
  HARFIX_VCENTER = 0x4,
  HARFIX_BOTTOM = 0x8
};

// Makes fonts from the two descriptions and selects them into dc until
// aReleaseDC. latinFont is used for runs outside the Arabic script (the
// control passes a copy of its title font named "Ariel"), arabicFont for
// Arabic runs (the title font itself). Faces that are not installed are
// replaced by installed ones. Returns FALSE, selecting nothing, when dc is
// not a device context or a description is missing.
HARFIX_API BOOL WINAPI aSelectDC(HDC dc, const LOGFONTA* latinFont, const LOGFONTA* arabicFont);

// The width aDrawText covers for the first length bytes of text (up to its
// terminating zero), and the height of the selection's line. {0, 0} when dc
// has no selection, text is null or length is negative.
HARFIX_API SIZE WINAPI aTextExtent(HDC dc, const char* text, int length);

// Draws the text in rect with the device context's text colour, laid out in
// the library's reading order. flags: HARFIX_ALIGN_* and HARFIX_VCENTER or
// HARFIX_BOTTOM. A line box taller than rect is drawn at the largest size
// that fits (aFitLineHeight), so marks above and below the line stay inside
// rect. The ink lies within the aTextExtent width from the aligned edge. Returns FALSE, drawing
// nothing, on the same failures as aTextExtent or when rect is null.
HARFIX_API BOOL WINAPI aDrawText(HDC dc, const char* text, int length, const RECT* rect, int flags);

// Fits the live selection on dc to lines at most height pixels tall: when
// the line box of its fonts (the larger ascent plus the larger descent) is
// taller, both fonts are made again at the largest sizes, in one ratio, whose
// line box fits. Later aTextExtent and aDrawText calls on the selection use
// those sizes. aDrawText fits to its rectangle by itself; a caller that
// measures before drawing calls this with the height it will draw in, so
// that the width measured is the width drawn. Returns FALSE when dc has no
// selection, height is not positive or no size fits.
HARFIX_API BOOL WINAPI aFitLineHeight(HDC dc, int height);
// Sets the reading order for every later layout: HARFIX_ORDER_RTL or
// HARFIX_ORDER_LTR. Any other code leaves the order as it was.
HARFIX_API void WINAPI aSetReadingOrder(int code);

// The current reading-order code; HARFIX_ORDER_LTR until one is set.
HARFIX_API int WINAPI aGetReadingOrder(void);

// Ends the selection on dc: its fonts are deselected and deleted, and the font
// that was selected before aSelectDC is selected again. Returns FALSE when dc
// has no selection.
HARFIX_API BOOL WINAPI aReleaseDC(HDC dc);

typedef BOOL(WINAPI* HarfixSelectDC)(HDC, const LOGFONTA*, const LOGFONTA*);
typedef SIZE(WINAPI* HarfixTextExtent)(HDC, const char*, int);
typedef BOOL(WINAPI* HarfixDrawText)(HDC, const char*, int, const RECT*, int);
typedef BOOL(WINAPI* HarfixFitLineHeight)(HDC, int);
typedef void(WINAPI* HarfixSetReadingOrder)(int);
typedef int(WINAPI* HarfixGetReadingOrder)(void);
typedef BOOL(WINAPI* HarfixReleaseDC)(HDC);

#ifdef __cplusplus
}
#endif

#endif
