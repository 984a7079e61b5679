// The library's six entry points. Everything they are given comes from a
// host and is checked here; nothing below them sees a null pointer, a
// negative length or a handle that is not a device context, and no C++
// exception (an allocation that fails) leaves through them.
#include "harfix/harfix.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "harfix/cp1256.h"
#include "harfix/line_fit.h"
#include "harfix/line_layout.h"
#include "harfix/line_painter.h"
#include "harfix/script_cache_pool.h"
#include "harfix/selection_table.h"

namespace {

int g_readingOrder = HARFIX_ORDER_LTR;

bool IsDeviceContext(HDC dc) {
    if (!dc) return false;
    const DWORD type = GetObjectType(dc);
    return type == OBJ_DC || type == OBJ_MEMDC || type == OBJ_ENHMETADC;
}

// Bytes beyond this are ignored. Even at a one-pixel font the width of this
// many characters passes any screen, so nothing visible is lost, while a
// damaged file's 64-kilobyte title would otherwise cost seconds of shaping
// on every paint, and widths stay far inside an int.
constexpr std::size_t kMaxTitleBytes = 4096;

// Lays out the text of a call, or reports why there is none to lay out.
// The length is a byte count, but a title never runs past its terminating
// zero, so a length larger than the string cannot make us read beyond it.
// The line is fitted to `height` (0: not fitted); the selection's sizes
// come back when `fitted` goes.
bool LayOutCallText(HDC dc, const char* text, int length, int height, std::optional<harfix::FittedLine>& fitted,
                    harfix::FontSelection*& selection) {
    if (!text || length < 0) return false;
    selection = harfix::FindSelection(dc);
    if (!selection) return false;
    const std::size_t bytes = strnlen(text, std::min(static_cast<std::size_t>(length), kMaxTitleBytes));
    fitted.emplace(*selection, harfix::DecodeCp1256(text, bytes), g_readingOrder == HARFIX_ORDER_RTL, height);
    return true;
}

}  // namespace

extern "C" {

// Unloaded by FreeLibrary (reserved is null): end what hosts left selected
// and free the kept caches. At process exit (reserved is not null) nothing is
// touched; the system reclaims it all, and other libraries may be gone.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        harfix::EndAllSelections();
        harfix::FreeScriptCaches();
    }
    return TRUE;
}

BOOL WINAPI aSelectDC(HDC dc, const LOGFONTA* latinFont, const LOGFONTA* arabicFont) {
    if (!IsDeviceContext(dc) || !latinFont || !arabicFont) return FALSE;
    try {
        // The new selection must record the device context's own font, not
        // one of an earlier selection that is about to be deleted.
        harfix::EndSelection(dc);
        auto selection = harfix::FontSelection::Create(dc, *latinFont, *arabicFont);
        if (!selection) return FALSE;
        harfix::AdoptSelection(std::move(selection));
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

SIZE WINAPI aTextExtent(HDC dc, const char* text, int length) {
    SIZE extent = {0, 0};
    try {
        std::optional<harfix::FittedLine> fitted;
        harfix::FontSelection* selection = harfix::FindSelection(dc);
        // Measured at the height the caller announced it will draw in.
        const int height = selection ? selection->FitHeight() : 0;
        if (!LayOutCallText(dc, text, length, height, fitted, selection)) return extent;
        extent.cx = fitted->Line().Width();
        extent.cy = selection->Ascent() + selection->Descent();
    } catch (...) {
        extent = {0, 0};
    }
    return extent;
}

BOOL WINAPI aDrawText(HDC dc, const char* text, int length, const RECT* rect, int flags) {
    if (!rect) return FALSE;
    try {
        std::optional<harfix::FittedLine> fitted;
        harfix::FontSelection* selection = nullptr;
        // Every mark above and below the line stays inside the rectangle:
        // a line box taller than it is drawn at the largest size that fits.
        // The fit comes before the layout, so the glyphs drawn are measured
        // at the size they are drawn.
        harfix::FontSelection* target = text && length >= 0 ? harfix::FindSelection(dc) : nullptr;
        const long long tall = static_cast<long long>(rect->bottom) - rect->top;
        const int height = tall > 0 && tall <= INT_MAX ? static_cast<int>(tall) : 0;
        if (target && height > 0) target->FitLineHeight(height);
        if (!LayOutCallText(dc, text, length, height, fitted, selection)) return FALSE;
        harfix::PaintLine(*selection, fitted->Line(), *rect, flags);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL WINAPI aFitLineHeight(HDC dc, int height) {
    if (!IsDeviceContext(dc) || height <= 0) return FALSE;
    harfix::FontSelection* selection = harfix::FindSelection(dc);
    if (!selection) return FALSE;
    try {
        return selection->FitLineHeight(height) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

void WINAPI aSetReadingOrder(int code) {
    if (code == HARFIX_ORDER_LTR || code == HARFIX_ORDER_RTL) g_readingOrder = code;
}

int WINAPI aGetReadingOrder(void) { return g_readingOrder; }

BOOL WINAPI aReleaseDC(HDC dc) { return harfix::EndSelection(dc) ? TRUE : FALSE; }

}  // extern "C"
