// COleControl: the container-facing half of an in-process OLE control. It
// implements the embedding, in-place activation, view, persistence, event and
// class-information interfaces for any control, owns the stock properties
// (BackColor, ForeColor, BorderStyle, Font), the stock events, the modified
// flag and the control's window, and calls back into the derived control for
// what only it knows: its class, its dispatch interface, its persisted
// properties, its window class and styles, its painting and its messages.
//
// Beyond those it follows the conventions containers rely on: verbs with a
// property frame, names for enumerated values in property browsers, quick
// activation, persistence into a compound document's storage, and stock
// colours and font that follow the container's ambient values until set.
//
// The control's window is a system window class subclassed by the control,
// placed inside a small reflector window that hands the notifications the
// system control sends to its parent back to the control as OCM_* messages.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "control/framework/com_base.h"
#include "control/framework/connection_point.h"
#include "control/framework/font_holder.h"
#include "control/framework/property_exchange.h"
#include "control/framework/type_library.h"

namespace orvane {

// A value of an enumerated property as a property browser lists it.
struct EnumeratedValue {
  LONG value;
  const wchar_t* display;
};

struct EnumeratedProperty {
  DISPID dispid;
  std::span<const EnumeratedValue> values;
};

// The container's ambient values that the stock properties follow; each may
// be missing.
struct AmbientValues {
  std::optional<OLE_COLOR> backColor;
  std::optional<OLE_COLOR> foreColor;
  IUnknown* font = nullptr;  // any object with IFont; not held
  std::optional<bool> userMode;
};

class COleControl
    : public ComBase<COleControl, IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject,
                     IOleControl, IViewObject2, IPersistStreamInit, IPersistPropertyBag,
                     IConnectionPointContainer, IProvideClassInfo2, ISpecifyPropertyPages,
                     IPerPropertyBrowsing, IQuickActivate, IPersistStorage>,
      private PersistedValues {
 public:
  // `eventIid` is the control's default source interface.
  explicit COleControl(const IID& eventIid);
  ~COleControl() override;

  static std::span<const InterfaceEntry> Interfaces();
  IUnknown* Identity() { return static_cast<IOleObject*>(this); }

  // ---- IOleObject ----
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  STDMETHODIMP Close(DWORD saveOption) override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                      LPCRECT pos) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP IsUpToDate() override;
  STDMETHODIMP GetUserClassID(CLSID* clsid) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* name) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** advises) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

  // ---- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject ----
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override;
  STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;

  // ---- IOleControl ----
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* msg) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // ---- IViewObject2 ----
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                    HDC targetDc, HDC dc, LPCRECTL bounds, LPCRECTL wBounds,
                    BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArg) override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                           HDC targetDc, LOGPALETTE** colors) override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  STDMETHODIMP Unfreeze(DWORD freeze) override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, LPSIZEL size) override;

  // ---- IPersist, IPersistStreamInit, IPersistPropertyBag ----
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // ---- IConnectionPointContainer ----
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // ---- IProvideClassInfo2 ----
  STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

  // ---- ISpecifyPropertyPages ----
  STDMETHODIMP GetPages(CAUUID* pages) override;

  // ---- IPerPropertyBrowsing: the enumerated properties by name ----
  STDMETHODIMP GetDisplayString(DISPID id, BSTR* text) override;
  STDMETHODIMP MapPropertyToPage(DISPID id, CLSID* page) override;
  STDMETHODIMP GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies) override;
  STDMETHODIMP GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* value) override;

  // ---- IQuickActivate ----
  STDMETHODIMP QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  STDMETHODIMP SetContentExtent(LPSIZEL size) override;
  STDMETHODIMP GetContentExtent(LPSIZEL size) override;

  // ---- IPersistStorage: a stream named "Contents" in the stream format ----
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL sameAsLoad) override;
  STDMETHODIMP SaveCompleted(IStorage* storage) override;
  STDMETHODIMP HandsOffStorage() override;

  // ---- Stock properties, with the framework's standard behaviour ----
  OLE_COLOR GetBackColor() const { return m_backColor; }
  HRESULT SetBackColor(OLE_COLOR color);
  OLE_COLOR GetForeColor() const { return m_foreColor; }
  HRESULT SetForeColor(OLE_COLOR color);
  short GetBorderStyle() const { return m_borderStyle; }
  HRESULT SetBorderStyle(short style);
  IFontDisp* GetFont() const { return m_font.GetFontDispatch(); }
  HRESULT SetFont(IFontDisp* font);
  const CFontHolder& StockFont() const { return m_font; }

  // ---- Stock events; nothing is fired while the container freezes events ----
  void FireClick();
  void FireDblClick();
  void FireKeyDown(short& keyCode, short shift);
  void FireKeyPress(short& keyAscii);
  void FireKeyUp(short& keyCode, short shift);
  void FireMouseDown(short button, short shift, LONG x, LONG y);
  void FireMouseMove(short button, short shift, LONG x, LONG y);

  // ---- Services for the derived control ----
  // The container's ambient UserMode: false while it designs a form. A
  // container that does not say is running the form.
  bool AmbientUserMode() const { return m_userMode; }
  // Lets the container select the control, as a click does in design mode:
  // the control becomes UI-active, which is what containers select on.
  void ActivateForSelection();
  void SetModifiedFlag(bool modified = true) { m_modified = modified; }
  COLORREF TranslateColor(OLE_COLOR color) const;
  // Invalidates the whole control and repaints it at once.
  void Refresh();
  void InvalidateControl();
  // The property frame with the control's pages, or the container's own
  // frame when it has one (OLEIVERB_PROPERTIES). Modal.
  HRESULT ShowPropertyFrame(HWND parentHint);
  // Destroys the window and creates it again in the same place.
  void RecreateControlWindow();
  HWND Window() const { return m_hWnd; }
  // The window procedure of the system class the window came from, for
  // messages the control passes on unchanged.
  LRESULT CallSuperProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // The system class paints itself into `dc` (used by OnDraw).
  void DoSuperclassPaint(HDC dc, const RECT& bounds);
  // Creates the control's window as a child of `parent` at `pos`; false when
  // the window could not be made.
  bool CreateControlWindow(HWND parent, const RECT& pos);
  void DestroyControlWindow();

 protected:
  // ---- What only the derived control knows ----
  virtual const CLSID& ClassId() const = 0;
  virtual const TypeLibraryId& TypeLibrary() const = 0;
  virtual const IID& PrimaryDispatchIid() const = 0;
  // The control's automation object (no added reference).
  virtual IDispatch* AutomationDispatch() = 0;
  virtual UINT UserTypeNameId() const = 0;
  virtual DWORD MiscStatus() const = 0;
  virtual std::span<const CLSID* const> PropertyPageIds() const = 0;
  // Properties whose values a property browser lists by name.
  virtual std::span<const EnumeratedProperty> EnumeratedProperties() const { return {}; }
  // Makes the page of `clsid` for the property frame; the default asks COM.
  // A control makes its own pages itself, so that they open also when the
  // module is not registered (made by its class factory, or from a manifest).
  virtual HRESULT CreatePropertyPage(const CLSID& clsid, IPropertyPage** page);
  // The page that edits property `id`; null when none does.
  virtual const CLSID* PageOfProperty(DISPID id) const { return nullptr; }
  virtual PersistenceFormat Format() const = 0;
  // The control's own persisted properties; the stock ones come first.
  virtual std::span<const PersistedProperty> ControlProperties() const = 0;
  virtual HRESULT GetControlProperty(const PersistedProperty& property, VARIANT* out) = 0;
  virtual void SetControlProperty(const PersistedProperty& property, const VARIANT& value) = 0;

  // Window class and styles; `cs` arrives with the framework's styles.
  virtual bool PreCreateWindow(CREATESTRUCTW& cs);
  // After the window exists (also after each re-creation); -1 refuses it.
  virtual int OnCreate();
  // Before the window goes.
  virtual void OnDestroyWindow() {}
  // Every message of the control's window, including reflected OCM_*
  // notifications. The default gives the stock events and passes the rest
  // to the system class.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual void OnDraw(HDC dc, const RECT& bounds, const RECT& invalid);
  // After a stock property changed; the defaults invalidate the control. A
  // control that overrides one decides itself whether to repaint.
  virtual void OnBackColorChanged() { InvalidateControl(); }
  virtual void OnForeColorChanged() { InvalidateControl(); }
  virtual void OnFontChanged() { InvalidateControl(); }
  // After the container switched between design and run mode.
  virtual void OnUserModeChanged() { InvalidateControl(); }
  // Sets every persisted property to its default.
  virtual void OnResetState();

  void* QueryExtraInterface(REFIID iid) override;
  // Fails an automation call with `code` and a description the caller's
  // error object carries (ITypeInfo::Invoke hands both to the host).
  HRESULT ThrowError(HRESULT code, const wchar_t* description);
  // Stores the stock border style without marking the control modified.
  void StoreBorderStyle(short style);
  // Fires event `id` of the events interface to every connected sink, with
  // `args` in reverse order; nothing while events are frozen.
  void FireEvent(DISPID id, VARIANTARG* args, UINT count);

 private:
  // PersistedValues, for the property exchange.
  HRESULT GetPersisted(const PersistedProperty& property, VARIANT* out) override;
  void SetPersisted(const PersistedProperty& property, const VARIANT& value) override;
  // The stock properties' table followed by the control's.
  std::span<const PersistedProperty> PersistedTable();

  HRESULT InPlaceActivate(LONG verb, HWND parentHint, LPCRECT posHint);
  const EnumeratedProperty* FindEnumeratedProperty(DISPID id) const;
  // Stock colours and font that no host has set follow `ambient`.
  void ApplyAmbientValues(const AmbientValues& ambient);
  // Asks the client site for its ambient colours and font.
  void RefreshAmbientValues();
  // Whether the property-notify sinks allow `id` to change (requestedit).
  bool RequestEdit(DISPID id);
  void PropertyChanged(DISPID id);
  void SendViewChange();
  void ApplyBorderStyleToWindow();

  static LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // ControlWindowProc's body, run in its guard: a message that throws is
  // answered 0, as a handled one.
  static LRESULT ControlMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ReflectorWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  ComPtr<IOleClientSite> m_clientSite;
  ComPtr<IOleInPlaceSite> m_inPlaceSite;
  ComPtr<IOleAdviseHolder> m_adviseHolder;
  ComPtr<IAdviseSink> m_viewSink;
  DWORD m_viewAspects = 0;
  DWORD m_viewFlags = 0;

  HWND m_hWnd = nullptr;
  HWND m_reflector = nullptr;
  WNDPROC m_superProc = nullptr;
  bool m_inPlaceActive = false;
  bool m_uiActive = false;
  bool m_modified = false;
  bool m_userMode = true;
  LONG m_freezeEvents = 0;
  SIZEL m_extent{5292, 3969};  // 200 x 150 pixels at 96 dpi, in HIMETRIC

  OLE_COLOR m_backColor = 0x80000000 | COLOR_WINDOW;
  OLE_COLOR m_foreColor = 0x80000000 | COLOR_WINDOWTEXT;
  short m_borderStyle = 0;
  CFontHolder m_font;
  // Whether a host set each stock value (through automation, a page or a
  // stored state); until then it follows the container's ambient value.
  bool m_backColorSet = false;
  bool m_foreColorSet = false;
  bool m_fontSet = false;
  // While the framework itself changes the font, the change is no host's.
  bool m_adoptingFont = false;

  std::vector<PersistedProperty> m_table;

  ConnectionPoint m_eventPoint;
  ConnectionPoint m_propertyNotifyPoint;
};

}  // namespace orvane
