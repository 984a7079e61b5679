// Writing a book's table-of-contents (TOC) file from an outline held in memory:
// the fixtures of the tests, the sample library and library authors' tools all
// make their TOC files here, so that every file the reader meets was laid out
// by one piece of code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

// One section of a book and the sections under it.
struct TocSection {
  std::string title;  // Windows-1256 bytes, stored as they are (no terminator)
  int32_t filePos = -1;
  std::vector<TocSection> children;
};

struct TocWriteOptions {
  // How many sibling groups, in the order the reader parses them, go into the
  // leading region; the rest become deferred runs reached through their
  // parent's FirstChildPos. Unset: every group is in the leading region.
  std::optional<uint32_t> leadingGroups;
  // Write the 21-byte terminator even when every group is in the leading
  // region (it is always written when some group is deferred).
  bool terminate = false;
};

// Deepest outline a file can describe: Level is one byte and sections start
// at level 2.
inline constexpr uint32_t kMaxTocDepth = 255 - 1;

// Lays out the TOC file of a book whose top-level sections are `sections`.
// Fails, leaving `bytes` empty and saying why in `error`, when the outline
// does not fit the format: more than 65535 sections in one group, a title
// longer than a record can count, a title holding byte 0x00 or 0x01 (the
// reader stops a title at the first stored zero), an outline deeper than
// kMaxTocDepth, or a file reaching past 2 GiB.
//
// With leadingGroups = 0 the file holds the header and the terminator only:
// a book that declares its top-level sections but stores none.
bool WriteToc(const std::vector<TocSection>& sections, const TocWriteOptions& options,
              std::vector<uint8_t>& bytes, std::string& error);

// Number of sibling groups (sections with children, plus the book's own group
// of top-level sections when there is one) of an outline.
uint32_t CountTocGroups(const std::vector<TocSection>& sections);

}  // namespace orvane
