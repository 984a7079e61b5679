// Property exchange: one table of persisted properties (persisted name,
// DISPID, type, default), walked in the same order by loading and saving,
// over a property bag or a stream, and by resetting to the defaults.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <cstdint>
#include <span>

#include "control/framework/font_holder.h"

namespace orvane {

enum class PropertyKind { Short, Long, Bool, Color, String, Font };

struct PersistedProperty {
  const wchar_t* name;
  DISPID dispid;
  PropertyKind kind;
  int32_t number = 0;                 // default of Short, Long, Bool and Color
  const char* text = "";              // default of String, 8-bit
  const FontDefault* font = nullptr;  // default of Font
  // The minor format version that added the property. Data of an older minor
  // version lacks it and loads with its default; a save names the newest
  // minor version whose properties are not all at their defaults, so that a
  // control that never changed them saves exactly what older ones saved.
  uint16_t minorVersion = 0;
};

// The variant type a property of `kind` is exchanged as.
VARTYPE VariantTypeOf(PropertyKind kind);

// How the exchange reaches the object's values: by the table's entries,
// without the after-set steps of the automation setters.
class PersistedValues {
 public:
  virtual ~PersistedValues() = default;
  // The current value, of VariantTypeOf(kind); a font as VT_DISPATCH.
  virtual HRESULT GetPersisted(const PersistedProperty& property, VARIANT* out) = 0;
  // Stores `value`, already of VariantTypeOf(kind). A font given as VT_EMPTY
  // takes the entry's default.
  virtual void SetPersisted(const PersistedProperty& property, const VARIANT& value) = 0;
};

// Version of the persisted data: high word major, low word minor.
struct PersistenceFormat {
  DWORD version;
};

void ResetToDefaults(std::span<const PersistedProperty> table, PersistedValues& values);

// Missing or unreadable entries take their defaults. Data of a newer
// version than `format` is refused (E_FAIL) and nothing is changed.
HRESULT LoadFromPropertyBag(const PersistenceFormat& format,
                            std::span<const PersistedProperty> table, PersistedValues& values,
                            IPropertyBag* bag, IErrorLog* log);
HRESULT SaveToPropertyBag(const PersistenceFormat& format, std::span<const PersistedProperty> table,
                          PersistedValues& values, IPropertyBag* bag);

// The stream holds the version, then each value in table order. Loading
// stops with an error at data that is short or malformed; the values read
// before it stay.
HRESULT LoadFromStream(const PersistenceFormat& format, std::span<const PersistedProperty> table,
                       PersistedValues& values, IStream* stream);
HRESULT SaveToStream(const PersistenceFormat& format, std::span<const PersistedProperty> table,
                     PersistedValues& values, IStream* stream);

// The name under which the version is kept in a property bag.
inline constexpr const wchar_t* kVersionPropertyName = L"_Version";
// Longest string the stream format accepts, in characters.
inline constexpr uint32_t kMaxPersistedString = 1u << 16;

}  // namespace orvane
