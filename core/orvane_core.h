// OrvaneCore: the control's whole behaviour short of pixels, windows and COM.
// It holds the outline, the category table, the book buffers and the flags,
// and implements loading, rows, check states, navigation and section queries
// over four seams given at construction. The control object owns one and
// forwards to it; native tests, tools and benchmarks drive it directly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/category_table.h"
#include "model/outline_node.h"

namespace orvane {

class RowList;
class ProfileSource;
class FileSystem;
class HoverTimer;
class RowEvents;

class OrvaneCore {
 public:
  OrvaneCore(RowList& rows, ProfileSource& profile, FileSystem& files, HoverTimer& hoverTimer);
  ~OrvaneCore();
  OrvaneCore(const OrvaneCore&) = delete;
  OrvaneCore& operator=(const OrvaneCore&) = delete;

  // ---- Free outlines (loading/text_outline.cpp) ----
  OutlineNode* AddChild(int32_t index, std::string_view text);
  OutlineNode* AddSibling(int32_t index, std::string_view text);
  void LoadFromTextFile(std::string_view fileName);
  void Demo();
  static constexpr const char* kDemoFile = "C:\\MIRVAK\\DATA\\BOOKS.TXT";

  // ---- Catalogue (loading/catalogue_loader.cpp) ----
  bool LoadBooks(std::string_view topicName);
  std::string BookName(int16_t book);

  // ---- Section queries (loading/section_queries.cpp) ----
  std::string GetSectionTitle(int16_t book, int32_t tocPos) const;
  int32_t GetParentPos(int16_t book, int32_t tocPos) const;
  int32_t TocToFilePos(int16_t book, int32_t tocPos) const;
  void LoadFromTocFile(std::string_view fileName);

  // ---- Rows (rows/expand_collapse.cpp) ----
  // Opens or closes the node of `row`; returns rows inserted or deleted.
  int32_t ToggleNode(int16_t row, int16_t* lastRow = nullptr);
  int32_t InsertNodeRow(OutlineNode* node, int16_t index, int16_t* indexUsed = nullptr);
  void RebuildAllRows();
  void RebuildCheckedRows();

  // ---- Check states (rows/check_states.cpp) ----
  int16_t GetCheckState(const OutlineNode* node) const;
  void SetCheckState(const OutlineNode* node, int16_t state);
  void SetCategoryBooks(const OutlineNode* category, int16_t state);
  void UpdateCategorySummary(const OutlineNode* book, int16_t newState, int16_t oldState);
  // True when it rebuilt the rows.
  bool RefreshPendingRows();
  void ChangeStateSelected();
  bool SetStateBook(int16_t bookId, bool checked);
  int16_t GetStateBook(int16_t bookId) const;
  bool ApplyCheck() const { return m_applyCheck; }
  // Stores the value and rebuilds the rows when a catalogue is loaded. The
  // caller marks the control modified.
  void SetApplyCheck(bool on);
  // Stores the value only (Demo and property loading).
  void StoreApplyCheck(bool on) { m_applyCheck = on; }

  // ---- Navigation (rows/navigation.cpp) ----
  int16_t ActiveCategory() const;
  int16_t ActiveBook() const;
  bool GotoTocPosition(int16_t book, int32_t tocPos);
  // Both return true when the control should repaint.
  bool ActivateBook(int16_t bookId);
  bool DeactivateBook(int16_t bookId);
  OutlineNode* BookNode(int16_t book) const;

  // ---- Questions the painting and input code share ----
  // A category of the loaded catalogue (not a text item of the root list).
  bool IsCategory(const OutlineNode* node) const;
  // The node of a catalogue book.
  bool IsBook(const OutlineNode* node) const;
  // Has children to show when opened: loaded ones, or a section's children
  // still waiting in its book's file. Such a node gets a button.
  bool CanOpen(const OutlineNode& node) const;
  bool HasDeferredChildren(const OutlineNode& node) const;

  // ---- State the control reads and writes ----
  const std::string& BooksDir() const { return m_booksDir; }
  void SetBooksDir(std::string_view dir) { m_booksDir = dir; }
  const std::string& TopicName() const { return m_topicName; }
  void SetTopicName(std::string_view name) { m_topicName = name; }
  const std::string& TocFile() const { return m_tocFile; }
  void SetTocFile(std::string_view text) { m_tocFile = text; }

  OutlineNode* SelectedNode() const { return m_selectedNode; }
  void SetSelectedNode(OutlineNode* node) { m_selectedNode = node; }
  bool BooksLoaded() const { return m_booksLoaded; }
  bool RowsStale() const { return m_rowsStale; }

  const NodeList& RootList() const { return m_rootList; }
  const CategoryTable& Categories() const { return m_categories; }
  int16_t BookCount() const { return m_bookCount; }
  // The book's TOC bytes and their length; null and 0 without a file.
  const uint8_t* BookBuffer(int16_t book) const;
  uint32_t BookLength(int16_t book) const;

  RowList& Rows() { return m_rows; }
  const RowList& Rows() const { return m_rows; }

  // The observer of row changes (the control's announcements); null for none.
  // The core never owns it.
  void SetRowEvents(RowEvents* events) { m_rowEvents = events; }

 private:
  // Releases the outline, the tables and the rows (a second LoadBooks).
  void ClearOutline();
  // The record at `tocPos` (raised to 10) of `book`'s buffer, or null when
  // the book has no buffer or the record does not lie wholly inside it.
  const uint8_t* RecordAt(int16_t book, int32_t tocPos) const;
  std::string CatalogueFile() const;
  std::string ReadCatalogue(std::string_view section, std::string_view key,
                            std::string_view deflt = "");
  // ToggleNode without telling the observer: the re-opening of children
  // inside an opening is part of that one change.
  int32_t ToggleRows(int16_t row, int16_t* lastRow);
  int32_t ToggleOpen(OutlineNode& node, int16_t row, int16_t* lastRow);
  int32_t ToggleClose(OutlineNode& node, int16_t row);
  // Reads a section's missing children from its book's file; false when
  // there is nothing to read or the file cannot be opened.
  bool ReadDeferredChildren(OutlineNode& node);
  int16_t FindRow(const OutlineNode* node, int32_t from) const;
  bool OpenRowOf(OutlineNode* node, int32_t* row);
  // Tell the observer, if any, that the node's row (when it has one) or the
  // rows of a category's books changed state, or that rows were reordered.
  void AnnounceNode(const OutlineNode* node);
  // The node's row, or -1; searched outward from `hint`, which is left on
  // the row found.
  int32_t FindAnnouncedRow(const OutlineNode* node, int32_t& hint);
  void AnnounceCategoryBooks(const OutlineNode* category);
  void AnnounceReorder();
  // Appends a row unless the list is at its 16-bit limit.
  bool AppendRootRow(OutlineNode* node);

  RowList& m_rows;
  ProfileSource& m_profile;
  FileSystem& m_files;
  HoverTimer& m_hoverTimer;
  RowEvents* m_rowEvents = nullptr;
  // Where the last announced top-level row and other row were found: only
  // places to start looking.
  int32_t m_announcedTopRow = 0;
  int32_t m_announcedRow = 0;

  OutlineNode* m_selectedNode = nullptr;
  NodeList m_rootList;
  std::string m_booksDir;
  bool m_booksLoaded = false;
  bool m_rowsStale = false;
  bool m_applyCheck = false;
  CategoryTable m_categories;
  int16_t m_bookCount = 0;
  std::vector<std::unique_ptr<uint8_t[]>> m_bookBuffers;
  std::vector<uint32_t> m_bookLengths;
  // Where ParseToc stopped in each book: records before it hold decoded titles.
  std::vector<uint32_t> m_bookParsedEnd;
  std::string m_tocFile;
  std::string m_topicName;
};

}  // namespace orvane
