// Finding titles from the rows: moving the current row to the next or the
// previous match, and to the next row a typed prefix begins.
#include "loading/title_search.h"
#include "model/library.h"
#include "rows/check_states.h"
#include "rows/row_list.h"
#include "rows/row_view.h"

namespace orvane {
namespace {

// The checked-only view shows no unchecked book and no wholly unchecked
// category: a move may not land where no row can show it.
class ShownScope : public SearchScope {
 public:
  explicit ShownScope(const CheckStates& checks) : m_checks(checks) {}
  bool Includes(const OutlineNode& node) const override {
    return m_checks.ApplyCheck() || m_checks.GetCheckState(&node) != csUnchecked;
  }

 private:
  const CheckStates& m_checks;
};

}  // namespace

OutlineNode* RowView::CurrentNode() const {
  const int32_t row = m_rows.Selection();
  OutlineNode* shown = row >= 0 ? m_rows.NodeOf(row) : nullptr;
  return shown != nullptr ? shown : m_selectedNode;
}

bool RowView::FindAndShow(const FoldedQuery& query, bool backward) {
  if (query.MatchesNothing()) return false;
  RefreshPendingRows();
  ShownScope scope(m_checks);
  TitleSearch search(m_library, m_childReader);
  OutlineNode* from = CurrentNode();
  OutlineNode* match =
      backward ? search.FindBefore(query, from, &scope) : search.FindAfter(query, from, &scope);
  return match != nullptr && SelectNode(match);
}

int32_t RowView::TypeAheadRow(const FoldedQuery& prefix) const {
  const int32_t count = m_rows.Count();
  if (prefix.MatchesNothing() || count == 0) return -1;
  const int32_t current = m_rows.Selection();
  auto begins = [&](int32_t r) {
    const OutlineNode* node = m_rows.NodeOf(r);
    return node != nullptr &&
           prefix.BeginsTitle(node->Title(), node->TitleLength(), TitleBytes::Decoded);
  };
  if (current >= 0 && current < count && begins(current)) return current;
  // From the row after the current one round to the one before it, as the
  // system's lists look.
  const int32_t start = current >= 0 && current < count ? current + 1 : 0;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t r = (start + k) % count;
    if (begins(r)) return r;
  }
  return -1;
}

}  // namespace orvane
