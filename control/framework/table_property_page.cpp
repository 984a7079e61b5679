#include "control/framework/table_property_page.h"

#include <oleauto.h>

#include <cwchar>

#include "control/framework/com_base.h"

namespace orvane {

namespace {

// Layout in dialog units: labelled fields one under another, then the
// switches two to a row.
constexpr int kMargin = 7;
constexpr int kRowStep = 16;
constexpr int kLabelWidth = 80;
constexpr int kFieldLeft = kMargin + kLabelWidth + 3;
constexpr int kFieldRight = 243;
constexpr int kFieldHeight = 12;
constexpr int kSwitchStep = 14;
constexpr int kSwitchWidth = 116;
constexpr int kChoiceDropHeight = 60;

RECT DialogRect(HWND dialog, int x, int y, int width, int height) {
  RECT rect{x, y, x + width, y + height};
  MapDialogRect(dialog, &rect);
  return rect;
}

HWND MakeChild(HWND dialog, const wchar_t* className, const wchar_t* text, DWORD style,
               DWORD exStyle, int id, const RECT& rect) {
  HWND child = CreateWindowExW(
      exStyle, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
      rect.right - rect.left, rect.bottom - rect.top, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
  if (child) SendMessageW(child, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
  return child;
}

HRESULT GetProperty(IUnknown* object, DISPID id, VARIANT* out) {
  ComPtr<IDispatch> dispatch;
  object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()));
  if (!dispatch) return E_NOINTERFACE;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out,
                          nullptr, nullptr);
}

HRESULT PutProperty(IUnknown* object, DISPID id, VARIANT* value, EXCEPINFO* exception) {
  ComPtr<IDispatch> dispatch;
  object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()));
  if (!dispatch) return E_NOINTERFACE;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{value, &named, 1, 1};
  UINT argError = 0;
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                          exception, &argError);
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace

bool UiLanguageReadsRightToLeft(LANGID language) {
  switch (PRIMARYLANGID(language)) {
    case LANG_ARABIC:
    case LANG_HEBREW:
    case LANG_FARSI:
    case LANG_URDU:
    case LANG_SINDHI:
    case LANG_SYRIAC:
    case LANG_DIVEHI:
    case LANG_UIGHUR:
    case LANG_PASHTO:
      return true;
    default:
      return false;
  }
}

void CTablePropertyPage::OnInitDialog(HWND dialog) {
  // Mirrored before any control is made, so that each one is placed from
  // the right edge and reads right to left.
  if (UiLanguageReadsRightToLeft(GetUserDefaultUILanguage())) {
    SetWindowLongPtrW(dialog, GWL_EXSTYLE,
                      GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_LAYOUTRTL);
  }
  m_changed.assign(m_fields.size(), false);
  int y = kMargin;
  int switches = 0;
  for (const PageField& field : m_fields) {
    const int id = kFieldControlBase + static_cast<int>(field.dispid);
    if (field.kind == PageField::kSwitch) {
      const int column = switches % 2;
      const int row = switches / 2;
      MakeChild(dialog, L"BUTTON", field.label, BS_AUTOCHECKBOX | WS_TABSTOP, 0, id,
                DialogRect(dialog, kMargin + column * (kSwitchWidth + 4), y + row * kSwitchStep,
                           kSwitchWidth, 10));
      ++switches;
      continue;
    }
    MakeChild(dialog, L"STATIC", field.label, SS_LEFT, 0,
              kFieldLabelBase + static_cast<int>(field.dispid),
              DialogRect(dialog, kMargin, y + 2, kLabelWidth, 8));
    const int width = kFieldRight - kFieldLeft;
    if (field.kind == PageField::kChoice) {
      HWND combo = MakeChild(dialog, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                             0, id, DialogRect(dialog, kFieldLeft, y, width, kChoiceDropHeight));
      for (const PageChoice& choice : field.choices)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.display));
    } else {
      const DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
      HWND edit = MakeChild(dialog, L"EDIT", L"", style, WS_EX_CLIENTEDGE, id,
                            DialogRect(dialog, kFieldLeft, y, width, kFieldHeight));
      // Placed from the right in a mirrored page, but what it holds (a
      // path, a name, a number) reads left to right: mirrored, a path's
      // folders would show in reverse order.
      if (edit)
        SetWindowLongPtrW(
            edit, GWL_EXSTYLE,
            GetWindowLongPtrW(edit, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_LAYOUTRTL));
    }
    y += kRowStep;
  }
}

HWND CTablePropertyPage::FieldControl(size_t index) const {
  return GetDlgItem(Window(), kFieldControlBase + static_cast<int>(m_fields[index].dispid));
}

void CTablePropertyPage::LoadFields() {
  if (Objects().empty() || Window() == nullptr) return;
  IUnknown* first = Objects().front();
  m_loading = true;
  for (size_t i = 0; i < m_fields.size(); ++i) {
    const PageField& field = m_fields[i];
    HWND control = FieldControl(i);
    ScopedVariant value;
    if (control == nullptr || FAILED(GetProperty(first, field.dispid, &value.v))) continue;
    switch (field.kind) {
      case PageField::kSwitch: {
        ScopedVariant flag;
        if (SUCCEEDED(VariantChangeType(&flag.v, &value.v, 0, VT_BOOL)))
          SendMessageW(control, BM_SETCHECK,
                       V_BOOL(&flag.v) != VARIANT_FALSE ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      }
      case PageField::kChoice: {
        ScopedVariant number;
        LRESULT selection = -1;
        if (SUCCEEDED(VariantChangeType(&number.v, &value.v, 0, VT_I4))) {
          for (size_t c = 0; c < field.choices.size(); ++c)
            if (field.choices[c].value == V_I4(&number.v)) selection = static_cast<LRESULT>(c);
        }
        // A value the list does not name shows no choice, and stays unless
        // the user picks one.
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
        break;
      }
      case PageField::kNumber:
      case PageField::kText: {
        ScopedVariant text;
        if (SUCCEEDED(VariantChangeType(&text.v, &value.v, 0, VT_BSTR)))
          SetWindowTextW(control, V_BSTR(&text.v) ? V_BSTR(&text.v) : L"");
        break;
      }
    }
  }
  m_changed.assign(m_fields.size(), false);
  m_loading = false;
}

bool CTablePropertyPage::FieldValue(size_t index, VARIANT* value) const {
  const PageField& field = m_fields[index];
  HWND control = FieldControl(index);
  if (control == nullptr) return false;
  switch (field.kind) {
    case PageField::kSwitch:
      V_VT(value) = VT_BOOL;
      V_BOOL(value) =
          SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    case PageField::kChoice: {
      const LRESULT selection = SendMessageW(control, CB_GETCURSEL, 0, 0);
      if (selection < 0 || static_cast<size_t>(selection) >= field.choices.size()) return false;
      V_VT(value) = VT_I4;
      V_I4(value) = field.choices[static_cast<size_t>(selection)].value;
      return true;
    }
    case PageField::kNumber:
    case PageField::kText: {
      // A number goes as the text typed: the object's own conversion decides
      // what it accepts, as it does for a script that passes a string.
      const std::wstring text = WindowText(control);
      V_VT(value) = VT_BSTR;
      V_BSTR(value) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      return V_BSTR(value) != nullptr;
    }
  }
  return false;
}

void CTablePropertyPage::ShowRefusal(const PageField& field, HRESULT hr,
                                     const EXCEPINFO& exception) const {
  std::wstring reason;
  if (exception.bstrDescription && *exception.bstrDescription) {
    reason = exception.bstrDescription;
  } else if (hr == DISP_E_TYPEMISMATCH) {
    reason = L"The value is not of the property's type.";
  } else if (hr == DISP_E_OVERFLOW) {
    reason = L"The value is out of the property's range.";
  } else {
    wchar_t code[64];
    swprintf(code, 64, L"The value was refused (0x%08lX).", static_cast<unsigned long>(hr));
    reason = code;
  }
  std::wstring label = field.label;
  std::erase(label, L'&');
  if (!label.empty() && label.back() == L':') label.pop_back();
  const std::wstring text = label + L": " + reason;
  UINT flags = MB_OK | MB_ICONWARNING;
  if (GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) flags |= MB_RTLREADING | MB_RIGHT;
  MessageBoxW(Window(), text.c_str(), m_messageCaption, flags);
}

bool CTablePropertyPage::ApplyField(size_t index) {
  const PageField& field = m_fields[index];
  ScopedVariant value;
  if (!FieldValue(index, &value.v)) return true;
  for (IUnknown* object : Objects()) {
    EXCEPINFO exception{};
    const HRESULT hr = PutProperty(object, field.dispid, &value.v, &exception);
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    if (FAILED(hr)) ShowRefusal(field, hr, exception);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(hr)) return false;
  }
  return true;
}

void CTablePropertyPage::DoDataExchange(bool save) {
  if (!save) {
    LoadFields();
    SetModifiedFlag(false);
    return;
  }
  bool refused = false;
  for (size_t i = 0; i < m_fields.size() && i < m_changed.size(); ++i) {
    if (!m_changed[i]) continue;
    if (ApplyField(i)) {
      m_changed[i] = false;
    } else {
      refused = true;
    }
  }
  // A refused field stays changed, and the page dirty, for another try;
  // what was accepted shows as the object now holds it.
  if (!refused) {
    LoadFields();
    SetModifiedFlag(false);
  } else {
    SetModifiedFlag(true);
  }
}

void CTablePropertyPage::OnCommand(HWND, WORD id, WORD code) {
  if (m_loading) return;
  for (size_t i = 0; i < m_fields.size() && i < m_changed.size(); ++i) {
    if (kFieldControlBase + static_cast<int>(m_fields[i].dispid) != id) continue;
    const bool edited =
        (m_fields[i].kind == PageField::kSwitch && code == BN_CLICKED) ||
        (m_fields[i].kind == PageField::kChoice && code == CBN_SELCHANGE) ||
        ((m_fields[i].kind == PageField::kNumber || m_fields[i].kind == PageField::kText) &&
         code == EN_CHANGE);
    if (edited) {
      m_changed[i] = true;
      SetModifiedFlag(true);
    }
  }
}

}  // namespace orvane
