#include "render/row_layout.h"

#include <limits>

#include "model/library.h"
#include "rows/check_states.h"

namespace orvane {

namespace {

// Edges are worked out in 64 bits and brought back into a RECT's range, so a
// deep level times a large indent cannot wrap around to the other side.
LONG ClampToLong(int64_t v) {
  constexpr int64_t lo = std::numeric_limits<LONG>::min();
  constexpr int64_t hi = std::numeric_limits<LONG>::max();
  return static_cast<LONG>(v < lo ? lo : (v > hi ? hi : v));
}

// The column `steps` indents in from the layout's own edge of `client`.
RECT HitColumn(const RECT& client, int64_t steps, int16_t alignment, int indent) {
  RECT r = client;
  if (IsRightLayout(alignment)) {
    const int64_t right = static_cast<int64_t>(client.right) - steps * indent;
    r.right = ClampToLong(right);
    r.left = ClampToLong(right - indent);
  } else {
    const int64_t left = static_cast<int64_t>(client.left) + steps * indent;
    r.left = ClampToLong(left);
    r.right = ClampToLong(left + indent);
  }
  return r;
}

}  // namespace

bool CanOpen(const OutlineState& outline, const OutlineNode& node) {
  return outline.library ? outline.library->CanOpen(node) : !node.m_children.Empty();
}

bool ApplyCheckOn(const OutlineState& outline) {
  return outline.checks != nullptr && outline.checks->ApplyCheck();
}

bool HasNextSibling(const OutlineState& outline, const OutlineNode& node) {
  const OutlineNode* parent = node.m_parent;
  if (!parent) return false;

  // In the checked-only view unchecked books have no rows, so the category's
  // last book shown ends its line. Only a book of the loaded catalogue has a
  // category entry to ask; a free-text item at level 1 has none.
  if (outline.library && outline.checks && !outline.checks->ApplyCheck() && node.Level() == 1 &&
      node.m_bookNumber >= 1 && outline.library->BookNode(node.m_bookNumber) == &node) {
    const CategoryTable& table = outline.library->Categories();
    const CategoryEntry* entry = table.Entry(table.CategoryOfBook(node.m_bookNumber));
    if (entry) return node.m_ordinal != entry->lastShown;
  }

  // Every loaded sibling is shown here. The last loaded child ends the line,
  // rather than the child whose ordinal matches the parent's declared count:
  // free-text parents declare no children however many they have, and a book
  // whose file went missing declares more sections than it loaded.
  return parent->m_children.Last() != &node;
}

TreeGlyph GetRowGlyph(const OutlineState& outline, const OutlineNode& node) {
  const bool hasParent = node.m_parent != nullptr;
  // A section whose children wait in its book's file opens like any other.
  if (!CanOpen(outline, node)) {
    if (!hasParent) return tgBlank;
    return HasNextSibling(outline, node) ? tgTee : tgCorner;
  }
  int glyph = node.m_expanded ? tgOpenRoot : tgClosedRoot;
  if (hasParent) {
    glyph += 2;
    if (HasNextSibling(outline, node)) glyph -= 1;
  }
  return static_cast<TreeGlyph>(glyph);
}

RECT GetButtonRect(const OutlineNode& node, const RECT& client, int16_t alignment, int indent) {
  return HitColumn(client, node.Level(), alignment, indent);
}

RECT GetCheckBoxRect(const OutlineNode& node, const RECT& client, int16_t alignment, int indent) {
  return HitColumn(client, static_cast<int64_t>(node.Level()) + 2, alignment, indent);
}

}  // namespace orvane
