// IPropertyBag over a PropertyStore, as a container hands it to a control's
// IPersistPropertyBag. Plain values are kept as text in the invariant
// (U.S.) format and converted to whatever type the control asks for. An
// object value (a font) is kept as "object:{CLSID}" under its own name and
// its properties under "Name.Property", through the object's own property
// bag persistence or, for a font that has none, through its IFont fields.
#pragma once

#include <ocidl.h>

#include <memory>
#include <span>
#include <string>

#include "hosts/testcon/com_support.h"

#include "hosts/testcon/property_store.h"

namespace testcon {

class TextPropertyBag final : public ComBase<TextPropertyBag, IPropertyBag> {
 public:
  // Names are read and written below `prefix` ("FontA." for a nested bag).
  TextPropertyBag(std::shared_ptr<PropertyStore> store, std::wstring prefix);

  static std::span<const InterfaceEntry> Interfaces();
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

 private:
  ~TextPropertyBag() = default;
  HRESULT ReadObject(const std::wstring& name, const std::wstring& text, VARTYPE wanted,
                     VARIANT* value);
  HRESULT WriteObject(const std::wstring& name, IUnknown* object);

  std::shared_ptr<PropertyStore> m_store;
  std::wstring m_prefix;
};

}  // namespace testcon
