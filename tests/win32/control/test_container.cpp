#include "test_container.h"

#include <string>

namespace orvane::test {

std::span<const InterfaceEntry> TestSite::Interfaces() {
  static const InterfaceEntry kTable[] = {
      {&IID_IOleClientSite, &CastTo<TestSite, IOleClientSite>},
      {&IID_IOleWindow, &CastTo<TestSite, IOleInPlaceSite>},
      {&IID_IOleInPlaceSite, &CastTo<TestSite, IOleInPlaceSite>},
  };
  return kTable;
}

STDMETHODIMP TestSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TestSite::GetContainer(IOleContainer** container) {
  *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP TestSite::GetWindow(HWND* window) {
  *window = m_window;
  return S_OK;
}

STDMETHODIMP TestSite::OnInPlaceActivate() {
  ++activations;
  return S_OK;
}

STDMETHODIMP TestSite::OnInPlaceDeactivate() {
  ++deactivations;
  return S_OK;
}

STDMETHODIMP TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                        LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  *frame = nullptr;
  *document = nullptr;
  *pos = m_pos;
  *clip = m_pos;
  info->fMDIApp = FALSE;
  info->hwndFrame = m_window;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

namespace {

HWND SharedHostWindow() {
  static HWND window = CreateWindowExW(
      0, L"STATIC", L"Orvane host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400,
      300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  return window;
}

}  // namespace

HostWindow::HostWindow() { SharedHostWindow(); }

// Children left behind by a test (a failed one) go with it.
HostWindow::~HostWindow() {
  HWND window = SharedHostWindow();
  while (HWND child = GetWindow(window, GW_CHILD)) DestroyWindow(child);
}

HWND HostWindow::Handle() const { return SharedHostWindow(); }

ComPtr<IOleObject> ActivateInPlace(IUnknown* control, TestSite* site, HWND window, RECT pos) {
  ComPtr<IOleObject> object;
  control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(object.Receive()));
  auto* clientSite = static_cast<IOleClientSite*>(site);
  if (!object || FAILED(object->SetClientSite(clientSite)) ||
      FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, window, &pos)))
    return {};
  PumpMessages();
  return object;
}

void CloseInPlace(IOleObject* object) {
  if (object) {
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
  }
  PumpMessages();
}

HWND ControlWindowOf(IUnknown* control) {
  ComPtr<IOleInPlaceObject> inPlace;
  control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(inPlace.Receive()));
  HWND window = nullptr;
  if (inPlace) inPlace->GetWindow(&window);
  return window;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

HWND FindDescendant(HWND parent, const wchar_t* className) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (lstrcmpiW(name, className) == 0) return child;
    if (HWND found = FindDescendant(child, className)) return found;
  }
  return nullptr;
}

}  // namespace orvane::test
