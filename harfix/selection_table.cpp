#include "harfix/selection_table.h"

#include <algorithm>
#include <vector>

namespace harfix {
namespace {

// A host that never releases would otherwise make the table, and the fonts
// it holds, grow for ever; past this bound the oldest selection is ended.
constexpr std::size_t kMaxLiveSelections = 64;

// Never destroyed by the runtime: ending a selection calls into GDI and
// Uniscribe, which must not happen while the process exits. EndAllSelections
// runs when the library is unloaded instead.
std::vector<std::unique_ptr<FontSelection>>& Table() {
  static auto* table = new std::vector<std::unique_ptr<FontSelection>>();
  return *table;
}

auto FindEntry(HDC dc) {
  auto& table = Table();
  return std::find_if(table.begin(), table.end(),
                      [dc](const auto& entry) { return entry->dc() == dc; });
}

}  // namespace

void AdoptSelection(std::unique_ptr<FontSelection> selection) {
  auto& table = Table();
  if (table.size() >= kMaxLiveSelections) table.erase(table.begin());
  table.push_back(std::move(selection));
}

FontSelection* FindSelection(HDC dc) {
  auto entry = FindEntry(dc);
  return entry == Table().end() ? nullptr : entry->get();
}

bool EndSelection(HDC dc) {
  auto entry = FindEntry(dc);
  if (entry == Table().end()) return false;
  Table().erase(entry);
  return true;
}

void EndAllSelections() { Table().clear(); }

}  // namespace harfix
