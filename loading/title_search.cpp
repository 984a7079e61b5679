#include "loading/title_search.h"

#include <algorithm>

#include "model/child_reader.h"
#include "model/library.h"
#include "model/outline_node.h"

namespace orvane {
namespace {

// The deepest level a node can have; a section there takes no children from
// its file (as the reader has it).
constexpr uint8_t kDeepestLevel = 255;

// One title met by the walk: a node's, or a record's in a book's file that
// has no node yet.
struct Visit {
  OutlineNode* node = nullptr;
  int32_t frame = -1;  // the frame that walks the visited title's children
  const uint8_t* title = nullptr;
  uint32_t length = 0;
  TitleBytes bytes = TitleBytes::Decoded;
};

// Walks the library depth first with a stack of its own: a host may nest
// free items deeper than a call stack goes, and a book's file may link its
// runs in a loop.
class OutlineWalk {
 public:
  OutlineWalk(Library& library, ChildReader& childReader, const SearchScope* scope,
              const FoldedQuery& query)
      : m_library(library), m_childReader(childReader), m_scope(scope), m_query(query) {
    m_frames.push_back(Frame{});
    m_frames.back().childEnd = library.RootList().Count();
  }

  // Goes on after `from` instead of from the start: its children come next,
  // then what follows each of its ancestors. False when it is not in the tree.
  bool StartAfter(OutlineNode* from) {
    std::vector<OutlineNode*> path;
    for (OutlineNode* n = from; n != nullptr; n = n->m_parent) path.push_back(n);
    if (!PositionAfter(path.back(), nullptr)) return false;
    for (size_t i = path.size() - 1; i-- > 0;) {
      PushNodeFrame(path[i + 1]);
      if (!PositionAfter(path[i], path[i + 1])) return false;
    }
    PushNodeFrame(from);
    return true;
  }

  bool Next(Visit& visit) {
    while (!m_frames.empty()) {
      Frame& f = m_frames.back();
      if (f.nextChild < f.childEnd) {
        const NodeList& list = f.node ? f.node->m_children : m_library.RootList();
        OutlineNode* child = list[f.nextChild++];
        if (!InScope(*child)) continue;
        PushNodeFrame(child);
        if (CannotMatchBelow(*child)) {
          m_frames.back().childEnd = 0;
          m_frames.back().runNext = 0;
        }
        visit = {child, static_cast<int32_t>(m_frames.size() - 1), child->Title(),
                 child->TitleLength(), TitleBytes::Decoded};
        return true;
      }
      if (f.runNext != 0 && f.runNext <= f.declared && !m_budgetSpent) {
        if (NextInRun(visit)) return true;
        continue;
      }
      m_frames.pop_back();
    }
    return false;
  }

  // The node of a visited title, made when it has none: the runs on its way
  // are read from the book's file as opening its ancestors would read them.
  // Null when the file no longer gives the record the walk saw.
  OutlineNode* NodeOf(int32_t index) {
    Frame& f = m_frames[static_cast<size_t>(index)];
    if (f.node != nullptr) return f.node;
    if (f.parent < 0) return nullptr;
    OutlineNode* parent = NodeOf(f.parent);
    if (parent == nullptr) return nullptr;
    if (m_library.HasDeferredChildren(*parent)) m_childReader.ReadDeferredChildren(*parent);
    const Frame& p = m_frames[static_cast<size_t>(f.parent)];
    const int64_t at = int64_t{p.runBase} + f.runIndex - p.runRead - 1;
    if (at < 0 || at >= parent->m_children.Count()) return nullptr;
    OutlineNode* node = parent->m_children[static_cast<int32_t>(at)];
    const uint8_t* record = m_buffer + f.recordPos;
    if (node->m_bookNumber != m_book || node->Header().RecordLength() != ReadU16(record) ||
        node->FilePos() != ReadI32(record + rec::kFilePos)) {
      return nullptr;
    }
    m_frames[static_cast<size_t>(index)].node = node;
    return node;
  }

 private:
  struct Frame {
    OutlineNode* node = nullptr;  // null for the root list, or a record not yet a node
    int32_t parent = -1;          // for a record: its parent's frame
    uint32_t runIndex = 0;        // for a record: its 1-based place in the parent's run
    uint32_t recordPos = 0;       // for a record: where it lies in the book's buffer
    uint8_t level = 0;
    int32_t nextChild = 0;
    int32_t childEnd = 0;
    // The run of children still in the file, as the reader would append
    // them: after `runBase` children, skipping the first `runRead` records.
    uint32_t runBase = 0;
    uint32_t runRead = 0;
    uint32_t runNext = 0;  // 1-based; 0 for no run
    uint32_t declared = 0;
    uint64_t runPos = 0;
  };

  bool InScope(const OutlineNode& node) const {
    if (m_scope == nullptr) return true;
    if (node.m_parent == nullptr || m_library.IsBook(&node)) return m_scope->Includes(node);
    return true;
  }

  // A book with nothing below it but the titles of its leading region,
  // whose region lacks a letter of the query, holds no match: its sections
  // are not visited at all.
  bool CannotMatchBelow(const OutlineNode& node) const {
    if (node.Level() != 1 || node.m_grown != 0 || !m_library.IsBook(&node)) return false;
    const BookShelf& shelf = m_library.Shelf();
    if (shelf.ChildrenWait(node.m_bookNumber)) return false;
    const ByteSet* present = shelf.LeadingBytes(node.m_bookNumber);
    if (present == nullptr || !m_query.MayBeIn(*present)) return true;
    // The leading region is one sequence of records, its titles decoded
    // where they lie: reading it in order costs far less than visiting the
    // nodes over it, which are needed only when a title matches.
    const uint8_t* buffer = shelf.Buffer(node.m_bookNumber);
    const uint32_t end =
        std::min(shelf.ParsedEnd(node.m_bookNumber), shelf.Length(node.m_bookNumber));
    uint32_t pos = kTocHeaderSize;
    while (pos < end) {
      if (!RecordFits(buffer, end, pos)) return false;
      const uint16_t recordLength = ReadU16(buffer + pos);
      if (m_query.FoundIn(buffer + pos + kRecordHeaderSize, recordLength - kRecordHeaderSize,
                          TitleBytes::Decoded)) {
        return false;
      }
      pos += recordLength;
    }
    return true;
  }

  // Puts the walk of `list`'s owner just after `child`.
  bool PositionAfter(OutlineNode* child, OutlineNode* owner) {
    Frame& f = m_frames.back();
    const NodeList& list = owner ? owner->m_children : m_library.RootList();
    for (int32_t i = 0; i < f.childEnd; ++i) {
      if (list[i] == child) {
        f.nextChild = i + 1;
        return true;
      }
    }
    return false;
  }

  void PushNodeFrame(OutlineNode* node) {
    // A book's sections are there once its file has been read.
    m_library.EnsureBookReadFor(*node);
    if (node->Level() == 1 && node->m_bookNumber != m_book) EnterBook(node->m_bookNumber);
    Frame f;
    f.node = node;
    f.level = node->Level();
    f.childEnd = node->m_children.Count();
    if (node->ChildCount() != 0 && node->m_bookNumber == m_book &&
        m_library.HasDeferredChildren(*node)) {
      f.runBase = static_cast<uint32_t>(f.childEnd);
      f.runRead = static_cast<uint32_t>(ChildrenReadFromFile(*node));
      f.runNext = 1;
      f.declared = node->ChildCount();
      f.runPos = node->Header().FirstChildPos();
    }
    m_frames.push_back(f);
  }

  void EnterBook(int16_t book) {
    m_book = book;
    m_buffer = m_library.Shelf().Buffer(book);
    m_length = m_library.Shelf().Length(book);
    // Where the leading region's titles were decoded in place: a run that
    // reaches back into it (a damaged file) no longer holds the bytes the
    // reader would read there.
    m_parsedEnd = m_library.Shelf().ParsedEnd(book);
    // Each record of a sound file is met once; more visits than the file
    // has room for records mean its runs loop.
    m_budget = m_length / kRecordHeaderSize + 1;
    m_budgetSpent = false;
  }

  // The next record of the top frame's run, stepped over exactly as the
  // reader steps (two bytes after each record, a short or missing record
  // ending the run).
  bool NextInRun(Visit& visit) {
    const int32_t index = static_cast<int32_t>(m_frames.size() - 1);
    Frame& f = m_frames.back();
    const uint64_t pos = f.runPos;
    const uint32_t i = f.runNext++;
    if (m_buffer == nullptr || pos > UINT32_MAX || pos + 2 > m_length) return EndRun(f);
    const uint16_t recordLength = ReadU16(m_buffer + pos);
    if (recordLength < kRecordHeaderSize) return EndRun(f);
    f.runPos = pos + recordLength + 2u;
    if (i <= f.runRead) return false;
    if (pos + recordLength > m_length) return EndRun(f);
    if (m_budget-- == 0) {
      m_budgetSpent = true;
      return false;
    }
    const uint8_t* record = m_buffer + pos;
    Frame child;
    child.parent = index;
    child.runIndex = i;
    child.recordPos = static_cast<uint32_t>(pos);
    child.level = static_cast<uint8_t>(f.level + 1);
    const uint16_t childCount = ReadU16(record + rec::kChildCount);
    if (childCount != 0 && child.level >= 2 && child.level < kDeepestLevel) {
      child.runNext = 1;
      child.declared = childCount;
      child.runPos = ReadU32(record + rec::kFirstChildPos);
    }
    m_frames.push_back(child);
    const int32_t childIndex = index + 1;
    visit = {nullptr, childIndex, record + kRecordHeaderSize,
             static_cast<uint32_t>(recordLength - kRecordHeaderSize), TitleBytes::Stored};
    if (pos < m_parsedEnd) {
      // The bytes here were decoded for another record: the title is the
      // one the reader makes from the file.
      OutlineNode* node = NodeOf(childIndex);
      visit.title = node ? node->Title() : nullptr;
      visit.length = node ? node->TitleLength() : 0;
      visit.bytes = TitleBytes::Decoded;
      visit.node = node;
    }
    return true;
  }

  static bool EndRun(Frame& f) {
    f.runNext = 0;
    return false;
  }

  Library& m_library;
  ChildReader& m_childReader;
  const SearchScope* m_scope;
  const FoldedQuery& m_query;
  std::vector<Frame> m_frames;
  int16_t m_book = 0;
  const uint8_t* m_buffer = nullptr;
  uint32_t m_length = 0;
  uint32_t m_parsedEnd = 0;
  uint32_t m_budget = 0;
  bool m_budgetSpent = false;
};

bool Matches(const FoldedQuery& query, const Visit& v) {
  return query.FoundIn(v.title, v.length, v.bytes);
}

}  // namespace

TitleSearch::TitleSearch(Library& library, ChildReader& childReader)
    : m_library(library), m_childReader(childReader) {}

std::vector<OutlineNode*> TitleSearch::FindAll(const FoldedQuery& query, uint32_t maxCount,
                                               const SearchScope* scope) {
  std::vector<OutlineNode*> found;
  if (query.MatchesNothing() || maxCount == 0) return found;
  OutlineWalk walk(m_library, m_childReader, scope, query);
  Visit v;
  while (found.size() < maxCount && walk.Next(v)) {
    if (!Matches(query, v)) continue;
    if (OutlineNode* node = v.node ? v.node : walk.NodeOf(v.frame)) found.push_back(node);
  }
  return found;
}

OutlineNode* TitleSearch::FindAfter(const FoldedQuery& query, OutlineNode* from,
                                    const SearchScope* scope) {
  if (query.MatchesNothing()) return nullptr;
  Visit v;
  if (from != nullptr) {
    OutlineWalk after(m_library, m_childReader, scope, query);
    if (after.StartAfter(from)) {
      while (after.Next(v)) {
        if (!Matches(query, v)) continue;
        if (OutlineNode* node = v.node ? v.node : after.NodeOf(v.frame)) return node;
      }
    }
  }
  OutlineWalk wrapped(m_library, m_childReader, scope, query);
  while (wrapped.Next(v)) {
    const bool matches = Matches(query, v);
    if (v.node == from && from != nullptr) return matches ? from : nullptr;
    if (!matches) continue;
    if (OutlineNode* node = v.node ? v.node : wrapped.NodeOf(v.frame)) return node;
  }
  return nullptr;
}

OutlineNode* TitleSearch::FindBefore(const FoldedQuery& query, OutlineNode* from,
                                     const SearchScope* scope) {
  if (query.MatchesNothing()) return nullptr;
  OutlineWalk walk(m_library, m_childReader, scope, query);
  OutlineNode* last = nullptr;
  bool passed = from == nullptr;
  Visit v;
  while (walk.Next(v)) {
    if (!passed && v.node == from) {
      passed = true;
      if (last != nullptr) return last;
    }
    if (!Matches(query, v)) continue;
    if (OutlineNode* node = v.node ? v.node : walk.NodeOf(v.frame)) last = node;
  }
  return last;
}

}  // namespace orvane
