// A small catalogue loaded into an OrvaneCore over in-memory seams: the rows
// the painting tests draw.
//
//   1 "Fiqh"          book 1 "Purity Book"  (TOC: Purity > Water > Rain,
//                                                  Ablution, Prayer > Times)
//                     book 2 "Lost Book"    (no TOC file)
//                     book 3 "Short Book"   (TOC: Intro, an untitled section)
//   2 "Hadith"        book 4 "Sahih", book 5 "Sunan" (no TOC files)
//   3 "Broken"        book 6 "Cut Book" (TOC declares One, Two, Three; the
//                                        file ends inside Three)
#pragma once

#include <cstdint>

#include "core/orvane_core.h"
#include "fake_seams.h"

namespace orvane::test {

// Titles in English, or the same outline in Arabic (Windows-1256), for
// pictures drawn with the real text library.
enum class Titles { Latin, Arabic };

class SampleLibrary {
 public:
  explicit SampleLibrary(Titles titles = Titles::Latin);

  OrvaneCore& Core() { return m_core; }
  OutlineNode* Category(int32_t k) const;
  OutlineNode* Book(int32_t k, int32_t j) const;
  // The child at the 1-based ordinals `path` below `node`.
  static OutlineNode* Child(OutlineNode* node, std::initializer_list<int32_t> path);

  // File positions written into book 1's sections.
  static constexpr int32_t kPurityPos = 1000;
  static constexpr int32_t kWaterPos = 1100;
  static constexpr int32_t kRainPos = 1150;
  static constexpr int32_t kAblutionPos = 1200;
  static constexpr int32_t kPrayerPos = 2000;
  static constexpr int32_t kTimesPos = 2100;
  static constexpr int32_t kUntitledPos = 77;

 private:
  VectorRowList m_rows;
  MapProfile m_profile;
  MemoryFileSystem m_files;
  IdleHoverTimer m_timer;
  OrvaneCore m_core;
};

// A free outline: "Root" with children "First", "Second" (which has "Deep"),
// "Third"; then "Other" without children. "Root" is open.
class TextOutline {
 public:
  TextOutline();

  OrvaneCore& Core() { return m_core; }
  OutlineNode* Root(int32_t k) const;

 private:
  VectorRowList m_rows;
  MapProfile m_profile;
  MemoryFileSystem m_files;
  IdleHoverTimer m_timer;
  OrvaneCore m_core;
};

}  // namespace orvane::test
