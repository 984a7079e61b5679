// CheckStates: each book's check state and its category's summary, kept in the
// library's category table, and the ApplyCheck switch between the view with
// check boxes (every book shown) and the checked-only view.
#pragma once

#include <cstdint>

#include "model/category_table.h"

namespace orvane {

class Library;
class NodeEvents;
class OutlineNode;

// Told of every state change the rows show, after it is made.
class CheckObserver {
 public:
  virtual ~CheckObserver() = default;
  // The node's state or summary changed.
  virtual void NodeStateChanged(const OutlineNode* node) = 0;
  // Every book of the category changed with it.
  virtual void CategoryBooksChanged(const OutlineNode* category) = 0;
};

class CheckStates {
 public:
  explicit CheckStates(Library& library) : m_library(library) {}

  // A category's summary, a book's state, a section's book's state; checked
  // for text items, so that the checked-only view never hides them.
  int16_t GetCheckState(const OutlineNode* node) const;
  // Stores the state of a category's summary or of a book; nothing otherwise.
  void SetCheckState(const OutlineNode* node, int16_t state);
  // Gives every book of `category` the state and sets its checked count.
  void SetCategoryBooks(const OutlineNode* category, int16_t state);
  // Follows a book's change from `oldState` to `newState` in its category's
  // count and summary.
  void UpdateCategorySummary(const OutlineNode* book, int16_t newState, int16_t oldState);
  // Checks an unchecked or partly checked node and unchecks a checked one,
  // books and categories only, and only while check boxes apply.
  void ChangeState(OutlineNode* node);

  // The host's change of a book's state: false for no such book. In the
  // checked-only view the rows are marked stale, to be rebuilt at the next
  // paint or navigation.
  bool SetStateBook(int16_t bookId, bool checked);
  // The book's state, or 0 (checked) for no such book.
  int16_t GetStateBook(int16_t bookId) const;
  // The host's change of a whole category: every book takes the state, in
  // either view, as a click on the category's box gives them in the check
  // view. False for a node that is no category.
  bool SetStateCategory(OutlineNode* category, bool checked);

  // Who is told of each category's or book's change of state, whatever made
  // it (the control's events); null for none.
  void SetNodeEvents(NodeEvents* events) { m_nodeEvents = events; }

  // The observer of state changes (the row view); null for none.
  void SetObserver(CheckObserver* observer) { m_observer = observer; }

  bool ApplyCheck() const { return m_applyCheck; }
  // Stores the switch only; the row view rebuilds the rows for it.
  void StoreApplyCheck(bool on) { m_applyCheck = on; }

  // A state changed by the host that the checked-only view's rows do not show.
  bool RowsStale() const { return m_rowsStale; }
  void ClearStale() { m_rowsStale = false; }

 private:
  Library& m_library;
  CheckObserver* m_observer = nullptr;
  NodeEvents* m_nodeEvents = nullptr;
  bool m_applyCheck = false;
  bool m_rowsStale = false;

  // Tells the node events of a book's change and, when its summary moved,
  // of its category's.
  void TellBookChanged(OutlineNode* book, int16_t categoryStateBefore);
};

}  // namespace orvane
