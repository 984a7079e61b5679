// RowView: which nodes of the library have rows, in which order, and which is
// current. It opens and closes nodes, rebuilds the rows for either view, jumps
// to a host's section and greys books, all through the RowList it is given.
// Rows hold non-owning node pointers: the library's nodes outlive them, and
// Clear() must come before the library is cleared.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "rows/check_states.h"

namespace orvane {

// Above this many rows, opening a node first closes other categories, so that
// an opening keeps some room below the list's hard limit (kMaxRows).
inline constexpr int32_t kRowsBeforeClosingOthers = 31999;

class CheckStates;
class ChildReader;
class FoldedQuery;
class HoverTimer;
class Library;
class NodeEvents;
class OutlineNode;
class RowEvents;
class RowList;

class RowView : public CheckObserver {
 public:
  RowView(RowList& rows, HoverTimer& hoverTimer, Library& library, CheckStates& checks,
          ChildReader& childReader);

  RowList& Rows() { return m_rows; }
  const RowList& Rows() const { return m_rows; }

  // The observer of row changes (the control's announcements to assistive
  // technology); null for none. Never owned.
  void SetRowEvents(RowEvents* events) { m_rowEvents = events; }
  // The observer of nodes opened and closed (the control's events to its
  // host); null for none. Never owned.
  void SetNodeEvents(NodeEvents* events) { m_nodeEvents = events; }

  // No rows and no current node (before the library is cleared).
  void Clear();
  // Makes the categories of a freshly loaded library the only rows.
  void ShowCategories();

  // ---- Opening and closing (rows/expand_collapse.cpp) ----
  // Flips the open flag of `row`'s node and inserts its children's rows
  // (reading a section's deferred children first, re-opening descendants that
  // were open, leaving out unchecked books in the checked-only view) or
  // deletes the rows below it. Stops and restarts the hover timer around a
  // change. Returns the rows inserted or deleted; `lastRow` gets the last row
  // of the opened block. Nothing happens for a row that does not exist.
  int32_t ToggleNode(int16_t row, int16_t* lastRow = nullptr);
  // Inserts a row for `node` at `index` (clamped to the list). Past 31,999
  // rows it first closes other open top-level rows (never the node's own
  // category) and returns 0 without inserting when the list stays that full.
  // `indexUsed` gets the index the row went to, which closing may move.
  int32_t InsertNodeRow(OutlineNode* node, int16_t index, int16_t* indexUsed = nullptr);
  // Every category open, with every book as a closed row.
  void RebuildAllRows();
  // Categories not wholly unchecked, open, with their checked books closed.
  void RebuildCheckedRows();
  // In the checked-only view, rebuilds the rows when the host changed a state
  // since they were made; true when it rebuilt.
  bool RefreshPendingRows();
  // Stores ApplyCheck and, once a catalogue is loaded, rebuilds the rows for
  // the view it chooses. The caller marks the control modified.
  void SetApplyCheck(bool on);

  // ---- Free items (rows/free_items.cpp) ----
  // Adds a text item under (or beside) the node of row `index`, or at the top
  // level when there is no such row; a top-level item gets a row at the end
  // unless the list is full. Returns the new node.
  OutlineNode* AddChild(int32_t index, std::string_view text);
  OutlineNode* AddSibling(int32_t index, std::string_view text);

  // ---- The current node and navigation (rows/navigation.cpp) ----
  OutlineNode* SelectedNode() const { return m_selectedNode; }
  void SetSelectedNode(OutlineNode* node) { m_selectedNode = node; }
  // The 1-based position in the root list of the current node's top-level
  // ancestor, or 0.
  int16_t ActiveCategory() const;
  // The current node's BookNumber, or 0.
  int16_t ActiveBook() const;
  // Opens the category, the book and every ancestor section of the record at
  // `tocPos` and selects its row; false when the book, the record or a row on
  // the way is missing (the rows opened so far stay open).
  bool GotoTocPosition(int16_t book, int32_t tocPos);
  // Both return true when the control should repaint. Deactivating closes
  // the book's rows.
  bool ActivateBook(int16_t bookId);
  bool DeactivateBook(int16_t bookId);
  // ---- Finding (rows/find_rows.cpp) ----
  // The node of the selected row, else the current node: after Up or Down
  // the reader's row is ahead of the node the last key left.
  OutlineNode* CurrentNode() const;
  // Moves the current row to the next (or previous) title the query matches
  // after (before) the current node, wrapping once, passing over what the
  // checked-only view hides. False, with nothing changed, for no match.
  bool FindAndShow(const FoldedQuery& query, bool backward);
  // The row a typed prefix moves to: the selected row while its title still
  // begins with the prefix, else the next row round the list whose title
  // does; -1 for none.
  int32_t TypeAheadRow(const FoldedQuery& prefix) const;
  // Checks or unchecks the current node (see CheckStates::ChangeState).
  void ChangeStateSelected();

  // ---- Any node, as a host names it (rows/node_rows.cpp) ----
  // The node's row, or -1 when it has none.
  int32_t RowOf(const OutlineNode* node) const;
  // Opens every closed ancestor of `node`, outermost first, so that it gets a
  // row; the node's row, or -1 when it cannot have one (an unchecked book in
  // the checked-only view, a full list). The ancestors opened stay open.
  int32_t RevealNode(OutlineNode* node);
  // Reveals the node and makes its row the current one, scrolled into view:
  // what the host's Select and the finding of a node use, so that every way
  // a node is made current ends in the same state. False without a row.
  bool SelectNode(OutlineNode* node);
  // Opens (revealing it first) or closes the node as a click on its button
  // would; nothing when it is already so. Closing a node without a row
  // clears its flag, as greying a book does. True when the flag changed.
  bool SetNodeOpen(OutlineNode* node, bool open);

  // CheckObserver: tells the row events of the rows concerned.
  void NodeStateChanged(const OutlineNode* node) override;
  void CategoryBooksChanged(const OutlineNode* category) override;

 private:
  // ToggleNode without telling the row events: the re-opening of children
  // inside an opening is part of that one change.
  int32_t ToggleRows(int16_t row, int16_t* lastRow);
  // The node's row, or -1; searched outward from `hint`, which is left on
  // the row found.
  int32_t FindAnnouncedRow(const OutlineNode* node, int32_t& hint) const;
  void AnnounceReorder();
  int32_t ToggleOpen(OutlineNode& node, int16_t row, int16_t* lastRow);
  // Deletes exactly the rows under `node`'s row, at every depth.
  int32_t ToggleClose(OutlineNode& node, int16_t row);
  // Whether `row` (a node with a row after `node`'s) lies under `node`.
  static bool IsBelow(const OutlineNode& row, const OutlineNode& node);
  // Reads a closed section's deferred children as it opens; should that
  // fail, the section is left closed.
  void ReadDeferredOrStayClosed(OutlineNode& node);
  int16_t FindRow(const OutlineNode* node, int32_t from) const;
  bool OpenRowOf(OutlineNode* node, int32_t* row);
  // Appends a row unless the list is at its 16-bit limit.
  bool AppendRootRow(OutlineNode* node);
  // Makes the rows exactly `nodes`, as many as the list can hold, at once.
  void ShowOnly(const std::vector<OutlineNode*>& nodes);

  RowList& m_rows;
  HoverTimer& m_hoverTimer;
  Library& m_library;
  CheckStates& m_checks;
  ChildReader& m_childReader;
  OutlineNode* m_selectedNode = nullptr;
  RowEvents* m_rowEvents = nullptr;
  NodeEvents* m_nodeEvents = nullptr;
  // Where the last announced top-level row and other row were found: only
  // places to start looking.
  int32_t m_announcedTopRow = 0;
  int32_t m_announcedRow = 0;
};

}  // namespace orvane
