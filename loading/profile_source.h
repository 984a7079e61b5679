// ProfileSource: reads one value of a profile (INI) file, the way the system's
// profile-string reading does: the default when the file, section or key is
// missing, and at most kMaxProfileValue bytes.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

inline constexpr size_t kMaxProfileValue = 255;

class ProfileSource {
 public:
  virtual ~ProfileSource() = default;
  virtual std::string GetString(std::string_view file, std::string_view section,
                                std::string_view key, std::string_view deflt) = 0;

  // Brackets a run of reads (a whole catalogue) during which the files are
  // taken not to change, so that a source that parses files itself need not
  // look at the file again for every value. Brackets nest.
  virtual void BeginBatch() {}
  virtual void EndBatch() {}
};

// Holds a batch open for a scope.
class ProfileBatch {
 public:
  explicit ProfileBatch(ProfileSource& source) : m_source(source) { m_source.BeginBatch(); }
  ~ProfileBatch() { m_source.EndBatch(); }
  ProfileBatch(const ProfileBatch&) = delete;
  ProfileBatch& operator=(const ProfileBatch&) = delete;

 private:
  ProfileSource& m_source;
};

// The leading-digits reading of a number: leading blanks and a sign allowed,
// stops at the first non-digit, 0 for text that does not start with a number.
// Saturates instead of overflowing.
int32_t ReadLeadingNumber(std::string_view text);

}  // namespace orvane
