#include "control/framework/ole_property_page.h"

#include <olectl.h>

#include <cstring>
#include <string>

#include "control/framework/com_module.h"

namespace orvane {

COlePropertyPage::~COlePropertyPage() {
  if (m_window) DestroyWindow(m_window);
  ReleaseObjects();
}

std::span<const InterfaceEntry> COlePropertyPage::Interfaces() {
  static const InterfaceEntry kTable[] = {
      {&IID_IPropertyPage, &CastTo<COlePropertyPage, IPropertyPage>}};
  return kTable;
}

void COlePropertyPage::ReleaseObjects() {
  for (IUnknown* object : m_objects) object->Release();
  m_objects.clear();
}

STDMETHODIMP COlePropertyPage::SetPageSite(IPropertyPageSite* site) {
  return Guarded([&]() -> HRESULT {
    m_site = site;
    return S_OK;
  });
}

INT_PTR CALLBACK COlePropertyPage::DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  // The instance made only to measure the template has no page.
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* page = reinterpret_cast<COlePropertyPage*>(lParam);
    if (page)
      Guarded([&] {
        page->OnInitDialog(dialog);
        return S_OK;
      });
    return FALSE;
  }
  auto* page = reinterpret_cast<COlePropertyPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (page && msg == WM_COMMAND && lParam != 0) {
    Guarded([&] {
      page->OnCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
      return S_OK;
    });
    return TRUE;
  }
  return FALSE;
}

STDMETHODIMP COlePropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (m_window) return E_UNEXPECTED;
  m_window = CreateDialogParamW(ComModule::Instance(), MAKEINTRESOURCEW(m_dialogId), parent,
                                &DialogProc, reinterpret_cast<LPARAM>(this));
  if (m_window == nullptr) return E_FAIL;
  if (rect) Move(rect);
  return Guarded([&] {
    DoDataExchange(false);
    return S_OK;
  });
}

STDMETHODIMP COlePropertyPage::Deactivate() {
  return Guarded([&]() -> HRESULT {
    if (m_window == nullptr) return E_UNEXPECTED;
    DestroyWindow(m_window);
    m_window = nullptr;
    return S_OK;
  });
}

STDMETHODIMP COlePropertyPage::GetPageInfo(PROPPAGEINFO* info) {
  if (info == nullptr) return E_POINTER;
  std::memset(info, 0, sizeof *info);
  info->cb = sizeof *info;
  // The size of the dialog in pixels, measured from a hidden instance.
  HWND probe = CreateDialogParamW(ComModule::Instance(), MAKEINTRESOURCEW(m_dialogId),
                                  GetDesktopWindow(), &DialogProc, 0);
  if (probe) {
    RECT rect{};
    GetWindowRect(probe, &rect);
    info->size = {rect.right - rect.left, rect.bottom - rect.top};
    DestroyWindow(probe);
  }
  return Guarded([&]() -> HRESULT {
    std::wstring title = LoadModuleString(m_captionId);
    size_t bytes = (title.size() + 1) * sizeof(wchar_t);
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (info->pszTitle == nullptr) return E_OUTOFMEMORY;
    std::memcpy(info->pszTitle, title.c_str(), bytes);
    return S_OK;
  });
}

STDMETHODIMP COlePropertyPage::SetObjects(ULONG count, IUnknown** objects) {
  if (count > 0 && objects == nullptr) return E_POINTER;
  return Guarded([&] {
    ReleaseObjects();
    m_objects.reserve(count);
    for (ULONG i = 0; i < count; ++i) {
      if (objects[i] == nullptr) continue;
      objects[i]->AddRef();
      m_objects.push_back(objects[i]);
    }
    return S_OK;
  });
}

STDMETHODIMP COlePropertyPage::Show(UINT command) {
  return Guarded([&]() -> HRESULT {
    if (m_window == nullptr) return E_UNEXPECTED;
    ShowWindow(m_window, static_cast<int>(command));
    return S_OK;
  });
}

STDMETHODIMP COlePropertyPage::Move(LPCRECT rect) {
  return Guarded([&]() -> HRESULT {
    if (rect == nullptr) return E_POINTER;
    if (m_window == nullptr) return E_UNEXPECTED;
    MoveWindow(m_window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
  });
}

STDMETHODIMP COlePropertyPage::IsPageDirty() {
  return Guarded([&]() -> HRESULT { return m_dirty ? S_OK : S_FALSE; });
}

STDMETHODIMP COlePropertyPage::Apply() {
  return Guarded([&] {
    DoDataExchange(true);
    return S_OK;
  });
}

STDMETHODIMP COlePropertyPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP COlePropertyPage::TranslateAccelerator(MSG* msg) {
  return Guarded([&]() -> HRESULT {
    if (msg == nullptr) return E_POINTER;
    return S_FALSE;
  });
}

void COlePropertyPage::DoDataExchange(bool) { SetModifiedFlag(false); }

void COlePropertyPage::SetModifiedFlag(bool dirty) {
  m_dirty = dirty;
  if (dirty && m_site) m_site->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

}  // namespace orvane
