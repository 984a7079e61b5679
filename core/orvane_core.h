// OrvaneCore: the control's whole behaviour short of pixels, windows and COM,
// as a few parts that each own their state, wired to four seams given at
// construction. The control object owns one; native tests, tools and
// benchmarks drive it directly. A host call goes to the part that does it:
//
//   Outline()    the library: nodes, category table, book buffers (model/)
//   Catalogue()  reading the catalogue and the books' files (loading/)
//   Queries()    questions about positions in a book's file (loading/)
//   Checks()     check states and the ApplyCheck switch (rows/)
//   View()       rows: opening, closing, rebuilds, navigation (rows/)
//   Search()     every title in outline order, read or not (loading/)
//
// Only the operations that span parts are the core's own.
#pragma once

#include <string_view>

#include "loading/catalogue_loader.h"
#include "loading/section_queries.h"
#include "loading/title_search.h"
#include "model/library.h"
#include "rows/check_states.h"
#include "rows/row_view.h"

namespace orvane {

class NodeEvents;
class RowList;
class ProfileSource;
class FileSystem;
class HoverTimer;

class OrvaneCore {
 public:
  OrvaneCore(RowList& rows, ProfileSource& profile, FileSystem& files, HoverTimer& hoverTimer);
  ~OrvaneCore();
  OrvaneCore(const OrvaneCore&) = delete;
  OrvaneCore& operator=(const OrvaneCore&) = delete;

  // Replaces whatever was shown by the catalogue `topicName`.INI: rows and
  // the current node are dropped, every node and buffer released, the
  // catalogue and its books' files read, and a row made for each category.
  // True even when no catalogue file exists (the outline is then empty).
  // Should memory run out part-way, nothing stays loaded and the failure is
  // thrown on to the caller.
  bool LoadBooks(std::string_view topicName);
  // Adds the items of an indented text file after whatever is shown (see
  // ReadTextOutline): a line without leading blanks becomes a top-level item,
  // any other a child of the last row's node. Nothing for an unreadable file.
  void LoadFromTextFile(std::string_view fileName);
  // Turns check boxes on and loads the demonstration outline file.
  void Demo();
  static constexpr const char* kDemoFile = "C:\\MIRVAK\\DATA\\BOOKS.TXT";

  Library& Outline() { return m_library; }
  const Library& Outline() const { return m_library; }
  CatalogueLoader& Catalogue() { return m_catalogue; }
  const CatalogueLoader& Catalogue() const { return m_catalogue; }
  SectionQueries& Queries() { return m_queries; }
  const SectionQueries& Queries() const { return m_queries; }
  CheckStates& Checks() { return m_checks; }
  const CheckStates& Checks() const { return m_checks; }
  TitleSearch& Search() { return m_search; }
  RowView& View() { return m_view; }
  const RowView& View() const { return m_view; }
  RowList& Rows() { return m_view.Rows(); }
  const RowList& Rows() const { return m_view.Rows(); }

  // Who is told of nodes opened, closed and checked, by the rows and the
  // check states alike; null for none (core/node_facts.cpp).
  void SetNodeEvents(NodeEvents* events);

  // ---- What a host asks of one node (core/node_facts.cpp) ----
  enum class NodeKind : int16_t { kCategory = 0, kBook = 1, kSection = 2, kItem = 3 };
  NodeKind KindOf(const OutlineNode& node) const;
  // The 1-based number of the category the node lies in, 0 for a node
  // under none (an item at the top, or below one).
  int16_t CategoryOf(const OutlineNode& node) const;
  // The position of a section's record in its book's file, as the queries
  // take it; 0 for any other node or a record the file no longer holds.
  int32_t TocPosOf(const OutlineNode& node) const;
  // The 1-based position among its siblings (the root list at the top).
  int32_t IndexOf(const OutlineNode& node) const;
  // The node's children, with a book's sections and a section's children
  // still in its file read first, as opening the node reads them.
  const NodeList& ChildrenOf(OutlineNode& node);
  // The section of `book` whose record is at `tocPos` (raised to the first
  // record as the queries raise it), its book and the sections on the way
  // read as needed; null for none.
  OutlineNode* SectionNode(int16_t book, int32_t tocPos);

 private:
  FileSystem& m_files;
  // Declared in the order they are built: each part refers only to those
  // above it.
  Library m_library;
  CatalogueLoader m_catalogue;
  SectionQueries m_queries;
  CheckStates m_checks;
  RowView m_view;
  TitleSearch m_search;
};

}  // namespace orvane
