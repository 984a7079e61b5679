#include "loading/toc_writer.h"

#include <algorithm>
#include <deque>
#include <limits>

#include "loading/cp1256.h"
#include "model/toc_record.h"

namespace orvane {
namespace {

constexpr uint32_t kRunSpareBytes = 2;  // after every record of a deferred run
constexpr uint32_t kTerminatorSize = kRecordHeaderSize;
constexpr uint32_t kMaxTitleBytes = 0xFFFF - kRecordHeaderSize;
constexpr uint32_t kMaxGroupSize = 0xFFFF;
constexpr uint64_t kMaxFileSize = std::numeric_limits<int32_t>::max();

struct PlacedRecord {
  const TocSection* section;
  int32_t parent;  // index of the parent's record; -1 under the book
  uint8_t level;
  uint32_t offset = 0;
};

// The sibling groups of an outline in the order the reader's pending list
// visits them: after a group come the groups below each of its members in
// turn, the first member's all before the second's.
struct GroupOrder {
  std::vector<PlacedRecord> records;
  std::vector<std::pair<uint32_t, uint32_t>> groups;  // first record, member count
};

bool CheckSection(const TocSection& section, std::string& error) {
  if (section.title.size() > kMaxTitleBytes) {
    error = "title of " + std::to_string(section.title.size()) +
            " bytes is longer than a record can hold (" + std::to_string(kMaxTitleBytes) + ")";
    return false;
  }
  for (char c : section.title) {
    if (c == '\0' || c == '\x01') {
      error = "title \"" + Cp1256ToUtf8(section.title.substr(0, 40)) +
              "\" holds byte 0x00 or 0x01, which the reader cannot keep";
      return false;
    }
  }
  if (section.children.size() > kMaxGroupSize) {
    error = "a section has " + std::to_string(section.children.size()) +
            " children; a record counts at most 65535";
    return false;
  }
  return true;
}

bool OrderGroups(const std::vector<TocSection>& sections, GroupOrder& order, std::string& error) {
  if (sections.size() > kMaxGroupSize) {
    error = "the book has " + std::to_string(sections.size()) +
            " top-level sections; the header counts at most 65535";
    return false;
  }
  std::deque<int32_t> pending{-1};  // -1 is the book itself
  while (!pending.empty()) {
    const int32_t parent = pending.front();
    pending.pop_front();
    const std::vector<TocSection>& members =
        parent < 0 ? sections : order.records[parent].section->children;
    if (members.empty()) continue;
    const uint32_t level = parent < 0 ? 2u : order.records[parent].level + 1u;
    if (level > 255) {
      error = "the outline is deeper than " + std::to_string(kMaxTocDepth) + " levels";
      return false;
    }
    const auto first = static_cast<uint32_t>(order.records.size());
    for (const TocSection& member : members) {
      if (!CheckSection(member, error)) return false;
      order.records.push_back({&member, parent, static_cast<uint8_t>(level)});
    }
    order.groups.emplace_back(first, static_cast<uint32_t>(members.size()));
    for (uint32_t i = static_cast<uint32_t>(members.size()); i-- > 0;) {
      pending.push_front(static_cast<int32_t>(first + i));
    }
  }
  return true;
}

}  // namespace

uint32_t CountTocGroups(const std::vector<TocSection>& sections) {
  uint32_t groups = sections.empty() ? 0 : 1;
  std::vector<const TocSection*> stack;
  for (const TocSection& s : sections) stack.push_back(&s);
  while (!stack.empty()) {
    const TocSection* s = stack.back();
    stack.pop_back();
    if (!s->children.empty()) ++groups;
    for (const TocSection& c : s->children) stack.push_back(&c);
  }
  return groups;
}

bool WriteToc(const std::vector<TocSection>& sections, const TocWriteOptions& options,
              std::vector<uint8_t>& bytes, std::string& error) {
  bytes.clear();
  GroupOrder order;
  if (!OrderGroups(sections, order, error)) return false;

  const auto groupCount = static_cast<uint32_t>(order.groups.size());
  const uint32_t leading =
      options.leadingGroups ? std::min(*options.leadingGroups, groupCount) : groupCount;
  const bool terminate = leading < groupCount || options.terminate;

  // Place every record: the leading region packed, then the deferred runs.
  // Nothing after the terminator is reachable when the leading region is
  // empty (the book has no FirstChildPos), so such a file stops there.
  uint64_t pos = kTocHeaderSize;
  for (uint32_t g = 0; g < groupCount; ++g) {
    if (g == leading) {
      pos += kTerminatorSize;
      if (leading == 0) break;
    }
    const uint32_t spare = g < leading ? 0 : kRunSpareBytes;
    const auto [first, count] = order.groups[g];
    for (uint32_t i = first; i < first + count; ++i) {
      order.records[i].offset = static_cast<uint32_t>(pos);
      pos += kRecordHeaderSize + order.records[i].section->title.size() + spare;
      if (pos > kMaxFileSize) {
        error = "the file would be larger than 2 GiB";
        return false;
      }
    }
  }
  if (leading == groupCount && terminate) pos += kTerminatorSize;

  // A section's children are one group, so the first child's record is the
  // one whose parent is the section and that comes first in record order.
  std::vector<uint32_t> firstChildPos(order.records.size(), 0);
  for (size_t i = order.records.size(); i-- > 0;) {
    const int32_t parent = order.records[i].parent;
    if (parent >= 0) firstChildPos[parent] = order.records[i].offset;
  }

  std::vector<uint8_t> out(static_cast<size_t>(pos), 0);
  WriteU16(out.data() + 6, static_cast<uint16_t>(sections.size()));
  const uint32_t placed = leading == 0 ? 0 : static_cast<uint32_t>(order.records.size());
  for (uint32_t i = 0; i < placed; ++i) {
    const PlacedRecord& r = order.records[i];
    uint8_t* p = out.data() + r.offset;
    const auto titleLength = static_cast<uint32_t>(r.section->title.size());
    WriteU16(p + rec::kRecordLength, static_cast<uint16_t>(kRecordHeaderSize + titleLength));
    WriteU32(p + rec::kParentPos, r.parent < 0 ? 0 : order.records[r.parent].offset);
    WriteU16(p + rec::kChildCount, static_cast<uint16_t>(r.section->children.size()));
    WriteU32(p + rec::kFirstChildPos, firstChildPos[i]);
    p[rec::kLevel] = r.level;
    WriteU32(p + rec::kFilePos, static_cast<uint32_t>(r.section->filePos));
    for (uint32_t k = 0; k < titleLength; ++k) {
      p[kRecordHeaderSize + k] =
          static_cast<uint8_t>(static_cast<uint8_t>(r.section->title[k]) - 1);
    }
  }
  bytes = std::move(out);
  return true;
}

}  // namespace orvane
