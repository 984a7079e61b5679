#include "hosts/testcon/text_property_bag.h"

#include <olectl.h>

#include <new>

#include "hosts/testcon/com_support.h"

namespace testcon {
namespace {

// Values are stored in one fixed format, whatever the system's locale: an
// Arabic locale would otherwise write its own decimal separator.
constexpr LCID kStorageLocale =
    MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
constexpr wchar_t kObjectMark[] = L"object:";
constexpr size_t kObjectMarkLength = sizeof kObjectMark / sizeof kObjectMark[0] - 1;

bool IsObjectText(const std::wstring& text) {
  return text.compare(0, kObjectMarkLength, kObjectMark) == 0;
}

bool IsValidName(const std::wstring& name) {
  return !name.empty() && name.find_first_of(L"=\r\n") == std::wstring::npos;
}

HRESULT TextOf(VARIANT* value, std::wstring& out) {
  ScopedVariant text;
  HRESULT hr = VariantChangeTypeEx(&text.v, value, kStorageLocale, VARIANT_ALPHABOOL, VT_BSTR);
  if (FAILED(hr)) return hr;
  out.assign(V_BSTR(&text.v), SysStringLen(V_BSTR(&text.v)));
  return S_OK;
}

// The standard font's own persisted names, so that a font saved this way
// loads through the font's property bag persistence as well.
HRESULT WriteFontFields(IFont* font, IPropertyBag* bag) {
  ScopedBstr name;
  CY size{};
  SHORT charset = 0, weight = 0;
  BOOL italic = FALSE, underline = FALSE, strike = FALSE;
  if (FAILED(font->get_Name(&name.s)) || FAILED(font->get_Size(&size)) ||
      FAILED(font->get_Charset(&charset)) || FAILED(font->get_Weight(&weight)) ||
      FAILED(font->get_Italic(&italic)) || FAILED(font->get_Underline(&underline)) ||
      FAILED(font->get_Strikethrough(&strike)))
    return E_FAIL;
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = name.s ? name.s : const_cast<BSTR>(L"");
  bag->Write(L"Name", &v);
  V_VT(&v) = VT_CY;
  V_CY(&v) = size;
  bag->Write(L"Size", &v);
  V_VT(&v) = VT_I2;
  V_I2(&v) = charset;
  bag->Write(L"Charset", &v);
  V_I2(&v) = weight;
  bag->Write(L"Weight", &v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = underline ? VARIANT_TRUE : VARIANT_FALSE;
  bag->Write(L"Underline", &v);
  V_BOOL(&v) = italic ? VARIANT_TRUE : VARIANT_FALSE;
  bag->Write(L"Italic", &v);
  V_BOOL(&v) = strike ? VARIANT_TRUE : VARIANT_FALSE;
  bag->Write(L"Strikethrough", &v);
  return S_OK;
}

// A font made from the fields WriteFontFields wrote; missing fields take
// the usual defaults.
HRESULT FontFromFields(IPropertyBag* bag, ComPtr<IUnknown>& out) {
  ScopedBstr defaultName(L"MS Sans Serif");
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.lpstrName = defaultName.s;
  desc.cySize.int64 = 80000;  // 8 points
  desc.sWeight = FW_NORMAL;
  ScopedVariant name, size, charset, weight, italic, underline, strike;
  V_VT(&name.v) = VT_BSTR;
  if (SUCCEEDED(bag->Read(L"Name", &name.v, nullptr))) desc.lpstrName = V_BSTR(&name.v);
  V_VT(&size.v) = VT_CY;
  if (SUCCEEDED(bag->Read(L"Size", &size.v, nullptr))) desc.cySize = V_CY(&size.v);
  V_VT(&charset.v) = VT_I2;
  if (SUCCEEDED(bag->Read(L"Charset", &charset.v, nullptr))) desc.sCharset = V_I2(&charset.v);
  V_VT(&weight.v) = VT_I2;
  if (SUCCEEDED(bag->Read(L"Weight", &weight.v, nullptr))) desc.sWeight = V_I2(&weight.v);
  V_VT(&italic.v) = VT_BOOL;
  if (SUCCEEDED(bag->Read(L"Italic", &italic.v, nullptr))) desc.fItalic = V_BOOL(&italic.v) != 0;
  V_VT(&underline.v) = VT_BOOL;
  if (SUCCEEDED(bag->Read(L"Underline", &underline.v, nullptr)))
    desc.fUnderline = V_BOOL(&underline.v) != 0;
  V_VT(&strike.v) = VT_BOOL;
  if (SUCCEEDED(bag->Read(L"Strikethrough", &strike.v, nullptr)))
    desc.fStrikethrough = V_BOOL(&strike.v) != 0;
  return OleCreateFontIndirect(&desc, IID_IUnknown, OutSlot(out));
}

}  // namespace

TextPropertyBag::TextPropertyBag(std::shared_ptr<PropertyStore> store, std::wstring prefix)
    : m_store(std::move(store)), m_prefix(std::move(prefix)) {}

std::span<const InterfaceEntry> TextPropertyBag::Interfaces() {
  static const InterfaceEntry kTable[] = {
      {&IID_IPropertyBag, &CastTo<TextPropertyBag, IPropertyBag>}};
  return kTable;
}

STDMETHODIMP TextPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (name == nullptr || value == nullptr) return E_POINTER;
  try {
    std::wstring fullName = m_prefix + name;
    std::optional<std::wstring> text = m_store->Find(fullName);
    if (!text) return E_INVALIDARG;
    VARTYPE wanted = V_VT(value);
    if (wanted == VT_UNKNOWN || wanted == VT_DISPATCH ||
        (wanted == VT_EMPTY && IsObjectText(*text)))
      return ReadObject(fullName, *text, wanted, value);
    ScopedVariant stored;
    V_VT(&stored.v) = VT_BSTR;
    V_BSTR(&stored.v) = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
    if (V_BSTR(&stored.v) == nullptr) return E_OUTOFMEMORY;
    if (wanted == VT_EMPTY) wanted = VT_BSTR;
    VARIANT converted;
    VariantInit(&converted);
    HRESULT hr = VariantChangeTypeEx(&converted, &stored.v, kStorageLocale, 0, wanted);
    if (FAILED(hr)) return hr;
    *value = converted;  // the caller's variant arrives empty of owned data
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP TextPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  if (name == nullptr || value == nullptr) return E_POINTER;
  try {
    std::wstring fullName = m_prefix + name;
    if (!IsValidName(fullName)) return E_INVALIDARG;
    VARIANT* v = value;
    if (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    if (V_VT(v) == VT_UNKNOWN || V_VT(v) == VT_DISPATCH) return WriteObject(fullName, V_UNKNOWN(v));
    std::wstring text;
    HRESULT hr = TextOf(v, text);
    if (FAILED(hr)) return hr;
    m_store->Set(fullName, text);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TextPropertyBag::ReadObject(const std::wstring& name, const std::wstring& text,
                                    VARTYPE wanted, VARIANT* value) {
  if (!IsObjectText(text)) return DISP_E_TYPEMISMATCH;
  auto nested = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(m_store, name + L"."));
  ComPtr<IUnknown> object;
  CLSID clsid{};
  std::wstring clsidText = text.substr(kObjectMarkLength);
  if (SUCCEEDED(CLSIDFromString(clsidText.c_str(), &clsid))) {
    ComPtr<IPersistPropertyBag> persist;
    if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistPropertyBag,
                                   OutSlot(persist))) &&
        SUCCEEDED(persist->Load(nested.Get(), nullptr)))
      object = persist.As<IUnknown>(IID_IUnknown);
  }
  if (!object && (IsEqualCLSID(clsid, CLSID_StdFont) || m_store->HasPrefixed(name + L".Name"))) {
    HRESULT hr = FontFromFields(nested.Get(), object);
    if (FAILED(hr)) return hr;
  }
  if (!object) return E_FAIL;
  if (wanted == VT_UNKNOWN) {
    V_VT(value) = VT_UNKNOWN;
    return object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&V_UNKNOWN(value)));
  }
  V_VT(value) = VT_DISPATCH;
  HRESULT hr = object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(value)));
  if (FAILED(hr)) V_VT(value) = VT_EMPTY;
  return hr;
}

HRESULT TextPropertyBag::WriteObject(const std::wstring& name, IUnknown* object) {
  if (object == nullptr) return E_INVALIDARG;
  ComPtr<IUnknown> unknown(object);
  m_store->RemovePrefixed(name + L".");
  CLSID clsid = CLSID_NULL;
  auto persist = unknown.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  auto font = unknown.As<IFont>(IID_IFont);
  if (persist) persist->GetClassID(&clsid);
  if (IsEqualCLSID(clsid, CLSID_NULL) && font) clsid = CLSID_StdFont;
  wchar_t clsidText[40] = L"";
  StringFromGUID2(clsid, clsidText, 40);
  m_store->Set(name, std::wstring(kObjectMark) + clsidText);

  auto nested = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(m_store, name + L"."));
  if (persist && SUCCEEDED(persist->Save(nested.Get(), FALSE, TRUE)) &&
      m_store->HasPrefixed(name + L"."))
    return S_OK;
  if (font) return WriteFontFields(font.Get(), nested.Get());
  return persist ? E_FAIL : E_NOINTERFACE;
}

}  // namespace testcon
