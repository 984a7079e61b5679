// Where the balloon goes: over the text area of the row the pointer rests on,
// fitted to the title's width, in screen coordinates, or nowhere (an empty
// rectangle) when the title fits its row or the pointer has left the place.
#pragma once

#include <windows.h>

#include <string>

namespace orvane {

class InteractionHost;
class OutlineNode;

// The text the balloon shows for a node: a section's title is its record's
// RecordLength - 21 bytes, since it may lie unterminated in its book's
// buffer; a category's or a book's is its terminated title.
std::string BalloonTitle(const OutlineNode& node);

// The balloon's rectangle for `text` and the balloon's recorded row
// (m_rowRect, m_rowIndex), measured with the text library. Empty when the
// recorded row is gone, the title fits, or the cursor is not inside the
// rectangle; with ApplyCheck on it lies one icon cell further from the tree
// lines, as the title does.
RECT BalloonRect(InteractionHost& host, const std::string& text);

}  // namespace orvane
