#include "platform/win32/win32_profile_source.h"

#include <windows.h>

namespace orvane {
namespace {

// Where the system looks for a profile file named without a directory.
std::string WindowsDirectory() {
  char buffer[MAX_PATH] = {};
  UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

}  // namespace

Win32ProfileSource::Win32ProfileSource()
    : m_windowsDirectory(WindowsDirectory()), m_batchReader(m_files, m_windowsDirectory) {}

bool Win32ProfileSource::ExistsForBatch(const std::string& file) {
  auto known = m_existsInBatch.find(file);
  if (known != m_existsInBatch.end()) return known->second;
  std::string path = file;
  if (path.find_first_of("\\/") == std::string::npos && !(path.size() >= 2 && path[1] == ':')) {
    path = m_windowsDirectory + "\\" + path;
  }
  DWORD attributes = GetFileAttributesA(path.c_str());
  bool exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  m_existsInBatch.emplace(file, exists);
  return exists;
}

void Win32ProfileSource::BeginBatch() {
  if (m_batchDepth++ == 0) m_batchReader.BeginBatch();
}

void Win32ProfileSource::EndBatch() {
  if (m_batchDepth > 0 && --m_batchDepth == 0) {
    m_batchReader.EndBatch();
    m_existsInBatch.clear();
  }
}

std::string Win32ProfileSource::GetString(std::string_view file, std::string_view section,
                                          std::string_view key, std::string_view deflt) {
  // The system takes C strings; a view is not terminated.
  const std::string fileZ(file), sectionZ(section), keyZ(key), defaultZ(deflt);
  // A missing file is left to the system: what it answers then depends on
  // whether the folder exists, which only it knows for sure.
  if (m_batchDepth > 0 && ExistsForBatch(fileZ)) {
    return m_batchReader.GetString(file, section, key, deflt);
  }
  char buffer[kMaxProfileValue + 1] = {};
  DWORD length = GetPrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), defaultZ.c_str(),
                                          buffer, sizeof buffer, fileZ.c_str());
  if (length > kMaxProfileValue) length = kMaxProfileValue;
  return std::string(buffer, length);
}

}  // namespace orvane
