#include "harfix/line_fit.h"

#include <algorithm>

namespace harfix {

FittedLine::FittedLine(FontSelection& selection, const std::wstring& text, bool rightToLeft, int height)
    : selection_(selection),
      line_(LayOutLine(selection, text, rightToLeft)),
      latinEm_(selection.EmOf(FontRole::Latin)),
      arabicEm_(selection.EmOf(FontRole::Arabic)) {
    // Ink grows about in step with the size: shrink by the overshoot's
    // ratio, at least a pixel a try, a few tries at most.
    for (int attempt = 0; height > 0 && line_.InkHeight() > height && attempt < 6; ++attempt) {
        const LONG latin = selection.EmOf(FontRole::Latin), arabic = selection.EmOf(FontRole::Arabic);
        if (latin <= 1 && arabic <= 1) break;
        const auto smaller = [&](LONG em) {
            return std::max<LONG>(1, std::min<LONG>(em - 1, em * height / line_.InkHeight()));
        };
        shrunk_ = true;
        if (!selection.ScaleTo(smaller(latin), smaller(arabic))) break;
        line_ = LayOutLine(selection, text, rightToLeft);
    }
}

FittedLine::~FittedLine() {
    if (!shrunk_) return;
    try {
        selection_.ScaleTo(latinEm_, arabicEm_);
    } catch (...) {
        // The selection keeps the smaller fonts; they still work.
    }
}

}  // namespace harfix
