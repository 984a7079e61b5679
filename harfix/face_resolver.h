// Maps the face names the control asks for to faces that are installed.
// The control's defaults name faces ("Fonta", "Ariel") that no system has;
// asked for them, GDI would quietly substitute some face that may lack
// Arabic joining forms, so the library chooses the face itself.
#ifndef HARFIX_FACE_RESOLVER_H
#define HARFIX_FACE_RESOLVER_H

#include <windows.h>

#include <string>

namespace harfix {

enum class FontRole { Latin, Arabic };

// The face to create for `requested` in `role`: the requested face itself
// when it is installed under that name and has glyphs for the role's script,
// else the first installed face of the role's fallback list that has them,
// else `requested` unchanged. Answers are remembered for the process's life.
std::string ResolveFace(const std::string& requested, FontRole role);

}  // namespace harfix

#endif
