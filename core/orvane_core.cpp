#include "core/orvane_core.h"

#include "loading/text_outline.h"
#include "rows/row_list.h"

namespace orvane {

OrvaneCore::OrvaneCore(RowList& rows, ProfileSource& profile, FileSystem& files,
                       HoverTimer& hoverTimer)
    : m_files(files),
      m_catalogue(m_library, profile, files),
      m_queries(m_library),
      m_checks(m_library),
      m_view(rows, hoverTimer, m_library, m_checks, m_catalogue),
      m_search(m_library, m_catalogue) {}

OrvaneCore::~OrvaneCore() = default;

bool OrvaneCore::LoadBooks(std::string_view topicName) {
  // A second load starts from nothing, so that it gives what a first load
  // gives: categories are found again by their position in the root list.
  m_view.Clear();
  m_library.Clear();
  m_checks.ClearStale();
  try {
    m_catalogue.Load(topicName);
    m_view.ShowCategories();
  } catch (...) {
    // Half a catalogue would number books that have no path and rows that
    // show only some categories: a load that fails leaves nothing loaded.
    m_view.Clear();
    m_library.Clear();
    m_catalogue.Forget();
    throw;
  }
  return true;
}

void OrvaneCore::LoadFromTextFile(std::string_view fileName) {
  ReadTextOutline(m_files, fileName, [this](bool indented, std::string_view text) {
    if (indented) {
      m_view.AddChild(m_view.Rows().Count() - 1, text);
    } else {
      m_view.AddSibling(0, text);
    }
  });
}

void OrvaneCore::Demo() {
  m_checks.StoreApplyCheck(true);
  LoadFromTextFile(kDemoFile);
}

}  // namespace orvane
