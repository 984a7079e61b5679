#include "interaction/accessible_rows.h"

#include <cstdint>
#include <string>

#include "core/orvane_core.h"
#include "interaction/interaction_host.h"
#include "interaction/row_announcer.h"
#include "loading/cp1256.h"
#include "model/outline_node.h"
#include "platform/win32/com_guard.h"
#include "render/row_layout.h"
#include "rows/row_list.h"

namespace orvane {

// {618736E0-3C3D-11CF-810C-00AA00389B71}
const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::wstring AccessibleText(std::string_view text) {
  std::wstring out(text.size(), L'\0');
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<wchar_t>(Cp1256ToUnicode(static_cast<uint8_t>(text[i])));
  return out;
}

namespace {

// Brackets an action for the control, whose host hears of it at the end;
// nothing of the control is touched after that end.
class HostChange {
 public:
  explicit HostChange(InteractionHost& host) : m_host(host) { m_host.BeginChange(); }
  ~HostChange() { m_host.EndChange(); }
  HostChange(const HostChange&) = delete;
  HostChange& operator=(const HostChange&) = delete;

 private:
  InteractionHost& m_host;
};

// What activating a row does: what a click on its button or check box does.
enum class RowAction { kNone, kExpand, kCollapse, kCheck, kUncheck };

RowAction ActionOf(const OrvaneCore& core, const OutlineNode& node) {
  // A greyed book is selected by a click but neither opened nor checked.
  if (!node.m_active) return RowAction::kNone;
  if (core.Outline().CanOpen(node))
    return node.m_expanded ? RowAction::kCollapse : RowAction::kExpand;
  // Only categories and books keep a state a click can change.
  if (core.Checks().ApplyCheck() &&
      (core.Outline().IsCategory(&node) || core.Outline().IsBook(&node))) {
    return core.Checks().GetCheckState(&node) == csChecked ? RowAction::kUncheck
                                                           : RowAction::kCheck;
  }
  return RowAction::kNone;
}

const wchar_t* ActionName(RowAction action) {
  switch (action) {
    case RowAction::kExpand:
      return L"Expand";
    case RowAction::kCollapse:
      return L"Collapse";
    case RowAction::kCheck:
      return L"Check";
    case RowAction::kUncheck:
      return L"Uncheck";
    case RowAction::kNone:
      break;
  }
  return nullptr;
}

HRESULT TextResult(BSTR text, BSTR* out) {
  *out = text;
  return text != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChildId(VARIANT* out, int32_t row) {
  V_VT(out) = VT_I4;
  V_I4(out) = row + 1;
}

bool HasKeyboardFocus(HWND window) { return window != nullptr && GetFocus() == window; }

// The row's rectangle in the list box's client area (single column, fixed
// height), whether or not it is scrolled into view.
RECT RowRect(const RowList& rows, HWND window, int32_t row) {
  RECT client{};
  GetClientRect(window, &client);
  const int32_t height = rows.RowHeight();
  const int32_t top = (row - rows.TopIndex()) * height;
  return RECT{client.left, top, client.right, top + height};
}

long RowState(InteractionHost& host, int32_t row, const OutlineNode& node) {
  const OrvaneCore& core = host.Core();
  const RowList& rows = core.Rows();
  long state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
  if (rows.Selection() == row) {
    state |= STATE_SYSTEM_SELECTED;
    if (HasKeyboardFocus(host.ControlWindow())) state |= STATE_SYSTEM_FOCUSED;
  }
  RECT client{};
  GetClientRect(host.ControlWindow(), &client);
  const RECT rect = RowRect(rows, host.ControlWindow(), row);
  if (rect.bottom <= client.top || rect.top >= client.bottom) {
    state |= STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE;
  }
  if (core.Outline().CanOpen(node))
    state |= node.m_expanded ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
  if (!node.m_active) state |= STATE_SYSTEM_UNAVAILABLE;
  // The box the row is painted with in the check view.
  if (core.Checks().ApplyCheck()) {
    const int16_t check = core.Checks().GetCheckState(&node);
    if (check == csChecked) state |= STATE_SYSTEM_CHECKED;
    if (check == csPartial) state |= STATE_SYSTEM_MIXED;
  }
  return state;
}

}  // namespace

AccessibleRows::AccessibleRows(InteractionHost& host, RowAnnouncer& announcer)
    : m_host(&host), m_announcer(&announcer) {}

LRESULT AccessibleRows::Answer(WPARAM wParam) {
  return LresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(this));
}

void AccessibleRows::Disconnect() {
  m_host = nullptr;
  m_announcer = nullptr;
  // Clients in other processes hold proxies; cut them off too.
  CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

STDMETHODIMP AccessibleRows::QueryInterface(REFIID iid, void** out) {
  return Guarded([&]() -> HRESULT {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIidAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  });
}

// Unguarded: counts references.
STDMETHODIMP_(ULONG) AccessibleRows::AddRef() { return InterlockedIncrement(&m_references); }

// Unguarded: counts references; the destructor allocates nothing.
STDMETHODIMP_(ULONG) AccessibleRows::Release() {
  const ULONG left = InterlockedDecrement(&m_references);
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP AccessibleRows::GetTypeInfoCount(UINT* count) {
  return Guarded([&]() -> HRESULT {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  return Guarded([&]() -> HRESULT {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  });
}

STDMETHODIMP AccessibleRows::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

STDMETHODIMP AccessibleRows::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                    UINT*) {
  return E_NOTIMPL;
}

HRESULT AccessibleRows::Resolve(const VARIANT& child, int32_t* row) const {
  *row = -1;
  if (m_host == nullptr) return CO_E_OBJNOTCONNECTED;
  VARIANT id;
  VariantInit(&id);
  if (FAILED(VariantChangeType(&id, const_cast<VARIANT*>(&child), 0, VT_I4))) return E_INVALIDARG;
  const LONG value = V_I4(&id);
  if (value == CHILDID_SELF) return S_OK;
  if (value < 1 || value > m_host->Core().Rows().Count()) return E_INVALIDARG;
  *row = value - 1;
  return S_OK;
}

HRESULT AccessibleRows::ResolveNode(const VARIANT& child, const OutlineNode** node) const {
  *node = nullptr;
  int32_t row;
  HRESULT hr = Resolve(child, &row);
  if (FAILED(hr) || row < 0) return hr;
  *node = m_host->Core().Rows().NodeOf(row);
  return *node != nullptr ? S_OK : E_INVALIDARG;
}

STDMETHODIMP AccessibleRows::get_accParent(IDispatch** parent) {
  return Guarded([&]() -> HRESULT {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (m_host == nullptr) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(m_host->ControlWindow(), static_cast<DWORD>(OBJID_WINDOW),
                                      IID_IDispatch, reinterpret_cast<void**>(parent));
  });
}

STDMETHODIMP AccessibleRows::get_accChildCount(long* count) {
  return Guarded([&]() -> HRESULT {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    if (m_host == nullptr) return CO_E_OBJNOTCONNECTED;
    *count = m_host->Core().Rows().Count();
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::get_accChild(VARIANT child, IDispatch** out) {
  return Guarded([&]() -> HRESULT {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    int32_t row;
    HRESULT hr = Resolve(child, &row);
    if (FAILED(hr)) return hr;
    // The rows are simple elements of this object, reached by child id.
    return row < 0 ? E_INVALIDARG : S_FALSE;
  });
}

STDMETHODIMP AccessibleRows::get_accName(VARIANT child, BSTR* name) {
  return Guarded([&]() -> HRESULT {
    if (name == nullptr) return E_POINTER;
    *name = nullptr;
    const OutlineNode* node;
    HRESULT hr = ResolveNode(child, &node);
    if (FAILED(hr) || node == nullptr) return FAILED(hr) ? hr : S_FALSE;
    const std::wstring title = AccessibleText(node->TitleText());
    return TextResult(SysAllocStringLen(title.data(), static_cast<UINT>(title.size())), name);
  });
}

STDMETHODIMP AccessibleRows::get_accValue(VARIANT child, BSTR* value) {
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    const OutlineNode* node;
    HRESULT hr = ResolveNode(child, &node);
    if (FAILED(hr) || node == nullptr) return FAILED(hr) ? hr : S_FALSE;
    // Outline items report their depth, 1 for the top level.
    return TextResult(SysAllocString(std::to_wstring(node->Level() + 1).c_str()), value);
  });
}

HRESULT AccessibleRows::NoText(const VARIANT& child, BSTR* text) const {
  if (text == nullptr) return E_POINTER;
  *text = nullptr;
  int32_t row;
  HRESULT hr = Resolve(child, &row);
  return FAILED(hr) ? hr : S_FALSE;
}

STDMETHODIMP AccessibleRows::get_accDescription(VARIANT child, BSTR* description) {
  return Guarded([&]() -> HRESULT { return NoText(child, description); });
}

STDMETHODIMP AccessibleRows::get_accRole(VARIANT child, VARIANT* role) {
  return Guarded([&]() -> HRESULT {
    if (role == nullptr) return E_POINTER;
    VariantInit(role);
    int32_t row;
    HRESULT hr = Resolve(child, &row);
    if (FAILED(hr)) return hr;
    V_VT(role) = VT_I4;
    V_I4(role) = row < 0 ? ROLE_SYSTEM_OUTLINE : ROLE_SYSTEM_OUTLINEITEM;
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::get_accState(VARIANT child, VARIANT* state) {
  return Guarded([&]() -> HRESULT {
    if (state == nullptr) return E_POINTER;
    VariantInit(state);
    int32_t row;
    HRESULT hr = Resolve(child, &row);
    if (FAILED(hr)) return hr;
    V_VT(state) = VT_I4;
    HWND window = m_host->ControlWindow();
    if (row < 0) {
      long own = STATE_SYSTEM_FOCUSABLE;
      if (HasKeyboardFocus(window)) own |= STATE_SYSTEM_FOCUSED;
      if (window == nullptr || !IsWindowVisible(window)) own |= STATE_SYSTEM_INVISIBLE;
      if (window != nullptr && !IsWindowEnabled(window)) own |= STATE_SYSTEM_UNAVAILABLE;
      V_I4(state) = own;
      return S_OK;
    }
    const OutlineNode* node = m_host->Core().Rows().NodeOf(row);
    if (node == nullptr) return E_INVALIDARG;
    V_I4(state) = RowState(*m_host, row, *node);
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::get_accHelp(VARIANT child, BSTR* help) {
  return Guarded([&]() -> HRESULT { return NoText(child, help); });
}

STDMETHODIMP AccessibleRows::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
  return Guarded([&]() -> HRESULT {
    if (file == nullptr || topic == nullptr) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    int32_t row;
    HRESULT hr = Resolve(child, &row);
    return FAILED(hr) ? hr : S_FALSE;
  });
}

STDMETHODIMP AccessibleRows::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return Guarded([&]() -> HRESULT { return NoText(child, shortcut); });
}

STDMETHODIMP AccessibleRows::get_accFocus(VARIANT* focus) {
  return Guarded([&]() -> HRESULT {
    if (focus == nullptr) return E_POINTER;
    VariantInit(focus);
    if (m_host == nullptr) return CO_E_OBJNOTCONNECTED;
    if (!HasKeyboardFocus(m_host->ControlWindow())) return S_FALSE;
    // The current row holds the focus; with none, the outline itself does.
    SetChildId(focus, m_host->Core().Rows().Selection());
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::get_accSelection(VARIANT* selection) {
  return Guarded([&]() -> HRESULT {
    if (selection == nullptr) return E_POINTER;
    VariantInit(selection);
    if (m_host == nullptr) return CO_E_OBJNOTCONNECTED;
    const int32_t row = m_host->Core().Rows().Selection();
    if (row < 0) return S_FALSE;
    SetChildId(selection, row);
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::get_accDefaultAction(VARIANT child, BSTR* action) {
  return Guarded([&]() -> HRESULT {
    if (action == nullptr) return E_POINTER;
    *action = nullptr;
    const OutlineNode* node;
    HRESULT hr = ResolveNode(child, &node);
    if (FAILED(hr) || node == nullptr) return FAILED(hr) ? hr : S_FALSE;
    const wchar_t* name = ActionName(ActionOf(m_host->Core(), *node));
    if (name == nullptr) return S_FALSE;
    return TextResult(SysAllocString(name), action);
  });
}

void AccessibleRows::MakeCurrent(int32_t row) {
  OrvaneCore& core = m_host->Core();
  core.Rows().SetSelection(row);
  core.View().SetSelectedNode(core.Rows().NodeOf(row));
}

STDMETHODIMP AccessibleRows::accSelect(long flags, VARIANT child) {
  return Guarded([&]() -> HRESULT {
    int32_t row;
    HRESULT hr = Resolve(child, &row);
    if (FAILED(hr)) return hr;
    // One row is current at a time: it can be taken, not added to or removed.
    constexpr long kSupported = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION;
    if (flags == 0 || (flags & ~kSupported) != 0) return E_INVALIDARG;
    if (row < 0 && (flags & SELFLAG_TAKESELECTION)) return E_INVALIDARG;
    HostChange change(*m_host);
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(m_host->ControlWindow());
    if (row >= 0) MakeCurrent(row);
    m_announcer->AnnounceCurrentRow(m_host->Core().Rows());
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::accLocation(long* left, long* top, long* width, long* height,
                                         VARIANT child) {
  return Guarded([&]() -> HRESULT {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
      return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    int32_t row;
    HRESULT hr = Resolve(child, &row);
    if (FAILED(hr)) return hr;
    HWND window = m_host->ControlWindow();
    RECT rect{};
    if (row < 0) {
      GetClientRect(window, &rect);
    } else {
      rect = RowRect(m_host->Core().Rows(), window, row);
    }
    POINT corner{rect.left, rect.top};
    ClientToScreen(window, &corner);
    *left = corner.x;
    *top = corner.y;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::accNavigate(long direction, VARIANT start, VARIANT* end) {
  return Guarded([&]() -> HRESULT {
    if (end == nullptr) return E_POINTER;
    VariantInit(end);
    int32_t row;
    HRESULT hr = Resolve(start, &row);
    if (FAILED(hr)) return hr;
    const RowList& rows = m_host->Core().Rows();
    const int32_t count = rows.Count();
    int32_t target = -1;
    if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
      if (row >= 0) return E_INVALIDARG;
      if (count > 0) target = direction == NAVDIR_FIRSTCHILD ? 0 : count - 1;
    } else if (row < 0) {
      // Among its own siblings the outline is the window's to place.
      return S_FALSE;
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
      if (row + 1 < count) target = row + 1;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
      if (row > 0) target = row - 1;
    } else if (direction == NAVDIR_LEFT || direction == NAVDIR_RIGHT) {
      // Toward the tree lines is toward the parent, as the arrow keys go: left
      // in the left layout, right in the right one; the other way is the first
      // child, when its row is shown.
      const bool outward = (direction == NAVDIR_LEFT) != IsRightLayout(m_host->Alignment());
      const OutlineNode* node = rows.NodeOf(row);
      if (node == nullptr) return E_INVALIDARG;
      if (outward) {
        for (int32_t above = row - 1; above >= 0 && node->Level() > 0; --above) {
          const OutlineNode* parent = rows.NodeOf(above);
          if (parent != nullptr && parent->Level() < node->Level()) {
            target = above;
            break;
          }
        }
      } else {
        const OutlineNode* next = rows.NodeOf(row + 1);
        if (next != nullptr && next->Level() > node->Level()) target = row + 1;
      }
    } else {
      return E_INVALIDARG;
    }
    if (target < 0) return S_FALSE;
    SetChildId(end, target);
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::accHitTest(long x, long y, VARIANT* child) {
  return Guarded([&]() -> HRESULT {
    if (child == nullptr) return E_POINTER;
    VariantInit(child);
    if (m_host == nullptr) return CO_E_OBJNOTCONNECTED;
    HWND window = m_host->ControlWindow();
    POINT point{x, y};
    ScreenToClient(window, &point);
    RECT client{};
    GetClientRect(window, &client);
    if (!PtInRect(&client, point)) return S_FALSE;
    const RowList& rows = m_host->Core().Rows();
    const int32_t height = rows.RowHeight();
    const int32_t row = height > 0 ? rows.TopIndex() + point.y / height : -1;
    // Below the last row is the outline itself.
    SetChildId(child, row >= 0 && row < rows.Count() ? row : -1);
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::accDoDefaultAction(VARIANT child) {
  return Guarded([&]() -> HRESULT {
    int32_t row;
    HRESULT hr = Resolve(child, &row);
    if (FAILED(hr)) return hr;
    if (row < 0) return DISP_E_MEMBERNOTFOUND;
    OrvaneCore& core = m_host->Core();
    const OutlineNode* node = core.Rows().NodeOf(row);
    if (node == nullptr) return E_INVALIDARG;
    if (!m_host->TakesInput()) return DISP_E_MEMBERNOTFOUND;
    const RowAction action = ActionOf(core, *node);
    if (action == RowAction::kNone) return DISP_E_MEMBERNOTFOUND;
    HostChange change(*m_host);
    // As a click on the row's button or box: the row becomes current first.
    MakeCurrent(row);
    if (action == RowAction::kExpand || action == RowAction::kCollapse) {
      core.View().ToggleNode(static_cast<int16_t>(row));
    } else {
      core.View().ChangeStateSelected();
    }
    m_host->Repaint();
    m_announcer->AnnounceCurrentRow(core.Rows());
    return S_OK;
  });
}

STDMETHODIMP AccessibleRows::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
STDMETHODIMP AccessibleRows::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace orvane
