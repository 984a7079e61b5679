#include "platform/win32/win32_profile_source.h"

#include <windows.h>

#include "platform/win32/wide_path.h"

namespace orvane {
namespace {

// Where the system looks for a profile file named without a directory.
std::string WindowsDirectory() {
  char buffer[MAX_PATH] = {};
  UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

// Text through the system's ANSI code page, both ways: what the system's
// 8-bit profile functions do around their Unicode ones.
std::wstring WideFromSystem(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), units);
  return out;
}

std::string SystemFromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
  return out;
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
  DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
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
  // The file's name is the library's (Windows-1256) and goes as Unicode;
  // names and values go as the system's own 8-bit reading of the file
  // does, so that a value's bytes come back as the file holds them.
  const std::string sectionZ(section), keyZ(key), defaultZ(deflt);
  const std::wstring fileW = WidePath(file.substr(0, file.find('\0')));
  const std::wstring sectionW = WideFromSystem(sectionZ), keyW = WideFromSystem(keyZ),
                     defaultW = WideFromSystem(defaultZ);
  wchar_t buffer[kMaxProfileValue + 1] = {};
  DWORD length = GetPrivateProfileStringW(sectionW.c_str(), keyW.c_str(), defaultW.c_str(), buffer,
                                          kMaxProfileValue + 1, fileW.c_str());
  if (length > kMaxProfileValue) length = kMaxProfileValue;
  std::string value = SystemFromWide(std::wstring_view(buffer, length));
  if (value.size() > kMaxProfileValue) value.resize(kMaxProfileValue);
  return value;
}

}  // namespace orvane
