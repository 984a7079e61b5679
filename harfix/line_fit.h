// A line laid out to fit a height. The selection's fonts are already fitted
// to the height by their line box; a title whose marks stack higher or lower
// than that box (a damma over a hamza over an alef) is laid out again at a
// smaller size until its ink fits, and the selection gets its own sizes back
// afterwards, so the next title starts from them.
#ifndef HARFIX_LINE_FIT_H
#define HARFIX_LINE_FIT_H

#include <windows.h>

#include <optional>
#include <string>

#include "harfix/font_selection.h"
#include "harfix/line_layout.h"

namespace harfix {

// A line as laid out for a height, with what drawing it needs besides the
// glyphs: the fonts it was laid out with when those are smaller than the
// selection's, and the line box they give.
struct FittedLayout {
  LaidOutLine line;
  bool shrunk = false;
  LOGFONTA latin{};  // when shrunk: the fonts the glyphs belong to
  LOGFONTA arabic{};
  int ascent = 0;
  int descent = 0;
};

// Lays out text with the selection's fonts; height 0 means no fitting. The
// selection's fonts are as before on return.
FittedLayout LayOutFitted(FontSelection& selection, const std::wstring& text, bool rightToLeft,
                          int height);

// Gives the selection back the fonts it has now when it goes, whatever
// sizes they were remade at meanwhile.
class SizesKept {
 public:
  explicit SizesKept(FontSelection& selection);
  ~SizesKept();

  SizesKept(const SizesKept&) = delete;
  SizesKept& operator=(const SizesKept&) = delete;

 private:
  FontSelection& selection_;
  LOGFONTA latin_;
  LOGFONTA arabic_;
};

// While alive, the selection's fonts are those `layout` was laid out with,
// so that its glyphs are drawn at their own size.
class DrawingSizes {
 public:
  DrawingSizes(FontSelection& selection, const FittedLayout& layout);

 private:
  std::optional<SizesKept> kept_;
};

}  // namespace harfix

#endif
