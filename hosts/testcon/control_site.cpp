#include "hosts/testcon/control_site.h"

#include <new>

namespace testcon {
namespace {

// HIMETRIC units per inch.
constexpr double kHimetricPerInch = 2540.0;

int LogicalPixels(int index) {
  HDC screen = GetDC(nullptr);
  int value = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return value > 0 ? value : 96;
}

}  // namespace

ControlSite::ControlSite(HWND frame, SIZE size, bool userMode)
    : m_frame(frame), m_size(size), m_userMode(userMode) {
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.lpstrName = const_cast<LPOLESTR>(L"MS Shell Dlg");
  desc.cySize.int64 = 80000;  // 8 points
  desc.sWeight = FW_NORMAL;
  desc.sCharset = DEFAULT_CHARSET;
  OleCreateFontIndirect(&desc, IID_IFontDisp, OutSlot(m_ambientFont));
}

ControlSite::~ControlSite() = default;

void ControlSite::Detach() { m_activeObject.Reset(); }

// ---- IUnknown ----

// IUnknown is the client site, the first entry: the identity the control
// compares sites by.
std::span<const InterfaceEntry> ControlSite::Interfaces() {
  using T = ControlSite;
  static const InterfaceEntry kTable[] = {{&IID_IOleClientSite, &CastTo<T, IOleClientSite>},
                                          {&IID_IOleWindow, &CastTo<T, IOleInPlaceSiteEx>},
                                          {&IID_IOleInPlaceSite, &CastTo<T, IOleInPlaceSiteEx>},
                                          {&IID_IOleInPlaceSiteEx, &CastTo<T, IOleInPlaceSiteEx>},
                                          {&IID_IOleInPlaceUIWindow, &CastTo<T, IOleInPlaceFrame>},
                                          {&IID_IOleInPlaceFrame, &CastTo<T, IOleInPlaceFrame>},
                                          {&IID_IOleControlSite, &CastTo<T, IOleControlSite>},
                                          {&IID_IDispatch, &CastTo<T, IDispatch>}};
  return kTable;
}

// ---- IOleClientSite ----

STDMETHODIMP ControlSite::SaveObject() { return S_OK; }
STDMETHODIMP ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}
STDMETHODIMP ControlSite::ShowObject() { return S_OK; }
STDMETHODIMP ControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// ---- IOleWindow ----

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = m_frame;
  return S_OK;
}
STDMETHODIMP ControlSite::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---- IOleInPlaceSite, IOleInPlaceSiteEx ----

STDMETHODIMP ControlSite::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP ControlSite::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP ControlSite::OnUIActivate() { return S_OK; }

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame == nullptr || document == nullptr || pos == nullptr || clip == nullptr)
    return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *document = nullptr;  // the frame is the document window too
  *pos = ControlRect();
  *clip = ControlRect();
  if (info != nullptr) {
    info->cb = sizeof *info;
    info->fMDIApp = FALSE;
    info->hwndFrame = m_frame;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

STDMETHODIMP ControlSite::Scroll(SIZE) { return S_FALSE; }
STDMETHODIMP ControlSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::OnInPlaceDeactivate() {
  m_activeObject.Reset();
  return S_OK;
}
STDMETHODIMP ControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP ControlSite::DeactivateAndUndo() { return S_OK; }
// The control keeps the area the container gave it: the frame has no
// layout of its own to grow into.
STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT pos) { return pos ? S_OK : E_POINTER; }
STDMETHODIMP ControlSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD) {
  if (noRedraw) *noRedraw = FALSE;
  return S_OK;
}
STDMETHODIMP ControlSite::OnInPlaceDeactivateEx(BOOL) { return OnInPlaceDeactivate(); }
STDMETHODIMP ControlSite::RequestUIActivate() { return S_OK; }

// ---- IOleInPlaceUIWindow, IOleInPlaceFrame: no menus, tools or status bar ----

STDMETHODIMP ControlSite::GetBorder(LPRECT border) {
  if (border == nullptr) return E_POINTER;
  return INPLACE_E_NOTOOLSPACE;
}
STDMETHODIMP ControlSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP ControlSite::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
STDMETHODIMP ControlSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  m_activeObject = ComPtr<IOleInPlaceActiveObject>(object);
  return S_OK;
}
STDMETHODIMP ControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
STDMETHODIMP ControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP ControlSite::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP ControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP ControlSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// ---- IOleControlSite ----

STDMETHODIMP ControlSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP ControlSite::LockInPlaceActive(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** extended) {
  if (extended == nullptr) return E_POINTER;
  *extended = nullptr;
  return E_NOTIMPL;
}

// The container's coordinates are pixels.
STDMETHODIMP ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
  if (himetric == nullptr || container == nullptr) return E_POINTER;
  const double dpiX = LogicalPixels(LOGPIXELSX), dpiY = LogicalPixels(LOGPIXELSY);
  if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    container->x = static_cast<float>(himetric->x * dpiX / kHimetricPerInch);
    container->y = static_cast<float>(himetric->y * dpiY / kHimetricPerInch);
    return S_OK;
  }
  if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
    himetric->x = static_cast<LONG>(container->x * kHimetricPerInch / dpiX + 0.5);
    himetric->y = static_cast<LONG>(container->y * kHimetricPerInch / dpiY + 0.5);
    return S_OK;
  }
  return E_INVALIDARG;
}

STDMETHODIMP ControlSite::TranslateAccelerator(LPMSG, DWORD) { return S_FALSE; }
STDMETHODIMP ControlSite::OnFocus(BOOL) { return S_OK; }
STDMETHODIMP ControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

// ---- IDispatch: ambient properties ----

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  if (ids != nullptr)
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (params != nullptr && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = AmbientValue(id, &value);
  if (FAILED(hr)) return hr;
  if (result != nullptr)
    *result = value;
  else
    VariantClear(&value);
  return S_OK;
}

HRESULT ControlSite::AmbientValue(DISPID id, VARIANT* out) {
  auto setBool = [out](bool b) {
    V_VT(out) = VT_BOOL;
    V_BOOL(out) = b ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  };
  auto setLong = [out](LONG n) {
    V_VT(out) = VT_I4;
    V_I4(out) = n;
    return S_OK;
  };
  auto setText = [out](const wchar_t* text) {
    V_VT(out) = VT_BSTR;
    V_BSTR(out) = SysAllocString(text);
    return V_BSTR(out) ? S_OK : E_OUTOFMEMORY;
  };
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
      return setBool(m_userMode);
    case DISPID_AMBIENT_UIDEAD:
      return setBool(false);
    case DISPID_AMBIENT_SHOWGRABHANDLES:
      return setBool(false);
    case DISPID_AMBIENT_SHOWHATCHING:
      return setBool(false);
    // The control reflects its own notifications; the frame sends none back.
    case DISPID_AMBIENT_MESSAGEREFLECT:
      return setBool(false);
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
      return setBool(false);
    case DISPID_AMBIENT_AUTOCLIP:
      return setBool(true);
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
      return setBool(false);
    case DISPID_AMBIENT_LOCALEID:
      return setLong(static_cast<LONG>(GetUserDefaultLCID()));
    case DISPID_AMBIENT_BACKCOLOR:
      return setLong(static_cast<LONG>(0x80000000 | COLOR_WINDOW));
    case DISPID_AMBIENT_FORECOLOR:
      return setLong(static_cast<LONG>(0x80000000 | COLOR_WINDOWTEXT));
    case DISPID_AMBIENT_APPEARANCE:
      return setLong(1);  // 3-D
    case DISPID_AMBIENT_TEXTALIGN:
      return setLong(0);  // general: by value type
    case DISPID_AMBIENT_DISPLAYNAME:
      return setText(L"Orvane");
    case DISPID_AMBIENT_SCALEUNITS:
      return setText(L"Pixel");
    case DISPID_AMBIENT_FONT:
      if (!m_ambientFont) return DISP_E_MEMBERNOTFOUND;
      V_VT(out) = VT_DISPATCH;
      V_DISPATCH(out) = m_ambientFont.Get();
      V_DISPATCH(out)->AddRef();
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace testcon
