// ProfileSource over the system's own profile reading.
//
// One value at a time, each read is the system's GetPrivateProfileStringA.
// Inside a batch (a whole catalogue load) the file is parsed once by our own
// reader, which follows the system's rules value for value (a differential
// test holds the two together): under Wine every system read reopens the
// file, and a catalogue of 5,000 books takes 15,000 of them.
#pragma once

#include <map>
#include <string>

#include "loading/profile_source.h"
#include "platform/portable/ini_profile_source.h"
#include "platform/win32/win32_file_system.h"

namespace orvane {

class Win32ProfileSource : public ProfileSource {
 public:
  Win32ProfileSource();

  // GetPrivateProfileStringA into a kMaxProfileValue + 1 byte buffer, or the
  // batch's parse of the file.
  std::string GetString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view deflt) override;
  void BeginBatch() override;
  void EndBatch() override;

 private:
  bool ExistsForBatch(std::string_view file);

  int m_batchDepth = 0;
  std::string m_windowsDirectory;
  std::map<std::string, bool> m_existsInBatch;
  // The entry of m_existsInBatch asked for last, or null.
  const std::pair<const std::string, bool>* m_lastInBatch = nullptr;
  Win32FileSystem m_files;
  IniProfileSource m_batchReader;
};

}  // namespace orvane
