// COrvaneCtrl: the Orvane control object. It owns the headless core (outline,
// category table, book buffers) over the Win32 seams, the glyph strips and
// the hover balloon, stores every property, serves _DOrvane through the
// type library and paints its rows in its owner-drawn list box.
//
// Where to find a member's behaviour: the automation table is the type
// library (resources/orvane.idl); each get_/put_ below is in
// orvane_ctrl_properties.cpp, each method in orvane_ctrl_methods.cpp, and both
// forward to OrvaneCore (core/orvane_core.h) for the work.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "control/framework/font_holder.h"
#include "control/framework/ole_control.h"
#include "control/framework/type_library.h"
#include "control/node_objects.h"
#include "control/orvane_inspect.h"
#include "core/orvane_core.h"
#include "interaction/accessible_rows.h"
#include "interaction/balloon_window.h"
#include "interaction/interaction_host.h"
#include "interaction/row_announcer.h"
#include "orvane_h.h"
#include "platform/win32/no_data_list_row_list.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_profile_source.h"
#include "platform/win32/window_hover_timer.h"
#include "render/display_scale.h"
#include "render/glyph_strip.h"
#include "render/row_layout.h"
#include "rows/node_events.h"

namespace orvane {

// What the control asks of its container (OLEMISC_*), given at registration
// and by IOleObject::GetMiscStatus alike.
inline constexpr DWORD kOrvaneMiscStatus = OLEMISC_SETCLIENTSITEFIRST |
                                           OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                                           OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
static_assert(kOrvaneMiscStatus == 0x20191, "hosts keep the registered status");

// The hover delay, in milliseconds, of a control that was never given one.
inline constexpr int32_t kDefaultElapsedTime = 1000;

// The messages a user's keys, buttons and mouse send the control's window,
// and the hover timer's tick: what design mode keeps from the rows.
bool IsUserInput(UINT msg);

class COrvaneCtrl final : public COleControl,
                          public IOrvaneAutomation,
                          public IOrvaneInspect,
                          private NodeEvents,
                          private NodeHost {
 public:
  COrvaneCtrl();
  ~COrvaneCtrl() override;

  // ---- IUnknown and IDispatch, shared with the framework ----
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return Guarded([&]() -> HRESULT { return COleControl::QueryInterface(iid, out); });
  }
  // Unguarded: counts references; the destructor it may run allocates nothing.
  STDMETHODIMP_(ULONG) AddRef() override { return COleControl::AddRef(); }
  // Unguarded: as AddRef.
  STDMETHODIMP_(ULONG) Release() override { return COleControl::Release(); }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  // ---- Properties (orvane_ctrl_properties.cpp) ----
  STDMETHODIMP get_Indent(short* value) override;
  STDMETHODIMP put_Indent(short value) override;
  STDMETHODIMP get_ShowBalloonHelp(VARIANT_BOOL* value) override;
  STDMETHODIMP put_ShowBalloonHelp(VARIANT_BOOL value) override;
  STDMETHODIMP get_ElapsedTime(LONG* value) override;
  STDMETHODIMP put_ElapsedTime(LONG value) override;
  STDMETHODIMP get_TocFile(BSTR* value) override;
  STDMETHODIMP put_TocFile(BSTR value) override;
  STDMETHODIMP get_ApplyCheck(VARIANT_BOOL* value) override;
  STDMETHODIMP put_ApplyCheck(VARIANT_BOOL value) override;
  STDMETHODIMP get_TopicName(BSTR* value) override;
  STDMETHODIMP put_TopicName(BSTR value) override;
  STDMETHODIMP get_Alignment(::TAlignment* value) override;
  STDMETHODIMP put_Alignment(::TAlignment value) override;
  STDMETHODIMP get_Fonta(IFontDisp** value) override;
  STDMETHODIMP put_Fonta(IFontDisp* value) override;
  STDMETHODIMP putref_Fonta(IFontDisp* value) override;
  STDMETHODIMP get_ReadingOrder(::TReadingOrder* value) override;
  STDMETHODIMP put_ReadingOrder(::TReadingOrder value) override;
  STDMETHODIMP get_FilePos(LONG* value) override;
  STDMETHODIMP put_FilePos(LONG value) override;
  STDMETHODIMP get_BooksDir(BSTR* value) override;
  STDMETHODIMP put_BooksDir(BSTR value) override;
  STDMETHODIMP get_ActiveCategory(short* value) override;
  STDMETHODIMP put_ActiveCategory(short value) override;
  STDMETHODIMP get_ActiveBook(short* value) override;
  STDMETHODIMP put_ActiveBook(short value) override;
  STDMETHODIMP get_BackColor(LONG* value) override;
  STDMETHODIMP put_BackColor(VARIANT value) override;
  STDMETHODIMP get_ForeColor(LONG* value) override;
  STDMETHODIMP put_ForeColor(VARIANT value) override;
  STDMETHODIMP get_BorderStyle(short* value) override;
  STDMETHODIMP put_BorderStyle(short value) override;
  STDMETHODIMP get_MirrorKeys(VARIANT_BOOL* value) override;
  STDMETHODIMP put_MirrorKeys(VARIANT_BOOL value) override;
  STDMETHODIMP get_Font(IFontDisp** value) override;
  STDMETHODIMP put_Font(IFontDisp* value) override;
  STDMETHODIMP putref_Font(IFontDisp* value) override;

  // ---- Methods (orvane_ctrl_methods.cpp) ----
  STDMETHODIMP Demo() override;
  STDMETHODIMP LoadFromTocFile(BSTR fileName) override;
  STDMETHODIMP LoadFromTextFile(BSTR fileName) override;
  STDMETHODIMP AddChild(LONG index, BSTR text, IUnknown** result) override;
  STDMETHODIMP AddSibling(LONG index, BSTR text, IUnknown** result) override;
  STDMETHODIMP ChangeStateSelected() override;
  STDMETHODIMP LoadBooks(BSTR topicName, VARIANT_BOOL* result) override;
  STDMETHODIMP GetSectionTitle(short book, LONG tocPos, BSTR* result) override;
  STDMETHODIMP GotoTocPosition(short book, LONG tocPosition, VARIANT_BOOL* result) override;
  STDMETHODIMP SetStateBook(short bookId, VARIANT_BOOL checked, VARIANT_BOOL* result) override;
  STDMETHODIMP GetStateBook(short bookId, short* result) override;
  STDMETHODIMP ActivateBook(short bookId) override;
  STDMETHODIMP DeactivateBook(short bookId) override;
  STDMETHODIMP GetParentPos(short book, LONG tocPos, LONG* result) override;
  STDMETHODIMP AboutBox() override;

  // ---- The outline as Node objects (orvane_ctrl_nodes.cpp) ----
  STDMETHODIMP get_RootNodes(IDispatch** value) override;
  STDMETHODIMP get_SelectedNode(IDispatch** value) override;
  STDMETHODIMP put_SelectedNode(IDispatch* value) override;
  STDMETHODIMP putref_SelectedNode(IDispatch* value) override;
  STDMETHODIMP HitTest(OLE_XPOS_PIXELS x, OLE_YPOS_PIXELS y, IDispatch** result) override;
  STDMETHODIMP GetCategoryNode(short category, IDispatch** result) override;
  STDMETHODIMP GetBookNode(short bookNumber, IDispatch** result) override;
  STDMETHODIMP GetSectionNode(short bookNumber, LONG tocPos, IDispatch** result) override;
  STDMETHODIMP get_TopNode(IDispatch** value) override;
  STDMETHODIMP put_TopNode(IDispatch* value) override;
  STDMETHODIMP putref_TopNode(IDispatch* value) override;

  // ---- Finding titles and type-ahead (orvane_ctrl_find.cpp) ----
  STDMETHODIMP Find(BSTR text, LONG maxCount, IDispatch** result) override;
  STDMETHODIMP FindNext(BSTR text, VARIANT_BOOL* result) override;
  STDMETHODIMP FindPrevious(BSTR text, VARIANT_BOOL* result) override;
  STDMETHODIMP FoldText(BSTR text, BSTR* result) override;
  STDMETHODIMP get_TypeAhead(VARIANT_BOOL* value) override;
  STDMETHODIMP put_TypeAhead(VARIANT_BOOL value) override;

  // The Nodes of this control, for anything built on the outline (finding):
  // see control/node_objects.h.
  NodeRegistry& Nodes() { return m_nodes; }

  // Holds a change open: a host call, an input message, a screen reader's
  // action or a Node's. At the outermost end the current node is taken from
  // the list box's selection (keys and clicks move it inside the list box),
  // the current row is announced, and the events of the change fire, in
  // the order the changes were made, followed by NodeSelect when the
  // current node moved. This is the one place a change of the current row
  // is observed, so every cause fires NodeSelect once. It keeps the control
  // alive to its end.
  class ChangeScope {
   public:
    explicit ChangeScope(COrvaneCtrl& control);
    ~ChangeScope();
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

   private:
    COrvaneCtrl& m_control;
  };

  // ---- IOrvaneInspect, for our test container ----
  STDMETHODIMP GetRows(BSTR* rows) override;

  // The mirror toggle of the Shift+Ctrl and Shift+A chords: swaps the
  // layout side and its tree strip and repaints, without marking modified.
  void MirrorToggle();

 protected:
  const CLSID& ClassId() const override;
  const TypeLibraryId& TypeLibrary() const override;
  const IID& PrimaryDispatchIid() const override;
  IDispatch* AutomationDispatch() override { return static_cast<IOrvaneAutomation*>(this); }
  void* QueryExtraInterface(REFIID iid) override;
  UINT UserTypeNameId() const override;
  DWORD MiscStatus() const override;
  std::span<const CLSID* const> PropertyPageIds() const override;
  std::span<const EnumeratedProperty> EnumeratedProperties() const override;
  const CLSID* PageOfProperty(DISPID id) const override;
  HRESULT CreatePropertyPage(const CLSID& clsid, IPropertyPage** page) override;
  PersistenceFormat Format() const override;
  std::span<const PersistedProperty> ControlProperties() const override;
  HRESULT GetControlProperty(const PersistedProperty& property, VARIANT* out) override;
  void SetControlProperty(const PersistedProperty& property, const VARIANT& value) override;

  bool PreCreateWindow(CREATESTRUCTW& cs) override;
  int OnCreate() override;
  void OnDestroyWindow() override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnDraw(HDC dc, const RECT& bounds, const RECT& invalid) override;
  void OnBackColorChanged() override;
  void OnUserModeChanged() override;

  // Paints one row of the list box (its owner-draw request).
  virtual void DrawRow(const DRAWITEMSTRUCT& drawItem);

 private:
  void MakeCheckStrip(COLORREF backColour);
  void MakeTreeStrip(COLORREF backColour);
  // The back colour the strips are composed on: BackColor, or the system's
  // window colour while high contrast is on.
  COLORREF StripBackColour();
  // The balloon's two font descriptions from Fonta (step 2 of a Fonta set).
  void FillBalloonFonts();
  // Fonta's description at the window's DPI: its point size in the window's
  // pixels (the font object realizes it at the system's DPI).
  bool FontaAtDpi(LOGFONTA& fonta) const;
  // Takes up the window's DPI and the system's high-contrast state when
  // either changed since the rows were laid out: the row height, strips and
  // fonts follow. True when anything changed.
  bool FollowDisplay();
  HRESULT SetFonta(IFontDisp* font);

  // The persisted properties, each bound to its member, in the order they
  // are saved (orvane_ctrl_properties.cpp).
  struct PropertyBinding;
  static std::span<const PropertyBinding> PersistedBindings();
  // Null for a DISPID that is no persisted property of the control.
  static const PropertyBinding* FindBinding(DISPID id);
  // Runs one of interaction/'s message handlers over the input site, keeping
  // the control alive through it and announcing the current row after it
  // (orvane_ctrl_input.cpp). WindowProc picks the handler.
  using InputHandler = LRESULT (*)(InteractionHost& host, WPARAM wParam, LPARAM lParam);
  LRESULT InputMessage(InputHandler handler, WPARAM wParam, LPARAM lParam);
  // A key, click, mouse move or hover tick while the container designs its
  // form: the control only lets itself be selected (orvane_ctrl_input.cpp).
  LRESULT DesignModeInput(UINT msg);
  // WM_GETOBJECT: the rows' accessible object for the client area.
  LRESULT AccessibleObjectMessage(WPARAM wParam, LPARAM lParam);
  // WM_CONTEXTMENU: the host's ContextMenu event, with the row under the
  // point or, from the keyboard, the current row.
  LRESULT ContextMenuMessage(LPARAM lParam);

  // ---- Events (orvane_ctrl_nodes.cpp) ----
  // NodeEvents: each change is kept until its scope ends.
  void NodeOpened(OutlineNode& node) override;
  void NodeClosed(OutlineNode& node) override;
  void NodeChecked(OutlineNode& node) override;
  void QueueEvent(DISPID id, OutlineNode* node, LONG x = 0, LONG y = 0) noexcept;
  // The end of the outermost ChangeScope.
  void FlushChanges() noexcept;
  // Makes the list box's selected row's node the current node.
  // Only reads the rows: a scope's opening, which has taken its reference,
  // must not fail.
  void FollowListSelection() noexcept;
  void FireNodeEvent(DISPID id, OutlineNode* node, bool withPoint, LONG x, LONG y);
  // The row at a point of the client area, or -1.
  int32_t RowAtPoint(POINT point) const;
  // A host's Node argument: the node, or null with the refusal in `hr`.
  OutlineNode* NodeArgument(IDispatch* value, HRESULT& hr);

  // NodeHost
  OrvaneCore& Core() override { return m_core; }
  void BeginChange() override;
  void EndChange() override;
  void Repaint() override { Refresh(); }
  void ScrollIntoView(int32_t row) override;

  // What the input and balloon handlers ask of the control.
  class InputSite final : public InteractionHost {
   public:
    explicit InputSite(COrvaneCtrl& control) : m_control(control) {}
    HWND ControlWindow() const override;
    OrvaneCore& Core() override;
    BalloonWindow* Balloon() override;
    int16_t Alignment() const override;
    int16_t Indent() const override;
    int Dpi() const override;
    bool MirrorKeys() const override;
    bool ShowBalloonHelp() const override;
    int TreeCellWidth() const override;
    int CheckCellWidth() const override;
    HFONT FontaHandle() const override;
    HFONT StockFontHandle() const override;
    const BidiTextApi& TextLibrary() override;
    void MirrorToggle() override;
    void Repaint() override;
    bool TakesInput() const override;
    void StartHoverTimer() override;
    void KillHoverTimer() override;
    LRESULT StockHandling(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT ListBoxHandling(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool TypeAhead() const override;
    TypeAheadPrefix& TypedPrefix() override;
    void FireKeyPress(short& keyAscii) override;
    void BeginChange() override { m_control.BeginChange(); }
    void EndChange() override { m_control.EndChange(); }

   private:
    COrvaneCtrl& m_control;
  };

  Win32ProfileSource m_profileSource;
  Win32FileSystem m_fileSystem;
  NoDataListRowList m_rowList;
  WindowHoverTimer m_hoverTimerSeam;
  // Declared before the core, which tells it of row changes.
  RowAnnouncer m_announcer;
  OrvaneCore m_core;
  TypeInfoDispatch m_dispatch;
  // After the core, so that Nodes are cut off before the outline goes.
  NodeRegistry m_nodes{static_cast<NodeHost&>(*this)};

  // The changes of the open scope, told by the core as they are made.
  struct PendingEvent {
    DISPID id;
    OutlineNode* node;
    uint32_t generation;  // of the outline the node belongs to
    bool withPoint;
    LONG x;
    LONG y;
  };
  std::vector<PendingEvent> m_pendingEvents;
  int m_changeDepth = 0;
  // The current node last told to the host by NodeSelect, as an identity.
  const OutlineNode* m_toldSelected = nullptr;
  uint32_t m_toldGeneration = 0;

  std::unique_ptr<BalloonWindow> m_balloon;
  std::unique_ptr<GlyphStrip> m_checkStrip;
  std::unique_ptr<GlyphStrip> m_treeStrip;
  // The construction resets every persisted property to its table default.
  int16_t m_alignment = tvRight;
  int16_t m_readingOrder = LTR;
  int32_t m_filePos = 0;
  CFontHolder m_fonta;
  int16_t m_indent = kDefaultIndent;
  bool m_showBalloonHelp = true;
  bool m_typeAhead = false;
  // The characters typed so far, until a pause starts afresh.
  TypeAheadPrefix m_typeAheadPrefix;
  int32_t m_elapsedTime = kDefaultElapsedTime;
  bool m_mirrorKeys = true;
  // What the rows are laid out and the strips built for: the window's DPI
  // and whether high contrast was on.
  int m_dpi = kDefaultDpi;
  bool m_highContrast = false;
  InputSite m_inputSite{*this};
  // Made at the first WM_GETOBJECT of each window, cut off when it goes.
  AccessibleRows* m_accessible = nullptr;
};

// The property page's class GUID.
extern const CLSID CLSID_OrvanePropPage;

}  // namespace orvane
