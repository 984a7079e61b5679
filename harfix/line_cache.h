// Lines laid out before, kept so that a repaint lays out nothing it has laid
// out before. Shaping a title (itemising, shaping and placing each run, and
// measuring each glyph's ink) costs a hundred microseconds or more under
// Wine; a list repaints the same titles again and again.
//
// A kept line is found again only by everything its layout depends on: the
// title's bytes, the reading order, the height it was fitted to, each font's
// full description and the metrics it was realised with, and the device.
// Font handles take no part: GDI reuses them after DeleteObject.
#ifndef HARFIX_LINE_CACHE_H
#define HARFIX_LINE_CACHE_H

#include <memory>
#include <string_view>

#include "harfix/font_selection.h"
#include "harfix/line_fit.h"

namespace harfix {

// The layout of `bytes` (Windows-1256) with the selection's present fonts,
// fitted to height (0: not fitted) in the given paragraph direction: kept
// from an earlier call or laid out now and kept. Never null.
std::shared_ptr<const FittedLayout> LayoutFor(FontSelection& selection, std::string_view bytes,
                                              bool rightToLeft, int height);

// Forgets every kept line.
void ForgetLines();

// Whether the kept lines, their index and their byte count agree. A line in
// the list but not the index, or not counted, is later dropped with the
// wrong count, and the count can then wrap and empty the whole list.
bool KeptLinesAgree();

}  // namespace harfix

#endif
