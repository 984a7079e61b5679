// The framework's own property frame: a modal window with one tab for each
// property page, and OK, Cancel and Apply, that hosts the pages through
// IPropertyPageSite and applies them as the pages' protocol asks. A control
// shows it from its Properties verb when the container has no frame of its
// own. It behaves the same on every system: the system's frame does not
// apply pages everywhere (Wine's never calls Apply).
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <span>

namespace orvane {

// Makes the page of `clsid`; S_OK with a page holding one reference.
using PageMaker = std::function<HRESULT(const CLSID& clsid, IPropertyPage** page)>;

// The identifiers of the frame's buttons, those of the system's frame.
inline constexpr int kFrameApplyButton = 0x3021;

// Shows the pages `pages` for `object` in a modal frame owned by `owner`
// (disabled meanwhile) with the title `caption`, and returns when the user
// closes it. Pages that cannot be made are left out; with none left the
// frame is not shown and E_FAIL is returned. OK applies every dirty page
// and closes, unless a page stays dirty (it refused a value); Apply applies
// them and stays; Cancel and the close box close without applying.
HRESULT ShowModalPropertyFrame(HWND owner, const wchar_t* caption, IUnknown* object,
                               std::span<const CLSID> pages, LCID locale, const PageMaker& make);

}  // namespace orvane
