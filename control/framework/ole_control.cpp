// COleControl: identity, stock properties and events, persistence.
#include "control/framework/ole_control.h"

#include <oleauto.h>

#include "control/framework/ole_color.h"

namespace orvane {
namespace {

// DISPIDs of the framework's own persisted values that are no properties.
constexpr DISPID kExtentXId = 0x7FFF0001;
constexpr DISPID kExtentYId = 0x7FFF0002;

constexpr FontDefault kStockFontDefault{
    L"MS Sans Serif", 8, FW_NORMAL, DEFAULT_CHARSET, false, false, false};

// The framework's persisted properties, under the framework's names.
constexpr PersistedProperty kStockProperties[] = {
    {L"_ExtentX", kExtentXId, PropertyKind::Long, 5292},
    {L"_ExtentY", kExtentYId, PropertyKind::Long, 3969},
    {L"BackColor", DISPID_BACKCOLOR, PropertyKind::Color,
     static_cast<int32_t>(0x80000000 | COLOR_WINDOW)},
    {L"ForeColor", DISPID_FORECOLOR, PropertyKind::Color,
     static_cast<int32_t>(0x80000000 | COLOR_WINDOWTEXT)},
    {L"BorderStyle", DISPID_BORDERSTYLE, PropertyKind::Short, 0},
    {L"Font", DISPID_FONT, PropertyKind::Font, 0, "", &kStockFontDefault},
};

// Whether `bag` has a value under `name`.
bool BagHolds(IPropertyBag* bag, const wchar_t* name) {
  if (bag == nullptr) return false;
  VARIANT value;
  VariantInit(&value);
  const bool held = SUCCEEDED(bag->Read(name, &value, nullptr));
  VariantClear(&value);
  return held;
}

HRESULT ComposeFont(IFontDisp* font, VARIANT* out) {
  V_VT(out) = VT_DISPATCH;
  V_DISPATCH(out) = font;
  return S_OK;
}

}  // namespace

COleControl::COleControl(const IID& eventIid)
    : m_eventPoint(*this, eventIid), m_propertyNotifyPoint(*this, IID_IPropertyNotifySink) {
  m_font.InitializeFont(kStockFontDefault);
  m_font.SetChangeNotification([this] {
    if (m_adoptingFont) return;
    m_fontSet = true;
    SetModifiedFlag();
    OnFontChanged();
    PropertyChanged(DISPID_FONT);
  });
}

COleControl::~COleControl() {
  DestroyControlWindow();
  m_eventPoint.ReleaseAll();
  m_propertyNotifyPoint.ReleaseAll();
}

std::span<const InterfaceEntry> COleControl::Interfaces() {
  using T = COleControl;
  static const InterfaceEntry kTable[] = {
      {&IID_IOleObject, &CastTo<T, IOleObject>},
      {&IID_IOleInPlaceObject, &CastTo<T, IOleInPlaceObject>},
      {&IID_IOleWindow, &CastTo<T, IOleInPlaceObject>},
      {&IID_IOleInPlaceActiveObject, &CastTo<T, IOleInPlaceActiveObject>},
      {&IID_IOleControl, &CastTo<T, IOleControl>},
      {&IID_IViewObject, &CastTo<T, IViewObject2>},
      {&IID_IViewObject2, &CastTo<T, IViewObject2>},
      {&IID_IPersist, &CastTo<T, IPersistStreamInit>},
      {&IID_IPersistStreamInit, &CastTo<T, IPersistStreamInit>},
      // IPersistStream's methods are the first methods of IPersistStreamInit,
      // in the same order, so one implementation serves both.
      {&IID_IPersistStream, &CastTo<T, IPersistStreamInit>},
      {&IID_IPersistPropertyBag, &CastTo<T, IPersistPropertyBag>},
      {&IID_IConnectionPointContainer, &CastTo<T, IConnectionPointContainer>},
      {&IID_IProvideClassInfo, &CastTo<T, IProvideClassInfo2>},
      {&IID_IProvideClassInfo2, &CastTo<T, IProvideClassInfo2>},
      {&IID_ISpecifyPropertyPages, &CastTo<T, ISpecifyPropertyPages>},
      {&IID_IPerPropertyBrowsing, &CastTo<T, IPerPropertyBrowsing>},
      {&IID_IQuickActivate, &CastTo<T, IQuickActivate>},
      {&IID_IPersistStorage, &CastTo<T, IPersistStorage>},
  };
  return kTable;
}

void* COleControl::QueryExtraInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, PrimaryDispatchIid()))
    return AutomationDispatch();
  return nullptr;
}

// ---- Stock properties ----

COLORREF COleControl::TranslateColor(OLE_COLOR color) const {
  COLORREF result = 0;
  if (FAILED(OleTranslateColor(color, nullptr, &result))) result = GetSysColor(COLOR_WINDOW);
  return result;
}

HRESULT COleControl::SetBackColor(OLE_COLOR color) {
  if (!RequestEdit(DISPID_BACKCOLOR)) return CTL_E_SETNOTPERMITTED;
  m_backColor = color;
  m_backColorSet = true;
  SetModifiedFlag();
  OnBackColorChanged();
  PropertyChanged(DISPID_BACKCOLOR);
  return S_OK;
}

HRESULT COleControl::SetForeColor(OLE_COLOR color) {
  if (!RequestEdit(DISPID_FORECOLOR)) return CTL_E_SETNOTPERMITTED;
  m_foreColor = color;
  m_foreColorSet = true;
  SetModifiedFlag();
  OnForeColorChanged();
  PropertyChanged(DISPID_FORECOLOR);
  return S_OK;
}

HRESULT COleControl::SetBorderStyle(short style) {
  if (style != 0 && style != 1) return CTL_E_INVALIDPROPERTYVALUE;
  if (!RequestEdit(DISPID_BORDERSTYLE)) return CTL_E_SETNOTPERMITTED;
  StoreBorderStyle(style);
  SetModifiedFlag();
  PropertyChanged(DISPID_BORDERSTYLE);
  return S_OK;
}

void COleControl::StoreBorderStyle(short style) {
  m_borderStyle = style;
  ApplyBorderStyleToWindow();
}

HRESULT COleControl::SetFont(IFontDisp* font) {
  m_font.InitializeFont(kStockFontDefault, font);
  m_fontSet = true;
  SetModifiedFlag();
  OnFontChanged();
  PropertyChanged(DISPID_FONT);
  return S_OK;
}

bool COleControl::RequestEdit(DISPID id) {
  std::vector<IUnknown*> sinks;
  try {
    sinks = m_propertyNotifyPoint.SnapshotSinks();
  } catch (...) {
    return true;
  }
  bool allowed = true;
  for (IUnknown* unknown : sinks) {
    ComPtr<IPropertyNotifySink> sink;
    unknown->QueryInterface(IID_IPropertyNotifySink, reinterpret_cast<void**>(sink.Receive()));
    if (allowed && sink && sink->OnRequestEdit(id) == S_FALSE) allowed = false;
    unknown->Release();
  }
  return allowed;
}

void COleControl::PropertyChanged(DISPID id) {
  std::vector<IUnknown*> sinks;
  try {
    sinks = m_propertyNotifyPoint.SnapshotSinks();
  } catch (...) {
    return;
  }
  for (IUnknown* unknown : sinks) {
    ComPtr<IPropertyNotifySink> sink;
    unknown->QueryInterface(IID_IPropertyNotifySink, reinterpret_cast<void**>(sink.Receive()));
    if (sink) sink->OnChanged(id);
    unknown->Release();
  }
}

HRESULT COleControl::ThrowError(HRESULT code, const wchar_t* description) {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.Receive())) && create) {
    create->SetGUID(PrimaryDispatchIid());
    create->SetDescription(const_cast<LPOLESTR>(description));
    ComPtr<IErrorInfo> info = create.As<IErrorInfo>(IID_IErrorInfo);
    if (info) SetErrorInfo(0, info.Get());
  }
  return code;
}

// ---- Stock events ----

void COleControl::FireEvent(DISPID id, VARIANTARG* args, UINT count) {
  if (m_freezeEvents > 0) return;
  std::vector<IUnknown*> sinks;
  try {
    sinks = m_eventPoint.SnapshotSinks();
  } catch (...) {
    return;
  }
  // The control may be released by a handler; keep it until the loop ends.
  AddRef();
  for (IUnknown* unknown : sinks) {
    ComPtr<IDispatch> sink;
    unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(sink.Receive()));
    if (sink) {
      DISPPARAMS params{args, nullptr, count, 0};
      sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                   nullptr);
    }
    unknown->Release();
  }
  Release();
}

void COleControl::FireClick() { FireEvent(DISPID_CLICK, nullptr, 0); }
void COleControl::FireDblClick() { FireEvent(DISPID_DBLCLICK, nullptr, 0); }

// Arguments go in reverse order; key codes by reference so a handler can
// change or swallow them.
void COleControl::FireKeyDown(short& keyCode, short shift) {
  VARIANTARG args[2];
  V_VT(&args[1]) = VT_I2 | VT_BYREF;
  V_I2REF(&args[1]) = &keyCode;
  V_VT(&args[0]) = VT_I2;
  V_I2(&args[0]) = shift;
  FireEvent(DISPID_KEYDOWN, args, 2);
}

void COleControl::FireKeyUp(short& keyCode, short shift) {
  VARIANTARG args[2];
  V_VT(&args[1]) = VT_I2 | VT_BYREF;
  V_I2REF(&args[1]) = &keyCode;
  V_VT(&args[0]) = VT_I2;
  V_I2(&args[0]) = shift;
  FireEvent(DISPID_KEYUP, args, 2);
}

void COleControl::FireKeyPress(short& keyAscii) {
  VARIANTARG arg;
  V_VT(&arg) = VT_I2 | VT_BYREF;
  V_I2REF(&arg) = &keyAscii;
  FireEvent(DISPID_KEYPRESS, &arg, 1);
}

static void MouseArgs(VARIANTARG (&args)[4], short button, short shift, LONG x, LONG y) {
  V_VT(&args[3]) = VT_I2;
  V_I2(&args[3]) = button;
  V_VT(&args[2]) = VT_I2;
  V_I2(&args[2]) = shift;
  V_VT(&args[1]) = VT_I4;
  V_I4(&args[1]) = x;
  V_VT(&args[0]) = VT_I4;
  V_I4(&args[0]) = y;
}

void COleControl::FireMouseDown(short button, short shift, LONG x, LONG y) {
  VARIANTARG args[4];
  MouseArgs(args, button, shift, x, y);
  FireEvent(DISPID_MOUSEDOWN, args, 4);
}

void COleControl::FireMouseMove(short button, short shift, LONG x, LONG y) {
  VARIANTARG args[4];
  MouseArgs(args, button, shift, x, y);
  FireEvent(DISPID_MOUSEMOVE, args, 4);
}

// ---- Persistence ----

std::span<const PersistedProperty> COleControl::PersistedTable() {
  if (m_table.empty()) {
    std::span<const PersistedProperty> own = ControlProperties();
    m_table.reserve(std::size(kStockProperties) + own.size());
    m_table.assign(std::begin(kStockProperties), std::end(kStockProperties));
    m_table.insert(m_table.end(), own.begin(), own.end());
  }
  return m_table;
}

HRESULT COleControl::GetPersisted(const PersistedProperty& property, VARIANT* out) {
  VariantInit(out);
  switch (property.dispid) {
    case kExtentXId:
      V_VT(out) = VT_I4;
      V_I4(out) = m_extent.cx;
      return S_OK;
    case kExtentYId:
      V_VT(out) = VT_I4;
      V_I4(out) = m_extent.cy;
      return S_OK;
    case DISPID_BACKCOLOR:
      V_VT(out) = VT_I4;
      V_I4(out) = static_cast<LONG>(m_backColor);
      return S_OK;
    case DISPID_FORECOLOR:
      V_VT(out) = VT_I4;
      V_I4(out) = static_cast<LONG>(m_foreColor);
      return S_OK;
    case DISPID_BORDERSTYLE:
      V_VT(out) = VT_I2;
      V_I2(out) = m_borderStyle;
      return S_OK;
    case DISPID_FONT:
      return ComposeFont(m_font.GetFontDispatch(), out);
    default:
      return GetControlProperty(property, out);
  }
}

void COleControl::SetPersisted(const PersistedProperty& property, const VARIANT& value) {
  switch (property.dispid) {
    case kExtentXId:
      m_extent.cx = V_I4(&value);
      break;
    case kExtentYId:
      m_extent.cy = V_I4(&value);
      break;
    case DISPID_BACKCOLOR:
      m_backColor = static_cast<OLE_COLOR>(V_I4(&value));
      OnBackColorChanged();
      break;
    case DISPID_FORECOLOR:
      m_foreColor = static_cast<OLE_COLOR>(V_I4(&value));
      OnForeColorChanged();
      break;
    case DISPID_BORDERSTYLE:
      StoreBorderStyle(V_I2(&value) == 1 ? 1 : 0);
      break;
    case DISPID_FONT:
      m_font.InitializeFont(kStockFontDefault,
                            V_VT(&value) == VT_EMPTY ? nullptr : V_UNKNOWN(&value));
      OnFontChanged();
      break;
    default:
      SetControlProperty(property, value);
      break;
  }
}

void COleControl::OnResetState() {
  ResetToDefaults(PersistedTable(), *this);
  m_backColorSet = m_foreColorSet = m_fontSet = false;
}

// ---- Ambient values ----

void COleControl::ApplyAmbientValues(const AmbientValues& ambient) {
  if (!m_backColorSet && ambient.backColor && *ambient.backColor != m_backColor) {
    m_backColor = *ambient.backColor;
    OnBackColorChanged();
  }
  if (!m_foreColorSet && ambient.foreColor && *ambient.foreColor != m_foreColor) {
    m_foreColor = *ambient.foreColor;
    OnForeColorChanged();
  }
  if (!m_fontSet && ambient.font != nullptr) {
    // A copy: the container's font stays the container's.
    m_adoptingFont = true;
    m_font.InitializeFont(kStockFontDefault, ambient.font);
    m_adoptingFont = false;
    OnFontChanged();
  }
  const bool userMode = ambient.userMode.value_or(true);
  if (userMode != m_userMode) {
    m_userMode = userMode;
    OnUserModeChanged();
  }
}

void COleControl::ActivateForSelection() {
  if (!m_uiActive && m_clientSite) InPlaceActivate(OLEIVERB_UIACTIVATE, nullptr, nullptr);
}

void COleControl::RefreshAmbientValues() {
  if (!m_clientSite) return;
  ComPtr<IDispatch> ambient = m_clientSite.As<IDispatch>(IID_IDispatch);
  if (!ambient) return;
  auto read = [&](DISPID id, VARIANT* out) {
    VariantInit(out);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return SUCCEEDED(ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                     out, nullptr, nullptr));
  };
  AmbientValues values;
  VARIANT back, fore, font, user;
  OLE_COLOR color = 0;
  if (read(DISPID_AMBIENT_BACKCOLOR, &back) && SUCCEEDED(OleColorFromVariant(back, &color)))
    values.backColor = color;
  if (read(DISPID_AMBIENT_FORECOLOR, &fore) && SUCCEEDED(OleColorFromVariant(fore, &color)))
    values.foreColor = color;
  if (read(DISPID_AMBIENT_FONT, &font) && (V_VT(&font) == VT_DISPATCH || V_VT(&font) == VT_UNKNOWN))
    values.font = V_UNKNOWN(&font);
  // A site that answers with something else than a Boolean-like value is
  // taken as running the form.
  if (read(DISPID_AMBIENT_USERMODE, &user) &&
      SUCCEEDED(VariantChangeType(&user, &user, 0, VT_BOOL)))
    values.userMode = V_BOOL(&user) != VARIANT_FALSE;
  ApplyAmbientValues(values);
  VariantClear(&user);
  VariantClear(&back);
  VariantClear(&fore);
  VariantClear(&font);
}

STDMETHODIMP COleControl::GetClassID(CLSID* clsid) {
  return Guarded([&]() -> HRESULT {
    if (clsid == nullptr) return E_POINTER;
    *clsid = ClassId();
    return S_OK;
  });
}

STDMETHODIMP COleControl::IsDirty() {
  return Guarded([&]() -> HRESULT { return m_modified ? S_OK : S_FALSE; });
}

STDMETHODIMP COleControl::InitNew() {
  return Guarded([&] {
    OnResetState();
    RefreshAmbientValues();
    m_modified = false;
    return S_OK;
  });
}

STDMETHODIMP COleControl::Load(IStream* stream) {
  return Guarded([&] {
    HRESULT hr = LoadFromStream(Format(), PersistedTable(), *this, stream);
    // The stream holds every stock value: the stored state set them.
    m_backColorSet = m_foreColorSet = m_fontSet = true;
    if (SUCCEEDED(hr)) m_modified = false;
    InvalidateControl();
    return hr;
  });
}

STDMETHODIMP COleControl::Save(IStream* stream, BOOL clearDirty) {
  return Guarded([&] {
    HRESULT hr = SaveToStream(Format(), PersistedTable(), *this, stream);
    if (SUCCEEDED(hr) && clearDirty) m_modified = false;
    return hr;
  });
}

STDMETHODIMP COleControl::GetSizeMax(ULARGE_INTEGER* size) {
  return Guarded([&]() -> HRESULT {
    if (size == nullptr) return E_POINTER;
    return E_NOTIMPL;
  });
}

STDMETHODIMP COleControl::Load(IPropertyBag* bag, IErrorLog* log) {
  return Guarded([&] {
    // A stock value the bag holds is set; one it lacks (a page's <object>
    // without that PARAM) follows the container.
    const bool back = BagHolds(bag, L"BackColor"), fore = BagHolds(bag, L"ForeColor"),
               font = BagHolds(bag, L"Font");
    HRESULT hr = LoadFromPropertyBag(Format(), PersistedTable(), *this, bag, log);
    m_backColorSet = back;
    m_foreColorSet = fore;
    m_fontSet = font;
    RefreshAmbientValues();
    if (SUCCEEDED(hr)) m_modified = false;
    InvalidateControl();
    return hr;
  });
}

STDMETHODIMP COleControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) {
  return Guarded([&] {
    HRESULT hr = SaveToPropertyBag(Format(), PersistedTable(), *this, bag);
    if (SUCCEEDED(hr) && clearDirty) m_modified = false;
    return hr;
  });
}

// ---- Connection points ----

STDMETHODIMP COleControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return Guarded([&]() -> HRESULT {
    IConnectionPoint* const all[] = {&m_eventPoint, &m_propertyNotifyPoint};
    return CreateConnectionPointEnumerator(all, points);
  });
}

STDMETHODIMP COleControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  return Guarded([&]() -> HRESULT {
    if (point == nullptr) return E_POINTER;
    *point = nullptr;
    ConnectionPoint* found = nullptr;
    if (IsEqualIID(iid, m_eventPoint.Iid()))
      found = &m_eventPoint;
    else if (IsEqualIID(iid, IID_IPropertyNotifySink))
      found = &m_propertyNotifyPoint;
    if (found == nullptr) return CONNECT_E_NOCONNECTION;
    found->AddRef();
    *point = found;
    return S_OK;
  });
}

// ---- Class information and property pages ----

STDMETHODIMP COleControl::GetClassInfo(ITypeInfo** info) {
  return Guarded([&]() -> HRESULT {
    return GetTypeInfoOf(TypeLibrary(), ClassId(), LOCALE_USER_DEFAULT, info);
  });
}

STDMETHODIMP COleControl::GetGUID(DWORD kind, GUID* guid) {
  return Guarded([&]() -> HRESULT {
    if (guid == nullptr) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
      *guid = GUID_NULL;
      return E_INVALIDARG;
    }
    *guid = m_eventPoint.Iid();
    return S_OK;
  });
}

STDMETHODIMP COleControl::GetPages(CAUUID* pages) {
  return Guarded([&]() -> HRESULT {
    if (pages == nullptr) return E_POINTER;
    std::span<const CLSID* const> ids = PropertyPageIds();
    pages->cElems = 0;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * ids.size()));
    if (pages->pElems == nullptr) return E_OUTOFMEMORY;
    for (const CLSID* id : ids) pages->pElems[pages->cElems++] = *id;
    return S_OK;
  });
}

}  // namespace orvane
