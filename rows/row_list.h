// RowList: the visible rows, in order, each holding one node. On Windows it is
// the control's own list box; natively a gap buffer with the same rules.
#pragma once

#include <cstdint>

namespace orvane {

class OutlineNode;

class RowList {
 public:
  virtual ~RowList() = default;

  // Index of the new, last row.
  virtual int32_t Append(OutlineNode* node) = 0;
  // Inserts at `index` (0..Count()); rows from there on move down by one.
  virtual void Insert(int32_t index, OutlineNode* node) = 0;
  virtual void Delete(int32_t index) = 0;
  // No rows, no selection.
  virtual void Clear() = 0;
  // Every row replaced by `count` rows of `nodes` (count <= kMaxRows): no
  // selection, the first row at the top. The same as Clear and an Append
  // each; a list that can take the rows at once overrides it.
  virtual void Replace(OutlineNode* const* nodes, int32_t count);
  virtual int32_t Count() const = 0;
  // Null for an index outside 0..Count()-1.
  virtual OutlineNode* NodeOf(int32_t index) const = 0;
  // Selected row, or -1. Inserts and deletes before it move it with its row;
  // deleting it leaves none.
  virtual int32_t Selection() const = 0;
  // Selects row `index` and scrolls it into view; -1 clears the selection.
  virtual void SetSelection(int32_t index) = 0;
  virtual int32_t TopIndex() const = 0;
  // Scrolls so that row `index` (clamped to the rows) is the first shown.
  virtual void SetTopIndex(int32_t index) = 0;
  virtual int32_t RowHeight() const = 0;

  // Brackets a run of inserts or deletes, so that an implementation that
  // redraws can do it once.
  virtual void BeginBulkChange() {}
  virtual void EndBulkChange() {}
};

// Holds a row list's redrawing off for a scope: everything done to the rows
// inside shows as one change when it ends.
class BulkRowChange {
 public:
  explicit BulkRowChange(RowList& rows) : m_rows(rows) { m_rows.BeginBulkChange(); }
  ~BulkRowChange() { m_rows.EndBulkChange(); }
  BulkRowChange(const BulkRowChange&) = delete;
  BulkRowChange& operator=(const BulkRowChange&) = delete;

 private:
  RowList& m_rows;
};

// Row indexes are 16-bit for every user of the list; no list grows past this.
inline constexpr int32_t kMaxRows = 32767;

inline void RowList::Replace(OutlineNode* const* nodes, int32_t count) {
  Clear();
  for (int32_t i = 0; i < count; ++i) Append(nodes[i]);
}

}  // namespace orvane
