// The library's six entry points. Everything they are given comes from a
// host and is checked here; nothing below them sees a null pointer, a
// negative length or a handle that is not a device context, and no C++
// exception (an allocation that fails) leaves through them.
#include "harfix/harfix.h"

#include <algorithm>
#include <cstring>

#include "harfix/cp1256.h"
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
bool LayOutCallText(HDC dc, const char* text, int length, harfix::LaidOutLine& line,
                    harfix::FontSelection*& selection) {
    if (!text || length < 0) return false;
    selection = harfix::FindSelection(dc);
    if (!selection) return false;
    const std::size_t bytes = strnlen(text, std::min(static_cast<std::size_t>(length), kMaxTitleBytes));
    line = harfix::LayOutLine(*selection, harfix::DecodeCp1256(text, bytes),
                              g_readingOrder == HARFIX_ORDER_RTL);
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
        harfix::LaidOutLine line;
        harfix::FontSelection* selection = nullptr;
        if (!LayOutCallText(dc, text, length, line, selection)) return extent;
        extent.cx = line.Width();
        extent.cy = selection->Ascent() + selection->Descent();
    } catch (...) {
        extent = {0, 0};
    }
    return extent;
}

BOOL WINAPI aDrawText(HDC dc, const char* text, int length, const RECT* rect, int flags) {
    if (!rect) return FALSE;
    try {
        harfix::LaidOutLine line;
        harfix::FontSelection* selection = nullptr;
        if (!LayOutCallText(dc, text, length, line, selection)) return FALSE;
        harfix::PaintLine(*selection, line, *rect, flags);
        return TRUE;
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
