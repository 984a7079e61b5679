// One profile (INI) file parsed the way the system's profile reading parses it,
// so that values read here match what GetPrivateProfileStringA returns:
//   - a UTF-8 or UTF-16 byte-order mark selects that encoding, anything else is
//     read as the ANSI code page (Windows-1256); names and values are compared
//     and kept as UTF-16 and turned back into ANSI bytes only when returned;
//   - a line ends at CR or LF; blanks (space, tab, VT, FF, CR, ^Z) around a
//     line, around a section name inside its brackets, around a key name and
//     before a value are dropped;
//   - "[" starts a section header whose name runs to the last "]" on the line
//     (text after it is ignored); a "[" line without "]" is a key line;
//   - a key line splits at its first "="; a line without "=" is a key that has
//     no value, which reads as absent; ";" and "#" lines are ordinary keys;
//   - names match case-insensitively in ASCII only, and the first match wins:
//     the first section of a name hides later ones of the same name, and the
//     first key of a name hides later ones in its section;
//   - keys before the first header belong to a section with an empty name;
//   - a NUL byte ends the name or value it falls in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane {

class ProfileFile {
 public:
  // Never fails: unreadable text only yields fewer or odder keys.
  static ProfileFile Parse(std::string_view bytes);

  // The value of `key` in `section` (both already in UTF-16; blanks around
  // them are ignored), or null when the section or key is missing or the key
  // line had no "=".
  const std::u16string* Find(std::u16string_view section, std::u16string_view key) const;

  size_t SectionCount() const { return m_sections.size(); }

 private:
  // Names are stored folded; lookups fold as they hash and compare, so that
  // finding a value costs no copy of the name (a catalogue load makes tens of
  // thousands of lookups).
  struct FoldedHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view name) const;
  };
  struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const;
  };
  using KeyMap =
      std::unordered_map<std::u16string, std::optional<std::u16string>, FoldedHash, FoldedEqual>;

  void StartSection(std::u16string_view name);
  void AddKey(std::u16string_view name, std::optional<std::u16string_view> value);

  std::vector<KeyMap> m_sections;
  // Folded name -> index of the first section of that name.
  std::unordered_map<std::u16string, size_t, FoldedHash, FoldedEqual> m_sectionIndex;
};

// Whether the profile reading counts the unit as a blank.
bool IsProfileBlank(char16_t unit);

// Drops profile blanks at both ends.
std::u16string_view TrimProfileBlanks(std::u16string_view text);

// Decodes a profile file's bytes according to its byte-order mark.
std::u16string DecodeProfileText(std::string_view bytes);

}  // namespace orvane
