// Drives two cores over the same generated library side by side, one reading
// every book's TOC file with the catalogue and one reading each book when it
// is first needed, through the same operations, and reports the first step
// where anything a host or a reader could observe differs. Used by a seeded
// test and by a fuzz target, with the choices coming from a generator or from
// the fuzzer's bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "loading/title_folding.h"
#include "loading/toc_writer.h"
#include "tests/native/test_support.h"

namespace orvane::test {

// Where the driver's choices come from.
class Choices {
 public:
  virtual ~Choices() = default;
  // A number in 0..bound-1 (0 when bound is 0).
  virtual uint32_t Below(uint32_t bound) = 0;
  // Up to `max` arbitrary bytes.
  virtual std::vector<uint8_t> Bytes(size_t max) = 0;
  // No more choices worth making.
  virtual bool Exhausted() const = 0;
};

class BookReadingDifferential {
 public:
  explicit BookReadingDifferential(Choices& choices) : m_in(choices) {
    m_eager.core.Catalogue().SetBookReading(BookReading::WithCatalogue);
  }

  // Builds a library, loads it into both cores and runs up to `maxSteps`
  // operations. Returns an empty string when both cores agreed throughout,
  // else what differed and the steps that led there.
  std::string Run(int maxSteps) {
    MakeLibrary();
    Step("LoadBooks", [](CoreFixture& f) { return f.core.LoadBooks("lib") ? 1 : 0; });
    for (int i = 0; i < maxSteps && m_failure.empty() && !m_in.Exhausted(); ++i) RandomStep();
    return m_failure.empty() ? std::string() : m_failure + "\nsteps:\n" + m_log.str();
  }

  // How many TOC files each core opened: the on-demand one should open fewer.
  size_t EagerOpens() const { return m_eager.files.opened.size(); }
  size_t LazyOpens() const { return m_lazy.files.opened.size(); }

 private:
  using Op = std::function<int64_t(CoreFixture&)>;

  void MakeLibrary() {
    int categories = 1 + static_cast<int>(m_in.Below(3));
    std::vector<std::vector<std::string>> names(static_cast<size_t>(categories));
    for (auto& books : names) {
      int count = static_cast<int>(m_in.Below(4));
      for (int j = 0; j < count; ++j) books.push_back("b" + std::to_string(m_bookCount++));
    }
    // Now and then the catalogue declares more books than its categories hold.
    int declared = m_in.Below(4) == 0 ? m_bookCount + 2 : -1;
    for (CoreFixture* f : {&m_eager, &m_lazy}) f->Catalogue("lib", names, declared);
    for (int b = 0; b < m_bookCount; ++b) {
      std::vector<uint8_t> bytes = MakeToc();
      m_files.push_back(bytes);
      if (bytes.empty() && m_in.Below(2) == 0) continue;  // no file at all
      for (CoreFixture* f : {&m_eager, &m_lazy})
        f->files.Put("lib\\b" + std::to_string(b) + ".TOC", bytes);
    }
  }

  std::vector<TocSection> MakeSections(int depth) {
    std::vector<TocSection> out;
    if (depth > 3) return out;
    int count = static_cast<int>(m_in.Below(depth == 0 ? 5 : 4));
    for (int i = 0; i < count; ++i) {
      TocSection s;
      s.title = "S" + std::to_string(m_sectionCount);
      s.filePos = 1000 + m_sectionCount++;
      if (m_in.Below(2)) s.children = MakeSections(depth + 1);
      out.push_back(std::move(s));
    }
    return out;
  }

  std::vector<uint8_t> MakeToc() {
    uint32_t kind = m_in.Below(6);
    if (kind == 0) return {};
    if (kind == 5) return m_in.Bytes(400);  // anything at all
    std::vector<TocSection> sections = MakeSections(0);
    TocWriteOptions options;
    if (kind == 2) options.leadingGroups = m_in.Below(CountTocGroups(sections) + 1);
    if (kind == 3) options.leadingGroups = 0;
    options.terminate = kind == 4;
    std::vector<uint8_t> bytes;
    std::string error;
    WriteToc(sections, options, bytes, error);
    // Record positions to ask about: every record the file holds, found by
    // walking its length fields.
    for (uint32_t pos = kTocHeaderSize; pos + kRecordHeaderSize <= bytes.size();) {
      m_positions.push_back(static_cast<int32_t>(pos));
      uint16_t length = ReadU16(&bytes[pos]);
      if (length < kRecordHeaderSize) break;
      pos += length;
    }
    return bytes;
  }

  int16_t AnyBook() {
    return static_cast<int16_t>(static_cast<int32_t>(m_in.Below(m_bookCount + 3)) - 1);
  }
  int32_t AnyPos() {
    if (!m_positions.empty() && m_in.Below(4) != 0) {
      return m_positions[m_in.Below(static_cast<uint32_t>(m_positions.size()))];
    }
    return static_cast<int32_t>(m_in.Below(600)) - 20;
  }
  int32_t AnyRow() { return static_cast<int32_t>(m_in.Below(m_lazy.rows.Count() + 2)) - 1; }

  // Another program changes a book's file once both cores have read it (the
  // one reading on demand is made to read it first, and a failed read is
  // tried again in both, so that both hold the same leading region):
  // deferred reads must then agree, taking nothing from a file that is no
  // longer the one read.
  void ChangeFile() {
    if (m_bookCount == 0) return;
    const int b = static_cast<int>(m_in.Below(static_cast<uint32_t>(m_bookCount)));
    const std::string path = "lib\\b" + std::to_string(b) + ".TOC";
    const std::vector<uint8_t>& original = m_files[static_cast<size_t>(b)];
    const uint32_t kind = m_in.Below(5);
    std::vector<uint8_t> bytes = original;
    int64_t modified = ++m_writes;
    if (kind == 1) bytes.resize(m_in.Below(static_cast<uint32_t>(bytes.size()) + 1));
    if (kind == 3) modified = 0;  // the very file read, back again
    if (kind == 4) bytes = MakeToc();
    m_log << "  file of book " << (b + 1) << " "
          << (kind == 0   ? "rewritten"
              : kind == 1 ? "cut"
              : kind == 2 ? "removed"
              : kind == 3 ? "restored"
                          : "replaced")
          << "\n";
    for (CoreFixture* f : {&m_eager, &m_lazy}) {
      // A book whose read failed is tried again here, in both.
      f->core.Outline().EnsureBookRead(static_cast<int16_t>(b + 1));
      if (kind == 2) {
        f->files.Remove(path);
      } else {
        f->files.Put(path, bytes, modified);
      }
    }
  }

  void RandomStep() {
    if (m_in.Below(8) == 0) {
      ChangeFile();
      return;
    }
    switch (m_in.Below(16)) {
      case 14: {
        // Any bytes at all as a query: both cores must find the same titles.
        std::vector<uint8_t> bytes = m_in.Bytes(6);
        std::string query(bytes.begin(), bytes.end());
        // Now and then a query the sections' titles ("S<n>") answer.
        if (m_in.Below(2) == 0) query = "s" + std::to_string(m_in.Below(20));
        uint32_t max = 1 + m_in.Below(50);
        Step("Find " + std::to_string(bytes.size()) + " bytes, at most " + std::to_string(max),
             [=](CoreFixture& f) {
               std::string found;
               for (const OutlineNode* n : f.core.Search().FindAll(FoldedQuery(query), max)) {
                 found += n->TitleText() + "|" + std::to_string(n->FilePos()) + "|" +
                          std::to_string(n->m_bookNumber) + "\n";
               }
               return static_cast<int64_t>(std::hash<std::string>{}(found));
             });
        break;
      }
      case 15: {
        std::vector<uint8_t> bytes = m_in.Bytes(4);
        std::string query(bytes.begin(), bytes.end());
        if (m_in.Below(2) == 0) query = "S" + std::to_string(m_in.Below(20));
        bool backward = m_in.Below(2) != 0;
        Step(std::string(backward ? "FindPrevious " : "FindNext ") + std::to_string(bytes.size()) +
                 " bytes",
             [=](CoreFixture& f) {
               return f.core.View().FindAndShow(FoldedQuery(query), backward) ? 1 : 0;
             });
        break;
      }
      case 0:
      case 1: {
        int32_t row = AnyRow();
        Step("ToggleNode " + std::to_string(row),
             [row](CoreFixture& f) { return f.core.View().ToggleNode(static_cast<int16_t>(row)); });
        break;
      }
      case 2: {
        int16_t book = AnyBook();
        int32_t pos = AnyPos();
        Step("GotoTocPosition " + std::to_string(book) + " " + std::to_string(pos),
             [=](CoreFixture& f) { return f.core.View().GotoTocPosition(book, pos) ? 1 : 0; });
        break;
      }
      case 3: {
        int16_t book = AnyBook();
        int32_t pos = AnyPos();
        Step("Queries " + std::to_string(book) + " " + std::to_string(pos), [=](CoreFixture& f) {
          f.core.Queries().SetTocFile(std::to_string(book));
          f.core.Queries().LoadFromTocFile(std::to_string(pos));
          return static_cast<int64_t>(
              std::hash<std::string>{}(f.core.Queries().GetSectionTitle(book, pos) + "|" +
                                       std::to_string(f.core.Queries().GetParentPos(book, pos)) +
                                       "|" + f.core.Queries().TocFile()));
        });
        break;
      }
      case 4: {
        int16_t book = AnyBook();
        bool on = m_in.Below(2) != 0;
        Step("SetStateBook " + std::to_string(book) + " " + std::to_string(on),
             [=](CoreFixture& f) { return f.core.Checks().SetStateBook(book, on) ? 1 : 0; });
        break;
      }
      case 5: {
        bool on = m_in.Below(2) != 0;
        Step("SetApplyCheck " + std::to_string(on), [=](CoreFixture& f) {
          f.core.View().SetApplyCheck(on);
          return 0;
        });
        break;
      }
      case 6: {
        int32_t row = AnyRow();
        Step("select and ChangeStateSelected " + std::to_string(row), [=](CoreFixture& f) {
          if (OutlineNode* node = f.rows.NodeOf(row)) f.core.View().SetSelectedNode(node);
          f.core.View().ChangeStateSelected();
          return 0;
        });
        break;
      }
      case 7: {
        int16_t book = AnyBook();
        bool activate = m_in.Below(2) != 0;
        Step((activate ? "ActivateBook " : "DeactivateBook ") + std::to_string(book),
             [=](CoreFixture& f) {
               return (activate ? f.core.View().ActivateBook(book)
                                : f.core.View().DeactivateBook(book))
                          ? 1
                          : 0;
             });
        break;
      }
      case 8:
        Step("RefreshPendingRows",
             [](CoreFixture& f) { return f.core.View().RefreshPendingRows() ? 1 : 0; });
        break;
      case 9: {
        int32_t row = AnyRow();
        bool child = m_in.Below(2) != 0;
        Step((child ? "AddChild " : "AddSibling ") + std::to_string(row), [=](CoreFixture& f) {
          OutlineNode* node = child ? f.core.View().AddChild(row, "host item")
                                    : f.core.View().AddSibling(row, "host item");
          return node ? node->Level() : -1;
        });
        break;
      }
      case 10:
        if (m_in.Below(4) == 0) {
          Step("LoadBooks again", [](CoreFixture& f) { return f.core.LoadBooks("lib") ? 1 : 0; });
        }
        break;
      case 11: {
        // What a key on a row asks: can it open, how many children it declares.
        int32_t row = AnyRow();
        Step("row questions " + std::to_string(row), [=](CoreFixture& f) -> int64_t {
          OutlineNode* node = f.rows.NodeOf(row);
          if (!node) return -1;
          return f.core.Outline().CanOpen(*node) * 100000 +
                 f.core.Outline().DeclaredChildren(*node);
        });
        break;
      }
      default: {
        // A paint: every row of a screenful is asked whether it gets a button.
        int32_t top = AnyRow();
        Step("paint from " + std::to_string(top), [=](CoreFixture& f) -> int64_t {
          int64_t buttons = 0;
          for (int32_t r = std::max(top, 0); r < f.rows.Count() && r < top + 12; ++r) {
            buttons = buttons * 2 + (f.core.Outline().CanOpen(*f.rows.NodeOf(r)) ? 1 : 0);
          }
          return buttons;
        });
        break;
      }
    }
  }

  void Step(const std::string& what, const Op& op) {
    m_log << "  " << what << "\n";
    int64_t eager = op(m_eager);
    int64_t lazy = op(m_lazy);
    if (eager != lazy) {
      m_failure = what + ": returned " + std::to_string(eager) + " eagerly, " +
                  std::to_string(lazy) + " on demand";
      return;
    }
    std::string a = Observed(m_eager);
    std::string b = Observed(m_lazy);
    if (a != b) m_failure = what + ": eagerly\n" + a + "on demand\n" + b;
  }

  // Everything a host or a screen reader can learn without asking a question
  // that itself reads a book: the rows, the selection and the book states.
  static std::string Observed(CoreFixture& f) {
    std::ostringstream out;
    const RowView& view = f.core.View();
    out << "selection " << f.rows.Selection() << " active " << view.ActiveCategory() << "/"
        << view.ActiveBook() << " applycheck " << f.core.Checks().ApplyCheck() << " stale "
        << f.core.Checks().RowsStale() << "\n";
    for (int32_t r = 0; r < f.rows.Count(); ++r) {
      const OutlineNode* n = f.rows.NodeOf(r);
      out << r << ": " << n->TitleText() << " L" << int(n->Level()) << " open " << n->m_expanded
          << " active " << n->m_active << " state " << f.core.Checks().GetCheckState(n) << " book "
          << n->m_bookNumber << " #" << n->m_ordinal << " at " << n->FilePos()
          << (n == view.SelectedNode() ? " current" : "") << "\n";
    }
    for (int16_t b = 1; b <= f.core.Outline().BookCount(); ++b) {
      out << f.core.Checks().GetStateBook(b);
    }
    out << "\n";
    return out.str();
  }

  Choices& m_in;
  CoreFixture m_eager;
  CoreFixture m_lazy;
  int m_bookCount = 0;
  int m_sectionCount = 0;
  std::vector<int32_t> m_positions;
  std::vector<std::vector<uint8_t>> m_files;  // each book's file as first written
  int64_t m_writes = 0;
  std::ostringstream m_log;
  std::string m_failure;
};

}  // namespace orvane::test
