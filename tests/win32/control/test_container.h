// A minimal container: a top-level window and a site that lets one control
// activate in place inside it, at a fixed rectangle.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "control/framework/com_base.h"

namespace orvane::test {

class TestSite : public ComBase<TestSite, IOleClientSite, IOleInPlaceSite> {
 public:
  TestSite(HWND window, RECT pos) : m_window(window), m_pos(pos) {}
  static std::span<const InterfaceEntry> Interfaces();

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override;
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override;
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  int activations = 0;
  int deactivations = 0;

 private:
  HWND m_window;
  RECT m_pos;
};

// A visible top-level window for hosting. One window serves every test of
// the program: showing a new top-level window on the private display costs
// about two seconds under Wine. Each test removes what it put in it.
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND Handle() const;
};

// Activates `control` in place in `site`'s window at `pos`, as a container
// does; the object to close it with, or null when a step failed.
ComPtr<IOleObject> ActivateInPlace(IUnknown* control, TestSite* site, HWND window, RECT pos);
// Closes what ActivateInPlace activated and lets the control go.
void CloseInPlace(IOleObject* object);
// The window of a control active in place (its list box), or null.
HWND ControlWindowOf(IUnknown* control);

// Dispatches the messages waiting on this thread.
void PumpMessages();

// The first descendant of `parent` whose class is `className`.
HWND FindDescendant(HWND parent, const wchar_t* className);

}  // namespace orvane::test
