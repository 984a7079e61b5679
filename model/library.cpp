#include "model/library.h"

namespace orvane {

void Library::Clear() {
  ++m_generation;
  m_rootList.Clear();
  m_categories.Clear();
  m_shelf.Clear();
}

OutlineNode* Library::BookNode(int16_t book) const {
  if (book < 1 || book > BookCount()) return nullptr;
  int16_t k = m_categories.CategoryOfBook(book);
  const CategoryEntry* entry = m_categories.Entry(k);
  OutlineNode* category = CategoryNode(k);
  if (!entry || !category) return nullptr;
  return NodeAt(category->m_children, book - entry->numberBase);
}

bool Library::IsCategory(const OutlineNode* node) const {
  // Categories are the first nodes of the root list; text items added after a
  // catalogue sit behind them and must never reach a category entry.
  return node && node->m_parent == nullptr && node->m_ordinal >= 1 &&
         node->m_ordinal <= m_categories.Count() && CategoryNode(node->m_ordinal) == node;
}

bool Library::IsBook(const OutlineNode* node) const {
  return node && node->m_bookNumber >= 1 && node->Level() == 1 &&
         BookNode(node->m_bookNumber) == node;
}

bool Library::HasDeferredChildren(const OutlineNode& node) const {
  // Only a section's header comes from its file, so only a section's
  // FirstChildPos leads to a run of records; a book's header is made from
  // its title and points nowhere.
  // Children a host added do not stand in for those still in the file, and
  // a section at the deepest level takes none from it.
  return node.Level() >= 2 && node.Level() < 255 && node.m_bookNumber >= 1 &&
         node.m_bookNumber <= BookCount() && node.ChildCount() > ChildrenReadFromFile(node);
}

void Library::EnsureBookRead(int16_t book, Retry retry) const {
  if (!m_bookReader || m_readingHeld || m_shelf.IsRead(book)) return;
  if (retry == Retry::Never && m_shelf.ReadFailed(book)) return;
  m_bookReader->ReadBook(book);
}

void Library::EnsureBookReadFor(const OutlineNode& node, Retry retry) const {
  // Categories and text items have no book (BookNumber 0); a section's book
  // was read when the section was made.
  if (node.Level() == 1) EnsureBookRead(node.m_bookNumber, retry);
}

bool Library::CanOpen(const OutlineNode& node) const {
  EnsureBookReadFor(node, Retry::Never);
  return !node.m_children.Empty() || HasDeferredChildren(node);
}

uint16_t Library::DeclaredChildren(const OutlineNode& node) const {
  EnsureBookReadFor(node, Retry::Never);
  return node.ChildCount();
}

}  // namespace orvane
