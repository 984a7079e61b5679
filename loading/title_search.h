// TitleSearch: every title of the library in outline order (each category,
// its books, each book's sections depth first, then the free items), as the
// rows would show them with every node open. Unread books are read on the
// way, as on first use; sections still waiting in a book's file are matched
// from the bytes the book was read into, without making their nodes. Only a
// match gets a node, and with it the runs of the file on its way down.
#pragma once

#include <cstdint>
#include <vector>

#include "loading/title_folding.h"

namespace orvane {

class ChildReader;
class Library;
class OutlineNode;

// Which top-level nodes and books a search stops in: the checked-only view
// passes over what it does not show, with everything below it.
class SearchScope {
 public:
  virtual ~SearchScope() = default;
  virtual bool Includes(const OutlineNode& node) const = 0;
};

class TitleSearch {
 public:
  TitleSearch(Library& library, ChildReader& childReader);

  // The nodes whose titles the query matches, in outline order, at most
  // `maxCount` of them.
  std::vector<OutlineNode*> FindAll(const FoldedQuery& query, uint32_t maxCount,
                                    const SearchScope* scope = nullptr);

  // The first match after `from` in outline order, else the first from the
  // start up to `from` itself; from the start when `from` is null. Null when
  // nothing matches.
  OutlineNode* FindAfter(const FoldedQuery& query, OutlineNode* from,
                         const SearchScope* scope = nullptr);

  // The last match before `from`, else the last after it up to the end
  // (`from` itself when only it matches); the last of all when `from` is null.
  OutlineNode* FindBefore(const FoldedQuery& query, OutlineNode* from,
                          const SearchScope* scope = nullptr);

 private:
  Library& m_library;
  ChildReader& m_childReader;
};

}  // namespace orvane
