// COrvaneCtrl: the automation properties, and the persisted ones' table.
#include "control/orvane_ctrl.h"

#include <olectl.h>

#include "control/framework/ansi_string.h"
#include "control/framework/ole_color.h"

namespace orvane {
namespace {

// Fonta's default, and the fallback when a host's font cannot be copied.
constexpr FontDefault kFontaDefault{L"Fonta", 11, 400, 0, false, false, false};

// Two persisted names differ from the automation names: ShowBalloonHelp is
// kept as "ShowHint" and Fonta as "FontA", as earlier saved forms have them.
constexpr PersistedProperty kPersisted[] = {
    {L"Alignment", 7, PropertyKind::Short, 2},
    {L"Indent", 1, PropertyKind::Short, 18},
    {L"FontA", 8, PropertyKind::Font, 0, "", &kFontaDefault},
    {L"ReadingOrder", 9, PropertyKind::Short, 1},
    {L"ElapsedTime", 3, PropertyKind::Long, 1000},
    {L"FilePos", 10, PropertyKind::Long, 0},
    {L"ApplyCheck", 5, PropertyKind::Bool, 0},
    {L"ShowHint", 2, PropertyKind::Bool, 1},
    {L"TocFile", 4, PropertyKind::String, 0, "C:\\0\\1.TXT"},
    {L"BooksDir", 11, PropertyKind::String, 0, "C:\\Mirvak"},
};

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

}  // namespace

std::span<const PersistedProperty> COrvaneCtrl::PersistedProperties() { return kPersisted; }
std::span<const PersistedProperty> COrvaneCtrl::ControlProperties() const { return kPersisted; }

PersistenceFormat COrvaneCtrl::Format() const { return {MAKELONG(0, 1)}; }

HRESULT COrvaneCtrl::GetControlProperty(const PersistedProperty& property, VARIANT* out) {
  VariantInit(out);
  switch (property.dispid) {
    case 7:
      V_VT(out) = VT_I2;
      V_I2(out) = m_alignment;
      return S_OK;
    case 1:
      V_VT(out) = VT_I2;
      V_I2(out) = m_indent;
      return S_OK;
    case 8:
      V_VT(out) = VT_DISPATCH;
      V_DISPATCH(out) = m_fonta.GetFontDispatch();
      return S_OK;
    case 9:
      V_VT(out) = VT_I2;
      V_I2(out) = m_readingOrder;
      return S_OK;
    case 3:
      V_VT(out) = VT_I4;
      V_I4(out) = m_elapsedTime;
      return S_OK;
    case 10:
      V_VT(out) = VT_I4;
      V_I4(out) = m_filePos;
      return S_OK;
    case 5:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = ToVariantBool(m_core.Checks().ApplyCheck());
      return S_OK;
    case 2:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = ToVariantBool(m_showBalloonHelp);
      return S_OK;
    case 4:
      V_VT(out) = VT_BSTR;
      return CopyString(m_core.Queries().TocFile(), &V_BSTR(out));
    case 11:
      V_VT(out) = VT_BSTR;
      return CopyString(m_core.Catalogue().BooksDir(), &V_BSTR(out));
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// Loading and resetting store the values alone: no after-set step runs, so
// nothing is rebuilt, re-created or marked modified here.
void COrvaneCtrl::SetControlProperty(const PersistedProperty& property, const VARIANT& value) {
  switch (property.dispid) {
    case 7:
      m_alignment = V_I2(&value);
      if (Window()) MakeTreeStrip(TranslateColor(GetBackColor()));
      break;
    case 1:
      m_indent = V_I2(&value);
      break;
    case 8:
      m_fonta.InitializeFont(kFontaDefault, V_VT(&value) == VT_EMPTY ? nullptr : V_UNKNOWN(&value));
      FillBalloonFonts();
      break;
    case 9:
      m_readingOrder = V_I2(&value);
      break;
    case 3:
      m_elapsedTime = V_I4(&value);
      // Loading and reset change the period of the next hover as a set does.
      m_hoverTimerSeam.SetPeriod(m_elapsedTime);
      break;
    case 10:
      m_filePos = V_I4(&value);
      break;
    case 5:
      m_core.Checks().StoreApplyCheck(V_BOOL(&value) != VARIANT_FALSE);
      break;
    case 2:
      m_showBalloonHelp = V_BOOL(&value) != VARIANT_FALSE;
      break;
    case 4:
      m_core.Queries().SetTocFile(AnsiFromBstr(V_BSTR(&value)));
      break;
    case 11:
      m_core.Catalogue().SetBooksDir(AnsiFromBstr(V_BSTR(&value)));
      break;
    default:
      break;
  }
}

// ---- Properties kept in members ----

STDMETHODIMP COrvaneCtrl::get_Indent(short* value) {
  if (value == nullptr) return E_POINTER;
  *value = m_indent;
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_Indent(short value) {
  m_indent = value;
  SetModifiedFlag();
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::get_ShowBalloonHelp(VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  *value = ToVariantBool(m_showBalloonHelp);
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_ShowBalloonHelp(VARIANT_BOOL value) {
  m_showBalloonHelp = value != VARIANT_FALSE;
  SetModifiedFlag();
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::get_ElapsedTime(LONG* value) {
  if (value == nullptr) return E_POINTER;
  *value = m_elapsedTime;
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_ElapsedTime(LONG value) {
  m_elapsedTime = value;
  m_hoverTimerSeam.SetPeriod(value);
  SetModifiedFlag();
  return S_OK;
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
  if (value == nullptr) return E_POINTER;
  *value = ToVariantBool(m_core.Checks().ApplyCheck());
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_ApplyCheck(VARIANT_BOOL value) {
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
  if (value == nullptr) return E_POINTER;
  *value = static_cast<::TAlignment>(m_alignment);
  return S_OK;
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
  if (value == nullptr) return E_POINTER;
  *value = m_fonta.GetFontDispatch();
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_Fonta(IFontDisp* value) { return SetFonta(value); }
STDMETHODIMP COrvaneCtrl::putref_Fonta(IFontDisp* value) { return SetFonta(value); }

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
  if (value == nullptr) return E_POINTER;
  *value = static_cast<::TReadingOrder>(m_readingOrder);
  return S_OK;
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
  if (value == nullptr) return E_POINTER;
  *value = m_filePos;
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_FilePos(LONG) {
  return ThrowError(CTL_E_SETNOTSUPPORTED, kSetNotSupported);
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
  if (value == nullptr) return E_POINTER;
  *value = m_core.View().ActiveCategory();
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_ActiveCategory(short) {
  return ThrowError(CTL_E_SETNOTSUPPORTED, kSetNotSupported);
}

STDMETHODIMP COrvaneCtrl::get_ActiveBook(short* value) {
  if (value == nullptr) return E_POINTER;
  *value = m_core.View().ActiveBook();
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_ActiveBook(short) {
  return ThrowError(CTL_E_SETNOTSUPPORTED, kSetNotSupported);
}

// ---- Stock properties: the framework's behaviour ----

STDMETHODIMP COrvaneCtrl::get_BackColor(LONG* value) {
  if (value == nullptr) return E_POINTER;
  *value = OleColorAsLong(GetBackColor());
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_BackColor(VARIANT value) {
  return PutColor(value, [this](OLE_COLOR color) { return SetBackColor(color); });
}

STDMETHODIMP COrvaneCtrl::get_ForeColor(LONG* value) {
  if (value == nullptr) return E_POINTER;
  *value = OleColorAsLong(GetForeColor());
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_ForeColor(VARIANT value) {
  return PutColor(value, [this](OLE_COLOR color) { return SetForeColor(color); });
}

STDMETHODIMP COrvaneCtrl::get_BorderStyle(short* value) {
  if (value == nullptr) return E_POINTER;
  *value = GetBorderStyle();
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_BorderStyle(short value) {
  return Guarded([&] { return SetBorderStyle(value); });
}

STDMETHODIMP COrvaneCtrl::get_Font(IFontDisp** value) {
  if (value == nullptr) return E_POINTER;
  *value = GetFont();
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_Font(IFontDisp* value) {
  return Guarded([&] { return SetFont(value); });
}

STDMETHODIMP COrvaneCtrl::putref_Font(IFontDisp* value) {
  return Guarded([&] { return SetFont(value); });
}

}  // namespace orvane
