// Colours as automation hands them over. A host may send a colour as any
// integer type: script engines send a Long (system colours negative) or, for
// values past 2^31, a Double; property browsers send the unsigned OLE_COLOR.
// All of them mean the same 32 bits.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

namespace orvane {

// The colour whose 32 bits `value` holds: any integral value from -2^31 to
// 2^32 - 1 of any type the system converts to a number (a reference is
// followed). DISP_E_OVERFLOW outside that range or for a fraction, the
// conversion's failure (DISP_E_TYPEMISMATCH) for what is no number.
HRESULT OleColorFromVariant(const VARIANT& value, OLE_COLOR* color);

// A colour as script hosts read it: the same bits as a signed Long.
inline LONG OleColorAsLong(OLE_COLOR color) { return static_cast<LONG>(color); }

}  // namespace orvane
