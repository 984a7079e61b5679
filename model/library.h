// Library: the whole outline the control shows and the bookkeeping that
// numbers its books. It owns the root list (categories first, then any text
// items), the category table and the shelf of book buffers, and answers the
// questions that only need them: which node is a category or a book, and
// whether a section still has children waiting in its book's file.
#pragma once

#include <cstdint>

#include "model/book_reader.h"
#include "model/book_shelf.h"
#include "model/category_table.h"
#include "model/node_list.h"
#include "model/outline_node.h"

namespace orvane {

class Library {
 public:
  NodeList& RootList() { return m_rootList; }
  const NodeList& RootList() const { return m_rootList; }
  CategoryTable& Categories() { return m_categories; }
  const CategoryTable& Categories() const { return m_categories; }
  BookShelf& Shelf() { return m_shelf; }
  const BookShelf& Shelf() const { return m_shelf; }

  // Who reads a book's file the first time it is needed (or again, after a
  // failed read); null for a library without files.
  void SetBookReader(BookReader* reader) { m_bookReader = reader; }
  // While held, no book's file is read: questions answer from what is
  // loaded (an unread book has no children to show), and the book is read
  // at the first question that needs it after the hold ends. Painting in a
  // container's design mode holds it.
  void HoldFileReading(bool held) { m_readingHeld = held; }
  bool FileReadingHeld() const { return m_readingHeld; }
  // Whether a book whose last read failed is tried again: when the reader
  // asks for the book (opening it, a query), but not when a row is only
  // painted or described, which happens far too often for a retry.
  enum class Retry { IfFailed, Never };
  // Reads `book`'s file now unless it has been read. Every question below
  // that needs a book's sections, declared count or records asks it first;
  // so must any other code that looks at a book node's children or
  // ChildCount. Reading changes no answer, only when the file is read, so
  // the const questions may do it.
  void EnsureBookRead(int16_t book, Retry retry = Retry::IfFailed) const;
  // The same for the book `node` belongs to, whatever its level.
  void EnsureBookReadFor(const OutlineNode& node, Retry retry = Retry::IfFailed) const;

  // Every numbered book, including those the catalogue declares beyond its
  // categories' sum (they have no node).
  int16_t BookCount() const { return m_shelf.Count(); }

  // Destroys every node, category and buffer. Whoever holds rows or a
  // current node must drop them first.
  void Clear();
  // Counts the clears: a handle that remembers a node together with this
  // number knows the node is gone once the number moves on.
  uint32_t Generation() const { return m_generation; }

  // Whether a catalogue load has been asked for, even one that found no
  // file: queries and the checked-only view answer only after one.
  bool CatalogueLoaded() const { return m_catalogueLoaded; }
  void SetCatalogueLoaded() { m_catalogueLoaded = true; }

  // The node of category `k` (1-based), or null.
  OutlineNode* CategoryNode(int32_t k) const { return NodeAt(m_rootList, k); }
  // The node of BookNumber `book`, or null.
  OutlineNode* BookNode(int16_t book) const;
  // A category of the loaded catalogue (not a text item of the root list).
  bool IsCategory(const OutlineNode* node) const;
  // The node of a catalogue book.
  bool IsBook(const OutlineNode* node) const;
  // A section whose declared children are not all loaded: the rest wait in
  // its book's file, reached through its FirstChildPos.
  bool HasDeferredChildren(const OutlineNode& node) const;
  // Has children to show when opened, loaded or deferred: such a node gets a
  // button. Reads an unread book, but tries no failed one again.
  bool CanOpen(const OutlineNode& node) const;
  // The node's declared number of children (a book's from its file).
  uint16_t DeclaredChildren(const OutlineNode& node) const;

 private:
  NodeList m_rootList;
  CategoryTable m_categories;
  BookShelf m_shelf;
  bool m_catalogueLoaded = false;
  BookReader* m_bookReader = nullptr;
  bool m_readingHeld = false;
  uint32_t m_generation = 0;
};

}  // namespace orvane
