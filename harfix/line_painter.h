// Puts a laid-out line into a rectangle and draws it.
#ifndef HARFIX_LINE_PAINTER_H
#define HARFIX_LINE_PAINTER_H

#include <windows.h>

#include "harfix/font_selection.h"
#include "harfix/line_layout.h"

namespace harfix {

// Draws line in rect, aligned by the HARFIX_ALIGN_* and HARFIX_VCENTER or
// HARFIX_BOTTOM flags, in the device context's text colour. The device
// context's text alignment, background mode and font are as before on return.
void PaintLine(FontSelection& selection, const LaidOutLine& line, const RECT& rect, int flags);

}  // namespace harfix

#endif
