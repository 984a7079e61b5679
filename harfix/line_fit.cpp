#include "harfix/line_fit.h"

#include <algorithm>

namespace harfix {

SizesKept::SizesKept(FontSelection& selection)
    : selection_(selection),
      latin_(selection.Font(FontRole::Latin).description),
      arabic_(selection.Font(FontRole::Arabic).description) {}

SizesKept::~SizesKept() {
  try {
    selection_.RemakeAs(latin_, arabic_);
  } catch (...) {
    // The selection keeps the smaller fonts; they still work.
  }
}

FittedLayout LayOutFitted(FontSelection& selection, const std::wstring& text, bool rightToLeft,
                          int height) {
  FittedLayout fitted;
  fitted.line = LayOutLine(selection, text, rightToLeft);
  fitted.ascent = selection.Ascent();
  fitted.descent = selection.Descent();
  if (height <= 0 || fitted.line.InkHeight() <= height) return fitted;
  SizesKept kept(selection);
  // Ink grows about in step with the size: shrink by the overshoot's
  // ratio, at least a pixel a try, a few tries at most.
  for (int attempt = 0; fitted.line.InkHeight() > height && attempt < 6; ++attempt) {
    const LONG latin = selection.EmOf(FontRole::Latin), arabic = selection.EmOf(FontRole::Arabic);
    if (latin <= 1 && arabic <= 1) break;
    const auto smaller = [&](LONG em) {
      return std::max<LONG>(1, std::min<LONG>(em - 1, em * height / fitted.line.InkHeight()));
    };
    fitted.shrunk = true;
    if (!selection.ScaleTo(smaller(latin), smaller(arabic))) break;
    fitted.line = LayOutLine(selection, text, rightToLeft);
  }
  if (fitted.shrunk) {
    fitted.latin = selection.Font(FontRole::Latin).description;
    fitted.arabic = selection.Font(FontRole::Arabic).description;
    fitted.ascent = selection.Ascent();
    fitted.descent = selection.Descent();
  }
  return fitted;
}

DrawingSizes::DrawingSizes(FontSelection& selection, const FittedLayout& layout) {
  if (!layout.shrunk) return;
  kept_.emplace(selection);
  selection.RemakeAs(layout.latin, layout.arabic);
}

}  // namespace harfix
