// The live selections, one per device context, between aSelectDC and
// aReleaseDC. The library is called from the host's user-interface thread
// only, like the control, so the table takes no lock.
#ifndef HARFIX_SELECTION_TABLE_H
#define HARFIX_SELECTION_TABLE_H

#include <windows.h>

#include <memory>

#include "harfix/font_selection.h"

namespace harfix {

// Takes the selection for its device context, which must have none live
// (end it before making the new one, whose earlier font would otherwise be
// a font of the old selection).
void AdoptSelection(std::unique_ptr<FontSelection> selection);

// The live selection of dc, or nullptr.
FontSelection* FindSelection(HDC dc);

// Ends the selection of dc; false when it has none.
bool EndSelection(HDC dc);

// Ends every live selection (the library is being unloaded).
void EndAllSelections();

}  // namespace harfix

#endif
