// An IPropertyBag that keeps its values in memory, as a host's form keeps
// them between saving and loading.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <map>
#include <string>

#include "control/framework/com_base.h"

namespace orvane::test {

class MemoryPropertyBag : public ComBase<MemoryPropertyBag, IPropertyBag> {
 public:
  // Hosts' bags look names up without regard to case; `ignoreCase` makes
  // this one do the same.
  explicit MemoryPropertyBag(bool ignoreCase = false) : m_values(NameOrder{ignoreCase}) {}
  ~MemoryPropertyBag() override {
    for (auto& entry : m_values) VariantClear(&entry.second);
  }
  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry kTable[] = {
        {&IID_IPropertyBag, &CastTo<MemoryPropertyBag, IPropertyBag>}};
    return kTable;
  }

  // Like a host's bag: a missing name is an error, a stored value is
  // converted to the type the reader asks for.
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
    auto it = m_values.find(name);
    if (it == m_values.end()) return E_INVALIDARG;
    VARTYPE wanted = V_VT(value);
    VariantInit(value);
    if (wanted == VT_EMPTY || wanted == V_VT(&it->second) ||
        (wanted == VT_DISPATCH && V_VT(&it->second) == VT_UNKNOWN))
      return VariantCopy(value, &it->second);
    return VariantChangeType(value, &it->second, 0, wanted);
  }
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
    VARIANT& slot = m_values[name];
    VariantClear(&slot);
    return VariantCopy(&slot, value);
  }

  bool Has(const std::wstring& name) const { return m_values.count(name) != 0; }
  // The stored value, or an empty variant.
  const VARIANT* Find(const std::wstring& name) const {
    auto it = m_values.find(name);
    return it == m_values.end() ? nullptr : &it->second;
  }
  void Put(const std::wstring& name, VARIANT value) {
    Write(name.c_str(), &value);
    VariantClear(&value);
  }

 private:
  struct NameOrder {
    bool ignoreCase;
    bool operator()(const std::wstring& a, const std::wstring& b) const {
      return (ignoreCase ? _wcsicmp(a.c_str(), b.c_str()) : a.compare(b)) < 0;
    }
  };
  std::map<std::wstring, VARIANT, NameOrder> m_values;
};

inline VARIANT MakeI2(short v) {
  VARIANT r;
  VariantInit(&r);
  V_VT(&r) = VT_I2;
  V_I2(&r) = v;
  return r;
}

inline VARIANT MakeI4(LONG v) {
  VARIANT r;
  VariantInit(&r);
  V_VT(&r) = VT_I4;
  V_I4(&r) = v;
  return r;
}

inline VARIANT MakeBool(bool v) {
  VARIANT r;
  VariantInit(&r);
  V_VT(&r) = VT_BOOL;
  V_BOOL(&r) = v ? VARIANT_TRUE : VARIANT_FALSE;
  return r;
}

inline VARIANT MakeString(const wchar_t* v) {
  VARIANT r;
  VariantInit(&r);
  V_VT(&r) = VT_BSTR;
  V_BSTR(&r) = SysAllocString(v);
  return r;
}

}  // namespace orvane::test
