// COleControl: what containers expect of a control beyond embedding and
// persistence to a stream: its verbs and the property frame they open, names
// for enumerated values in property browsers, quick activation, and
// persistence to a compound document's storage.
#include "control/framework/ole_control.h"

#include <oleauto.h>

#include <cwchar>
#include <new>
#include <span>
#include <vector>

#include "control/framework/com_module.h"
#include "control/framework/property_frame.h"

namespace orvane {
namespace {

// The verbs a container lists on the control's menu.
const OLEVERB kVerbs[] = {
    {OLEIVERB_PRIMARY, const_cast<LPOLESTR>(L"&Edit"), 0, OLEVERBATTRIB_ONCONTAINERMENU},
    {OLEIVERB_PROPERTIES, const_cast<LPOLESTR>(L"&Properties..."), 0,
     OLEVERBATTRIB_ONCONTAINERMENU},
};

LPOLESTR CoTaskCopy(const wchar_t* text) {
  const size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (copy) memcpy(copy, text, bytes);
  return copy;
}

class VerbEnumerator : public ComBase<VerbEnumerator, IEnumOLEVERB> {
 public:
  explicit VerbEnumerator(ULONG position = 0) : m_position(position) {}

  static std::span<const InterfaceEntry> Interfaces() {
    static constexpr InterfaceEntry kTable[] = {
        {&IID_IEnumOLEVERB, &CastTo<VerbEnumerator, IEnumOLEVERB>}};
    return kTable;
  }

  STDMETHODIMP Next(ULONG count, OLEVERB* verbs, ULONG* fetched) override {
    return Guarded([&]() -> HRESULT {
      if (fetched) *fetched = 0;
      if (count == 0) return S_OK;
      if (verbs == nullptr || (count > 1 && fetched == nullptr)) return E_POINTER;
      ULONG done = 0;
      while (done < count && m_position < std::size(kVerbs)) {
        verbs[done] = kVerbs[m_position];
        // The caller frees each name with CoTaskMemFree.
        verbs[done].lpszVerbName = CoTaskCopy(kVerbs[m_position].lpszVerbName);
        if (verbs[done].lpszVerbName == nullptr) {
          for (ULONG i = 0; i < done; ++i) CoTaskMemFree(verbs[i].lpszVerbName);
          return E_OUTOFMEMORY;
        }
        ++done;
        ++m_position;
      }
      if (fetched) *fetched = done;
      return done == count ? S_OK : S_FALSE;
    });
  }
  STDMETHODIMP Skip(ULONG count) override {
    return Guarded([&]() -> HRESULT {
      const ULONG left = static_cast<ULONG>(std::size(kVerbs)) - m_position;
      m_position += count < left ? count : left;
      return count <= left ? S_OK : S_FALSE;
    });
  }
  STDMETHODIMP Reset() override {
    return Guarded([&]() -> HRESULT {
      m_position = 0;
      return S_OK;
    });
  }
  STDMETHODIMP Clone(IEnumOLEVERB** copy) override {
    return Guarded([&]() -> HRESULT {
      if (copy == nullptr) return E_POINTER;
      *copy = new (std::nothrow) VerbEnumerator(m_position);
      return *copy ? S_OK : E_OUTOFMEMORY;
    });
  }

 private:
  ULONG m_position;
};

// The stream inside a storage that holds the control's persisted state, in
// the same format as IPersistStreamInit writes.
constexpr wchar_t kContentsStream[] = L"Contents";

}  // namespace

// ---- Verbs ----

STDMETHODIMP COleControl::EnumVerbs(IEnumOLEVERB** verbs) {
  return Guarded([&]() -> HRESULT {
    if (verbs == nullptr) return E_POINTER;
    *verbs = new (std::nothrow) VerbEnumerator();
    return *verbs ? S_OK : E_OUTOFMEMORY;
  });
}

HRESULT COleControl::ShowPropertyFrame(HWND parentHint) {
  // A container that has a frame of its own shows it (forms designers
  // gather the pages of every selected control in it).
  if (m_clientSite) {
    ComPtr<IOleControlSite> controlSite = m_clientSite.As<IOleControlSite>(IID_IOleControlSite);
    if (controlSite && controlSite->ShowPropertyFrame() == S_OK) return S_OK;
  }
  HWND parent = parentHint;
  if (parent == nullptr && m_inPlaceSite) m_inPlaceSite->GetWindow(&parent);
  if (parent == nullptr && m_hWnd != nullptr) parent = GetParent(m_reflector);
  CAUUID pages{};
  HRESULT hr = GetPages(&pages);
  if (FAILED(hr)) return hr;
  std::wstring caption = LoadModuleString(UserTypeNameId()) + L" Properties";
  // Modal: returns when the user closes the frame. The framework's own frame
  // applies the pages on every system; pages that cannot be made (Wine has
  // no standard colour and font pages) are left out.
  hr = ShowModalPropertyFrame(
      parent, caption.c_str(), Identity(), std::span<const CLSID>(pages.pElems, pages.cElems),
      LOCALE_USER_DEFAULT,
      [this](const CLSID& clsid, IPropertyPage** page) { return CreatePropertyPage(clsid, page); });
  CoTaskMemFree(pages.pElems);
  return hr;
}

HRESULT COleControl::CreatePropertyPage(const CLSID& clsid, IPropertyPage** page) {
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                          reinterpret_cast<void**>(page));
}

// ---- IPerPropertyBrowsing ----

const EnumeratedProperty* COleControl::FindEnumeratedProperty(DISPID id) const {
  for (const EnumeratedProperty& property : EnumeratedProperties())
    if (property.dispid == id) return &property;
  return nullptr;
}

STDMETHODIMP COleControl::GetDisplayString(DISPID id, BSTR* text) {
  return Guarded([&]() -> HRESULT {
    if (text == nullptr) return E_POINTER;
    *text = nullptr;
    const EnumeratedProperty* property = FindEnumeratedProperty(id);
    if (property == nullptr) return E_NOTIMPL;
    VARIANT value;
    VariantInit(&value);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    HRESULT hr = AutomationDispatch()->Invoke(
        id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&value, &value, 0, VT_I4);
    if (FAILED(hr)) {
      VariantClear(&value);
      return hr;
    }
    // A stored value outside the enumeration shows as its number.
    std::wstring shown = std::to_wstring(V_I4(&value));
    for (const EnumeratedValue& entry : property->values)
      if (entry.value == V_I4(&value)) shown = entry.display;
    *text = SysAllocString(shown.c_str());
    return *text ? S_OK : E_OUTOFMEMORY;
  });
}

STDMETHODIMP COleControl::MapPropertyToPage(DISPID id, CLSID* page) {
  return Guarded([&]() -> HRESULT {
    if (page == nullptr) return E_POINTER;
    *page = CLSID_NULL;
    const CLSID* found = PageOfProperty(id);
    if (found == nullptr) return PERPROP_E_NOPAGEAVAILABLE;
    *page = *found;
    return S_OK;
  });
}

STDMETHODIMP COleControl::GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies) {
  return Guarded([&]() -> HRESULT {
    if (strings == nullptr || cookies == nullptr) return E_POINTER;
    *strings = {};
    *cookies = {};
    const EnumeratedProperty* property = FindEnumeratedProperty(id);
    if (property == nullptr) return E_NOTIMPL;
    const size_t count = property->values.size();
    auto* names = static_cast<LPOLESTR*>(CoTaskMemAlloc(sizeof(LPOLESTR) * count));
    auto* values = static_cast<DWORD*>(CoTaskMemAlloc(sizeof(DWORD) * count));
    bool ok = names != nullptr && values != nullptr;
    size_t made = 0;
    for (; ok && made < count; ++made) {
      names[made] = CoTaskCopy(property->values[made].display);
      // The cookie is the value itself, so that it stays valid whatever the
      // browser kept from an earlier call.
      values[made] = static_cast<DWORD>(property->values[made].value);
      ok = names[made] != nullptr;
    }
    if (!ok) {
      for (size_t i = 0; names != nullptr && i < made; ++i) CoTaskMemFree(names[i]);
      CoTaskMemFree(names);
      CoTaskMemFree(values);
      return E_OUTOFMEMORY;
    }
    strings->cElems = static_cast<ULONG>(count);
    strings->pElems = names;
    cookies->cElems = static_cast<ULONG>(count);
    cookies->pElems = values;
    return S_OK;
  });
}

STDMETHODIMP COleControl::GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    VariantInit(value);
    const EnumeratedProperty* property = FindEnumeratedProperty(id);
    if (property == nullptr) return E_NOTIMPL;
    for (const EnumeratedValue& entry : property->values) {
      if (static_cast<DWORD>(entry.value) == cookie) {
        V_VT(value) = VT_I4;
        V_I4(value) = entry.value;
        return S_OK;
      }
    }
    return E_INVALIDARG;
  });
}

// ---- IPersistStorage ----

STDMETHODIMP COleControl::InitNew(IStorage* storage) {
  return Guarded([&]() -> HRESULT {
    if (storage == nullptr) return E_POINTER;
    return InitNew();
  });
}

STDMETHODIMP COleControl::Load(IStorage* storage) {
  return Guarded([&]() -> HRESULT {
    if (storage == nullptr) return E_POINTER;
    ComPtr<IStream> stream;
    HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                     stream.Receive());
    if (FAILED(hr)) return hr;
    return Load(stream.Get());
  });
}

STDMETHODIMP COleControl::Save(IStorage* storage, BOOL) {
  return Guarded([&]() -> HRESULT {
    if (storage == nullptr) return E_POINTER;
    ComPtr<IStream> stream;
    HRESULT hr = storage->CreateStream(
        kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.Receive());
    if (FAILED(hr)) return hr;
    hr = Save(stream.Get(), FALSE);
    if (FAILED(hr)) return hr;
    // The dirty flag is cleared by SaveCompleted, when the container is done.
    return S_OK;
  });
}

STDMETHODIMP COleControl::SaveCompleted(IStorage*) {
  return Guarded([&]() -> HRESULT {
    SetModifiedFlag(false);
    return S_OK;
  });
}

STDMETHODIMP COleControl::HandsOffStorage() {
  // The control keeps no storage open between calls.
  return S_OK;
}

// ---- IQuickActivate ----

STDMETHODIMP COleControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  return Guarded([&]() -> HRESULT {
    if (container == nullptr || control == nullptr) return E_POINTER;
    // Containers built for an older, smaller QACONTAINER are answered as far
    // as their structure goes.
    if (container->cbSize < offsetof(QACONTAINER, pOleControlSite) ||
        control->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy))
      return E_INVALIDARG;
    // Only the fields this structure has are cleared and filled, whatever
    // size the caller claims.
    const ULONG controlSize = control->cbSize < sizeof(QACONTROL)
                                  ? control->cbSize
                                  : static_cast<ULONG>(sizeof(QACONTROL));
    memset(reinterpret_cast<BYTE*>(control) + sizeof(ULONG), 0, controlSize - sizeof(ULONG));

    if (container->pClientSite) {
      HRESULT hr = SetClientSite(container->pClientSite);
      if (FAILED(hr)) return hr;
    }
    if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    if (container->pUnkEventSink)
      m_eventPoint.Advise(container->pUnkEventSink, &control->dwEventCookie);
    if (container->pPropertyNotifySink)
      m_propertyNotifyPoint.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);

    // The ambient values arrive with the call; the site may not answer them.
    AmbientValues ambient;
    ambient.backColor = container->colorBack;
    ambient.foreColor = container->colorFore;
    ambient.font = container->pFont;
    ambient.userMode = (container->dwAmbientFlags & QACONTAINER_USERMODE) != 0;
    ApplyAmbientValues(ambient);

    control->dwMiscStatus = MiscStatus();
    control->dwViewStatus = 0;
    if (controlSize >= sizeof(QACONTROL)) control->dwPointerActivationPolicy = 0;
    return S_OK;
  });
}

STDMETHODIMP COleControl::SetContentExtent(LPSIZEL size) {
  return Guarded([&]() -> HRESULT { return SetExtent(DVASPECT_CONTENT, size); });
}

STDMETHODIMP COleControl::GetContentExtent(LPSIZEL size) {
  return Guarded([&]() -> HRESULT { return GetExtent(DVASPECT_CONTENT, size); });
}

}  // namespace orvane
