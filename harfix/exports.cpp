// The library's entry points. Everything they are given comes from a
// host and is checked here; nothing below them sees a null pointer, a
// negative length or a handle that is not a device context, and no C++
// exception (an allocation that fails) leaves through them.
#include "harfix/harfix.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string_view>

#include "harfix/layout_memory.h"
#include "harfix/line_cache.h"
#include "harfix/line_fit.h"
#include "harfix/line_painter.h"
#include "harfix/script_cache_pool.h"
#include "harfix/selection_table.h"
#include "platform/portable/boundary_guard.h"

using orvane::GuardedValue;

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

// Every entry point holds this lock: the selections, the kept caches and
// the kept lines are the process's, and a host may draw from more than one
// thread (two windows in two apartments). Calls then wait for each other
// rather than corrupt the tables.
SRWLOCK g_lock = SRWLOCK_INIT;

class Locked {
 public:
  Locked() { AcquireSRWLockExclusive(&g_lock); }
  ~Locked() { ReleaseSRWLockExclusive(&g_lock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;
};

// The layout of a call's text fitted to `height` (0: not fitted), or null
// when there is none to lay out. The length is a byte count, but a title
// never runs past its terminating zero, so a length larger than the string
// cannot make us read beyond it.
std::shared_ptr<const harfix::FittedLayout> LayOutCallText(harfix::FontSelection& selection,
                                                           const char* text, int length,
                                                           int height) {
  if (!text || length < 0) return nullptr;
  const std::size_t bytes =
      strnlen(text, std::min(static_cast<std::size_t>(length), kMaxTitleBytes));
  return harfix::LayoutFor(selection, std::string_view(text, bytes),
                           g_readingOrder == HARFIX_ORDER_RTL, height);
}

}  // namespace

extern "C" {

// Unloaded by FreeLibrary (reserved is null): end what hosts left selected
// and free the kept caches. At process exit (reserved is not null) nothing is
// touched; the system reclaims it all, and other libraries may be gone.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  return GuardedValue(TRUE, [&] {
    if (reason == DLL_PROCESS_ATTACH) harfix::ReadLayoutMemorySwitch();
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
      harfix::EndAllSelections();
      harfix::ForgetLayouts();
      harfix::FreeScriptCaches();
    }
    return TRUE;
  });
}

BOOL WINAPI aSelectDC(HDC dc, const LOGFONTA* latinFont, const LOGFONTA* arabicFont) {
  if (!IsDeviceContext(dc) || !latinFont || !arabicFont) return FALSE;
  Locked locked;
  return GuardedValue(FALSE, [&] {
    // The new selection must record the device context's own font, not
    // one of an earlier selection that is about to be deleted.
    harfix::EndSelection(dc);
    auto selection = harfix::FontSelection::Create(dc, *latinFont, *arabicFont);
    if (!selection) return FALSE;
    harfix::AdoptSelection(std::move(selection));
    return TRUE;
  });
}

SIZE WINAPI aTextExtent(HDC dc, const char* text, int length) {
  Locked locked;
  return GuardedValue(SIZE{0, 0}, [&] {
    SIZE extent = {0, 0};
    harfix::FontSelection* selection = harfix::FindSelection(dc);
    if (!selection) return extent;
    // Measured at the height the caller announced it will draw in.
    const auto layout = LayOutCallText(*selection, text, length, selection->FitHeight());
    if (!layout) return extent;
    extent.cx = layout->line.Width();
    extent.cy = layout->ascent + layout->descent;
    return extent;
  });
}

BOOL WINAPI aDrawText(HDC dc, const char* text, int length, const RECT* rect, int flags) {
  if (!rect || !text || length < 0) return FALSE;
  Locked locked;
  return GuardedValue(FALSE, [&] {
    harfix::FontSelection* selection = harfix::FindSelection(dc);
    if (!selection) return FALSE;
    // Every mark above and below the line stays inside the rectangle:
    // a line box taller than it is drawn at the largest size that fits.
    // The fit comes before the layout, so the glyphs drawn are measured
    // at the size they are drawn.
    const long long tall = static_cast<long long>(rect->bottom) - rect->top;
    const int height = tall > 0 && tall <= INT_MAX ? static_cast<int>(tall) : 0;
    if (height > 0) selection->FitLineHeight(height);
    const auto layout = LayOutCallText(*selection, text, length, height);
    if (!layout) return FALSE;
    const harfix::DrawingSizes sizes(*selection, *layout);
    harfix::PaintLine(*selection, layout->line, *rect, flags);
    return TRUE;
  });
}

BOOL WINAPI aFitLineHeight(HDC dc, int height) {
  if (!IsDeviceContext(dc) || height <= 0) return FALSE;
  Locked locked;
  return GuardedValue(FALSE, [&] {
    harfix::FontSelection* selection = harfix::FindSelection(dc);
    if (!selection) return FALSE;
    return selection->FitLineHeight(height) ? TRUE : FALSE;
  });
}

// Unguarded: compares and stores an int.
void WINAPI aSetReadingOrder(int code) {
  Locked locked;
  if (code == HARFIX_ORDER_LTR || code == HARFIX_ORDER_RTL) g_readingOrder = code;
}

// Unguarded: reads an int.
int WINAPI aGetReadingOrder(void) {
  Locked locked;
  return g_readingOrder;
}

BOOL WINAPI aReleaseDC(HDC dc) {
  Locked locked;
  return GuardedValue(FALSE, [&] { return harfix::EndSelection(dc) ? TRUE : FALSE; });
}

}  // extern "C"
