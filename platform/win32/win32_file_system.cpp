#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/wide_path.h"

namespace orvane {
namespace {

DWORD ShareFlags(Share share) {
  switch (share) {
    case Share::None:
      return 0;
    case Share::Read:
      return FILE_SHARE_READ;
    case Share::ReadWrite:
      return FILE_SHARE_READ | FILE_SHARE_WRITE;
  }
  return 0;
}

class Win32File : public File {
 public:
  explicit Win32File(HANDLE handle) : m_handle(handle) {}
  ~Win32File() override { CloseHandle(m_handle); }
  Win32File(const Win32File&) = delete;
  Win32File& operator=(const Win32File&) = delete;

  int64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_handle, &size)) return -1;
    return size.QuadPart;
  }

  bool Seek(uint32_t pos) override {
    LARGE_INTEGER distance;
    distance.QuadPart = pos;
    return SetFilePointerEx(m_handle, distance, nullptr, FILE_BEGIN) != 0;
  }

  size_t Read(void* buffer, size_t count) override {
    if (buffer == nullptr) return 0;
    size_t total = 0;
    // ReadFile takes a 32-bit count; larger requests go in pieces.
    while (total < count) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(m_handle, static_cast<char*>(buffer) + total, chunk, &got, nullptr) ||
          got == 0) {
        break;
      }
      total += got;
    }
    return total;
  }

  int64_t ModifiedTime() override {
    FILETIME written;
    if (!GetFileTime(m_handle, nullptr, nullptr, &written)) return 0;
    return static_cast<int64_t>((static_cast<uint64_t>(written.dwHighDateTime) << 32) |
                                written.dwLowDateTime);
  }

 private:
  HANDLE m_handle;
};

}  // namespace

std::unique_ptr<File> Win32FileSystem::OpenRead(std::string_view path, Share share) {
  const std::string pathZ(path);
  if (pathZ.empty() || pathZ.find('\0') != std::string::npos) return nullptr;
  const std::wstring wide = WidePath(pathZ);
  HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ, ShareFlags(share), nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(handle);
}

}  // namespace orvane
