#include "platform/win32/win32_profile_source.h"

#include <windows.h>

namespace orvane {

std::string Win32ProfileSource::GetString(std::string_view file, std::string_view section,
                                          std::string_view key, std::string_view deflt) {
  // The system takes C strings; a view is not terminated.
  const std::string fileZ(file), sectionZ(section), keyZ(key), defaultZ(deflt);
  char buffer[kMaxProfileValue + 1] = {};
  DWORD length = GetPrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), defaultZ.c_str(),
                                          buffer, sizeof buffer, fileZ.c_str());
  if (length > kMaxProfileValue) length = kMaxProfileValue;
  return std::string(buffer, length);
}

}  // namespace orvane
