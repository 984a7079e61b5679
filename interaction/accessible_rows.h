// AccessibleRows: the control's client area as assistive technology reads
// it (Active Accessibility's IAccessible): an outline whose children are the
// visible rows, child id = row index + 1. Each call answers from the rows as
// they are at that moment; no row or node is remembered between calls, so a
// child id names whatever row has that index now, and one past the last row
// is refused with E_INVALIDARG. Actions go through the same operations a
// click or key uses, with the same repaint.
//
// The control makes one per window and hands it out for WM_GETOBJECT; a
// client may hold it longer than the control lives, so Disconnect cuts it
// from the control, after which every call fails with CO_E_OBJNOTCONNECTED.
#pragma once

#include <oleacc.h>
#include <windows.h>

#include <string>
#include <string_view>

namespace orvane {

class InteractionHost;
class OutlineNode;
class RowAnnouncer;

// IAccessible's interface identifier, declared here: the import library's
// symbol of that name is not the GUID itself with every toolchain.
extern const IID kIidAccessible;

// The rows' 8-bit text as assistive technology gets it: Unicode through
// Windows-1256, as the text is painted, whatever the system's code page.
std::wstring AccessibleText(std::string_view text);

class AccessibleRows final : public IAccessible {
 public:
  AccessibleRows(InteractionHost& host, RowAnnouncer& announcer);
  AccessibleRows(const AccessibleRows&) = delete;
  AccessibleRows& operator=(const AccessibleRows&) = delete;

  // The answer to WM_GETOBJECT for OBJID_CLIENT.
  LRESULT Answer(WPARAM wParam);
  void Disconnect();

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch: no type information; clients call through the vtable.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override;
  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** parent) override;
  STDMETHODIMP get_accChildCount(long* count) override;
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override;
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  STDMETHODIMP get_accFocus(VARIANT* focus) override;
  STDMETHODIMP get_accSelection(VARIANT* selection) override;
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
  STDMETHODIMP accSelect(long flags, VARIANT child) override;
  STDMETHODIMP accLocation(long* left, long* top, long* width, long* height,
                           VARIANT child) override;
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
  STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
  STDMETHODIMP accDoDefaultAction(VARIANT child) override;
  STDMETHODIMP put_accName(VARIANT child, BSTR name) override;
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) override;

 private:
  ~AccessibleRows() = default;
  // S_OK with the row a child id names (-1 for the outline itself),
  // CO_E_OBJNOTCONNECTED once disconnected, E_INVALIDARG for an id that
  // names no row now.
  HRESULT Resolve(const VARIANT& child, int32_t* row) const;
  // Resolve, with the row's node: null (and S_OK) for the outline itself.
  HRESULT ResolveNode(const VARIANT& child, const OutlineNode** node) const;
  // Answers a text the rows do not keep (description, help, shortcut).
  HRESULT NoText(const VARIANT& child, BSTR* text) const;
  // Makes the row current as a click on it would.
  void MakeCurrent(int32_t row);

  LONG m_references = 1;
  InteractionHost* m_host;
  RowAnnouncer* m_announcer;
};

}  // namespace orvane
