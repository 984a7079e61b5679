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

bool Win32ProfileSource::ExistsForBatch(std::string_view file) {
  // A load reads one file thousands of times: the last answer is kept apart
  // so that asking again copies nothing.
  if (m_lastInBatch && m_lastInBatch->first == file) return m_lastInBatch->second;
  auto known = m_existsInBatch.find(std::string(file));
  if (known != m_existsInBatch.end()) {
    m_lastInBatch = &*known;
    return known->second;
  }
  std::string path(file);
  if (path.find_first_of("\\/") == std::string::npos && !(path.size() >= 2 && path[1] == ':')) {
    path = m_windowsDirectory + "\\" + path;
  }
  DWORD attributes = GetFileAttributesA(path.c_str());
  bool exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  m_lastInBatch = &*m_existsInBatch.emplace(std::string(file), exists).first;
  return exists;
}

void Win32ProfileSource::BeginBatch() {
  if (m_batchDepth++ == 0) m_batchReader.BeginBatch();
}

void Win32ProfileSource::EndBatch() {
  if (m_batchDepth > 0 && --m_batchDepth == 0) {
    m_batchReader.EndBatch();
    m_lastInBatch = nullptr;
    m_existsInBatch.clear();
  }
}

std::string Win32ProfileSource::GetString(std::string_view file, std::string_view section,
                                          std::string_view key, std::string_view deflt) {
  // A missing file is left to the system: what it answers then depends on
  // whether the folder exists, which only it knows for sure. The system is
  // asked with the name up to its first NUL, as a C string gives it.
  if (m_batchDepth > 0 && ExistsForBatch(file.substr(0, file.find('\0')))) {
    return m_batchReader.GetString(file, section, key, deflt);
  }
  // The system takes C strings; a view is not terminated.
  const std::string fileZ(file), sectionZ(section), keyZ(key), defaultZ(deflt);
  char buffer[kMaxProfileValue + 1] = {};
  DWORD length = GetPrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), defaultZ.c_str(), buffer,
                                          sizeof buffer, fileZ.c_str());
  if (length > kMaxProfileValue) length = kMaxProfileValue;
  return std::string(buffer, length);
}

}  // namespace orvane
