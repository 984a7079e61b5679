#include "hosts/testcon/hosted_control.h"

#include "hosts/testcon/frame_window.h"
#include "hosts/testcon/text_property_bag.h"

namespace testcon {
namespace {

std::wstring Describe(const wchar_t* step, HRESULT hr) {
  wchar_t code[16];
  wsprintfW(code, L"0x%08X", static_cast<unsigned>(hr));
  return std::wstring(step) + L" failed (" + code + L")";
}

SIZEL HimetricFromPixels(SIZE pixels) {
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  // 2540 HIMETRIC units to the inch.
  return {MulDiv(pixels.cx, 2540, dpiX > 0 ? dpiX : 96),
          MulDiv(pixels.cy, 2540, dpiY > 0 ? dpiY : 96)};
}

}  // namespace

HostedControl::HostedControl(HWND frame, SIZE size, const CLSID& clsid, bool userMode)
    : m_frame(frame), m_size(size), m_clsid(clsid), m_userMode(userMode) {}

HostedControl::~HostedControl() {
  Destroy();
  if (m_site) m_site->Release();
}

HRESULT HostedControl::Create(const PropertyStore* properties, std::wstring& error) {
  Destroy();
  if (m_site == nullptr) m_site = new ControlSite(m_frame, m_size, m_userMode);
  HRESULT hr =
      CoCreateInstance(m_clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, OutSlot(m_object));
  if (FAILED(hr)) {
    error = Describe(L"creating the control", hr);
    return hr;
  }
  m_dispatch = m_object.As<IDispatch>(IID_IDispatch);

  auto classInfo = m_object.As<IProvideClassInfo2>(IID_IProvideClassInfo2);
  if (classInfo) classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &m_eventIid);

  // A control that asks for its site first reads ambient properties while
  // it loads; the others get the site once they are initialised.
  DWORD misc = 0;
  m_object->GetMiscStatus(DVASPECT_CONTENT, &misc);
  const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (siteFirst) m_object->SetClientSite(m_site);

  auto bagPersist = m_object.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  if (properties != nullptr) {
    if (!bagPersist) {
      error = L"the control cannot load properties: it has no IPersistPropertyBag";
      Destroy();
      return E_NOINTERFACE;
    }
    auto store = std::make_shared<PropertyStore>(*properties);
    auto bag = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(store, L""));
    hr = bagPersist->Load(bag.Get(), nullptr);
    if (FAILED(hr)) {
      error = Describe(L"loading the control's properties", hr);
      Destroy();
      return hr;
    }
    m_lastSaved = std::make_unique<PropertyStore>(*properties);
  } else if (auto streamInit = m_object.As<IPersistStreamInit>(IID_IPersistStreamInit)) {
    streamInit->InitNew();
  } else if (bagPersist) {
    bagPersist->InitNew();
  }

  if (!siteFirst) m_object->SetClientSite(m_site);
  m_object->SetHostNames(L"testcon", nullptr);
  Advise();

  // The control learns its size before it is shown, as from any container.
  SIZEL extent = HimetricFromPixels(m_size);
  m_object->SetExtent(DVASPECT_CONTENT, &extent);

  RECT pos = m_site->ControlRect();
  hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site, 0, m_frame, &pos);
  if (FAILED(hr)) {
    error = Describe(L"activating the control in place", hr);
    Destroy();
    return hr;
  }
  if (HWND window = Window()) {
    SetFrameFocusTarget(m_frame, window);
    SetFocus(window);
  }
  return S_OK;
}

void HostedControl::Destroy() {
  if (!m_object) return;
  SetFrameFocusTarget(m_frame, nullptr);
  Unadvise();
  if (auto inPlace = m_object.As<IOleInPlaceObject>(IID_IOleInPlaceObject))
    inPlace->InPlaceDeactivate();
  m_object->Close(OLECLOSE_NOSAVE);
  m_object->SetClientSite(nullptr);
  if (m_site) m_site->Detach();
  m_dispatch.Reset();
  m_object.Reset();
}

HRESULT HostedControl::Recreate(std::wstring& error) {
  if (!m_lastSaved && m_object) {
    PropertyStore current;
    HRESULT hr = SaveProperties(current);
    if (FAILED(hr)) {
      error = Describe(L"saving the control's properties", hr);
      return hr;
    }
  }
  std::unique_ptr<PropertyStore> saved;
  if (m_lastSaved) saved = std::make_unique<PropertyStore>(*m_lastSaved);
  return Create(saved.get(), error);
}

HRESULT HostedControl::SaveProperties(PropertyStore& out) {
  auto persist = m_object.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  if (!persist) return E_NOINTERFACE;
  auto store = std::make_shared<PropertyStore>();
  auto bag = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(store, L""));
  HRESULT hr = persist->Save(bag.Get(), FALSE, TRUE);
  if (FAILED(hr)) return hr;
  out = *store;
  m_lastSaved = std::make_unique<PropertyStore>(*store);
  return S_OK;
}

HRESULT HostedControl::LoadProperties(const PropertyStore& properties) {
  auto persist = m_object.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  if (!persist) return E_NOINTERFACE;
  auto store = std::make_shared<PropertyStore>(properties);
  auto bag = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(store, L""));
  HRESULT hr = persist->Load(bag.Get(), nullptr);
  if (FAILED(hr)) return hr;
  m_lastSaved = std::make_unique<PropertyStore>(properties);
  if (HWND window = Window()) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
  }
  return S_OK;
}

void HostedControl::SetEventSink(IDispatch* sink) {
  Unadvise();
  m_eventSink = ComPtr<IDispatch>(sink);
  Advise();
}

void HostedControl::Advise() {
  if (!m_object || !m_eventSink || m_adviseCookie != 0 || IsEqualIID(m_eventIid, IID_NULL)) return;
  auto container = m_object.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  if (!container || FAILED(container->FindConnectionPoint(m_eventIid, m_eventPoint.Receive())))
    return;
  if (FAILED(m_eventPoint->Advise(m_eventSink.Get(), &m_adviseCookie))) {
    m_adviseCookie = 0;
    m_eventPoint.Reset();
  }
}

void HostedControl::Unadvise() {
  if (m_eventPoint && m_adviseCookie != 0) m_eventPoint->Unadvise(m_adviseCookie);
  m_adviseCookie = 0;
  m_eventPoint.Reset();
}

HWND HostedControl::Window() const {
  auto window = m_object.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
  HWND handle = nullptr;
  if (window && SUCCEEDED(window->GetWindow(&handle))) return handle;
  return nullptr;
}

IOleInPlaceActiveObject* HostedControl::ActiveObject() const {
  return m_site ? m_site->ActiveObject() : nullptr;
}

}  // namespace testcon
