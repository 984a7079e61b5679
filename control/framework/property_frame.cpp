#include "control/framework/property_frame.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "control/framework/com_base.h"
#include "control/framework/com_module.h"
#include "control/framework/table_property_page.h"

namespace orvane {

namespace {

constexpr int kTabId = 0x3020;
constexpr int kMargin = 7;  // pixels around the tabs and between buttons
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

class Frame;

// The frame as each page's site: a page that becomes dirty enables Apply.
class FrameSite final : public ComBase<FrameSite, IPropertyPageSite> {
 public:
  FrameSite(Frame& frame, LCID locale) : m_frame(&frame), m_locale(locale) {}
  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry kTable[] = {
        {&IID_IPropertyPageSite, &CastTo<FrameSite, IPropertyPageSite>}};
    return kTable;
  }
  void Detach() { m_frame = nullptr; }

  STDMETHODIMP OnStatusChange(DWORD flags) override;
  STDMETHODIMP GetLocaleID(LCID* locale) override {
    return Guarded([&] {
      if (locale == nullptr) return E_POINTER;
      *locale = m_locale;
      return S_OK;
    });
  }
  STDMETHODIMP GetPageContainer(IUnknown** container) override {
    return Guarded([&] {
      if (container) *container = nullptr;
      return E_NOTIMPL;
    });
  }
  STDMETHODIMP TranslateAccelerator(MSG*) override {
    return Guarded([] { return S_FALSE; });
  }

 private:
  Frame* m_frame;
  LCID m_locale;
};

struct Page {
  ComPtr<IPropertyPage> page;
  ComPtr<FrameSite> site;
  std::wstring title;
  SIZE size{};
};

class Frame {
 public:
  Frame() = default;
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;
  std::vector<Page>& Pages() { return m_pages; }

  HRESULT Run(HWND owner, const wchar_t* caption);
  void PageChanged() {
    if (m_apply) EnableWindow(m_apply, TRUE);
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  // True when the frame handled the message.
  bool Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  bool Create(HWND owner, const wchar_t* caption);
  // Applies every dirty page; true when none is dirty afterwards.
  bool ApplyAll();
  void Select(int index);
  void Close() { m_done = true; }

  std::vector<Page> m_pages;
  HWND m_window = nullptr;
  HWND m_tabs = nullptr;
  HWND m_apply = nullptr;
  RECT m_pageRect{};
  int m_current = -1;
  bool m_done = false;
};

STDMETHODIMP FrameSite::OnStatusChange(DWORD flags) {
  return Guarded([&] {
    if (m_frame && (flags & PROPPAGESTATUS_DIRTY)) m_frame->PageChanged();
    return S_OK;
  });
}

// An empty dialog template: the frame is a dialog window, as containers and
// tools expect a property frame to be, and lays out its controls itself.
struct EmptyDialog {
  DLGTEMPLATE header;
  WORD menu = 0;
  WORD windowClass = 0;
  WORD title = 0;
};

HWND Button(HWND parent, int id, const wchar_t* text, int x, int y, DWORD style, HFONT font) {
  HWND button = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x,
                                y, kButtonWidth, kButtonHeight, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                ComModule::Instance(), nullptr);
  if (button) SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return button;
}

bool Frame::Create(HWND owner, const wchar_t* caption) {
  SIZE largest{0, 0};
  for (const Page& p : m_pages) {
    largest.cx = std::max(largest.cx, p.size.cx);
    largest.cy = std::max(largest.cy, p.size.cy);
  }
  const DWORD exStyle =
      WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT |
      (UiLanguageReadsRightToLeft(GetUserDefaultUILanguage()) ? WS_EX_LAYOUTRTL : 0);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
  EmptyDialog empty{};
  empty.header.style = style;
  empty.header.dwExtendedStyle = exStyle;
  m_window = CreateDialogIndirectParamW(ComModule::Instance(), &empty.header, owner,
                                        &Frame::DialogProc, reinterpret_cast<LPARAM>(this));
  if (m_window == nullptr) return false;
  SetWindowTextW(m_window, caption);
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  // The tabs around the largest page, the buttons under them at the right.
  m_tabs = CreateWindowExW(
      0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, kMargin,
      kMargin, largest.cx + 8, largest.cy + 32, m_window,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabId)), ComModule::Instance(), nullptr);
  if (m_tabs == nullptr) return false;
  SendMessageW(m_tabs, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (size_t i = 0; i < m_pages.size(); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = m_pages[i].title.data();
    SendMessageW(m_tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  RECT display{0, 0, largest.cx, largest.cy};
  SendMessageW(m_tabs, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&display));
  const int tabsWidth = display.right - display.left;
  const int tabsHeight = display.bottom - display.top;
  MoveWindow(m_tabs, kMargin, kMargin, tabsWidth, tabsHeight, FALSE);
  m_pageRect = {kMargin, kMargin, kMargin + tabsWidth, kMargin + tabsHeight};
  SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&m_pageRect));

  const int clientWidth = std::max(tabsWidth + 2 * kMargin, 3 * kButtonWidth + 4 * kMargin);
  const int buttonsTop = kMargin + tabsHeight + kMargin;
  const int clientHeight = buttonsTop + kButtonHeight + kMargin;
  int x = clientWidth - 3 * (kButtonWidth + kMargin);
  Button(m_window, IDOK, L"OK", x, buttonsTop, BS_DEFPUSHBUTTON, font);
  Button(m_window, IDCANCEL, L"Cancel", x + kButtonWidth + kMargin, buttonsTop, BS_PUSHBUTTON,
         font);
  m_apply = Button(m_window, kFrameApplyButton, L"&Apply", x + 2 * (kButtonWidth + kMargin),
                   buttonsTop, BS_PUSHBUTTON, font);
  EnableWindow(m_apply, FALSE);

  RECT outer{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  RECT ownerRect{};
  if (owner) GetWindowRect(owner, &ownerRect);
  SetWindowPos(m_window, nullptr, ownerRect.left + 20, ownerRect.top + 20, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);

  for (Page& p : m_pages) {
    p.page->Activate(m_window, &m_pageRect, TRUE);
    p.page->Show(SW_HIDE);
  }
  Select(0);
  return true;
}

void Frame::Select(int index) {
  if (index < 0 || index >= static_cast<int>(m_pages.size())) return;
  if (m_current >= 0) m_pages[static_cast<size_t>(m_current)].page->Show(SW_HIDE);
  m_current = index;
  m_pages[static_cast<size_t>(index)].page->Move(&m_pageRect);
  m_pages[static_cast<size_t>(index)].page->Show(SW_SHOW);
  SendMessageW(m_tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool Frame::ApplyAll() {
  bool clean = true;
  for (Page& p : m_pages) {
    if (p.page->IsPageDirty() != S_OK) continue;
    p.page->Apply();
    if (p.page->IsPageDirty() == S_OK) clean = false;
  }
  if (clean) EnableWindow(m_apply, FALSE);
  return clean;
}

INT_PTR CALLBACK Frame::DialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    return FALSE;
  }
  auto* frame = reinterpret_cast<Frame*>(GetWindowLongPtrW(window, DWLP_USER));
  if (frame == nullptr || frame->m_window != window) return FALSE;
  bool handled = false;
  Guarded([&] {
    handled = frame->Handle(msg, wParam, lParam);
    return S_OK;
  });
  return handled ? TRUE : FALSE;
}

bool Frame::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (ApplyAll()) Close();
          return true;
        case IDCANCEL:  // also Escape and the close box
          Close();
          return true;
        case kFrameApplyButton:
          ApplyAll();
          return true;
        default:
          return false;
      }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->hwndFrom == m_tabs && header->code == TCN_SELCHANGE) {
        Select(static_cast<int>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0)));
        return true;
      }
      return false;
    }
    case WM_CLOSE:
      Close();
      return true;
    default:
      return false;
  }
}

HRESULT Frame::Run(HWND owner, const wchar_t* caption) {
  if (!Create(owner, caption)) {
    if (m_window) DestroyWindow(m_window);
    return E_FAIL;
  }
  const bool ownerEnabled = owner && IsWindowEnabled(owner);
  if (ownerEnabled) EnableWindow(owner, FALSE);
  ShowWindow(m_window, SW_SHOW);
  MSG msg;
  while (!m_done) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns the quit
      break;
    }
    if (got == -1) break;
    if (m_current >= 0 &&
        m_pages[static_cast<size_t>(m_current)].page->TranslateAccelerator(&msg) == S_OK)
      continue;
    if (IsDialogMessageW(m_window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (ownerEnabled) EnableWindow(owner, TRUE);
  for (Page& p : m_pages) p.page->Deactivate();
  // Activate the owner before the frame goes, so the focus returns there.
  if (owner) SetActiveWindow(owner);
  DestroyWindow(m_window);
  m_window = nullptr;
  return S_OK;
}

}  // namespace

HRESULT ShowModalPropertyFrame(HWND owner, const wchar_t* caption, IUnknown* object,
                               std::span<const CLSID> pages, LCID locale, const PageMaker& make) {
  if (object == nullptr) return E_POINTER;
  return Guarded([&]() -> HRESULT {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    Frame frame;
    for (const CLSID& clsid : pages) {
      Page p;
      if (FAILED(make(clsid, p.page.Receive())) || !p.page) continue;
      p.site = ComPtr<FrameSite>::Adopt(new FrameSite(frame, locale));
      IUnknown* objects[] = {object};
      PROPPAGEINFO info{};
      info.cb = sizeof info;
      if (FAILED(p.page->SetPageSite(p.site.Get())) || FAILED(p.page->SetObjects(1, objects)) ||
          FAILED(p.page->GetPageInfo(&info))) {
        p.page->SetObjects(0, nullptr);
        p.page->SetPageSite(nullptr);
        p.site->Detach();
        continue;
      }
      p.title = info.pszTitle ? info.pszTitle : L"";
      p.size = info.size;
      CoTaskMemFree(info.pszTitle);
      CoTaskMemFree(info.pszDocString);
      CoTaskMemFree(info.pszHelpFile);
      frame.Pages().push_back(std::move(p));
    }
    if (frame.Pages().empty()) return E_FAIL;
    const HRESULT hr = frame.Run(owner, caption);
    for (Page& p : frame.Pages()) {
      p.page->SetObjects(0, nullptr);
      p.page->SetPageSite(nullptr);
      p.site->Detach();
    }
    return hr;
  });
}

}  // namespace orvane
