#include "control/framework/type_library.h"

#include <oleauto.h>
#include <olectl.h>

#include <vector>

#include "control/framework/com_module.h"

namespace orvane {
namespace {

struct CachedLibrary {
  const GUID* libid;
  LCID lcid;
  ITypeLib* lib;
};

std::vector<CachedLibrary>& Cache() {
  static std::vector<CachedLibrary> cache;
  return cache;
}

HRESULT LoadLibraryFor(const TypeLibraryId& library, LCID lcid, ITypeLib** out) {
  for (const CachedLibrary& entry : Cache()) {
    if (IsEqualGUID(*entry.libid, *library.libid) && entry.lcid == lcid) {
      entry.lib->AddRef();
      *out = entry.lib;
      return S_OK;
    }
  }
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadRegTypeLib(*library.libid, library.major, library.minor, lcid, &lib);
  if (FAILED(hr)) {
    std::wstring module = ComModule::FileName();
    if (module.empty()) return hr;
    hr = LoadTypeLibEx(module.c_str(), REGKIND_NONE, &lib);
    if (FAILED(hr)) return hr;
  }
  try {
    Cache().push_back({library.libid, lcid, lib});
    lib->AddRef();
  } catch (...) {
    // Uncached is still usable.
  }
  *out = lib;
  return S_OK;
}

// A description for a refusal that came without one: the control's own
// refusals, then the failures any member may return.
const wchar_t* DescriptionOf(SCODE code) {
  switch (code) {
    case CTL_E_INVALIDPROPERTYVALUE:
      return L"Invalid property value.";
    case CTL_E_SETNOTSUPPORTED:
      return L"Set not supported.";
    case CTL_E_SETNOTPERMITTED:
      return L"Set not permitted.";
    case CTL_E_GETNOTSUPPORTED:
      return L"Get not supported.";
    case E_OUTOFMEMORY:
      return L"Out of memory.";
    case E_POINTER:
    case E_INVALIDARG:
      return L"Invalid argument.";
    default:
      return L"Unexpected error.";
  }
}

bool IsEmpty(BSTR text) { return text == nullptr || SysStringLen(text) == 0; }

// Gives a refusal its source and description where the member left them
// out, and puts the same details in the thread's error object, so that a
// script sees the control's own message and a host that asks the error
// object finds what the exception said.
void CompleteRefusal(EXCEPINFO& details, const wchar_t* source, const IID& iid) {
  if (details.pfnDeferredFillIn) {
    details.pfnDeferredFillIn(&details);
    details.pfnDeferredFillIn = nullptr;
  }
  if (details.scode == 0 && details.wCode == 0) details.scode = E_UNEXPECTED;
  // An argument that does not convert (a colour past 32 bits, text for a
  // number) is refused with the dispatch codes every automation object
  // uses; script engines turn those into their own errors (6, 13) only
  // when no description comes with them.
  if (HRESULT_FACILITY(details.scode) == FACILITY_DISPATCH) return;
  if (IsEmpty(details.bstrSource)) {
    SysFreeString(details.bstrSource);
    details.bstrSource = SysAllocString(source);
  }
  if (IsEmpty(details.bstrDescription)) {
    SysFreeString(details.bstrDescription);
    details.bstrDescription = SysAllocString(DescriptionOf(details.scode));
  }
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create)) || create == nullptr) return;
  create->SetGUID(iid);
  create->SetSource(details.bstrSource);
  create->SetDescription(details.bstrDescription);
  create->SetHelpFile(details.bstrHelpFile);
  create->SetHelpContext(details.dwHelpContext);
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info))) && info) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

}  // namespace

HRESULT GetTypeInfoOf(const TypeLibraryId& library, REFGUID guid, LCID lcid, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadLibraryFor(library, lcid, &lib);
  if (FAILED(hr)) return hr;
  hr = lib->GetTypeInfoOfGuid(guid, out);
  lib->Release();
  return hr;
}

void ReleaseTypeLibraryCache() {
  for (CachedLibrary& entry : Cache()) entry.lib->Release();
  Cache().clear();
}

HRESULT TypeInfoDispatch::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT TypeInfoDispatch::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return GetTypeInfoOf(m_library, m_dispatchIid, lcid, out);
}

HRESULT TypeInfoDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                        DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (count > 0 && (names == nullptr || ids == nullptr)) return E_POINTER;
  for (UINT i = 0; i < count; ++i)
    if (names[i] == nullptr) return E_POINTER;
  ITypeInfo* info = nullptr;
  HRESULT hr = GetTypeInfoOf(m_library, m_vtableIid, lcid, &info);
  if (FAILED(hr)) return hr;
  hr = DispGetIDsOfNames(info, names, count, ids);
  info->Release();
  return hr;
}

HRESULT TypeInfoDispatch::Invoke(void* object, DISPID id, REFIID iid, LCID lcid, WORD flags,
                                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                 UINT* argError) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  // A host may pass no parameter block for a call without arguments. The
  // block is checked before the type information is taken, which a refusal
  // would otherwise leave unreleased.
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (params == nullptr) params = &none;
  if ((params->cArgs > 0 && params->rgvarg == nullptr) ||
      (params->cNamedArgs > 0 && params->rgdispidNamedArgs == nullptr) ||
      params->cNamedArgs > params->cArgs)
    return E_INVALIDARG;
  ITypeInfo* info = nullptr;
  HRESULT hr = GetTypeInfoOf(m_library, m_vtableIid, lcid, &info);
  if (FAILED(hr)) return hr;
  // The members raise errors through the error object; clear any stale one.
  SetErrorInfo(0, nullptr);
  // The details are always asked for, so that a refusal is completed even
  // for a host that passed no place for them.
  EXCEPINFO local{};
  EXCEPINFO* details = exception ? exception : &local;
  hr = DispInvoke(object, info, id, flags, params, result, details, argError);
  info->Release();
  if (hr == DISP_E_EXCEPTION) CompleteRefusal(*details, m_source, m_dispatchIid);
  if (details == &local) {
    SysFreeString(local.bstrSource);
    SysFreeString(local.bstrDescription);
    SysFreeString(local.bstrHelpFile);
  }
  return hr;
}

}  // namespace orvane
