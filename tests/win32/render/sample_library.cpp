#include "sample_library.h"

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "loading/toc_writer.h"

namespace orvane::test {

namespace {

// Windows-1256 spellings of the sample's titles.
const std::map<std::string_view, const char*> kArabic = {
    {"Fiqh", "\xC7\xE1\xDD\xDE\xE5"},
    {"Purity Book", "\xDF\xCA\xC7\xC8\x20\xC7\xE1\xD8\xE5\xC7\xD1\xC9"},
    {"Lost Book", "\xDF\xCA\xC7\xC8\x20\xE3\xDD\xDE\xE6\xCF"},
    {"Short Book", "\xC7\xE1\xE3\xCE\xCA\xD5\xD1"},
    {"Hadith", "\xC7\xE1\xCD\xCF\xED\xCB"},
    {"Sahih", "\xD5\xCD\xED\xCD\x20\xC7\xE1\xC8\xCE\xC7\xD1\xED"},
    {"Sunan", "\xD3\xE4\xE4\x20\xC3\xC8\xED\x20\xCF\xC7\xE6\xCF"},
    {"Broken", "\xE3\xCA\xDD\xD1\xDE\xC7\xCA"},
    {"Cut Book", "\xDF\xCA\xC7\xC8\x20\xE4\xC7\xDE\xD5"},
    {"Purity", "\xC8\xC7\xC8\x20\xC7\xE1\xD8\xE5\xC7\xD1\xC9"},
    {"Water", "\xC8\xC7\xC8\x20\xC7\xE1\xE3\xED\xC7\xE5"},
    {"Rain", "\xE3\xC7\xC1\x20\xC7\xE1\xE3\xD8\xD1"},
    {"Ablution", "\xC8\xC7\xC8\x20\xC7\xE1\xE6\xD6\xE6\xC1"},
    {"Prayer", "\xDF\xCA\xC7\xC8\x20\xC7\xE1\xD5\xE1\xC7\xC9"},
    {"Times", "\xC8\xC7\xC8\x20\xC7\xE1\xE3\xE6\xC7\xDE\xED\xCA"},
    {"Intro", "\xE3\xDE\xCF\xE3\xC9"},
    {"One", "\xC7\xE1\xC3\xE6\xE1"},
    {"Two", "\xC7\xE1\xCB\xC7\xE4\xED"},
    {"Three", "\xC7\xE1\xCB\xC7\xE1\xCB"},
};

std::vector<uint8_t> Toc(const std::vector<TocSection>& sections) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!WriteToc(sections, TocWriteOptions{}, bytes, error)) throw std::runtime_error(error);
  return bytes;
}

}  // namespace

SampleLibrary::SampleLibrary(Titles titles) : m_core(m_rows, m_profile, m_files, m_timer) {
  auto T = [titles](std::string_view latin) -> std::string {
    return titles == Titles::Arabic ? kArabic.at(latin) : std::string(latin);
  };
  m_profile.Set("Directories", "TOC", "C:\\LIB");
  m_profile.Set("Books", "Count", "6");
  m_profile.Set("Categories", "Count", "3");
  m_profile.Set("Categories", "Name1", T("Fiqh"));
  m_profile.Set("Categories", "Name2", T("Hadith"));
  m_profile.Set("Category1", "Count", "3");
  m_profile.Set("Category1", "Title1", T("Purity Book"));
  m_profile.Set("Category1", "Name1", "purity");
  m_profile.Set("Category1", "Title2", T("Lost Book"));
  m_profile.Set("Category1", "Name2", "lost");
  m_profile.Set("Category1", "Title3", T("Short Book"));
  m_profile.Set("Category1", "Name3", "short");
  m_profile.Set("Category2", "Count", "2");
  m_profile.Set("Category2", "Title1", T("Sahih"));
  m_profile.Set("Category2", "Name1", "sahih");
  m_profile.Set("Category2", "Title2", T("Sunan"));
  m_profile.Set("Category2", "Name2", "sunan");
  m_profile.Set("Categories", "Name3", T("Broken"));
  m_profile.Set("Category3", "Count", "1");
  m_profile.Set("Category3", "Title1", T("Cut Book"));
  m_profile.Set("Category3", "Name1", "cut");

  m_files.Add(
      "C:\\LIB\\purity.TOC",
      Toc({{T("Purity"), kPurityPos, {{T("Water"), kWaterPos, {{T("Rain"), kRainPos, {}}}}}},
           {T("Ablution"), kAblutionPos, {}},
           {T("Prayer"), kPrayerPos, {{T("Times"), kTimesPos, {}}}}}));
  m_files.Add("C:\\LIB\\short.TOC", Toc({{T("Intro"), 10, {}}, {"", kUntitledPos, {}}}));
  // Three sections declared, the file cut inside the third record.
  std::vector<uint8_t> cut = Toc({{T("One"), 1, {}}, {T("Two"), 2, {}}, {T("Three"), 3, {}}});
  cut.resize(kTocHeaderSize + 2 * kRecordHeaderSize + T("One").size() + T("Two").size() + 5);
  m_files.Add("C:\\LIB\\cut.TOC", cut);
  m_core.LoadBooks("LIBRARY");
}

OutlineNode* SampleLibrary::Category(int32_t k) const {
  return NodeAt(m_core.Outline().RootList(), k);
}

OutlineNode* SampleLibrary::Book(int32_t k, int32_t j) const {
  OutlineNode* category = Category(k);
  OutlineNode* book = category ? NodeAt(category->m_children, j) : nullptr;
  // Tests look into a book's sections and buffer as a painted row would.
  if (book) m_core.Outline().EnsureBookRead(book->m_bookNumber);
  return book;
}

OutlineNode* SampleLibrary::Child(OutlineNode* node, std::initializer_list<int32_t> path) {
  for (int32_t ordinal : path) {
    if (!node) return nullptr;
    node = NodeAt(node->m_children, ordinal);
  }
  return node;
}

TextOutline::TextOutline() : m_core(m_rows, m_profile, m_files, m_timer) {
  m_core.View().AddSibling(-1, "Root");
  m_core.View().AddChild(0, "First");
  m_core.View().AddChild(0, "Second");
  m_core.View().AddChild(0, "Third");
  m_core.View().AddSibling(-1, "Other");
  m_core.View().ToggleNode(0);  // rows: Root, First, Second, Third, Other
  m_core.View().AddChild(2, "Deep");
}

OutlineNode* TextOutline::Root(int32_t k) const { return NodeAt(m_core.Outline().RootList(), k); }

}  // namespace orvane::test
