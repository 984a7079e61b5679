// COrvaneCtrl: construction, the control's identity for the framework, its
// dispatch interface, its window (an owner-drawn system list box) and the
// painting of its rows.
#include "control/orvane_ctrl.h"

#include <olectl.h>

#include "control/framework/ansi_string.h"
#include "control/framework/class_factory.h"
#include "control/orvane_prop_page.h"
#include "interaction/hover_balloon.h"
#include "interaction/key_input.h"
#include "interaction/mouse_input.h"
#include "render/bidi_text_api.h"
#include "render/row_painter.h"
#include "resources/orvane_dispids.h"
#include "resources/orvane_version.h"
#include "resources/resource_ids.h"

namespace orvane {

// {2A78A059-1BD4-4D73-A4F9-DD40663782BC}
const CLSID CLSID_OrvanePropPage = {
    0x2a78a059, 0x1bd4, 0x4d73, {0xa4, 0xf9, 0xdd, 0x40, 0x66, 0x37, 0x82, 0xbc}};

namespace {

// Version 1.1 answers a host that registered or asks for 1.0 as well: the
// registry's lookup takes the highest minor version of the major one.
const TypeLibraryId kLibrary{&LIBID_ORVANELib, ORVANE_VERSION_MAJOR, ORVANE_VERSION_MINOR};
// The source of every error the control raises: its name in the type library.
constexpr wchar_t kErrorSource[] = L"Orvane";

// The system's standard colour and font pages edit the stock properties.
const CLSID kStandardColorPage = {
    0x0be35201, 0x8f91, 0x11ce, {0x9d, 0xe3, 0x00, 0xaa, 0x00, 0x4b, 0xb8, 0x51}};
const CLSID kStandardFontPage = {
    0x0be35200, 0x8f91, 0x11ce, {0x9d, 0xe3, 0x00, 0xaa, 0x00, 0x4b, 0xb8, 0x51}};
const CLSID* const kPropertyPages[] = {&CLSID_OrvanePropPage, &kStandardColorPage,
                                       &kStandardFontPage};

// The enumerations as property browsers list them: the number a program
// uses beside the name the type library gives it.
constexpr EnumeratedValue kAlignmentValues[] = {{tvLeft, L"0 - tvLeft"}, {tvRight, L"2 - tvRight"}};
constexpr EnumeratedValue kReadingOrderValues[] = {{RTL, L"0 - RTL"}, {LTR, L"1 - LTR"}};
const EnumeratedProperty kEnumeratedProperties[] = {
    {ORVANE_DISPID_ALIGNMENT, kAlignmentValues}, {ORVANE_DISPID_READINGORDER, kReadingOrderValues}};

// The type library's stock members are the ones OLE defines.
static_assert(ORVANE_DISPID_BACKCOLOR == DISPID_BACKCOLOR &&
              ORVANE_DISPID_FORECOLOR == DISPID_FORECOLOR &&
              ORVANE_DISPID_BORDERSTYLE == DISPID_BORDERSTYLE &&
              ORVANE_DISPID_FONT == DISPID_FONT && ORVANE_DISPID_ABOUTBOX == DISPID_ABOUTBOX);
static_assert(ORVANE_DISPID_CLICK == DISPID_CLICK && ORVANE_DISPID_DBLCLICK == DISPID_DBLCLICK &&
              ORVANE_DISPID_KEYDOWN == DISPID_KEYDOWN &&
              ORVANE_DISPID_KEYPRESS == DISPID_KEYPRESS && ORVANE_DISPID_KEYUP == DISPID_KEYUP &&
              ORVANE_DISPID_MOUSEDOWN == DISPID_MOUSEDOWN &&
              ORVANE_DISPID_MOUSEMOVE == DISPID_MOUSEMOVE);

}  // namespace

COrvaneCtrl::COrvaneCtrl()
    : COleControl(DIID__DOrvaneEvents),
      m_core(m_rowList, m_profileSource, m_fileSystem, m_hoverTimerSeam),
      m_dispatch(kLibrary, DIID__DOrvane, IID_IOrvaneAutomation, kErrorSource),
      m_balloon(new (std::nothrow) BalloonWindow) {
  m_core.View().SetRowEvents(&m_announcer);
  m_core.SetNodeEvents(this);
  // A host that changes the font object it read back changes Fonta.
  m_fonta.SetChangeNotification([this] {
    FillBalloonFonts();
    SetModifiedFlag();
    InvalidateControl();
  });
  // A host that neither loads nor initialises the control (a script's
  // CreateObject) still sees the defaults.
  OnResetState();
  SetModifiedFlag(false);
}

COrvaneCtrl::~COrvaneCtrl() {
  // Nothing is told to a host any more: the control is going.
  m_core.SetNodeEvents(nullptr);
  m_pendingEvents.clear();
  DestroyControlWindow();
  m_rowList.Attach(nullptr);
  m_hoverTimerSeam.Attach(nullptr);
}

const CLSID& COrvaneCtrl::ClassId() const { return CLSID_Orvane; }
const TypeLibraryId& COrvaneCtrl::TypeLibrary() const { return kLibrary; }
const IID& COrvaneCtrl::PrimaryDispatchIid() const { return DIID__DOrvane; }
UINT COrvaneCtrl::UserTypeNameId() const { return IDS_ORVANE_CONTROL; }
DWORD COrvaneCtrl::MiscStatus() const { return kOrvaneMiscStatus; }
std::span<const CLSID* const> COrvaneCtrl::PropertyPageIds() const { return kPropertyPages; }
std::span<const EnumeratedProperty> COrvaneCtrl::EnumeratedProperties() const {
  return kEnumeratedProperties;
}

// The General page comes from this module, registered or not; the standard
// pages from COM.
HRESULT COrvaneCtrl::CreatePropertyPage(const CLSID& clsid, IPropertyPage** page) {
  if (page == nullptr) return E_POINTER;
  *page = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_OrvanePropPage))
    return COleControl::CreatePropertyPage(clsid, page);
  IUnknown* object = CreateInstanceOf<COrvanePropPage>();
  if (object == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = object->QueryInterface(IID_IPropertyPage, reinterpret_cast<void**>(page));
  object->Release();
  return hr;
}

const CLSID* COrvaneCtrl::PageOfProperty(DISPID id) const {
  switch (id) {
    case DISPID_BACKCOLOR:
    case DISPID_FORECOLOR:
      return &kStandardColorPage;
    case DISPID_FONT:
      return &kStandardFontPage;
    case DISPID_BORDERSTYLE:
      return nullptr;
    case ORVANE_DISPID_MIRRORKEYS:
      return &CLSID_OrvanePropPage;
    default:
      // The control's own page edits all of its own properties.
      return id >= ORVANE_DISPID_FIRST_PROPERTY && id <= ORVANE_DISPID_LAST_PROPERTY
                 ? &CLSID_OrvanePropPage
                 : nullptr;
  }
}

void* COrvaneCtrl::QueryExtraInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IOrvaneAutomation)) return static_cast<IOrvaneAutomation*>(this);
  if (IsEqualIID(iid, IID_IOrvaneInspect)) return static_cast<IOrvaneInspect*>(this);
  return COleControl::QueryExtraInterface(iid);
}

// One line per row: index|level|open|active|state|title.
STDMETHODIMP COrvaneCtrl::GetRows(BSTR* rows) {
  if (rows == nullptr) return E_POINTER;
  *rows = nullptr;
  return Guarded([&]() -> HRESULT {
    std::string text;
    const int32_t count = m_rowList.Count();
    for (int32_t i = 0; i < count; ++i) {
      const OutlineNode* node = m_rowList.NodeOf(i);
      if (node == nullptr) continue;
      if (!text.empty()) text += '\n';
      text += std::to_string(i) + '|' + std::to_string(node->Level()) + '|' +
              (node->m_expanded ? '1' : '0') + '|' + (node->m_active ? '1' : '0') + '|' +
              std::to_string(m_core.Checks().GetCheckState(node)) + '|' + node->TitleText();
    }
    *rows = BstrFromAnsi(text);
    return *rows ? S_OK : E_OUTOFMEMORY;
  });
}

// ---- IDispatch: names and identifiers come from the type library ----

STDMETHODIMP COrvaneCtrl::GetTypeInfoCount(UINT* count) {
  return Guarded([&]() -> HRESULT { return m_dispatch.GetTypeInfoCount(count); });
}

STDMETHODIMP COrvaneCtrl::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
  return Guarded([&]() -> HRESULT { return m_dispatch.GetTypeInfo(index, lcid, info); });
}

STDMETHODIMP COrvaneCtrl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                        DISPID* ids) {
  return Guarded(
      [&]() -> HRESULT { return m_dispatch.GetIDsOfNames(iid, names, count, lcid, ids); });
}

STDMETHODIMP COrvaneCtrl::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  return Guarded([&]() -> HRESULT {
    // Keeps the control alive through a member that re-creates its window or
    // fires events into a host that may release it, and tells the host of
    // the member's changes once it is done.
    ChangeScope scope(*this);
    return m_dispatch.Invoke(static_cast<IOrvaneAutomation*>(this), id, iid, lcid, flags, params,
                             result, exception, argError);
  });
}

// ---- Window ----

bool COrvaneCtrl::PreCreateWindow(CREATESTRUCTW& cs) {
  cs.lpszClass = L"LISTBOX";
  cs.style &= ~static_cast<LONG>(LBS_SORT);
  cs.style |= WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NOTIFY;
  // The list box keeps only the count, selection and scroll position; the
  // nodes of the rows live in the control's row list. Opening or closing a
  // block of thousands of rows then costs milliseconds, not seconds, and the
  // list box still moves its selection and repaints as it always does.
  cs.style |= LBS_NODATA;
  if (IsRightLayout(m_alignment)) cs.dwExStyle |= WS_EX_LEFTSCROLLBAR;
  cs.dwExStyle |= WS_EX_CLIENTEDGE;
  // The list box asks for its row height while it is made: the DPI of the
  // window it goes into is the one it will have (OnCreate checks).
  m_dpi = cs.hwndParent ? WindowDpi(cs.hwndParent) : SystemDpi();
  return COleControl::PreCreateWindow(cs);
}

int COrvaneCtrl::OnCreate() {
  if (COleControl::OnCreate() == -1) return -1;
  m_rowList.Attach(Window());
  m_hoverTimerSeam.Attach(Window());
  m_hoverTimerSeam.SetPeriod(m_elapsedTime);
  m_announcer.Attach(Window());

  m_dpi = WindowDpi(Window());
  m_highContrast = HighContrastOn();
  // A row height asked for before the window knew its own DPI is set again.
  SendMessageW(Window(), LB_SETITEMHEIGHT, 0, RowHeightAt(m_dpi));
  COLORREF back = StripBackColour();
  MakeCheckStrip(back);
  MakeTreeStrip(back);
  StoreBorderStyle(1);

  // The balloon's window belongs to this window, as the strips do: a new
  // one with each creation, owned by the new list box.
  if (m_balloon) m_balloon->Create(Window());
  FillBalloonFonts();
  return 0;
}

void COrvaneCtrl::OnDestroyWindow() {
  m_rowList.Attach(nullptr);
  m_hoverTimerSeam.Attach(nullptr);
  m_announcer.Attach(nullptr);
  if (m_accessible) {
    // A client may hold it on: it answers nothing more.
    m_accessible->Disconnect();
    m_accessible->Release();
    m_accessible = nullptr;
  }
  if (m_balloon) m_balloon->Destroy();
  // Strips belong to a window; the next creation makes a new pair.
  m_checkStrip.reset();
  m_treeStrip.reset();
}

namespace {

// High contrast draws the strips' lines, buttons and boxes in the reader's
// text colour on the reader's window colour; the icons keep theirs.
StripInk InkFor(bool highContrast, int firstRow) {
  StripInk ink;
  if (!highContrast) return ink;
  ink.recolour = true;
  ink.firstRow = firstRow;
  ink.ink = GetSysColor(COLOR_WINDOWTEXT);
  ink.paper = GetSysColor(COLOR_WINDOW);
  return ink;
}

}  // namespace

COLORREF COrvaneCtrl::StripBackColour() {
  return PaintColours(m_highContrast, TranslateColor(GetBackColor()), 0).back;
}

void COrvaneCtrl::MakeCheckStrip(COLORREF backColour) {
  m_checkStrip.reset();
  HDC dc = Window() ? GetDC(Window()) : nullptr;
  m_checkStrip.reset(new (std::nothrow) GlyphStrip(
      ComModule::Instance(), dc, CheckStripBitmapFor(StripScaleFor(m_dpi)), kCheckStripColumns,
      kCheckStripRows, backColour, InkFor(m_highContrast, kCheckBoxRow)));
  if (dc) ReleaseDC(Window(), dc);
}

void COrvaneCtrl::MakeTreeStrip(COLORREF backColour) {
  m_treeStrip.reset();
  HDC dc = Window() ? GetDC(Window()) : nullptr;
  m_treeStrip.reset(new (std::nothrow) GlyphStrip(
      ComModule::Instance(), dc, TreeStripBitmapFor(m_alignment, StripScaleFor(m_dpi)),
      kTreeStripColumns, kTreeStripRows, backColour, InkFor(m_highContrast, 0)));
  if (dc) ReleaseDC(Window(), dc);
}

void COrvaneCtrl::OnBackColorChanged() {
  if (Window() == nullptr) return;  // the strips are made with the window
  COLORREF back = StripBackColour();
  MakeCheckStrip(back);
  MakeTreeStrip(back);
}

void COrvaneCtrl::MirrorToggle() {
  m_alignment = m_alignment == tvLeft ? tvRight : tvLeft;
  MakeTreeStrip(StripBackColour());
  Refresh();
}

bool COrvaneCtrl::FontaAtDpi(LOGFONTA& fonta) const {
  if (!m_fonta.GetLogFont(fonta)) return false;
  const int system = SystemDpi();
  if (m_dpi != system && fonta.lfHeight != 0) {
    fonta.lfHeight = MulDiv(fonta.lfHeight, m_dpi, system);
    fonta.lfWidth = MulDiv(fonta.lfWidth, m_dpi, system);
  }
  return true;
}

void COrvaneCtrl::FillBalloonFonts() {
  LOGFONTA fonta{};
  if (!m_balloon || !FontaAtDpi(fonta)) return;
  m_balloon->m_fontaLogFont = fonta;
  m_balloon->m_ansiLogFont = FirstFontDescription(fonta);
}

bool COrvaneCtrl::FollowDisplay() {
  if (Window() == nullptr) return false;
  const int dpi = WindowDpi(Window());
  const bool highContrast = HighContrastOn();
  if (dpi == m_dpi && highContrast == m_highContrast) return false;
  const bool relayout = dpi != m_dpi;
  m_dpi = dpi;
  m_highContrast = highContrast;
  if (relayout) {
    // One message: the list box keeps only the count, so the rows are laid
    // out again at no cost per row.
    SendMessageW(Window(), LB_SETITEMHEIGHT, 0, RowHeightAt(m_dpi));
    FillBalloonFonts();
    if (m_balloon) m_balloon->Hide();
  }
  COLORREF back = StripBackColour();
  MakeCheckStrip(back);
  MakeTreeStrip(back);
  return true;
}

LRESULT COrvaneCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!AmbientUserMode() && IsUserInput(msg)) return DesignModeInput(msg);
  switch (msg) {
    case OCM_MEASUREITEM:
      MeasureRow(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), m_dpi);
      return 1;
    // A new DPI (the window went to another monitor, or a host aware of each
    // monitor tells its children), a high-contrast switch or new system
    // colours: the rows follow at once. Hosts that forward none of these
    // are followed at the next paint.
    case WM_DPICHANGED_AFTERPARENT:
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      if (FollowDisplay()) {
        InvalidateRect(Window(), nullptr, TRUE);
      } else if (msg == WM_SYSCOLORCHANGE) {
        OnBackColorChanged();
        InvalidateRect(Window(), nullptr, TRUE);
      }
      return COleControl::WindowProc(msg, wParam, lParam);
    case OCM_DRAWITEM:
      DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return 1;
    case OCM_COMMAND:
      // The list box moved its selection itself (a key, a click, a drag):
      // inside one of our messages the scope already open observes it at
      // its end; outside any, this one does.
      if (HIWORD(wParam) == LBN_SELCHANGE) ChangeScope scope(*this);
      return 0;
    case WM_CONTEXTMENU:
      return ContextMenuMessage(lParam);
    case WM_GETOBJECT:
      return AccessibleObjectMessage(wParam, lParam);
    // The input messages, each to its handler in interaction/.
    case WM_KEYDOWN:
      return InputMessage(OnKeyDown, wParam, lParam);
    case WM_CHAR:
      return InputMessage(OnChar, wParam, lParam);
    case WM_LBUTTONDOWN:
      return InputMessage(OnLButtonDown, wParam, lParam);
    case WM_LBUTTONUP:
      return InputMessage(OnLButtonUp, wParam, lParam);
    case WM_MOUSEMOVE:
      return InputMessage(OnMouseMove, wParam, lParam);
    case WM_VSCROLL:
      return InputMessage(OnVScroll, wParam, lParam);
    case WM_TIMER:
      return InputMessage(OnHoverTimer, wParam, lParam);
    default:
      return COleControl::WindowProc(msg, wParam, lParam);
  }
}

void COrvaneCtrl::OnDraw(HDC dc, const RECT& bounds, const RECT&) {
  // A book state changed by the host in the checked-only view reaches the
  // rows here, before the list box asks for them.
  m_core.View().RefreshPendingRows();
  FollowDisplay();
  RECT client{};
  GetClientRect(Window(), &client);
  HBRUSH brush = CreateSolidBrush(StripBackColour());
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  DoSuperclassPaint(dc, bounds);
}

void COrvaneCtrl::DrawRow(const DRAWITEMSTRUCT& drawItem) {
  // A form being designed shows its rows as they are: painting reads no
  // book's file until the form runs.
  struct ReadingHold {
    Library& library;
    bool previous;
    ReadingHold(Library& l, bool held) : library(l), previous(l.FileReadingHeld()) {
      library.HoldFileReading(held || previous);
    }
    ~ReadingHold() { library.HoldFileReading(previous); }
  } hold(m_core.Outline(), !AmbientUserMode());
  RowContext row;
  row.outline = {&m_core.Outline(), &m_core.Checks()};
  row.checkStrip = m_checkStrip.get();
  row.treeStrip = m_treeStrip.get();
  row.alignment = m_alignment;
  row.readingOrder = m_readingOrder;
  row.indent = m_indent;
  row.dpi = m_dpi;
  const RowColours colours =
      PaintColours(m_highContrast, TranslateColor(GetBackColor()), TranslateColor(GetForeColor()));
  row.backColour = colours.back;
  row.foreColour = colours.fore;
  row.font = StockFont().GetFontHandle();
  FontaAtDpi(row.fonta);
  row.text = &LoadBidiTextLibrary();
  row.filePos = &m_filePos;
  row.SetItem(drawItem);
  // A no-data list box hands no item data: the row's node comes from the rows.
  row.node = m_rowList.NodeOf(static_cast<int32_t>(drawItem.itemID));
  ::orvane::DrawRow(row);
}

}  // namespace orvane
