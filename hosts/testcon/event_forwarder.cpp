#include "hosts/testcon/event_forwarder.h"

#include <olectl.h>

#include <vector>

namespace testcon {
namespace {

const wchar_t* StockEventName(DISPID id) {
  switch (id) {
    case DISPID_CLICK:
      return L"Click";
    case DISPID_DBLCLICK:
      return L"DblClick";
    case DISPID_KEYDOWN:
      return L"KeyDown";
    case DISPID_KEYPRESS:
      return L"KeyPress";
    case DISPID_KEYUP:
      return L"KeyUp";
    case DISPID_MOUSEDOWN:
      return L"MouseDown";
    case DISPID_MOUSEMOVE:
      return L"MouseMove";
    case DISPID_MOUSEUP:
      return L"MouseUp";
    default:
      return nullptr;
  }
}

}  // namespace

ComPtr<ITypeInfo> EventTypeInfoOf(IUnknown* object) {
  ComPtr<ITypeInfo> result;
  ComPtr<IProvideClassInfo> provider;
  if (object == nullptr || FAILED(object->QueryInterface(IID_IProvideClassInfo, OutSlot(provider))))
    return result;
  ComPtr<ITypeInfo> classInfo;
  if (FAILED(provider->GetClassInfo(classInfo.Receive())) || !classInfo) return result;
  TYPEATTR* attr = nullptr;
  if (FAILED(classInfo->GetTypeAttr(&attr))) return result;
  const WORD count = attr->cImplTypes;
  classInfo->ReleaseTypeAttr(attr);
  for (UINT i = 0; i < count; ++i) {
    INT flags = 0;
    if (FAILED(classInfo->GetImplTypeFlags(i, &flags))) continue;
    if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
        (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
      continue;
    HREFTYPE ref = 0;
    if (SUCCEEDED(classInfo->GetRefTypeOfImplType(i, &ref)))
      classInfo->GetRefTypeInfo(ref, result.Receive());
    break;
  }
  return result;
}

EventForwarder::EventForwarder(std::wstring itemName, const IID& eventIid, ITypeInfo* eventInfo,
                               ScriptErrors& errors)
    : m_itemName(std::move(itemName)),
      m_eventIid(eventIid),
      m_eventInfo(eventInfo),
      m_errors(errors) {}

std::span<const InterfaceEntry> EventForwarder::Interfaces() {
  static const InterfaceEntry kTable[] = {{&IID_IDispatch, &CastTo<EventForwarder, IDispatch>}};
  return kTable;
}

void* EventForwarder::QueryExtraInterface(REFIID iid) {
  return IsEqualIID(iid, m_eventIid) ? static_cast<IDispatch*>(this) : nullptr;
}

STDMETHODIMP EventForwarder::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = m_eventInfo ? 1 : 0;
  return S_OK;
}

STDMETHODIMP EventForwarder::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0 || !m_eventInfo) return DISP_E_BADINDEX;
  *info = m_eventInfo.Get();
  (*info)->AddRef();
  return S_OK;
}

STDMETHODIMP EventForwarder::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr) return E_POINTER;
  if (m_eventInfo) return m_eventInfo->GetIDsOfNames(names, count, ids);
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

std::wstring EventForwarder::EventName(DISPID id) const {
  if (m_eventInfo) {
    BSTR name = nullptr;
    UINT found = 0;
    if (SUCCEEDED(m_eventInfo->GetNames(id, &name, 1, &found)) && found == 1 && name) {
      std::wstring text(name, SysStringLen(name));
      SysFreeString(name);
      return text;
    }
  }
  const wchar_t* stock = StockEventName(id);
  return stock ? stock : L"";
}

// Arguments the control passes by reference (KeyCode) reach the script as
// references to variants, so a handler may change them as the event's
// contract allows; the changed values go back into the control's variables.
STDMETHODIMP EventForwarder::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO*, UINT*) {
  if (result != nullptr) VariantInit(result);
  if (!m_script) return S_OK;
  try {
    std::wstring handler = m_itemName + L"_" + EventName(id);
    if (handler.size() == m_itemName.size() + 1) return S_OK;
    ComPtr<IDispatch> scriptDispatch;
    if (FAILED(m_script->GetScriptDispatch(nullptr, scriptDispatch.Receive())) || !scriptDispatch)
      return S_OK;
    DISPID handlerId = DISPID_UNKNOWN;
    LPOLESTR name = handler.data();
    if (FAILED(scriptDispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &handlerId)))
      return S_OK;

    const UINT count = params ? params->cArgs : 0;
    std::vector<VARIANT> values(count), args(count);
    for (UINT i = 0; i < count; ++i) {
      VariantInit(&values[i]);
      VariantInit(&args[i]);
      VARIANT& source = params->rgvarg[i];
      if (V_VT(&source) & VT_BYREF) {
        VariantCopyInd(&values[i], &source);
        V_VT(&args[i]) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&args[i]) = &values[i];
      } else {
        VariantCopy(&args[i], &source);
      }
    }
    DISPPARAMS call{count ? args.data() : nullptr, nullptr, count, 0};
    EXCEPINFO exception{};
    ScopedVariant ignored;
    HRESULT hr = scriptDispatch->Invoke(handlerId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                        &call, &ignored.v, &exception, nullptr);
    if (hr == DISP_E_EXCEPTION) m_errors.ReportException(handler, hr, &exception);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);

    for (UINT i = 0; i < count; ++i) {
      VARIANT& source = params->rgvarg[i];
      const VARTYPE target = V_VT(&source) & ~VT_BYREF;
      if ((V_VT(&source) & VT_BYREF) && target == VT_I2 &&
          SUCCEEDED(VariantChangeType(&values[i], &values[i], 0, VT_I2)))
        *V_I2REF(&source) = V_I2(&values[i]);
      VariantClear(&values[i]);
      VariantClear(&args[i]);
    }
  } catch (...) {
    // An event must never fail the control that fired it.
  }
  return S_OK;
}

}  // namespace testcon
