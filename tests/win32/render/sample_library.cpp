#include "sample_library.h"

#include <stdexcept>
#include <string>

#include "loading/toc_writer.h"

namespace orvane::test {

namespace {

std::vector<uint8_t> Toc(const std::vector<TocSection>& sections) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!WriteToc(sections, TocWriteOptions{}, bytes, error)) throw std::runtime_error(error);
  return bytes;
}

}  // namespace

SampleLibrary::SampleLibrary() : m_core(m_rows, m_profile, m_files, m_timer) {
  m_profile.Set("Directories", "TOC", "C:\\LIB");
  m_profile.Set("Books", "Count", "6");
  m_profile.Set("Categories", "Count", "3");
  m_profile.Set("Categories", "Name1", "Fiqh");
  m_profile.Set("Categories", "Name2", "Hadith");
  m_profile.Set("Category1", "Count", "3");
  m_profile.Set("Category1", "Title1", "Purity Book");
  m_profile.Set("Category1", "Name1", "purity");
  m_profile.Set("Category1", "Title2", "Lost Book");
  m_profile.Set("Category1", "Name2", "lost");
  m_profile.Set("Category1", "Title3", "Short Book");
  m_profile.Set("Category1", "Name3", "short");
  m_profile.Set("Category2", "Count", "2");
  m_profile.Set("Category2", "Title1", "Sahih");
  m_profile.Set("Category2", "Name1", "sahih");
  m_profile.Set("Category2", "Title2", "Sunan");
  m_profile.Set("Category2", "Name2", "sunan");
  m_profile.Set("Categories", "Name3", "Broken");
  m_profile.Set("Category3", "Count", "1");
  m_profile.Set("Category3", "Title1", "Cut Book");
  m_profile.Set("Category3", "Name1", "cut");

  m_files.Add("C:\\LIB\\purity.TOC",
              Toc({{"Purity", kPurityPos, {{"Water", kWaterPos, {{"Rain", kRainPos, {}}}}}},
                   {"Ablution", kAblutionPos, {}},
                   {"Prayer", kPrayerPos, {{"Times", kTimesPos, {}}}}}));
  m_files.Add("C:\\LIB\\short.TOC", Toc({{"Intro", 10, {}}, {"", kUntitledPos, {}}}));
  // Three sections declared, the file cut inside the third record.
  std::vector<uint8_t> cut = Toc({{"One", 1, {}}, {"Two", 2, {}}, {"Three", 3, {}}});
  cut.resize(kTocHeaderSize + 2 * (kRecordHeaderSize + 3) + 5);
  m_files.Add("C:\\LIB\\cut.TOC", cut);
  m_core.LoadBooks("LIBRARY");
}

OutlineNode* SampleLibrary::Category(int32_t k) const { return NodeAt(m_core.RootList(), k); }

OutlineNode* SampleLibrary::Book(int32_t k, int32_t j) const {
  OutlineNode* category = Category(k);
  return category ? NodeAt(category->m_children, j) : nullptr;
}

OutlineNode* SampleLibrary::Child(OutlineNode* node, std::initializer_list<int32_t> path) {
  for (int32_t ordinal : path) {
    if (!node) return nullptr;
    node = NodeAt(node->m_children, ordinal);
  }
  return node;
}

TextOutline::TextOutline() : m_core(m_rows, m_profile, m_files, m_timer) {
  m_core.AddSibling(-1, "Root");
  m_core.AddChild(0, "First");
  m_core.AddChild(0, "Second");
  m_core.AddChild(0, "Third");
  m_core.AddSibling(-1, "Other");
  m_core.ToggleNode(0);  // rows: Root, First, Second, Third, Other
  m_core.AddChild(2, "Deep");
}

OutlineNode* TextOutline::Root(int32_t k) const { return NodeAt(m_core.RootList(), k); }

}  // namespace orvane::test
