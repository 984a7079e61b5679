// ProfileSource over the system's own profile reading.
#pragma once

#include "loading/profile_source.h"

namespace orvane {

class Win32ProfileSource : public ProfileSource {
 public:
  // GetPrivateProfileStringA into a kMaxProfileValue + 1 byte buffer.
  std::string GetString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view deflt) override;
};

}  // namespace orvane
