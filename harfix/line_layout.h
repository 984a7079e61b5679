// Lays out one line of text: splits it into script runs, shapes each with
// the selection's font for its script, and orders the runs visually for the
// reading order. Every position is measured from the line's pen origin, so
// that the width reported and the pixels drawn come from the same numbers.
#ifndef HARFIX_LINE_LAYOUT_H
#define HARFIX_LINE_LAYOUT_H

#include <windows.h>

#include <string>
#include <vector>

#include "harfix/font_selection.h"

namespace harfix {

struct GlyphRun {
  FontRole role = FontRole::Latin;
  std::vector<WORD> glyphs;  // left to right, whatever the run's direction
  std::vector<int> originX;  // each glyph's drawing origin on the line
  std::vector<int> raise;    // each glyph's shift above the baseline
};

struct LaidOutLine {
  std::vector<GlyphRun> runs;  // left to right
  // The span the line covers: the advance box from 0 to the last pen
  // position, widened by any glyph ink that overhangs it.
  int coverLeft = 0;
  int coverRight = 0;
  // How far the glyphs' ink reaches above and below the baseline, marks
  // included; both 0 for a line without ink.
  int inkAbove = 0;
  int inkBelow = 0;

  int Width() const { return coverRight - coverLeft; }
  int InkHeight() const { return inkAbove + inkBelow; }
};

// Lays out text with the selection's fonts in the given paragraph direction.
// Leaves the selection's Arabic font selected.
LaidOutLine LayOutLine(FontSelection& selection, const std::wstring& text, bool rightToLeft);

}  // namespace harfix

#endif
