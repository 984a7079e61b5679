#include "control/node_objects.h"

#include <olectl.h>

#include <algorithm>
#include <new>
#include <utility>

#include "control/framework/ansi_string.h"
#include "control/framework/com_base.h"
#include "control/framework/type_library.h"
#include "core/orvane_core.h"
#include "orvane_h.h"
#include "rows/row_list.h"

namespace orvane {
namespace {

const TypeLibraryId kNodeLibrary{&LIBID_ORVANELib, 1, 1};
constexpr wchar_t kSource[] = L"Orvane";
constexpr wchar_t kNodeGone[] = L"The node no longer exists";
constexpr wchar_t kInvalidValue[] = L"Invalid property value.";

// Private to this module: how the registry recognises its own Nodes among
// the objects a host hands back. {311CEF70-465B-4209-95F1-076D89CE4363}
const IID kIidNodeObject = {
    0x311cef70, 0x465b, 0x4209, {0x95, 0xf1, 0x07, 0x6d, 0x89, 0xce, 0x43, 0x63}};

VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

HRESULT Raise(HRESULT code, const wchar_t* description, const IID& iid) {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.Receive())) && create) {
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(kSource));
    create->SetDescription(const_cast<LPOLESTR>(description));
    ComPtr<IErrorInfo> info = create.As<IErrorInfo>(IID_IErrorInfo);
    if (info) SetErrorInfo(0, info.Get());
  }
  return code;
}

// Holds a change made through a Node open for a scope; see NodeHost.
class ChangeBracket {
 public:
  explicit ChangeBracket(NodeHost& host) : m_host(host) { m_host.BeginChange(); }
  ~ChangeBracket() { m_host.EndChange(); }
  ChangeBracket(const ChangeBracket&) = delete;
  ChangeBracket& operator=(const ChangeBracket&) = delete;

 private:
  NodeHost& m_host;
};

size_t HashOf(const OutlineNode* node) {
  // Nodes come from a pool, a fixed size apart: the low bits say little.
  auto bits = reinterpret_cast<uintptr_t>(node);
  bits ^= bits >> 17;
  bits *= static_cast<uintptr_t>(0x9E3779B97F4A7C15ull);
  return static_cast<size_t>(bits ^ (bits >> 29));
}

}  // namespace

// ---- Node ----

class NodeObject final : public ComBase<NodeObject, INodeAutomation> {
 public:
  NodeObject(NodeRegistry& registry, OutlineNode& node) : m_node(&node), m_registry(&registry) {}
  ~NodeObject() override {
    if (m_registry != nullptr) m_registry->Forget(this);
  }

  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry entries[] = {
        {&IID_IDispatch, CastTo<NodeObject, IDispatch>},
        {&IID_INodeAutomation, CastTo<NodeObject, INodeAutomation>},
        {&DIID_Node, CastTo<NodeObject, IDispatch>},
        {&kIidNodeObject, CastTo<NodeObject, INodeAutomation>},
    };
    return entries;
  }

  OutlineNode* Node() const { return m_node; }
  // The registry lets go of the Node: its outline is gone.
  void Detach() {
    m_node = nullptr;
    m_registry = nullptr;
  }

  // IDispatch, from the type library.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    return Guarded([&] { return Dispatch().GetTypeInfoCount(count); });
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return Guarded([&] { return Dispatch().GetTypeInfo(index, lcid, info); });
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override {
    return Guarded([&] { return Dispatch().GetIDsOfNames(iid, names, count, lcid, ids); });
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    return Guarded([&] {
      // A handler of an event a member fires may release the last reference.
      ComPtr<NodeObject> self(this);
      return Dispatch().Invoke(static_cast<INodeAutomation*>(this), id, iid, lcid, flags, params,
                               result, exception, argError);
    });
  }

  // The members below run their bodies through Read and Change, each of
  // which runs it in Guarded.
  // Guards: Read, Change

  STDMETHODIMP get_Title(BSTR* value) override {
    return Read(value, [&](OrvaneCore&, OutlineNode& node) -> HRESULT {
      *value = BstrFromAnsi(node.TitleText());
      return *value ? S_OK : E_OUTOFMEMORY;
    });
  }
  STDMETHODIMP get_Level(LONG* value) override {
    return Read(value, [&](OrvaneCore&, OutlineNode& node) {
      *value = node.Level();
      return S_OK;
    });
  }
  STDMETHODIMP get_Kind(TNodeKind* value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      *value = static_cast<TNodeKind>(core.KindOf(node));
      return S_OK;
    });
  }
  STDMETHODIMP get_Category(short* value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      *value = core.CategoryOf(node);
      return S_OK;
    });
  }
  STDMETHODIMP get_BookNumber(short* value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      const auto kind = core.KindOf(node);
      const bool ofBook =
          kind == OrvaneCore::NodeKind::kBook || kind == OrvaneCore::NodeKind::kSection;
      *value = ofBook ? node.m_bookNumber : 0;
      return S_OK;
    });
  }
  STDMETHODIMP get_TocPos(LONG* value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      *value = core.TocPosOf(node);
      return S_OK;
    });
  }
  STDMETHODIMP get_Index(LONG* value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      *value = core.IndexOf(node);
      return S_OK;
    });
  }
  STDMETHODIMP get_Parent(IDispatch** value) override {
    return Read(value, [&](OrvaneCore&, OutlineNode& node) {
      return m_registry->NodeFor(node.m_parent, value);
    });
  }
  STDMETHODIMP get_Children(IDispatch** value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      const NodeList& children = core.ChildrenOf(node);
      return m_registry->MakeNodes(std::vector<OutlineNode*>(children.begin(), children.end()),
                                   value);
    });
  }
  STDMETHODIMP get_Visible(VARIANT_BOOL* value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      *value = ToVariantBool(core.View().RowOf(&node) >= 0);
      return S_OK;
    });
  }
  STDMETHODIMP get_Selected(VARIANT_BOOL* value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      *value = ToVariantBool(core.View().SelectedNode() == &node);
      return S_OK;
    });
  }
  // Unguarded: IsLive only looks the object up.
  STDMETHODIMP get_Valid(VARIANT_BOOL* value) override {
    if (value == nullptr) return E_POINTER;
    *value = ToVariantBool(m_registry != nullptr && m_registry->IsLive(this));
    return S_OK;
  }
  STDMETHODIMP get_Expanded(VARIANT_BOOL* value) override {
    return Read(value, [&](OrvaneCore&, OutlineNode& node) {
      *value = ToVariantBool(node.m_expanded != 0);
      return S_OK;
    });
  }
  STDMETHODIMP put_Expanded(VARIANT_BOOL value) override {
    return Change([&](OrvaneCore& core, OutlineNode& node, NodeHost& host) {
      if (core.View().SetNodeOpen(&node, value != VARIANT_FALSE)) host.Repaint();
      return S_OK;
    });
  }
  STDMETHODIMP get_State(short* value) override {
    return Read(value, [&](OrvaneCore& core, OutlineNode& node) {
      *value = core.Checks().GetCheckState(&node);
      return S_OK;
    });
  }
  STDMETHODIMP put_State(short value) override {
    return Change([&](OrvaneCore& core, OutlineNode& node, NodeHost& host) -> HRESULT {
      // A host sets a book or a whole category checked or unchecked; the
      // partial state is only ever a summary.
      if (value != csChecked && value != csUnchecked) {
        return Raise(CTL_E_INVALIDPROPERTYVALUE, kInvalidValue, DIID_Node);
      }
      const auto kind = core.KindOf(node);
      const bool checked = value == csChecked;
      if (kind == OrvaneCore::NodeKind::kBook) {
        core.Checks().SetStateBook(node.m_bookNumber, checked);
      } else if (kind == OrvaneCore::NodeKind::kCategory) {
        core.Checks().SetStateCategory(&node, checked);
      } else {
        return Raise(CTL_E_SETNOTPERMITTED, L"Only books and categories have a state to set.",
                     DIID_Node);
      }
      host.Repaint();
      return S_OK;
    });
  }
  STDMETHODIMP Select() override {
    return Change([&](OrvaneCore& core, OutlineNode& node, NodeHost& host) {
      if (core.View().SelectNode(&node)) host.Repaint();
      return S_OK;
    });
  }
  STDMETHODIMP EnsureVisible() override {
    return Change([&](OrvaneCore& core, OutlineNode& node, NodeHost& host) {
      const int32_t row = core.View().RevealNode(&node);
      if (row >= 0) {
        host.ScrollIntoView(row);
        host.Repaint();
      }
      return S_OK;
    });
  }

 private:
  static TypeInfoDispatch& Dispatch() {
    static TypeInfoDispatch dispatch(kNodeLibrary, DIID_Node, IID_INodeAutomation, kSource);
    return dispatch;
  }

  template <class T, class Body>
  HRESULT Read(T* value, Body&& body) {
    if (value == nullptr) return E_POINTER;
    *value = T{};
    return Guarded([&]() -> HRESULT {
      if (m_registry == nullptr || !m_registry->IsLive(this)) {
        return Raise(kNodeGoneError, kNodeGone, DIID_Node);
      }
      return body(m_registry->Host().Core(), *m_node);
    });
  }

  template <class Body>
  HRESULT Change(Body&& body) {
    return Guarded([&]() -> HRESULT {
      if (m_registry == nullptr || !m_registry->IsLive(this)) {
        return Raise(kNodeGoneError, kNodeGone, DIID_Node);
      }
      NodeHost& host = m_registry->Host();
      ChangeBracket bracket(host);
      return body(host.Core(), *m_node, host);
    });
  }

  OutlineNode* m_node;
  NodeRegistry* m_registry;
};

// ---- Nodes and its enumerator ----

class NodesObject final : public ComBase<NodesObject, INodesAutomation> {
 public:
  NodesObject(NodeRegistry& registry, std::vector<OutlineNode*> nodes, uint32_t generation)
      : m_nodes(std::move(nodes)), m_registry(&registry), m_generation(generation) {
    // The collection outlives neither its registry's knowledge of it nor
    // its outline: it asks the registry whether its outline still stands.
    registry.AddCollection(this);
  }
  ~NodesObject() override {
    if (m_registry != nullptr) m_registry->RemoveCollection(this);
  }

  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry entries[] = {
        {&IID_IDispatch, CastTo<NodesObject, IDispatch>},
        {&IID_INodesAutomation, CastTo<NodesObject, INodesAutomation>},
        {&DIID_Nodes, CastTo<NodesObject, IDispatch>},
    };
    return entries;
  }

  void Detach() { m_registry = nullptr; }
  // The Node at 0-based `index`; DISP_E_BADINDEX outside the list.
  HRESULT ItemAt(LONG index, IDispatch** out) {
    *out = nullptr;
    if (!Live()) return Raise(kNodeGoneError, kNodeGone, DIID_Nodes);
    if (index < 0 || static_cast<size_t>(index) >= m_nodes.size()) return DISP_E_BADINDEX;
    return m_registry->NodeFor(m_nodes[static_cast<size_t>(index)], out);
  }
  size_t Size() const { return m_nodes.size(); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    return Guarded([&] { return Dispatch().GetTypeInfoCount(count); });
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return Guarded([&] { return Dispatch().GetTypeInfo(index, lcid, info); });
  }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override {
    return Guarded([&] { return Dispatch().GetIDsOfNames(iid, names, count, lcid, ids); });
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    return Guarded(
        [&] { return InvokeMember(id, iid, lcid, flags, params, result, exception, argError); });
  }

  STDMETHODIMP get_Count(LONG* value) override {
    if (value == nullptr) return E_POINTER;
    *value = 0;
    return Guarded([&]() -> HRESULT {
      if (!Live()) return Raise(kNodeGoneError, kNodeGone, DIID_Nodes);
      *value = static_cast<LONG>(std::min<size_t>(m_nodes.size(), LONG_MAX));
      return S_OK;
    });
  }

 private:
  HRESULT InvokeMember(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    ComPtr<NodesObject> self(this);
    // Script engines ask for the enumerator as a method as well as a
    // property (JScript's Enumerator calls it); either way it is given.
    if (id == DISPID_NEWENUM && (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) &&
        (params == nullptr || params->cArgs == 0)) {
      if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
      IUnknown* enumerator = nullptr;
      const HRESULT hr = get__NewEnum(&enumerator);
      if (FAILED(hr)) return hr;
      if (result == nullptr) {
        enumerator->Release();
        return S_OK;
      }
      VariantInit(result);
      V_VT(result) = VT_UNKNOWN;
      V_UNKNOWN(result) = enumerator;
      return S_OK;
    }
    return Dispatch().Invoke(static_cast<INodesAutomation*>(this), id, iid, lcid, flags, params,
                             result, exception, argError);
  }

 public:
  STDMETHODIMP get_Item(LONG index, IDispatch** value) override {
    if (value == nullptr) return E_POINTER;
    *value = nullptr;
    // 1-based, as a script counts.
    return Guarded([&] { return ItemAt(index - 1, value); });
  }
  STDMETHODIMP get__NewEnum(IUnknown** value) override;

 private:
  static TypeInfoDispatch& Dispatch() {
    static TypeInfoDispatch dispatch(kNodeLibrary, DIID_Nodes, IID_INodesAutomation, kSource);
    return dispatch;
  }
  bool Live() { return m_registry != nullptr && m_registry->GenerationIs(m_generation); }

  std::vector<OutlineNode*> m_nodes;
  NodeRegistry* m_registry;
  uint32_t m_generation;
};

class NodeEnumerator final : public ComBase<NodeEnumerator, IEnumVARIANT> {
 public:
  NodeEnumerator(NodesObject& nodes, size_t next) : m_nodes(&nodes), m_next(next) {}

  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry entries[] = {
        {&IID_IEnumVARIANT, CastTo<NodeEnumerator, IEnumVARIANT>},
    };
    return entries;
  }

  STDMETHODIMP Next(ULONG count, VARIANT* items, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (count > 0 && items == nullptr) return E_POINTER;
    if (count > 1 && fetched == nullptr) return E_POINTER;
    return Guarded([&]() -> HRESULT {
      ULONG done = 0;
      while (done < count && m_next < m_nodes->Size()) {
        IDispatch* node = nullptr;
        HRESULT hr = m_nodes->ItemAt(static_cast<LONG>(m_next), &node);
        if (FAILED(hr)) {
          for (ULONG i = 0; i < done; ++i) VariantClear(&items[i]);
          return hr;
        }
        VariantInit(&items[done]);
        V_VT(&items[done]) = VT_DISPATCH;
        V_DISPATCH(&items[done]) = node;
        ++done;
        ++m_next;
      }
      if (fetched) *fetched = done;
      return done == count ? S_OK : S_FALSE;
    });
  }
  // Unguarded: arithmetic on two counts.
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = m_nodes->Size() - std::min(m_next, m_nodes->Size());
    const bool all = count <= left;
    m_next += all ? count : left;
    return all ? S_OK : S_FALSE;
  }
  // Unguarded: sets a count.
  STDMETHODIMP Reset() override {
    m_next = 0;
    return S_OK;
  }
  // Unguarded: a new that does not throw, of an object whose construction
  // only copies a reference and a count.
  STDMETHODIMP Clone(IEnumVARIANT** out) override {
    if (out == nullptr) return E_POINTER;
    *out = new (std::nothrow) NodeEnumerator(*m_nodes.Get(), m_next);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ComPtr<NodesObject> m_nodes;
  size_t m_next;
};

STDMETHODIMP NodesObject::get__NewEnum(IUnknown** value) {
  if (value == nullptr) return E_POINTER;
  *value = nullptr;
  return Guarded([&]() -> HRESULT {
    if (!Live()) return Raise(kNodeGoneError, kNodeGone, DIID_Nodes);
    auto* enumerator = new (std::nothrow) NodeEnumerator(*this, 0);
    if (enumerator == nullptr) return E_OUTOFMEMORY;
    *value = static_cast<IEnumVARIANT*>(enumerator);
    return S_OK;
  });
}

// ---- The registry ----

NodeRegistry::~NodeRegistry() {
  DetachAll();
  for (NodesObject* nodes : m_collections) nodes->Detach();
}

void NodeRegistry::DetachAll() {
  for (NodeObject*& slot : m_slots) {
    if (slot != nullptr) slot->Detach();
  }
  m_slots.clear();
  m_slots.shrink_to_fit();
  m_count = 0;
}

void NodeRegistry::Refresh() {
  const uint32_t generation = m_host.Core().Outline().Generation();
  if (generation == m_generation) return;
  // Another outline: the Nodes made before name nodes that are gone, and
  // their addresses may be taken by new ones.
  DetachAll();
  m_generation = generation;
}

bool NodeRegistry::GenerationIs(uint32_t generation) {
  Refresh();
  return generation == m_generation;
}

bool NodeRegistry::IsLive(const NodeObject* object) {
  Refresh();
  if (object == nullptr || object->Node() == nullptr || m_slots.empty()) return false;
  const size_t slot = SlotOf(object->Node());
  return m_slots[slot] == object;
}

size_t NodeRegistry::LiveCount() {
  Refresh();
  return m_count;
}

size_t NodeRegistry::SlotOf(const OutlineNode* node) const {
  // Linear probing: the node's slot, or the empty one where it would go.
  const size_t mask = m_slots.size() - 1;
  size_t slot = HashOf(node) & mask;
  while (m_slots[slot] != nullptr && m_slots[slot]->Node() != node) slot = (slot + 1) & mask;
  return slot;
}

void NodeRegistry::Grow() { Resize(m_slots.empty() ? 16 : m_slots.size() * 2); }

void NodeRegistry::Resize(size_t slots) {
  std::vector<NodeObject*> resized(slots, nullptr);
  std::swap(resized, m_slots);
  for (NodeObject* object : resized) {
    if (object != nullptr) m_slots[SlotOf(object->Node())] = object;
  }
}

HRESULT NodeRegistry::NodeFor(OutlineNode* node, IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (node == nullptr) return S_OK;
  return Guarded([&]() -> HRESULT {
    Refresh();
    if (!m_slots.empty()) {
      NodeObject* held = m_slots[SlotOf(node)];
      if (held != nullptr) {
        held->AddRef();
        *out = static_cast<INodeAutomation*>(held);
        return S_OK;
      }
    }
    // Up to four fifths full: linear probing still finds a node in a few
    // steps, and 100,000 held Nodes take a 1 MB table rather than 2 MB.
    if ((m_count + 1) * 5 > m_slots.size() * 4) Grow();
    auto* object = new NodeObject(*this, *node);
    m_slots[SlotOf(node)] = object;
    ++m_count;
    *out = static_cast<INodeAutomation*>(object);
    return S_OK;
  });
}

void NodeRegistry::Forget(NodeObject* object) {
  if (m_slots.empty() || object->Node() == nullptr) return;
  const size_t mask = m_slots.size() - 1;
  size_t slot = SlotOf(object->Node());
  if (m_slots[slot] != object) return;
  // Backward-shift deletion keeps every later entry of the run findable
  // without tombstones.
  m_slots[slot] = nullptr;
  --m_count;
  for (size_t next = (slot + 1) & mask; m_slots[next] != nullptr; next = (next + 1) & mask) {
    const size_t home = HashOf(m_slots[next]->Node()) & mask;
    // Moves back when its home lies cyclically outside (slot, next].
    const bool between =
        slot <= next ? (slot < home && home <= next) : (slot < home || home <= next);
    if (!between) {
      m_slots[slot] = m_slots[next];
      m_slots[next] = nullptr;
      slot = next;
    }
  }
  // A host that let go of most of its Nodes gets the table's room back too;
  // halving at an eighth keeps growing and shrinking from chasing each other.
  if (m_slots.size() > 64 && m_count * 8 < m_slots.size()) Resize(m_slots.size() / 2);
}

HRESULT NodeRegistry::MakeNodes(std::vector<OutlineNode*> nodes, IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return Guarded([&]() -> HRESULT {
    Refresh();
    // A list of nodes holds none of them: a null entry would read as the
    // end of a For Each.
    std::erase(nodes, nullptr);
    auto* collection = new NodesObject(*this, std::move(nodes), m_generation);
    *out = static_cast<INodesAutomation*>(collection);
    return S_OK;
  });
}

OutlineNode* NodeRegistry::NodeOf(IUnknown* object) {
  if (object == nullptr) return nullptr;
  INodeAutomation* raw = nullptr;
  if (FAILED(object->QueryInterface(kIidNodeObject, reinterpret_cast<void**>(&raw))) ||
      raw == nullptr) {
    return nullptr;
  }
  auto* node = static_cast<NodeObject*>(raw);
  OutlineNode* result = IsLive(node) ? node->Node() : nullptr;
  raw->Release();
  return result;
}

void NodeRegistry::AddCollection(NodesObject* nodes) { m_collections.push_back(nodes); }

void NodeRegistry::RemoveCollection(NodesObject* nodes) { std::erase(m_collections, nodes); }

}  // namespace orvane
