// NodeEvents: what the outline's nodes go through, for an observer that
// tells a host (the control's events). Told once per change, after the rows
// show it, and never for the nodes a rebuild or a load touches wholesale.
#pragma once

namespace orvane {

class OutlineNode;

class NodeEvents {
 public:
  virtual ~NodeEvents() = default;
  // The node's open flag was set or cleared by an opening or closing.
  virtual void NodeOpened(OutlineNode& node) = 0;
  virtual void NodeClosed(OutlineNode& node) = 0;
  // A category's or book's check state changed (a category's books, changed
  // with it, are not told one by one).
  virtual void NodeChecked(OutlineNode& node) = 0;
};

}  // namespace orvane
