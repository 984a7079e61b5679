// The persisted properties of one control as the container keeps them: an
// ordered list of name/value texts, read from and written to a readable
// text file (the format is described in docs/testcon.md).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testcon {

class PropertyStore {
 public:
  struct Entry {
    std::wstring name;
    std::wstring value;
  };

  // nullopt when no property has this name (compared without case, as
  // property bags compare names).
  std::optional<std::wstring> Find(std::wstring_view name) const;
  // Replaces the value of an existing name in place, or appends it.
  void Set(std::wstring_view name, std::wstring_view value);
  // Removes every property whose name starts with `prefix`.
  void RemovePrefixed(std::wstring_view prefix);
  bool HasPrefixed(std::wstring_view prefix) const;
  const std::vector<Entry>& Entries() const { return m_entries; }
  bool Empty() const { return m_entries.empty(); }

  // UTF-8 text, one "Name=Value" line each.
  std::string Serialize() const;
  // Fails with the 1-based number of the first line that is not a property
  // in `badLine`.
  static std::optional<PropertyStore> Parse(std::string_view utf8, size_t* badLine);

 private:
  std::vector<Entry> m_entries;
};

// Values are written as they are, except that '%', carriage returns and line
// feeds become %25, %0D and %0A so that every value stays on its line.
std::wstring EscapeValue(std::wstring_view value);
std::wstring UnescapeValue(std::wstring_view text);

}  // namespace testcon
