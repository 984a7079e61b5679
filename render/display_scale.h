// Lengths for the display's DPI. Every length of a row (its height, the
// glyph cells, Indent, the gaps, the balloon's margins, the hit columns) is
// given in pixels at 96 DPI and drawn at the DPI of the control's window.
// At 96 DPI every length is the one given.
#pragma once

#include <windows.h>

#include <cstdint>

namespace orvane {

inline constexpr int kDefaultDpi = 96;
// What a window may report; anything outside is taken as the nearest end, and
// 0 (no answer) as 96.
inline constexpr int kLowestDpi = 48;
inline constexpr int kHighestDpi = 960;

// A DPI the layout can use.
int UsableDpi(int64_t dpi);

// `pixelsAt96` at `dpi`, rounded to the nearest pixel (halves away from
// zero), kept within int.
int ScaleToDpi(int64_t pixelsAt96, int dpi);

// The glyph strips are drawn at these scales, in percent; a DPI takes the
// nearest at or above its own scale, the largest past it.
inline constexpr int kStripScales[] = {100, 125, 150, 200};
int StripScaleFor(int dpi);

// The DPI of `window`: its own for a host aware of each monitor, the
// system's otherwise (what the system answers for the window then), the
// screen's where the system has no per-window answer; 96 for no window.
int WindowDpi(HWND window);
// The system's DPI (the screen's logical pixels per inch), which fonts made
// from point sizes are realized at; read once for the process.
int SystemDpi();

}  // namespace orvane
