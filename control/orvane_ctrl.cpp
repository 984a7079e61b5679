// COrvaneCtrl: construction, the control's identity for the framework, its
// dispatch interface, its window (an owner-drawn system list box) and the
// painting of its rows.
#include "control/orvane_ctrl.h"

#include <olectl.h>

#include "control/framework/ansi_string.h"
#include "interaction/hover_balloon.h"
#include "interaction/key_input.h"
#include "interaction/mouse_input.h"
#include "render/bidi_text_api.h"
#include "render/row_painter.h"
#include "resources/orvane_dispids.h"
#include "resources/resource_ids.h"

namespace orvane {

// {2A78A059-1BD4-4D73-A4F9-DD40663782BC}
const CLSID CLSID_OrvanePropPage = {
    0x2a78a059, 0x1bd4, 0x4d73, {0xa4, 0xf9, 0xdd, 0x40, 0x66, 0x37, 0x82, 0xbc}};

namespace {

const TypeLibraryId kLibrary{&LIBID_ORVANELib, 1, 0};
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

const CLSID* COrvaneCtrl::PageOfProperty(DISPID id) const {
  switch (id) {
    case DISPID_BACKCOLOR:
    case DISPID_FORECOLOR:
      return &kStandardColorPage;
    case DISPID_FONT:
      return &kStandardFontPage;
    case DISPID_BORDERSTYLE:
      return nullptr;
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
    // fires events into a host that may release it.
    AddRef();
    HRESULT hr = m_dispatch.Invoke(static_cast<IOrvaneAutomation*>(this), id, iid, lcid, flags,
                                   params, result, exception, argError);
    m_announcer.AnnounceCurrentRow(m_rowList);
    Release();
    return hr;
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
  return COleControl::PreCreateWindow(cs);
}

int COrvaneCtrl::OnCreate() {
  if (COleControl::OnCreate() == -1) return -1;
  m_rowList.Attach(Window());
  m_hoverTimerSeam.Attach(Window());
  m_hoverTimerSeam.SetPeriod(m_elapsedTime);
  m_announcer.Attach(Window());

  COLORREF back = TranslateColor(GetBackColor());
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

void COrvaneCtrl::MakeCheckStrip(COLORREF backColour) {
  m_checkStrip.reset();
  HDC dc = Window() ? GetDC(Window()) : nullptr;
  m_checkStrip.reset(new (std::nothrow)
                         GlyphStrip(ComModule::Instance(), dc, kCheckStripBitmap,
                                    kCheckStripColumns, kCheckStripRows, backColour));
  if (dc) ReleaseDC(Window(), dc);
}

void COrvaneCtrl::MakeTreeStrip(COLORREF backColour) {
  m_treeStrip.reset();
  HDC dc = Window() ? GetDC(Window()) : nullptr;
  m_treeStrip.reset(new (std::nothrow)
                        GlyphStrip(ComModule::Instance(), dc, TreeStripBitmapFor(m_alignment),
                                   kTreeStripColumns, kTreeStripRows, backColour));
  if (dc) ReleaseDC(Window(), dc);
}

void COrvaneCtrl::OnBackColorChanged() {
  if (Window() == nullptr) return;  // the strips are made with the window
  COLORREF back = TranslateColor(GetBackColor());
  MakeCheckStrip(back);
  MakeTreeStrip(back);
}

void COrvaneCtrl::MirrorToggle() {
  COLORREF back = TranslateColor(GetBackColor());
  m_alignment = m_alignment == tvLeft ? tvRight : tvLeft;
  MakeTreeStrip(back);
  Refresh();
}

void COrvaneCtrl::FillBalloonFonts() {
  LOGFONTA fonta{};
  if (!m_balloon || !m_fonta.GetLogFont(fonta)) return;
  m_balloon->m_fontaLogFont = fonta;
  m_balloon->m_ansiLogFont = FirstFontDescription(fonta);
}

LRESULT COrvaneCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case OCM_MEASUREITEM:
      MeasureRow(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return 1;
    case OCM_DRAWITEM:
      DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return 1;
    case OCM_COMMAND:
      return 0;
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
  RECT client{};
  GetClientRect(Window(), &client);
  HBRUSH brush = CreateSolidBrush(TranslateColor(GetBackColor()));
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  DoSuperclassPaint(dc, bounds);
}

void COrvaneCtrl::DrawRow(const DRAWITEMSTRUCT& drawItem) {
  RowContext row;
  row.core = &m_core;
  row.checkStrip = m_checkStrip.get();
  row.treeStrip = m_treeStrip.get();
  row.alignment = m_alignment;
  row.readingOrder = m_readingOrder;
  row.indent = m_indent;
  row.backColour = TranslateColor(GetBackColor());
  row.foreColour = TranslateColor(GetForeColor());
  row.font = StockFont().GetFontHandle();
  m_fonta.GetLogFont(row.fonta);
  row.text = &LoadBidiTextLibrary();
  row.filePos = &m_filePos;
  row.SetItem(drawItem);
  // A no-data list box hands no item data: the row's node comes from the rows.
  row.node = m_rowList.NodeOf(static_cast<int32_t>(drawItem.itemID));
  ::orvane::DrawRow(row);
}

}  // namespace orvane
