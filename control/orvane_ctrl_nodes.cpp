// COrvaneCtrl: the outline as Node objects, and the events that tell a host
// what the reader does to it.
#include <windowsx.h>

#include <olectl.h>

#include "control/orvane_ctrl.h"
#include "resources/orvane_dispids.h"
#include "rows/row_list.h"

namespace orvane {
namespace {

constexpr wchar_t kNodeGone[] = L"The node no longer exists";
constexpr wchar_t kNotANode[] = L"The value is not a Node of this control.";

}  // namespace

// ---- The change scope and the events ----

COrvaneCtrl::ChangeScope::ChangeScope(COrvaneCtrl& control) : m_control(control) {
  m_control.BeginChange();
}

COrvaneCtrl::ChangeScope::~ChangeScope() { m_control.EndChange(); }

void COrvaneCtrl::BeginChange() {
  AddRef();
  // A host may have moved the list box's selection with a message of its
  // own: what the change acts on is the row the reader sees.
  if (m_changeDepth++ == 0) FollowListSelection();
}

void COrvaneCtrl::FollowListSelection() noexcept {
  const int32_t row = m_rowList.Selection();
  if (OutlineNode* shown = row >= 0 ? m_rowList.NodeOf(row) : nullptr) {
    if (shown != m_core.View().SelectedNode()) m_core.View().SetSelectedNode(shown);
  }
}

void COrvaneCtrl::EndChange() {
  if (--m_changeDepth == 0) FlushChanges();
  // May be the last reference: nothing of the control is touched after it.
  Release();
}

void COrvaneCtrl::QueueEvent(DISPID id, OutlineNode* node, LONG x, LONG y) noexcept {
  try {
    m_pendingEvents.push_back(
        {id, node, m_core.Outline().Generation(), id == ORVANE_DISPID_CONTEXTMENU, x, y});
  } catch (...) {
    // Out of memory: the host misses this event, the rows are as they are.
  }
}

void COrvaneCtrl::NodeOpened(OutlineNode& node) { QueueEvent(ORVANE_DISPID_NODEEXPAND, &node); }
void COrvaneCtrl::NodeClosed(OutlineNode& node) { QueueEvent(ORVANE_DISPID_NODECOLLAPSE, &node); }
void COrvaneCtrl::NodeChecked(OutlineNode& node) { QueueEvent(ORVANE_DISPID_NODECHECK, &node); }

void COrvaneCtrl::FlushChanges() noexcept {
  // Keys and clicks move the list box's selection inside the list box; the
  // current node follows it here, once the key or click is done with, so
  // that ActiveBook and ActiveCategory name the row the reader sees.
  FollowListSelection();
  m_announcer.AnnounceCurrentRow(m_rowList);

  std::vector<PendingEvent> events;
  events.swap(m_pendingEvents);
  OutlineNode* current = m_core.View().SelectedNode();
  const uint32_t generation = m_core.Outline().Generation();
  // No event tells of a current node that went with its outline: a load is
  // a change of everything, and the host made it.
  const bool moved =
      current != nullptr && (current != m_toldSelected || generation != m_toldGeneration);
  m_toldSelected = current;
  m_toldGeneration = generation;
  if (events.empty() && !moved) return;

  // A handler may call back in and change the outline: each event's node is
  // looked at only while its outline still stands.
  for (const PendingEvent& event : events) {
    if (event.generation != m_core.Outline().Generation()) continue;
    FireNodeEvent(event.id, event.node, event.withPoint, event.x, event.y);
  }
  if (moved && generation == m_core.Outline().Generation() &&
      m_core.View().SelectedNode() == current) {
    FireNodeEvent(ORVANE_DISPID_NODESELECT, current, false, 0, 0);
  }
}

void COrvaneCtrl::FireNodeEvent(DISPID id, OutlineNode* node, bool withPoint, LONG x, LONG y) {
  IDispatch* object = nullptr;
  if (node != nullptr && FAILED(m_nodes.NodeFor(node, &object))) return;
  // Arguments go in reverse order.
  VARIANTARG args[3];
  UINT count = 1;
  if (withPoint) {
    V_VT(&args[0]) = VT_I4;
    V_I4(&args[0]) = y;
    V_VT(&args[1]) = VT_I4;
    V_I4(&args[1]) = x;
    count = 3;
  }
  VARIANTARG& nodeArg = args[count - 1];
  V_VT(&nodeArg) = VT_DISPATCH;
  V_DISPATCH(&nodeArg) = object;
  FireEvent(id, args, count);
  if (object) object->Release();
}

int32_t COrvaneCtrl::RowAtPoint(POINT point) const {
  HWND window = const_cast<COrvaneCtrl*>(this)->Window();
  if (window == nullptr) return -1;
  RECT client{};
  GetClientRect(window, &client);
  const int32_t height = m_rowList.RowHeight();
  if (height <= 0 || !PtInRect(&client, point)) return -1;
  const int64_t row = m_rowList.TopIndex() + static_cast<int64_t>(point.y) / height;
  return row < m_rowList.Count() ? static_cast<int32_t>(row) : -1;
}

void COrvaneCtrl::ScrollIntoView(int32_t row) {
  HWND window = Window();
  const int32_t height = m_rowList.RowHeight();
  if (window == nullptr || height <= 0) return;
  RECT client{};
  GetClientRect(window, &client);
  const int32_t shown = std::max<int32_t>(1, (client.bottom - client.top) / height);
  const int32_t top = m_rowList.TopIndex();
  if (row < top) {
    m_rowList.SetTopIndex(row);
  } else if (row >= top + shown) {
    m_rowList.SetTopIndex(row - shown + 1);
  }
}

LRESULT COrvaneCtrl::ContextMenuMessage(LPARAM lParam) {
  ChangeScope scope(*this);
  HWND window = Window();
  if (window == nullptr) return 0;
  OutlineNode* node = nullptr;
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (point.x == -1 && point.y == -1) {
    // From the keyboard (Shift+F10, the menu key): the current row, at the
    // middle of its row when it is shown, else at the client's corner.
    node = m_core.View().SelectedNode();
    point = {0, 0};
    const int32_t row = m_core.View().RowOf(node);
    RECT rect{};
    if (row >= 0 && SendMessageW(window, LB_GETITEMRECT, static_cast<WPARAM>(row),
                                 reinterpret_cast<LPARAM>(&rect)) != LB_ERR) {
      RECT client{};
      GetClientRect(window, &client);
      if (rect.bottom > client.top && rect.top < client.bottom) {
        point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
      }
    }
  } else {
    ScreenToClient(window, &point);
    node = m_rowList.NodeOf(RowAtPoint(point));
  }
  QueueEvent(ORVANE_DISPID_CONTEXTMENU, node, point.x, point.y);
  // Not passed on: the container would show a menu of its own as well.
  return 0;
}

// ---- Members ----

OutlineNode* COrvaneCtrl::NodeArgument(IDispatch* value, HRESULT& hr) {
  hr = S_OK;
  if (OutlineNode* node = m_nodes.NodeOf(value)) return node;
  ComPtr<IDispatch> asNode;
  if (value != nullptr)
    value->QueryInterface(DIID_Node, reinterpret_cast<void**>(asNode.Receive()));
  hr = asNode ? ThrowError(kNodeGoneError, kNodeGone)
              : ThrowError(CTL_E_INVALIDPROPERTYVALUE, kNotANode);
  return nullptr;
}

STDMETHODIMP COrvaneCtrl::get_RootNodes(IDispatch** value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return Guarded([&] {
    const NodeList& roots = m_core.Outline().RootList();
    return m_nodes.MakeNodes(std::vector<OutlineNode*>(roots.begin(), roots.end()), value);
  });
}

STDMETHODIMP COrvaneCtrl::get_SelectedNode(IDispatch** value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return Guarded([&] { return m_nodes.NodeFor(m_core.View().SelectedNode(), value); });
}

STDMETHODIMP COrvaneCtrl::put_SelectedNode(IDispatch* value) {
  ChangeScope scope(*this);
  return Guarded([&]() -> HRESULT {
    if (value == nullptr) {
      // Nothing: no row is current.
      m_rowList.SetSelection(-1);
      m_core.View().SetSelectedNode(nullptr);
      Refresh();
      return S_OK;
    }
    HRESULT hr;
    OutlineNode* node = NodeArgument(value, hr);
    if (node == nullptr) return hr;
    if (m_core.View().SelectNode(node)) Refresh();
    return S_OK;
  });
}

// Unguarded: put_SelectedNode runs in Guarded.
STDMETHODIMP COrvaneCtrl::putref_SelectedNode(IDispatch* value) { return put_SelectedNode(value); }

STDMETHODIMP COrvaneCtrl::HitTest(OLE_XPOS_PIXELS x, OLE_YPOS_PIXELS y, IDispatch** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  return Guarded([&] {
    const POINT point{static_cast<LONG>(x), static_cast<LONG>(y)};
    return m_nodes.NodeFor(m_rowList.NodeOf(RowAtPoint(point)), result);
  });
}

STDMETHODIMP COrvaneCtrl::GetCategoryNode(short category, IDispatch** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  return Guarded([&] {
    OutlineNode* node = m_core.Outline().CategoryNode(category);
    return m_nodes.NodeFor(m_core.Outline().IsCategory(node) ? node : nullptr, result);
  });
}

STDMETHODIMP COrvaneCtrl::GetBookNode(short bookNumber, IDispatch** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  return Guarded([&] { return m_nodes.NodeFor(m_core.Outline().BookNode(bookNumber), result); });
}

STDMETHODIMP COrvaneCtrl::GetSectionNode(short bookNumber, LONG tocPos, IDispatch** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  return Guarded([&] { return m_nodes.NodeFor(m_core.SectionNode(bookNumber, tocPos), result); });
}

STDMETHODIMP COrvaneCtrl::get_TopNode(IDispatch** value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return Guarded([&] {
    OutlineNode* top = m_rowList.Count() > 0 ? m_rowList.NodeOf(m_rowList.TopIndex()) : nullptr;
    return m_nodes.NodeFor(top, value);
  });
}

STDMETHODIMP COrvaneCtrl::put_TopNode(IDispatch* value) {
  ChangeScope scope(*this);
  return Guarded([&]() -> HRESULT {
    HRESULT hr;
    OutlineNode* node = NodeArgument(value, hr);
    if (node == nullptr) return hr;
    const int32_t row = m_core.View().RevealNode(node);
    if (row >= 0) {
      m_rowList.SetTopIndex(row);
      Refresh();
    }
    return S_OK;
  });
}

// Unguarded: put_TopNode runs in Guarded.
STDMETHODIMP COrvaneCtrl::putref_TopNode(IDispatch* value) { return put_TopNode(value); }

}  // namespace orvane
