// A line laid out to fit a height. The selection's fonts are already fitted
// to the height by their line box; a title whose marks stack higher or lower
// than that box (a damma over a hamza over an alef) is laid out again at a
// smaller size until its ink fits, and the selection gets its own sizes back
// when the line is done with, so the next title starts from them.
#ifndef HARFIX_LINE_FIT_H
#define HARFIX_LINE_FIT_H

#include <windows.h>

#include <string>

#include "harfix/font_selection.h"
#include "harfix/line_layout.h"

namespace harfix {

class FittedLine {
public:
    // height 0: no fitting, the line as the fonts lay it out.
    FittedLine(FontSelection& selection, const std::wstring& text, bool rightToLeft, int height);
    ~FittedLine();

    FittedLine(const FittedLine&) = delete;
    FittedLine& operator=(const FittedLine&) = delete;

    const LaidOutLine& Line() const { return line_; }

private:
    FontSelection& selection_;
    LaidOutLine line_;
    LONG latinEm_;
    LONG arabicEm_;
    bool shrunk_ = false;
};

}  // namespace harfix

#endif
