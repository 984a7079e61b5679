// Every operation a host or a reader can start, with its Nth allocation
// failing for every N it makes, and with its Nth file operation failing or
// reading short: afterwards the rows and nodes must agree, and the core must
// go on working (under AddressSanitizer nothing it touches may be freed).
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sstream>

#include "tests/native/allocation_faults.h"
#include "tests/native/test_support.h"

namespace orvane::test {
namespace {

// Counts the bulk changes left open.
class BracketedRows : public GapRowList {
 public:
  using GapRowList::GapRowList;
  void BeginBulkChange() override { ++depth; }
  void EndBulkChange() override { --depth; }
  int depth = 0;
};

// How the file seam misbehaves from its Nth operation on.
enum class FileFault { None, Fail, Short };

// Serves the memory files, counting each open, size, seek and read; from the
// chosen one on, every operation fails, or files read as if cut in half
// while they are read.
class FaultyFileSystem : public FileSystem {
 public:
  explicit FaultyFileSystem(MemoryFileSystem& inner) : m_inner(inner) {}
  void Arm(FileFault fault, int64_t nth) {
    m_fault = fault;
    m_failAt = nth;
    count = 0;
  }
  bool Faulty() { return m_fault != FileFault::None && ++count >= m_failAt; }
  FileFault Fault() const { return m_fault; }

  std::unique_ptr<File> OpenRead(std::string_view path, Share share) override {
    if (Faulty() && m_fault == FileFault::Fail) return nullptr;
    std::unique_ptr<File> file = m_inner.OpenRead(path, share);
    if (!file) return nullptr;
    return std::make_unique<FaultyFile>(*this, std::move(file));
  }
  int64_t count = 0;

 private:
  class FaultyFile : public File {
   public:
    FaultyFile(FaultyFileSystem& owner, std::unique_ptr<File> inner)
        : m_owner(owner), m_inner(std::move(inner)) {}
    int64_t Size() override {
      if (m_owner.Faulty() && m_owner.Fault() == FileFault::Fail) return -1;
      return m_inner->Size();
    }
    bool Seek(uint32_t pos) override {
      m_pos = pos;
      if (m_owner.Faulty() && m_owner.Fault() == FileFault::Fail) return false;
      return m_inner->Seek(pos);
    }
    size_t Read(void* buffer, size_t count) override {
      if (m_owner.Faulty()) {
        if (m_owner.Fault() == FileFault::Fail) return 0;
        const int64_t half = m_inner->Size() / 2;
        if (static_cast<int64_t>(m_pos) >= half) return 0;
        count = std::min<size_t>(count, static_cast<size_t>(half - m_pos));
      }
      size_t n = m_inner->Read(buffer, count);
      m_pos += static_cast<uint32_t>(n);
      return n;
    }
    int64_t ModifiedTime() override { return m_inner->ModifiedTime(); }

   private:
    FaultyFileSystem& m_owner;
    std::unique_ptr<File> m_inner;
    uint32_t m_pos = 0;
  };

  MemoryFileSystem& m_inner;
  FileFault m_fault = FileFault::None;
  int64_t m_failAt = 0;
};

// A book of five top-level sections: four with three children of two
// grandchildren each in the leading region, the fifth with three children
// in a deferred run.
TocBytes LargeBook() {
  TocBytes toc(5);
  std::vector<uint32_t> tops;
  for (int t = 1; t <= 5; ++t) {
    tops.push_back(
        toc.Record("T" + std::to_string(t), {.childCount = 3, .level = 2, .filePos = 1000 * t}));
  }
  for (int t = 1; t <= 4; ++t) {
    std::vector<uint32_t> children;
    for (int c = 1; c <= 3; ++c) {
      children.push_back(toc.Record(
          "T" + std::to_string(t) + "." + std::to_string(c),
          {.parentPos = tops[t - 1], .childCount = 2, .level = 3, .filePos = 1000 * t + 10 * c}));
    }
    for (int c = 1; c <= 3; ++c) {
      for (int g = 1; g <= 2; ++g) {
        toc.Record("T" + std::to_string(t) + "." + std::to_string(c) + "." + std::to_string(g),
                   {.parentPos = children[c - 1], .level = 4, .filePos = 1000 * t + 10 * c + g});
      }
    }
  }
  toc.Zeros(21);
  uint32_t run = toc.Size();
  for (int c = 1; c <= 3; ++c) {
    toc.Record("T5." + std::to_string(c), {.parentPos = tops[4], .level = 3, .filePos = 5000 + c});
    toc.Bytes({0, 0});
  }
  toc.Patch32(tops[4], rec::kFirstChildPos, run);
  return toc;
}

struct FaultFixture {
  BracketedRows rows{20};
  MapProfile profile;
  MemoryFileSystem stored;
  FaultyFileSystem files{stored};
  RecordingHoverTimer timer;
  OrvaneCore core{rows, profile, files, timer};
  TocBytes large = LargeBook();
  SampleBook sample;

  FaultFixture() {
    const std::vector<std::vector<std::string>> categories{{"large", "sample"},
                                                           {"large2", "missing"}};
    WriteCatalogue(profile, "lib", categories);
    stored.Put("lib\\large.TOC", large.Get());
    stored.Put("lib\\large2.TOC", large.Get());
    stored.Put("lib\\sample.TOC", sample.toc.Get());
    stored.Put("outline.txt", std::string("one\r\n two\r\n  three\r\nfour\r\n five\r\n"));
  }

  int16_t RowOf(const std::string& title) const {
    for (int32_t r = 0; r < rows.Count(); ++r) {
      if (rows.NodeOf(r)->TitleText() == title) return static_cast<int16_t>(r);
    }
    return -1;
  }
  void Toggle(const std::string& title) {
    int16_t row = RowOf(title);
    ASSERT_GE(row, 0) << title;
    core.View().ToggleNode(row);
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> out;
    for (int32_t r = 0; r < rows.Count(); ++r) out.push_back(rows.NodeOf(r)->TitleText());
    return out;
  }
};

bool IsAncestor(const OutlineNode* ancestor, const OutlineNode* node) {
  for (const OutlineNode* up = node; up; up = up->m_parent) {
    if (up == ancestor) return true;
  }
  return false;
}

// Whether `node` hangs in the library: each parent lists it, up to the root.
bool Reachable(const Library& library, const OutlineNode* node) {
  for (; node; node = node->m_parent) {
    const NodeList& list = node->m_parent ? node->m_parent->m_children : library.RootList();
    bool listed = false;
    for (const OutlineNode* n : list) listed = listed || n == node;
    if (!listed) return false;
    if (!node->m_parent) return true;
  }
  return false;
}

// What must hold between any two operations; empty when it all does.
std::string BrokenInvariants(FaultFixture& f) {
  std::ostringstream out;
  const Library& library = f.core.Outline();
  if (f.rows.depth != 0) out << "bulk change left at depth " << f.rows.depth << "; ";
  if (f.timer.stops != f.timer.starts) out << "hover timer left stopped; ";
  std::set<const OutlineNode*> seen;
  const int32_t count = f.rows.Count();
  for (int32_t r = 0; r < count; ++r) {
    const OutlineNode* node = f.rows.NodeOf(r);
    if (!node || !Reachable(library, node)) {
      out << "row " << r << " holds a node outside the outline; ";
      return out.str();
    }
    if (!seen.insert(node).second) out << "row " << r << " repeats a node; ";
    for (const OutlineNode* up = node->m_parent; up; up = up->m_parent) {
      if (!up->m_expanded) out << "row " << r << " is under a closed node; ";
    }
    if (r > 0 && node->m_parent && !IsAncestor(node->m_parent, f.rows.NodeOf(r - 1))) {
      out << "row " << r << " is out of outline order; ";
    }
  }
  // An open node with a row shows exactly its children's rows, the unchecked
  // books left out in the checked-only view (unless that view is stale). A
  // rebuild shows a category's books only, not items a host hung under it.
  const bool filtered = !f.core.Checks().ApplyCheck();
  if (!(filtered && f.core.Checks().RowsStale())) {
    for (int32_t r = 0; r < count; ++r) {
      const OutlineNode* node = f.rows.NodeOf(r);
      if (!node->m_expanded) continue;
      const bool category = library.IsCategory(node);
      std::vector<const OutlineNode*> shown;
      for (int32_t s = r + 1;
           s < count && IsAncestor(node, f.rows.NodeOf(s)) && f.rows.NodeOf(s) != node; ++s) {
        const OutlineNode* below = f.rows.NodeOf(s);
        if (below->m_parent == node && (!category || library.IsBook(below))) {
          shown.push_back(below);
        }
      }
      std::vector<const OutlineNode*> expected;
      for (const OutlineNode* child : node->m_children) {
        if (filtered && f.core.Checks().GetCheckState(child) == csUnchecked) continue;
        if (category && !library.IsBook(child)) continue;
        expected.push_back(child);
      }
      if (shown != expected) {
        for (const std::string& t : f.Titles()) out << t << ",";
        out << " open row " << r << " (" << node->TitleText() << ") shows " << shown.size()
            << " of its " << expected.size() << " children; ";
      }
    }
  }
  const OutlineNode* selected = f.core.View().SelectedNode();
  if (selected && !Reachable(library, selected)) out << "the current node is gone; ";
  return out.str();
}

// Uses everything once more, as a host and a reader would after a failure:
// every row painted and opened and closed, every query asked, a jump, a new
// load. Under AddressSanitizer a node or buffer freed by the failure shows.
void UseNormally(FaultFixture& f) {
  for (int32_t r = 0; r < f.rows.Count(); ++r) {
    const OutlineNode* node = f.rows.NodeOf(r);
    (void)node->TitleText();
    (void)f.core.Outline().CanOpen(*node);
    (void)f.core.Outline().DeclaredChildren(*node);
  }
  for (int32_t r = f.rows.Count() - 1; r >= 0; --r) {
    f.core.View().ToggleNode(static_cast<int16_t>(r));
    f.core.View().ToggleNode(static_cast<int16_t>(r));
  }
  for (int16_t book = 1; book <= 4; ++book) {
    for (uint32_t pos : {10u, f.sample.a1, f.sample.b1, 200u}) {
      (void)f.core.Queries().GetSectionTitle(book, static_cast<int32_t>(pos));
      (void)f.core.Queries().GetParentPos(book, static_cast<int32_t>(pos));
      (void)f.core.Queries().TocToFilePos(book, static_cast<int32_t>(pos));
    }
  }
  f.core.View().GotoTocPosition(2, static_cast<int32_t>(f.sample.a1x));
  f.core.View().AddChild(f.rows.Count() - 1, "after");
  f.core.View().SetApplyCheck(!f.core.Checks().ApplyCheck());
  f.core.View().SetApplyCheck(!f.core.Checks().ApplyCheck());
}

struct Operation {
  const char* name;
  std::function<void(FaultFixture&)> before;  // state to start from, no faults
  std::function<void(FaultFixture&)> run;     // what the faults strike
};

const std::vector<Operation>& Operations() {
  static const std::vector<Operation> operations{
      {"LoadBooks", [](FaultFixture&) {}, [](FaultFixture& f) { f.core.LoadBooks("lib"); }},
      {"LoadBooks over a loaded library",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.Toggle("C1");
         f.Toggle("B1.1");
       },
       [](FaultFixture& f) { f.core.LoadBooks("lib"); }},
      {"on-demand read by opening a book",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.Toggle("C1");
       },
       [](FaultFixture& f) { f.Toggle("B1.1"); }},
      {"on-demand read by a query", [](FaultFixture& f) { f.core.LoadBooks("lib"); },
       [](FaultFixture& f) { (void)f.core.Queries().GetSectionTitle(1, 31); }},
      {"on-demand read by painting",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.Toggle("C1");
       },
       [](FaultFixture& f) { (void)f.core.Outline().CanOpen(*f.core.Outline().BookNode(1)); }},
      {"deferred read",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.Toggle("C1");
         f.Toggle("B1.1");
       },
       [](FaultFixture& f) { f.Toggle("T5"); }},
      {"re-opening a book with open sections",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.Toggle("C1");
         f.Toggle("B1.1");
         f.Toggle("T5");
         f.Toggle("T3");
         f.Toggle("T3.2");
         f.Toggle("T1");
         f.Toggle("B1.1");
       },
       [](FaultFixture& f) { f.Toggle("B1.1"); }},
      {"re-opening a category",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.Toggle("C1");
         f.Toggle("B1.1");
         f.Toggle("B1.2");
         f.Toggle("C1");
       },
       [](FaultFixture& f) { f.Toggle("C1"); }},
      {"AddChild and AddSibling",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.Toggle("C1");
       },
       [](FaultFixture& f) {
         f.core.View().AddChild(1, "under a book");
         f.core.View().AddSibling(0, "top");
         f.core.View().AddChild(-1, "also top");
         f.core.View().AddSibling(2, "beside a book");
       }},
      {"GotoTocPosition", [](FaultFixture& f) { f.core.LoadBooks("lib"); },
       [](FaultFixture& f) {
         f.core.View().GotoTocPosition(1, static_cast<int32_t>(f.large.Size() - 23));
       }},
      {"section queries",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         (void)f.core.Queries().GetSectionTitle(2, 10);
       },
       [](FaultFixture& f) {
         (void)f.core.Queries().GetSectionTitle(2, static_cast<int32_t>(f.sample.a1x));
         (void)f.core.Queries().GetParentPos(3, static_cast<int32_t>(f.sample.a1x));
         f.core.Queries().SetTocFile("2");
         f.core.Queries().LoadFromTocFile(std::to_string(f.sample.b1));
       }},
      {"LoadFromTextFile", [](FaultFixture& f) { f.core.LoadBooks("lib"); },
       [](FaultFixture& f) { f.core.LoadFromTextFile("outline.txt"); }},
      {"ApplyCheck rebuilds",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.core.Checks().SetStateBook(2, false);
         f.Toggle("C1");
         f.Toggle("B1.1");
       },
       [](FaultFixture& f) {
         f.core.View().SetApplyCheck(true);
         f.core.View().SetApplyCheck(false);
       }},
      {"check-state changes",
       [](FaultFixture& f) {
         f.core.LoadBooks("lib");
         f.core.View().SetApplyCheck(true);
         f.core.View().SetSelectedNode(f.core.Outline().CategoryNode(2));
       },
       [](FaultFixture& f) {
         f.core.View().ChangeStateSelected();
         f.core.Checks().SetStateBook(1, false);
         f.core.View().SetApplyCheck(false);
         f.core.Checks().SetStateBook(3, true);
         f.core.View().RefreshPendingRows();
       }},
  };
  return operations;
}

// Runs `op` on a fresh fixture with a fault armed by `arm`; every exception
// but bad_alloc fails the test.
template <class Arm>
std::string RunWithFault(const Operation& op, Arm&& arm, bool* struck) {
  FaultFixture f;
  op.before(f);
  if (std::string broken = BrokenInvariants(f); !broken.empty()) return "before: " + broken;
  try {
    arm(
        f, [&] { op.run(f); }, struck);
  } catch (const std::bad_alloc&) {
    // The failure a host is told of as E_OUTOFMEMORY.
  } catch (const std::exception& e) {
    return std::string("threw ") + e.what();
  }
  f.files.Arm(FileFault::None, 0);
  if (std::string broken = BrokenInvariants(f); !broken.empty()) return broken;
  UseNormally(f);
  if (std::string broken = BrokenInvariants(f); !broken.empty()) return "after use: " + broken;
  return std::string();
}

class FaultInjection : public ::testing::TestWithParam<size_t> {};

TEST_P(FaultInjection, EveryFailedAllocationLeavesAConsistentCore) {
  const Operation& op = Operations()[GetParam()];
  int64_t total = 0;
  {
    FaultFixture f;
    op.before(f);
    AllocationFaultScope counting(0);
    op.run(f);
    total = DisarmAllocationFaults();
  }
  ASSERT_GT(total, 0) << op.name << " makes no allocation to fail";
  for (int64_t nth = 1; nth <= total; ++nth) {
    bool struck = false;
    std::string failure = RunWithFault(
        op,
        [nth](FaultFixture&, const std::function<void()>& body, bool* hit) {
          AllocationFaultScope fault(nth);
          try {
            body();
          } catch (...) {
            *hit = AllocationFaultHappened();
            throw;
          }
          *hit = AllocationFaultHappened();
        },
        &struck);
    ASSERT_EQ(failure, "") << op.name << ", allocation " << nth << " of " << total;
    // Nodes reuse the slots of nodes freed before: a later run may need
    // fewer allocations than the first.
    if (!struck) break;
  }
}

TEST_P(FaultInjection, EveryFailingOrShortFileOperationLeavesAConsistentCore) {
  const Operation& op = Operations()[GetParam()];
  int64_t total = 0;
  {
    FaultFixture f;
    op.before(f);
    f.files.Arm(FileFault::Fail, INT64_MAX);
    op.run(f);
    total = f.files.count;
  }
  for (FileFault fault : {FileFault::Fail, FileFault::Short}) {
    for (int64_t nth = 1; nth <= total; ++nth) {
      bool struck = false;
      std::string failure = RunWithFault(
          op,
          [fault, nth](FaultFixture& f, const std::function<void()>& body, bool* hit) {
            f.files.Arm(fault, nth);
            body();
            *hit = f.files.count >= nth;
          },
          &struck);
      ASSERT_EQ(failure, "") << op.name << ", file operation " << nth << " of " << total
                             << (fault == FileFault::Fail ? " failing" : " reading short");
      ASSERT_TRUE(struck);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultInjection,
                         ::testing::Range<size_t>(0, Operations().size()),
                         [](const ::testing::TestParamInfo<size_t>& param) {
                           std::string name = Operations()[param.param].name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace orvane::test
