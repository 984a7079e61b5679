// typelib_dump FILE: the type library in FILE (a .tlb, or a module holding
// one as resource TYPELIB 1) as text, one line per type, member and
// parameter, in the library's own order. Leaves out what a library built
// for another width may differ in and a client never sees: vtable offsets,
// sizes and alignments, and the system kind.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace {

std::wstring Name(ITypeInfo* info, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr)) || !name) return L"?";
  std::wstring result(name, SysStringLen(name));
  SysFreeString(name);
  return result;
}

std::wstring Guid(const GUID& guid) {
  wchar_t text[64] = L"";
  StringFromGUID2(guid, text, 64);
  return text;
}

std::wstring Type(ITypeInfo* info, const TYPEDESC& desc, int depth = 0) {
  if (depth > 16) return L"(too deep)";
  switch (desc.vt) {
    case VT_PTR:
      return L"ptr(" + Type(info, *desc.lptdesc, depth + 1) + L")";
    case VT_SAFEARRAY:
      return L"safearray(" + Type(info, *desc.lptdesc, depth + 1) + L")";
    case VT_CARRAY:
      return L"carray(" + Type(info, desc.lpadesc->tdescElem, depth + 1) + L")";
    case VT_USERDEFINED: {
      ITypeInfo* ref = nullptr;
      if (FAILED(info->GetRefTypeInfo(desc.hreftype, &ref)) || !ref) return L"user(?)";
      std::wstring result = L"user(" + Name(ref, MEMBERID_NIL) + L")";
      ref->Release();
      return result;
    }
    default:
      return L"vt" + std::to_wstring(desc.vt);
  }
}

std::wstring Value(const VARIANT* value) {
  if (!value) return L"";
  VARIANT text;
  VariantInit(&text);
  std::wstring result = L" =?";
  if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(value), 0, VT_BSTR)))
    result = L" = " + std::wstring(text.bstrVal, SysStringLen(text.bstrVal));
  VariantClear(&text);
  return result;
}

void DumpFunctions(ITypeInfo* info, const TYPEATTR& attr) {
  for (UINT i = 0; i < attr.cFuncs; ++i) {
    FUNCDESC* f = nullptr;
    if (FAILED(info->GetFuncDesc(i, &f))) {
      wprintf(L"  func %u: unreadable\n", i);
      continue;
    }
    BSTR names[64] = {};
    UINT count = 0;
    info->GetNames(f->memid, names, 64, &count);
    wprintf(L"  func id=%ld %ls invkind=%d funckind=%d callconv=%d flags=%#x returns %ls\n",
            f->memid, count ? names[0] : L"?", f->invkind, f->funckind, f->callconv, f->wFuncFlags,
            Type(info, f->elemdescFunc.tdesc).c_str());
    for (SHORT p = 0; p < f->cParams; ++p) {
      const ELEMDESC& e = f->lprgelemdescParam[p];
      wprintf(L"    param %ls %ls flags=%#x\n",
              static_cast<UINT>(p + 1) < count ? names[p + 1] : L"(unnamed)",
              Type(info, e.tdesc).c_str(), e.paramdesc.wParamFlags);
    }
    for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
    info->ReleaseFuncDesc(f);
  }
}

void DumpVariables(ITypeInfo* info, const TYPEATTR& attr) {
  for (UINT i = 0; i < attr.cVars; ++i) {
    VARDESC* v = nullptr;
    if (FAILED(info->GetVarDesc(i, &v))) {
      wprintf(L"  var %u: unreadable\n", i);
      continue;
    }
    wprintf(L"  var id=%ld %ls kind=%d flags=%#x %ls%ls\n", v->memid, Name(info, v->memid).c_str(),
            v->varkind, v->wVarFlags, Type(info, v->elemdescVar.tdesc).c_str(),
            v->varkind == VAR_CONST ? Value(v->lpvarValue).c_str() : L"");
    info->ReleaseVarDesc(v);
  }
}

void DumpType(ITypeLib* lib, UINT index) {
  ITypeInfo* info = nullptr;
  if (FAILED(lib->GetTypeInfo(index, &info))) {
    wprintf(L"type %u: unreadable\n", index);
    return;
  }
  TYPEATTR* attr = nullptr;
  if (SUCCEEDED(info->GetTypeAttr(&attr))) {
    wprintf(L"type %ls kind=%d %ls flags=%#x version=%u.%u\n", Name(info, MEMBERID_NIL).c_str(),
            attr->typekind, Guid(attr->guid).c_str(), attr->wTypeFlags, attr->wMajorVerNum,
            attr->wMinorVerNum);
    if (attr->typekind == TKIND_ALIAS)
      wprintf(L"  alias of %ls\n", Type(info, attr->tdescAlias).c_str());
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
      HREFTYPE ref = 0;
      INT flags = 0;
      ITypeInfo* base = nullptr;
      info->GetImplTypeFlags(i, &flags);
      if (SUCCEEDED(info->GetRefTypeOfImplType(i, &ref)) &&
          SUCCEEDED(info->GetRefTypeInfo(ref, &base)) && base) {
        wprintf(L"  implements %ls flags=%#x\n", Name(base, MEMBERID_NIL).c_str(), flags);
        base->Release();
      }
    }
    DumpFunctions(info, *attr);
    DumpVariables(info, *attr);
    info->ReleaseTypeAttr(attr);
  }
  info->Release();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fwprintf(stderr, L"usage: typelib_dump FILE\n");
    return 2;
  }
  ITypeLib* lib = nullptr;
  HRESULT hr = LoadTypeLibEx(argv[1], REGKIND_NONE, &lib);
  if (FAILED(hr) || !lib) {
    fwprintf(stderr, L"typelib_dump: %ls: no type library (%#lx)\n", argv[1],
             static_cast<unsigned long>(hr));
    return 1;
  }
  TLIBATTR* attr = nullptr;
  if (SUCCEEDED(lib->GetLibAttr(&attr))) {
    BSTR name = nullptr;
    lib->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
    wprintf(L"library %ls %ls version=%u.%u lcid=%#lx flags=%#x\n", name ? name : L"?",
            Guid(attr->guid).c_str(), attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid,
            attr->wLibFlags);
    SysFreeString(name);
    lib->ReleaseTLibAttr(attr);
  }
  for (UINT i = 0, n = lib->GetTypeInfoCount(); i < n; ++i) DumpType(lib, i);
  lib->Release();
  return 0;
}
