// Type information for the module's objects, from the type library: the
// registered one when there is one, else the copy embedded in the module, so
// that an object made before registration still answers. Loaded libraries
// are kept per locale until the module may unload.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace orvane {

struct TypeLibraryId {
  const GUID* libid;
  WORD major;
  WORD minor;
};

// The type information of `guid` in the library; S_OK with an added
// reference, or the failure of loading.
HRESULT GetTypeInfoOf(const TypeLibraryId& library, REFGUID guid, LCID lcid, ITypeInfo** out);

// Drops every cached library (the module is about to unload).
void ReleaseTypeLibraryCache();

// IDispatch for an object whose automation members are the vtable interface
// `vtableIid`, presented to hosts as the dispatch interface `dispatchIid`
// with the same names and identifiers. Every refusal by a member reaches the
// host as DISP_E_EXCEPTION with `source` as its source and a description
// (the member's own, else one for its code), in the exception details and
// in the thread's error object alike.
class TypeInfoDispatch {
 public:
  TypeInfoDispatch(const TypeLibraryId& library, const IID& dispatchIid, const IID& vtableIid,
                   const wchar_t* source)
      : m_library(library), m_dispatchIid(dispatchIid), m_vtableIid(vtableIid), m_source(source) {}

  HRESULT GetTypeInfoCount(UINT* count);
  HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out);
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids);
  // `object` is the object's pointer of the vtable interface.
  HRESULT Invoke(void* object, DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argError);

 private:
  const TypeLibraryId& m_library;
  const IID& m_dispatchIid;
  const IID& m_vtableIid;
  const wchar_t* m_source;
};

}  // namespace orvane
