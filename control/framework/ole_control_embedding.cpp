// COleControl: embedding in a container, in-place activation, the control
// interface and drawing into a container's device context.
#include "control/framework/ole_control.h"

#include "control/framework/com_module.h"

namespace orvane {
namespace {

LONG HimetricFromPixels(LONG pixels, int pixelsPerInch) {
  return MulDiv(pixels, 2540, pixelsPerInch);
}

}  // namespace

// ---- IOleObject ----

STDMETHODIMP COleControl::SetClientSite(IOleClientSite* site) {
  if (site == nullptr) {
    InPlaceDeactivate();
  }
  m_clientSite = site;
  if (site == nullptr) return S_OK;
  return Guarded([&] {
    RefreshAmbientValues();
    return S_OK;
  });
}

STDMETHODIMP COleControl::GetClientSite(IOleClientSite** site) {
  return Guarded([&]() -> HRESULT {
    if (site == nullptr) return E_POINTER;
    *site = m_clientSite.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
  });
}

STDMETHODIMP COleControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP COleControl::Close(DWORD saveOption) {
  return Guarded([&]() -> HRESULT {
    if (m_clientSite && m_modified &&
        (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
      m_clientSite->SaveObject();
    InPlaceDeactivate();
    if (m_adviseHolder) m_adviseHolder->SendOnClose();
    return S_OK;
  });
}

STDMETHODIMP COleControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP COleControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  return Guarded([&]() -> HRESULT {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  });
}

STDMETHODIMP COleControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP COleControl::GetClipboardData(DWORD, IDataObject** data) {
  return Guarded([&]() -> HRESULT {
    if (data) *data = nullptr;
    return E_NOTIMPL;
  });
}

STDMETHODIMP COleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                 LPCRECT pos) {
  if (site != nullptr && !m_clientSite) m_clientSite = site;
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return Guarded([&] { return InPlaceActivate(verb, parent, pos); });
    case OLEIVERB_HIDE:
      if (m_hWnd) ShowWindow(m_reflector, SW_HIDE);
      return S_OK;
    case OLEIVERB_PROPERTIES:
      return Guarded([&] { return ShowPropertyFrame(parent); });
    case OLEIVERB_OPEN:
    case OLEIVERB_DISCARDUNDOSTATE:
      return S_OK;
    default:
      return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
  }
}

STDMETHODIMP COleControl::Update() { return S_OK; }
STDMETHODIMP COleControl::IsUpToDate() { return S_OK; }

STDMETHODIMP COleControl::GetUserClassID(CLSID* clsid) {
  return Guarded([&]() -> HRESULT { return GetClassID(clsid); });
}

STDMETHODIMP COleControl::GetUserType(DWORD form, LPOLESTR* name) {
  if (name == nullptr) return E_POINTER;
  *name = nullptr;
  return Guarded([&]() -> HRESULT {
    std::wstring text = LoadModuleString(UserTypeNameId());
    if (text.empty()) return OleRegGetUserType(ClassId(), form, name);
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (*name == nullptr) return E_OUTOFMEMORY;
    memcpy(*name, text.c_str(), bytes);
    return S_OK;
  });
}

STDMETHODIMP COleControl::SetExtent(DWORD aspect, SIZEL* size) {
  return Guarded([&]() -> HRESULT {
    if (size == nullptr) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (size->cx < 0 || size->cy < 0) return E_INVALIDARG;
    if (m_extent.cx != size->cx || m_extent.cy != size->cy) {
      m_extent = *size;
      SetModifiedFlag();
    }
    return S_OK;
  });
}

STDMETHODIMP COleControl::GetExtent(DWORD aspect, SIZEL* size) {
  return Guarded([&]() -> HRESULT {
    if (size == nullptr) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = m_extent;
    return S_OK;
  });
}

STDMETHODIMP COleControl::Advise(IAdviseSink* sink, DWORD* cookie) {
  return Guarded([&]() -> HRESULT {
    if (cookie == nullptr) return E_POINTER;
    *cookie = 0;
    if (!m_adviseHolder) {
      HRESULT hr = CreateOleAdviseHolder(m_adviseHolder.Receive());
      if (FAILED(hr)) return hr;
    }
    return m_adviseHolder->Advise(sink, cookie);
  });
}

STDMETHODIMP COleControl::Unadvise(DWORD cookie) {
  return Guarded([&]() -> HRESULT {
    if (!m_adviseHolder) return OLE_E_NOCONNECTION;
    return m_adviseHolder->Unadvise(cookie);
  });
}

STDMETHODIMP COleControl::EnumAdvise(IEnumSTATDATA** advises) {
  return Guarded([&]() -> HRESULT {
    if (advises == nullptr) return E_POINTER;
    *advises = nullptr;
    if (!m_adviseHolder) return E_FAIL;
    return m_adviseHolder->EnumAdvise(advises);
  });
}

STDMETHODIMP COleControl::GetMiscStatus(DWORD, DWORD* status) {
  return Guarded([&]() -> HRESULT {
    if (status == nullptr) return E_POINTER;
    *status = MiscStatus();
    return S_OK;
  });
}

STDMETHODIMP COleControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---- In-place activation ----

HRESULT COleControl::InPlaceActivate(LONG verb, HWND parentHint, LPCRECT posHint) {
  if (!m_inPlaceActive) {
    if (!m_clientSite) return E_UNEXPECTED;
    ComPtr<IOleInPlaceSite> site = m_clientSite.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!site) return E_NOINTERFACE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    site->OnInPlaceActivate();
    m_inPlaceSite = site;
    m_inPlaceActive = true;
  }

  HWND parent = nullptr;
  if (FAILED(m_inPlaceSite->GetWindow(&parent)) || parent == nullptr) parent = parentHint;
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> document;
  RECT pos{}, clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  if (FAILED(m_inPlaceSite->GetWindowContext(frame.Receive(), document.Receive(), &pos, &clip,
                                             &frameInfo)) &&
      posHint != nullptr)
    pos = *posHint;

  if (m_hWnd == nullptr) {
    if (parent == nullptr || !CreateControlWindow(parent, pos)) {
      InPlaceDeactivate();
      return E_FAIL;
    }
  } else {
    SetObjectRects(&pos, &clip);
  }
  ShowWindow(m_reflector, SW_SHOWNA);

  if (verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY) {
    if (!m_uiActive) {
      m_uiActive = true;
      m_inPlaceSite->OnUIActivate();
      if (frame) frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
      if (document) document->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    }
    SetFocus(m_hWnd);
  }
  return S_OK;
}

STDMETHODIMP COleControl::GetWindow(HWND* window) {
  return Guarded([&]() -> HRESULT {
    if (window == nullptr) return E_POINTER;
    *window = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
  });
}

STDMETHODIMP COleControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP COleControl::InPlaceDeactivate() {
  return Guarded([&]() -> HRESULT {
    if (!m_inPlaceActive) return S_OK;
    UIDeactivate();
    m_inPlaceActive = false;
    DestroyControlWindow();
    ComPtr<IOleInPlaceSite> site = m_inPlaceSite;
    m_inPlaceSite.Reset();
    if (site) site->OnInPlaceDeactivate();
    return S_OK;
  });
}

STDMETHODIMP COleControl::UIDeactivate() {
  return Guarded([&]() -> HRESULT {
    if (!m_uiActive) return S_OK;
    m_uiActive = false;
    if (m_inPlaceSite) {
      ComPtr<IOleInPlaceFrame> frame;
      ComPtr<IOleInPlaceUIWindow> document;
      RECT pos{}, clip{};
      OLEINPLACEFRAMEINFO frameInfo{};
      frameInfo.cb = sizeof frameInfo;
      if (SUCCEEDED(m_inPlaceSite->GetWindowContext(frame.Receive(), document.Receive(), &pos,
                                                    &clip, &frameInfo))) {
        if (document) document->SetActiveObject(nullptr, nullptr);
        if (frame) frame->SetActiveObject(nullptr, nullptr);
      }
      m_inPlaceSite->OnUIDeactivate(FALSE);
    }
    return S_OK;
  });
}

STDMETHODIMP COleControl::SetObjectRects(LPCRECT pos, LPCRECT) {
  return Guarded([&]() -> HRESULT {
    if (pos == nullptr) return E_POINTER;
    if (m_reflector) {
      int width = pos->right - pos->left;
      int height = pos->bottom - pos->top;
      MoveWindow(m_reflector, pos->left, pos->top, width, height, TRUE);
      MoveWindow(m_hWnd, 0, 0, width, height, TRUE);
    }
    HDC screen = GetDC(nullptr);
    SIZEL extent{HimetricFromPixels(pos->right - pos->left, GetDeviceCaps(screen, LOGPIXELSX)),
                 HimetricFromPixels(pos->bottom - pos->top, GetDeviceCaps(screen, LOGPIXELSY))};
    ReleaseDC(nullptr, screen);
    m_extent = extent;
    return S_OK;
  });
}

STDMETHODIMP COleControl::ReactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP COleControl::TranslateAccelerator(LPMSG) { return S_FALSE; }
STDMETHODIMP COleControl::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP COleControl::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP COleControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP COleControl::EnableModeless(BOOL) { return S_OK; }

// ---- IOleControl ----

STDMETHODIMP COleControl::GetControlInfo(CONTROLINFO* info) {
  return Guarded([&]() -> HRESULT {
    if (info == nullptr) return E_POINTER;
    // No mnemonics: the control takes no keyboard shortcuts of its own.
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
  });
}

STDMETHODIMP COleControl::OnMnemonic(MSG*) { return S_OK; }
STDMETHODIMP COleControl::OnAmbientPropertyChange(DISPID id) {
  if (id == DISPID_UNKNOWN || id == DISPID_AMBIENT_BACKCOLOR || id == DISPID_AMBIENT_FORECOLOR ||
      id == DISPID_AMBIENT_FONT || id == DISPID_AMBIENT_USERMODE)
    return Guarded([&] {
      RefreshAmbientValues();
      return S_OK;
    });
  return S_OK;
}

STDMETHODIMP COleControl::FreezeEvents(BOOL freeze) {
  return Guarded([&]() -> HRESULT {
    if (freeze)
      ++m_freezeEvents;
    else if (m_freezeEvents > 0)
      --m_freezeEvents;
    return S_OK;
  });
}

// ---- IViewObject2 ----

STDMETHODIMP COleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                               LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                               ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (dc == nullptr) return E_INVALIDARG;
  RECT rect{};
  if (bounds != nullptr)
    rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  else if (m_hWnd)
    GetClientRect(m_hWnd, &rect);
  return Guarded([&] {
    if (m_hWnd) {
      OnDraw(dc, rect, rect);
    } else {
      // Without a window there is no list to paint: the background only.
      HBRUSH brush = CreateSolidBrush(TranslateColor(m_backColor));
      FillRect(dc, &rect, brush);
      DeleteObject(brush);
    }
    return S_OK;
  });
}

STDMETHODIMP COleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                      LOGPALETTE** colors) {
  return Guarded([&]() -> HRESULT {
    if (colors) *colors = nullptr;
    return S_FALSE;
  });
}

STDMETHODIMP COleControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
  return Guarded([&]() -> HRESULT {
    if (freeze) *freeze = 0;
    return E_NOTIMPL;
  });
}

STDMETHODIMP COleControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP COleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  return Guarded([&]() -> HRESULT {
    m_viewAspects = aspects;
    m_viewFlags = flags;
    m_viewSink = sink;
    return S_OK;
  });
}

STDMETHODIMP COleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  return Guarded([&]() -> HRESULT {
    if (aspects) *aspects = m_viewAspects;
    if (flags) *flags = m_viewFlags;
    if (sink) {
      *sink = m_viewSink.Get();
      if (*sink) (*sink)->AddRef();
    }
    return S_OK;
  });
}

STDMETHODIMP COleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return Guarded([&]() -> HRESULT { return GetExtent(aspect, size); });
}

void COleControl::SendViewChange() {
  if (m_viewSink) m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
}

}  // namespace orvane
