#include "control/framework/property_exchange.h"

#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "control/framework/ansi_string.h"
#include "control/framework/com_base.h"

namespace orvane {
namespace {

void DefaultValue(const PersistedProperty& p, VARIANT& out) {
  VariantInit(&out);
  switch (p.kind) {
    case PropertyKind::Short:
      V_VT(&out) = VT_I2;
      V_I2(&out) = static_cast<SHORT>(p.number);
      break;
    case PropertyKind::Long:
    case PropertyKind::Color:
      V_VT(&out) = VT_I4;
      V_I4(&out) = p.number;
      break;
    case PropertyKind::Bool:
      V_VT(&out) = VT_BOOL;
      V_BOOL(&out) = p.number ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case PropertyKind::String:
      V_VT(&out) = VT_BSTR;
      V_BSTR(&out) = BstrFromAnsi(p.text ? p.text : "");
      break;
    case PropertyKind::Font:
      break;  // VT_EMPTY: the entry's default font
  }
}

void StoreDefault(const PersistedProperty& p, PersistedValues& values) {
  ScopedVariant value;
  DefaultValue(p, value.v);
  values.SetPersisted(p, value.v);
}

bool IsNewer(const PersistenceFormat& format, DWORD version) {
  return HIWORD(version) > HIWORD(format.version);
}

HRESULT ReadExact(IStream* stream, void* buffer, ULONG size) {
  ULONG read = 0;
  HRESULT hr = stream->Read(buffer, size, &read);
  if (FAILED(hr)) return hr;
  return read == size ? S_OK : E_FAIL;
}

HRESULT WriteExact(IStream* stream, const void* buffer, ULONG size) {
  ULONG written = 0;
  HRESULT hr = stream->Write(buffer, size, &written);
  if (FAILED(hr)) return hr;
  return written == size ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT LoadFontFromStream(const PersistedProperty& p, IStream* stream, VARIANT& out) {
  BYTE present = 0;
  HRESULT hr = ReadExact(stream, &present, 1);
  if (FAILED(hr)) return hr;
  if (!present) return S_OK;  // VT_EMPTY: the default
  FontDefault fallback =
      p.font ? *p.font : FontDefault{L"System", 10, FW_NORMAL, 0, false, false, false};
  FONTDESC desc = fallback.Describe();
  ComPtr<IFontDisp> font;
  hr = OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.Receive()));
  if (FAILED(hr)) return hr;
  ComPtr<IPersistStream> persist = font.As<IPersistStream>(IID_IPersistStream);
  if (!persist) return E_FAIL;
  hr = persist->Load(stream);
  if (FAILED(hr)) return hr;
  V_VT(&out) = VT_DISPATCH;
  V_DISPATCH(&out) = font.Detach();
  return S_OK;
}

HRESULT SaveFontToStream(VARIANT& value, IStream* stream) {
  ComPtr<IPersistStream> persist;
  if ((V_VT(&value) == VT_DISPATCH || V_VT(&value) == VT_UNKNOWN) && V_UNKNOWN(&value) != nullptr)
    V_UNKNOWN(&value)->QueryInterface(IID_IPersistStream,
                                      reinterpret_cast<void**>(persist.Receive()));
  BYTE present = persist ? 1 : 0;
  HRESULT hr = WriteExact(stream, &present, 1);
  if (FAILED(hr) || !present) return hr;
  return persist->Save(stream, FALSE);
}

HRESULT LoadValueFromStream(const PersistedProperty& p, IStream* stream, VARIANT& out) {
  VariantInit(&out);
  HRESULT hr = S_OK;
  switch (p.kind) {
    case PropertyKind::Short: {
      SHORT v = 0;
      hr = ReadExact(stream, &v, sizeof v);
      V_VT(&out) = VT_I2;
      V_I2(&out) = v;
      break;
    }
    case PropertyKind::Long:
    case PropertyKind::Color: {
      LONG v = 0;
      hr = ReadExact(stream, &v, sizeof v);
      V_VT(&out) = VT_I4;
      V_I4(&out) = v;
      break;
    }
    case PropertyKind::Bool: {
      VARIANT_BOOL v = 0;
      hr = ReadExact(stream, &v, sizeof v);
      V_VT(&out) = VT_BOOL;
      V_BOOL(&out) = v ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case PropertyKind::String: {
      DWORD length = 0;
      hr = ReadExact(stream, &length, sizeof length);
      if (FAILED(hr)) break;
      if (length > kMaxPersistedString) return E_FAIL;
      BSTR text = SysAllocStringLen(nullptr, length);
      if (text == nullptr) return E_OUTOFMEMORY;
      V_VT(&out) = VT_BSTR;
      V_BSTR(&out) = text;
      hr = ReadExact(stream, text, length * sizeof(OLECHAR));
      break;
    }
    case PropertyKind::Font:
      hr = LoadFontFromStream(p, stream, out);
      break;
  }
  return hr;
}

HRESULT SaveValueToStream(const PersistedProperty& p, VARIANT& value, IStream* stream) {
  switch (p.kind) {
    case PropertyKind::Short: {
      SHORT v = V_I2(&value);
      return WriteExact(stream, &v, sizeof v);
    }
    case PropertyKind::Long:
    case PropertyKind::Color: {
      LONG v = V_I4(&value);
      return WriteExact(stream, &v, sizeof v);
    }
    case PropertyKind::Bool: {
      VARIANT_BOOL v = V_BOOL(&value) ? VARIANT_TRUE : VARIANT_FALSE;
      return WriteExact(stream, &v, sizeof v);
    }
    case PropertyKind::String: {
      DWORD length = V_BSTR(&value) ? SysStringLen(V_BSTR(&value)) : 0;
      if (length > kMaxPersistedString) length = kMaxPersistedString;
      HRESULT hr = WriteExact(stream, &length, sizeof length);
      if (FAILED(hr) || length == 0) return hr;
      return WriteExact(stream, V_BSTR(&value), length * sizeof(OLECHAR));
    }
    case PropertyKind::Font:
      return SaveFontToStream(value, stream);
  }
  return E_UNEXPECTED;
}

// The current value, coerced to the kind's type (fonts as given).
HRESULT CurrentValue(const PersistedProperty& p, PersistedValues& values, VARIANT& out) {
  VariantInit(&out);
  HRESULT hr = values.GetPersisted(p, &out);
  if (FAILED(hr)) return hr;
  if (p.kind == PropertyKind::Font) return S_OK;
  return VariantChangeType(&out, &out, 0, VariantTypeOf(p.kind));
}

// Whether `value` (of the kind's type) is the entry's default; fonts never
// count as defaults here, so they are always saved as before.
bool IsDefault(const PersistedProperty& p, const VARIANT& value) {
  switch (p.kind) {
    case PropertyKind::Short:
      return V_VT(&value) == VT_I2 && V_I2(&value) == static_cast<SHORT>(p.number);
    case PropertyKind::Long:
    case PropertyKind::Color:
      return V_VT(&value) == VT_I4 && V_I4(&value) == p.number;
    case PropertyKind::Bool:
      return V_VT(&value) == VT_BOOL && (V_BOOL(&value) != VARIANT_FALSE) == (p.number != 0);
    case PropertyKind::String: {
      if (V_VT(&value) != VT_BSTR) return false;
      BSTR fallback = BstrFromAnsi(p.text ? p.text : "");
      const bool same = fallback != nullptr && VarBstrCmp(V_BSTR(&value), fallback, 0, 0) ==
                                                   static_cast<HRESULT>(VARCMP_EQ);
      SysFreeString(fallback);
      return same;
    }
    case PropertyKind::Font:
      return false;
  }
  return false;
}

// The version a save writes: the format's, its minor raised to the newest
// minor version among properties away from their defaults.
DWORD SavedVersion(const PersistenceFormat& format, std::span<const PersistedProperty> table,
                   PersistedValues& values) {
  WORD minor = LOWORD(format.version);
  for (const PersistedProperty& p : table) {
    if (p.minorVersion <= minor) continue;
    ScopedVariant value;
    if (SUCCEEDED(CurrentValue(p, values, value.v)) && !IsDefault(p, value.v))
      minor = p.minorVersion;
  }
  return MAKELONG(minor, HIWORD(format.version));
}

}  // namespace

VARTYPE VariantTypeOf(PropertyKind kind) {
  switch (kind) {
    case PropertyKind::Short:
      return VT_I2;
    case PropertyKind::Long:
      return VT_I4;
    case PropertyKind::Bool:
      return VT_BOOL;
    case PropertyKind::Color:
      return VT_I4;
    case PropertyKind::String:
      return VT_BSTR;
    case PropertyKind::Font:
      return VT_DISPATCH;
  }
  return VT_EMPTY;
}

void ResetToDefaults(std::span<const PersistedProperty> table, PersistedValues& values) {
  for (const PersistedProperty& p : table) StoreDefault(p, values);
}

HRESULT LoadFromPropertyBag(const PersistenceFormat& format,
                            std::span<const PersistedProperty> table, PersistedValues& values,
                            IPropertyBag* bag, IErrorLog* log) {
  if (bag == nullptr) return E_POINTER;
  {
    ScopedVariant version;
    V_VT(&version.v) = VT_I4;
    if (SUCCEEDED(bag->Read(kVersionPropertyName, &version.v, log)) &&
        SUCCEEDED(VariantChangeType(&version.v, &version.v, 0, VT_I4)) &&
        IsNewer(format, static_cast<DWORD>(V_I4(&version.v))))
      return E_FAIL;
  }
  for (const PersistedProperty& p : table) {
    ScopedVariant value;
    V_VT(&value.v) = VariantTypeOf(p.kind);
    HRESULT hr = bag->Read(p.name, &value.v, log);
    if (SUCCEEDED(hr) && p.kind == PropertyKind::Font) {
      if ((V_VT(&value.v) == VT_DISPATCH || V_VT(&value.v) == VT_UNKNOWN) && V_UNKNOWN(&value.v))
        values.SetPersisted(p, value.v);
      else
        StoreDefault(p, values);
      continue;
    }
    if (SUCCEEDED(hr)) hr = VariantChangeType(&value.v, &value.v, 0, VariantTypeOf(p.kind));
    if (SUCCEEDED(hr))
      values.SetPersisted(p, value.v);
    else
      StoreDefault(p, values);
  }
  return S_OK;
}

HRESULT SaveToPropertyBag(const PersistenceFormat& format, std::span<const PersistedProperty> table,
                          PersistedValues& values, IPropertyBag* bag) {
  if (bag == nullptr) return E_POINTER;
  const DWORD saved = SavedVersion(format, table, values);
  ScopedVariant version;
  V_VT(&version.v) = VT_I4;
  V_I4(&version.v) = static_cast<LONG>(saved);
  HRESULT hr = bag->Write(kVersionPropertyName, &version.v);
  if (FAILED(hr)) return hr;
  for (const PersistedProperty& p : table) {
    if (p.minorVersion > LOWORD(saved)) continue;  // at its default
    ScopedVariant value;
    hr = CurrentValue(p, values, value.v);
    if (FAILED(hr)) return hr;
    if (V_VT(&value.v) == VT_EMPTY) continue;  // a font that could not be made
    hr = bag->Write(p.name, &value.v);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT LoadFromStream(const PersistenceFormat& format, std::span<const PersistedProperty> table,
                       PersistedValues& values, IStream* stream) {
  if (stream == nullptr) return E_POINTER;
  DWORD version = 0;
  HRESULT hr = ReadExact(stream, &version, sizeof version);
  if (FAILED(hr)) return hr;
  if (IsNewer(format, version)) return E_FAIL;
  for (const PersistedProperty& p : table) {
    // Data saved before the property was added does not hold it.
    if (p.minorVersion > LOWORD(version)) {
      StoreDefault(p, values);
      continue;
    }
    ScopedVariant value;
    hr = LoadValueFromStream(p, stream, value.v);
    if (FAILED(hr)) return hr;
    values.SetPersisted(p, value.v);
  }
  return S_OK;
}

HRESULT SaveToStream(const PersistenceFormat& format, std::span<const PersistedProperty> table,
                     PersistedValues& values, IStream* stream) {
  if (stream == nullptr) return E_POINTER;
  DWORD version = SavedVersion(format, table, values);
  HRESULT hr = WriteExact(stream, &version, sizeof version);
  if (FAILED(hr)) return hr;
  for (const PersistedProperty& p : table) {
    if (p.minorVersion > LOWORD(version)) continue;  // at its default
    ScopedVariant value;
    hr = CurrentValue(p, values, value.v);
    if (FAILED(hr)) return hr;
    hr = SaveValueToStream(p, value.v, stream);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace orvane
