#include "tools/orvane-toc/toc_check.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <set>

#include "model/toc_record.h"

namespace orvane::toc_tool {
namespace {

constexpr uint32_t kRunSpareBytes = 2;

struct CheckedRecord {
  uint32_t pos;
  uint32_t level;  // where the outline puts it
  uint16_t childCount;
  uint32_t firstChildPos;
  uint32_t loadedChildren = 0;
  bool childrenInLeading = false;
};

class TocChecker {
 public:
  explicit TocChecker(const std::vector<uint8_t>& bytes)
      : m_bytes(bytes), m_length(static_cast<uint64_t>(bytes.size())) {}

  std::vector<TocProblem> Run() {
    if (m_length < kTocHeaderSize) {
      Report(0,
             "the file has " + std::to_string(m_length) + " bytes, fewer than its 10-byte header");
      return Finish();
    }
    Cover(0, kTocHeaderSize);
    CheckLeadingRegion();
    CheckDeferredRuns();
    CheckCoverage();
    return Finish();
  }

 private:
  void Report(uint64_t offset, std::string message) {
    m_problems.push_back({static_cast<uint32_t>(offset), std::move(message)});
  }
  void Cover(uint64_t from, uint64_t to) { m_covered.emplace_back(from, std::min(to, m_length)); }

  bool ZeroRunAt(uint64_t pos) const {
    if (pos + kRecordHeaderSize > m_length) return false;
    return std::all_of(m_bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                       m_bytes.begin() + static_cast<std::ptrdiff_t>(pos + kRecordHeaderSize),
                       [](uint8_t b) { return b == 0; });
  }

  // Checks the record at `pos` as a child of `parent` (index into m_records,
  // or kBook with parentPos 0). Returns its RecordLength, or 0 when it
  // cannot be read and nothing after it can be trusted.
  uint32_t CheckRecord(uint64_t pos, const CheckedRecord* parent, const char* where) {
    if (pos + kRecordHeaderSize > m_length) {
      Report(pos, std::string(where) + " record header reaches past the end of the file (" +
                      std::to_string(m_length) + " bytes)");
      return 0;
    }
    const uint8_t* p = m_bytes.data() + pos;
    const uint16_t recordLength = ReadU16(p + rec::kRecordLength);
    if (recordLength < kRecordHeaderSize) {
      Report(pos, "RecordLength " + std::to_string(recordLength) + " is below 21");
      return 0;
    }
    if (pos + recordLength > m_length) {
      Report(pos, "record of " + std::to_string(recordLength) +
                      " bytes reaches past the end of the file (" + std::to_string(m_length) +
                      " bytes)");
      return 0;
    }
    const uint32_t parentPos = parent ? parent->pos : 0;
    const uint32_t level = parent ? parent->level + 1 : 2;
    if (ReadU32(p + rec::kParentPos) != parentPos) {
      Report(pos,
             "ParentPos " + std::to_string(ReadU32(p + rec::kParentPos)) +
                 (parent ? " does not point at the parent record at " + std::to_string(parentPos)
                         : " is not 0 on a top-level section"));
    }
    if (p[rec::kLevel] != level) {
      Report(pos, "Level " + std::to_string(p[rec::kLevel]) +
                      " where the outline puts the section at level " + std::to_string(level));
    }
    const uint8_t* title = p + kRecordHeaderSize;
    const uint8_t* zero = std::find(title, p + recordLength, uint8_t{0});
    if (zero != p + recordLength) {
      Report(static_cast<uint64_t>(zero - m_bytes.data()), "title cut short by a stored zero byte");
    }
    m_records.push_back({static_cast<uint32_t>(pos), level, ReadU16(p + rec::kChildCount),
                         ReadU32(p + rec::kFirstChildPos)});
    m_seen.insert(static_cast<uint32_t>(pos));
    return recordLength;
  }

  void ReportShortGroup(const CheckedRecord* parent, uint32_t present, const char* where) {
    if (!parent) {
      Report(6, "the header declares " + std::to_string(m_topCount) + " top-level sections, " +
                    where + " holds " + std::to_string(present));
    } else {
      Report(parent->pos, "ChildCount " + std::to_string(parent->childCount) + " but " + where +
                              " holds " + std::to_string(present) + " records");
    }
  }

  // The leading region, in the order the reader's pending list takes it.
  void CheckLeadingRegion() {
    m_topCount = ReadU16(m_bytes.data() + 6);
    std::deque<int64_t> pending{-1};  // record indexes; -1 is the book
    uint64_t pos = kTocHeaderSize;
    bool stored = false;
    while (!pending.empty() && pos < m_length) {
      if (ZeroRunAt(pos)) {
        Cover(pos, pos + kRecordHeaderSize);
        break;
      }
      const int64_t parentIndex = pending.front();
      pending.pop_front();
      const uint32_t count = parentIndex < 0 ? m_topCount : m_records[parentIndex].childCount;
      if (count == 0) continue;
      if (parentIndex >= 0 && m_records[parentIndex].level >= 255) {
        Report(m_records[parentIndex].pos,
               "children below level 255, which the Level byte cannot count");
        continue;
      }
      const auto first = static_cast<int64_t>(m_records.size());
      uint32_t present = 0;
      for (; present < count; ++present) {
        const CheckedRecord* parent = parentIndex < 0 ? nullptr : &m_records[parentIndex];
        if (parent && present == 0 && parent->firstChildPos != pos) {
          Report(parent->pos, "FirstChildPos " + std::to_string(parent->firstChildPos) +
                                  " is not the offset of the first child, " + std::to_string(pos));
        }
        const uint32_t length = CheckRecord(pos, parent, "leading");
        if (length == 0) break;
        Cover(pos, pos + length);
        pos += length;
      }
      stored = stored || present > 0;
      if (parentIndex >= 0) {
        m_records[parentIndex].loadedChildren = present;
        m_records[parentIndex].childrenInLeading = true;
      }
      if (present < count) {
        ReportShortGroup(parentIndex < 0 ? nullptr : &m_records[parentIndex], present,
                         "the leading region");
        return;  // the reader stops here too
      }
      for (int64_t i = first + present; i-- > first;) pending.push_front(i);
    }
    if (!stored && m_topCount > 0) ReportShortGroup(nullptr, 0, "the leading region");
  }

  // Every record whose children were not in the leading region, and every
  // record read from a run, has its children read through FirstChildPos.
  void CheckDeferredRuns() {
    for (size_t index = 0; index < m_records.size(); ++index) {
      const CheckedRecord node = m_records[index];
      if (node.childCount == 0 || node.childrenInLeading) continue;
      if (node.level >= 255) {
        Report(node.pos, "children below level 255, which the Level byte cannot count");
        continue;
      }
      uint64_t pos = node.firstChildPos;
      if (pos < kTocHeaderSize || pos >= m_length) {
        Report(node.pos, "FirstChildPos " + std::to_string(pos) +
                             " lies outside the file's records (10.." + std::to_string(m_length) +
                             ")");
        continue;
      }
      uint32_t present = 0;
      for (; present < node.childCount; ++present) {
        if (m_seen.count(static_cast<uint32_t>(pos))) {
          Report(node.pos, "the run at " + std::to_string(node.firstChildPos) +
                               " leads back to the record at " + std::to_string(pos) +
                               ", already read");
          break;
        }
        const uint32_t length = CheckRecord(pos, &m_records[index], "deferred");
        if (length == 0) break;
        Cover(pos, pos + length + kRunSpareBytes);
        pos += length + kRunSpareBytes;
      }
      if (present < node.childCount)
        ReportShortGroup(&m_records[index], present, "its deferred run");
    }
  }

  void CheckCoverage() {
    std::sort(m_covered.begin(), m_covered.end());
    uint64_t reached = 0;
    for (const auto& [from, to] : m_covered) {
      if (from > reached) {
        Report(reached, "bytes " + std::to_string(reached) + ".." + std::to_string(from - 1) +
                            " belong to no record");
      }
      reached = std::max(reached, to);
    }
    if (reached < m_length) {
      Report(reached, "bytes " + std::to_string(reached) + ".." + std::to_string(m_length - 1) +
                          " belong to no record");
    }
  }

  std::vector<TocProblem> Finish() {
    std::stable_sort(m_problems.begin(), m_problems.end(),
                     [](const TocProblem& a, const TocProblem& b) { return a.offset < b.offset; });
    return std::move(m_problems);
  }

  const std::vector<uint8_t>& m_bytes;
  const uint64_t m_length;
  uint16_t m_topCount = 0;
  std::vector<CheckedRecord> m_records;  // grows while deferred runs are read
  std::set<uint32_t> m_seen;
  std::vector<std::pair<uint64_t, uint64_t>> m_covered;
  std::vector<TocProblem> m_problems;
};

}  // namespace

std::vector<TocProblem> CheckToc(const std::vector<uint8_t>& bytes) {
  return TocChecker(bytes).Run();
}

}  // namespace orvane::toc_tool
