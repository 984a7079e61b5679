// Node and Nodes: the outline's nodes as automation objects, made when a host
// asks for one. A Node is a weak handle: it holds no node alive, and once the
// outline it came from is gone (a new catalogue, the control's end) it
// answers Valid = FALSE and every other member raises "The node no longer
// exists". While any host holds a Node, asking for the same node again gives
// back the same object, so that identity comparisons in scripts work.
//
// For the control and for anything it builds on the outline (finding,
// type-ahead): NodeRegistry::NodeFor gives the Node of an outline node and
// MakeNodes a collection of any nodes. Code that changes the current node
// needs nothing more: the control observes the current row at the end of
// every host call, input message and Node call, and fires NodeSelect once
// when it moved (COrvaneCtrl::ChangeScope). RowView::SelectNode is the one
// way to make a node current, opening its way as a jump does.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane {

class NodeObject;
class NodesObject;
class OrvaneCore;
class OutlineNode;

// The error a Node raises once its node is gone (description "The node no
// longer exists", source "Orvane").
inline constexpr HRESULT kNodeGoneError = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 1001);

// What Node objects ask of the control that made them.
class NodeHost {
 public:
  virtual OrvaneCore& Core() = 0;
  // Bracket a change made through a Node: the control's events for it fire
  // at the outermost end, once the rows show it. The end may release the
  // control; nothing of it may be touched afterwards.
  virtual void BeginChange() = 0;
  virtual void EndChange() = 0;
  // Repaints the rows after a change made through a Node.
  virtual void Repaint() = 0;
  // Scrolls the rows the least that brings `row` into view, without
  // changing the current row.
  virtual void ScrollIntoView(int32_t row) = 0;

 protected:
  ~NodeHost() = default;
};

class NodeRegistry {
 public:
  explicit NodeRegistry(NodeHost& host) : m_host(host) {}
  // Cuts every live Node off: each answers Valid = FALSE from then on.
  ~NodeRegistry();
  NodeRegistry(const NodeRegistry&) = delete;
  NodeRegistry& operator=(const NodeRegistry&) = delete;

  // The Node of `node` with a reference for the caller: the object already
  // held by someone when there is one. A null node gives a null object and
  // S_OK (a script's Nothing).
  HRESULT NodeFor(OutlineNode* node, IDispatch** out);
  // A new Nodes collection of `nodes`, in that order. The collection lists
  // the nodes as they were when it was made.
  HRESULT MakeNodes(std::vector<OutlineNode*> nodes, IDispatch** out);
  // The outline node behind an object a host passed in; null unless it is a
  // live Node of this control.
  OutlineNode* NodeOf(IUnknown* object);
  // Whether `object` is one of this registry's live Nodes: false once its
  // outline is gone.
  bool IsLive(const NodeObject* object);
  // How many Nodes are live (for the tests and the memory benchmark).
  size_t LiveCount();

  NodeHost& Host() { return m_host; }
  // Called by a Node as it is freed.
  void Forget(NodeObject* object);
  // Whether the outline a collection was made from still stands.
  bool GenerationIs(uint32_t generation);
  // Collections are cut off with the registry, as Nodes are.
  void AddCollection(NodesObject* nodes);
  void RemoveCollection(NodesObject* nodes);

 private:
  // Cuts every Node off when the outline they came from was replaced.
  void Refresh();
  void DetachAll();
  size_t SlotOf(const OutlineNode* node) const;
  void Grow();
  // Rehashes into `slots` slots, a power of two above the count.
  void Resize(size_t slots);

  NodeHost& m_host;
  // Open addressing over the live Nodes, keyed by their node: eight bytes a
  // slot, grown to twice its size past four fifths in use, keeps the
  // registry at ten to twenty bytes a held Node.
  std::vector<NodeObject*> m_slots;
  size_t m_count = 0;
  uint32_t m_generation = 0;
  std::vector<NodesObject*> m_collections;
};

}  // namespace orvane
