// COrvaneCtrl: the automation properties, and the persisted ones' table.
#include "control/orvane_ctrl.h"

#include <olectl.h>

#include <vector>

#include "control/framework/ansi_string.h"
#include "control/framework/ole_color.h"
#include "render/row_layout.h"
#include "resources/orvane_dispids.h"

namespace orvane {
namespace {

// Fonta's default, and the fallback when a host's font cannot be copied.
constexpr FontDefault kFontaDefault{L"Fonta", 11, 400, 0, false, false, false};

constexpr wchar_t kSetNotSupported[] = L"Set not supported.";
constexpr wchar_t kInvalidValue[] = L"Invalid property value.";

// The enumerations travel as 32-bit values but are kept in 16 bits, as the
// saved forms have them; a value outside that range would read back as a
// different one (65538 as tvRight), so it is refused instead.
bool FitsSixteenBits(LONG value) { return value >= INT16_MIN && value <= INT16_MAX; }

VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Sets a stock colour from whatever integer the host sent.
template <class Set>
HRESULT PutColor(const VARIANT& value, Set set) {
  OLE_COLOR color = 0;
  HRESULT hr = OleColorFromVariant(value, &color);
  if (FAILED(hr)) return hr;
  return Guarded([&] { return set(color); });
}

HRESULT CopyString(const std::string& text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = BstrFromAnsi(text);
  return *out ? S_OK : E_OUTOFMEMORY;
}

// A persisted value as the property exchange takes it: of the variant type
// of the entry's kind.
HRESULT PutValue(int16_t value, VARIANT& out) {
  V_VT(&out) = VT_I2;
  V_I2(&out) = value;
  return S_OK;
}

HRESULT PutValue(int32_t value, VARIANT& out) {
  V_VT(&out) = VT_I4;
  V_I4(&out) = value;
  return S_OK;
}

HRESULT PutValue(bool value, VARIANT& out) {
  V_VT(&out) = VT_BOOL;
  V_BOOL(&out) = ToVariantBool(value);
  return S_OK;
}

HRESULT PutValue(const std::string& text, VARIANT& out) {
  V_VT(&out) = VT_BSTR;
  return CopyString(text, &V_BSTR(&out));
}

void TakeValue(const VARIANT& value, int16_t& member) { member = V_I2(&value); }
void TakeValue(const VARIANT& value, int32_t& member) { member = V_I4(&value); }
void TakeValue(const VARIANT& value, bool& member) { member = V_BOOL(&value) != VARIANT_FALSE; }

// The accessor pair of a property held in a plain member.
template <auto member>
HRESULT GetMember(COrvaneCtrl& control, VARIANT& out) {
  return PutValue(control.*member, out);
}

template <auto member>
void SetMember(COrvaneCtrl& control, const VARIANT& value) {
  TakeValue(value, control.*member);
}

}  // namespace

// A persisted property bound to where its value lives. Loading and resetting
// store the values alone, without the automation setters' after-set steps:
// nothing is marked modified and the window is not re-created. What a stored
// value must still bring along (a new tree strip for the alignment, the
// balloon's fonts, the hover period) the setter does itself.
struct COrvaneCtrl::PropertyBinding {
  PersistedProperty entry;
  // The current value, of VariantTypeOf(entry.kind).
  HRESULT (*get)(COrvaneCtrl& control, VARIANT& out);
  // Stores `value`, already of that type (a font may arrive as VT_EMPTY).
  void (*set)(COrvaneCtrl& control, const VARIANT& value);
};

// Two persisted names differ from the automation names: ShowBalloonHelp is
// kept as "ShowHint" and Fonta as "FontA", as earlier saved forms have them.
// The order is the order of the saved forms.
std::span<const COrvaneCtrl::PropertyBinding> COrvaneCtrl::PersistedBindings() {
  static const PropertyBinding kPersisted[] = {
      {{L"Alignment", ORVANE_DISPID_ALIGNMENT, PropertyKind::Short, tvRight},
       GetMember<&COrvaneCtrl::m_alignment>,
       [](COrvaneCtrl& control, const VARIANT& value) {
         TakeValue(value, control.m_alignment);
         if (control.Window())
           control.MakeTreeStrip(control.TranslateColor(control.GetBackColor()));
       }},
      {{L"Indent", ORVANE_DISPID_INDENT, PropertyKind::Short, kDefaultIndent},
       GetMember<&COrvaneCtrl::m_indent>,
       SetMember<&COrvaneCtrl::m_indent>},
      {{L"FontA", ORVANE_DISPID_FONTA, PropertyKind::Font, 0, "", &kFontaDefault},
       [](COrvaneCtrl& control, VARIANT& out) {
         V_VT(&out) = VT_DISPATCH;
         V_DISPATCH(&out) = control.m_fonta.GetFontDispatch();
         return S_OK;
       },
       [](COrvaneCtrl& control, const VARIANT& value) {
         control.m_fonta.InitializeFont(kFontaDefault,
                                        V_VT(&value) == VT_EMPTY ? nullptr : V_UNKNOWN(&value));
         control.FillBalloonFonts();
       }},
      {{L"ReadingOrder", ORVANE_DISPID_READINGORDER, PropertyKind::Short, LTR},
       GetMember<&COrvaneCtrl::m_readingOrder>,
       SetMember<&COrvaneCtrl::m_readingOrder>},
      {{L"ElapsedTime", ORVANE_DISPID_ELAPSEDTIME, PropertyKind::Long, kDefaultElapsedTime},
       GetMember<&COrvaneCtrl::m_elapsedTime>,
       [](COrvaneCtrl& control, const VARIANT& value) {
         TakeValue(value, control.m_elapsedTime);
         // Loading and reset change the period of the next hover as a set does.
         control.m_hoverTimerSeam.SetPeriod(control.m_elapsedTime);
       }},
      {{L"FilePos", ORVANE_DISPID_FILEPOS, PropertyKind::Long, 0},
       GetMember<&COrvaneCtrl::m_filePos>,
       SetMember<&COrvaneCtrl::m_filePos>},
      {{L"ApplyCheck", ORVANE_DISPID_APPLYCHECK, PropertyKind::Bool, 0},
       [](COrvaneCtrl& control, VARIANT& out) {
         return PutValue(control.m_core.Checks().ApplyCheck(), out);
       },
       [](COrvaneCtrl& control, const VARIANT& value) {
         control.m_core.Checks().StoreApplyCheck(V_BOOL(&value) != VARIANT_FALSE);
       }},
      {{L"ShowHint", ORVANE_DISPID_SHOWBALLOONHELP, PropertyKind::Bool, 1},
       GetMember<&COrvaneCtrl::m_showBalloonHelp>,
       SetMember<&COrvaneCtrl::m_showBalloonHelp>},
      {{L"TocFile", ORVANE_DISPID_TOCFILE, PropertyKind::String, 0, "C:\\0\\1.TXT"},
       [](COrvaneCtrl& control, VARIANT& out) {
         return PutValue(control.m_core.Queries().TocFile(), out);
       },
       [](COrvaneCtrl& control, const VARIANT& value) {
         control.m_core.Queries().SetTocFile(AnsiFromBstr(V_BSTR(&value)));
       }},
      {{L"BooksDir", ORVANE_DISPID_BOOKSDIR, PropertyKind::String, 0, "C:\\Mirvak"},
       [](COrvaneCtrl& control, VARIANT& out) {
         return PutValue(control.m_core.Catalogue().BooksDir(), out);
       },
       [](COrvaneCtrl& control, const VARIANT& value) {
         control.m_core.Catalogue().SetBooksDir(AnsiFromBstr(V_BSTR(&value)));
       }},
      // Format 1.1, as MirrorKeys below: saved only when on, so that 1.0 data
      // loads with type-ahead off, as those hosts had it.
      {{L"TypeAhead", ORVANE_DISPID_TYPEAHEAD, PropertyKind::Bool, 0, "", nullptr, 1},
       GetMember<&COrvaneCtrl::m_typeAhead>,
       SetMember<&COrvaneCtrl::m_typeAhead>},
      // Format 1.1: saved only when off, so that a control that keeps the
      // chord saves the 1.0 form, and 1.0 data loads with the chord on.
      {{L"MirrorKeys", ORVANE_DISPID_MIRRORKEYS, PropertyKind::Bool, 1, "", nullptr, 1},
       GetMember<&COrvaneCtrl::m_mirrorKeys>,
       SetMember<&COrvaneCtrl::m_mirrorKeys>},
  };
  return kPersisted;
}

const COrvaneCtrl::PropertyBinding* COrvaneCtrl::FindBinding(DISPID id) {
  for (const PropertyBinding& binding : PersistedBindings()) {
    if (binding.entry.dispid == id) return &binding;
  }
  return nullptr;
}

std::span<const PersistedProperty> COrvaneCtrl::ControlProperties() const {
  // The framework walks plain entries; they are the bindings' own.
  static const std::vector<PersistedProperty> entries = [] {
    std::vector<PersistedProperty> list;
    for (const PropertyBinding& binding : PersistedBindings()) list.push_back(binding.entry);
    return list;
  }();
  return entries;
}

PersistenceFormat COrvaneCtrl::Format() const { return {MAKELONG(0, 1)}; }

HRESULT COrvaneCtrl::GetControlProperty(const PersistedProperty& property, VARIANT* out) {
  VariantInit(out);
  const PropertyBinding* binding = FindBinding(property.dispid);
  return binding ? binding->get(*this, *out) : DISP_E_MEMBERNOTFOUND;
}

void COrvaneCtrl::SetControlProperty(const PersistedProperty& property, const VARIANT& value) {
  if (const PropertyBinding* binding = FindBinding(property.dispid)) binding->set(*this, value);
}

// ---- Properties kept in members ----

STDMETHODIMP COrvaneCtrl::get_Indent(short* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = m_indent;
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_Indent(short value) {
  return Guarded([&]() -> HRESULT {
    m_indent = value;
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_ShowBalloonHelp(VARIANT_BOOL* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = ToVariantBool(m_showBalloonHelp);
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_ShowBalloonHelp(VARIANT_BOOL value) {
  return Guarded([&]() -> HRESULT {
    m_showBalloonHelp = value != VARIANT_FALSE;
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_ElapsedTime(LONG* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = m_elapsedTime;
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_ElapsedTime(LONG value) {
  return Guarded([&]() -> HRESULT {
    m_elapsedTime = value;
    m_hoverTimerSeam.SetPeriod(value);
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_TocFile(BSTR* value) {
  return Guarded([&] { return CopyString(m_core.Queries().TocFile(), value); });
}

STDMETHODIMP COrvaneCtrl::put_TocFile(BSTR value) {
  return Guarded([&] {
    m_core.Queries().SetTocFile(AnsiFromBstr(value));
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_ApplyCheck(VARIANT_BOOL* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = ToVariantBool(m_core.Checks().ApplyCheck());
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_ApplyCheck(VARIANT_BOOL value) {
  ChangeScope scope(*this);
  return Guarded([&] {
    m_core.View().SetApplyCheck(value != VARIANT_FALSE);
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_TopicName(BSTR* value) {
  return Guarded([&] { return CopyString(m_core.Catalogue().TopicName(), value); });
}

STDMETHODIMP COrvaneCtrl::put_TopicName(BSTR value) {
  return Guarded([&] {
    m_core.Catalogue().SetTopicName(AnsiFromBstr(value));
    SetModifiedFlag();
    return S_OK;
  });
}

// ---- Properties with get and set operations ----

STDMETHODIMP COrvaneCtrl::get_Alignment(::TAlignment* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = static_cast<::TAlignment>(m_alignment);
    return S_OK;
  });
}

// Any value is stored; the layout takes 2 as right and all else as left.
STDMETHODIMP COrvaneCtrl::put_Alignment(::TAlignment value) {
  if (!FitsSixteenBits(value)) return ThrowError(CTL_E_INVALIDPROPERTYVALUE, kInvalidValue);
  return Guarded([&] {
    COLORREF back = TranslateColor(GetBackColor());
    m_alignment = static_cast<int16_t>(value);
    if (Window()) MakeTreeStrip(back);
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_Fonta(IFontDisp** value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = m_fonta.GetFontDispatch();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_Fonta(IFontDisp* value) {
  return Guarded([&]() -> HRESULT { return SetFonta(value); });
}
STDMETHODIMP COrvaneCtrl::putref_Fonta(IFontDisp* value) {
  return Guarded([&]() -> HRESULT { return SetFonta(value); });
}

HRESULT COrvaneCtrl::SetFonta(IFontDisp* font) {
  return Guarded([&] {
    m_fonta.InitializeFont(kFontaDefault, font);
    FillBalloonFonts();
    RecreateControlWindow();
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_ReadingOrder(::TReadingOrder* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = static_cast<::TReadingOrder>(m_readingOrder);
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_ReadingOrder(::TReadingOrder value) {
  if (!FitsSixteenBits(value)) return ThrowError(CTL_E_INVALIDPROPERTYVALUE, kInvalidValue);
  return Guarded([&] {
    m_readingOrder = static_cast<int16_t>(value);
    SetModifiedFlag();
    RecreateControlWindow();
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_FilePos(LONG* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = m_filePos;
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_FilePos(LONG) {
  return Guarded([&]() -> HRESULT { return ThrowError(CTL_E_SETNOTSUPPORTED, kSetNotSupported); });
}

STDMETHODIMP COrvaneCtrl::get_BooksDir(BSTR* value) {
  return Guarded([&] { return CopyString(m_core.Catalogue().BooksDir(), value); });
}

STDMETHODIMP COrvaneCtrl::put_BooksDir(BSTR value) {
  return Guarded([&] {
    m_core.Catalogue().SetBooksDir(AnsiFromBstr(value));
    SetModifiedFlag();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::get_ActiveCategory(short* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = m_core.View().ActiveCategory();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_ActiveCategory(short) {
  return Guarded([&]() -> HRESULT { return ThrowError(CTL_E_SETNOTSUPPORTED, kSetNotSupported); });
}

STDMETHODIMP COrvaneCtrl::get_ActiveBook(short* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = m_core.View().ActiveBook();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_ActiveBook(short) {
  return Guarded([&]() -> HRESULT { return ThrowError(CTL_E_SETNOTSUPPORTED, kSetNotSupported); });
}

STDMETHODIMP COrvaneCtrl::get_MirrorKeys(VARIANT_BOOL* value) {
  return Guarded([&] {
    if (value == nullptr) return E_POINTER;
    *value = ToVariantBool(m_mirrorKeys);
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_MirrorKeys(VARIANT_BOOL value) {
  return Guarded([&] {
    m_mirrorKeys = value != VARIANT_FALSE;
    SetModifiedFlag();
    return S_OK;
  });
}

// ---- Stock properties: the framework's behaviour ----

STDMETHODIMP COrvaneCtrl::get_BackColor(LONG* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = OleColorAsLong(GetBackColor());
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_BackColor(VARIANT value) {
  return Guarded([&]() -> HRESULT {
    return PutColor(value, [this](OLE_COLOR color) { return SetBackColor(color); });
  });
}

STDMETHODIMP COrvaneCtrl::get_ForeColor(LONG* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = OleColorAsLong(GetForeColor());
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_ForeColor(VARIANT value) {
  return Guarded([&]() -> HRESULT {
    return PutColor(value, [this](OLE_COLOR color) { return SetForeColor(color); });
  });
}

STDMETHODIMP COrvaneCtrl::get_BorderStyle(short* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = GetBorderStyle();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_BorderStyle(short value) {
  return Guarded([&] { return SetBorderStyle(value); });
}

STDMETHODIMP COrvaneCtrl::get_Font(IFontDisp** value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = GetFont();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::put_Font(IFontDisp* value) {
  return Guarded([&] { return SetFont(value); });
}

STDMETHODIMP COrvaneCtrl::putref_Font(IFontDisp* value) {
  return Guarded([&] { return SetFont(value); });
}

}  // namespace orvane
