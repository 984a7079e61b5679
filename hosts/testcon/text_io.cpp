#include "hosts/testcon/text_io.h"

#include <windows.h>

namespace testcon {

std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
  return out;
}

std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0)
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

namespace {

std::wstring WideFromCodePage(UINT codePage, DWORD flags, std::string_view text, bool* valid) {
  if (valid) *valid = true;
  if (text.empty()) return {};
  int size =
      MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) {
    if (valid) *valid = false;
    return {};
  }
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(),
                      size);
  return out;
}

void WriteHandle(DWORD which, std::string_view bytes) {
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  while (!bytes.empty()) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(bytes.size() > 65536 ? 65536 : bytes.size());
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return;
    bytes.remove_prefix(written);
  }
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[16384];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  while (ok && !bytes.empty()) {
    DWORD written = 0;
    ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written > 0;
    if (ok) bytes.remove_prefix(written);
  }
  return CloseHandle(file) && ok;
}

std::wstring DecodeScriptText(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring out((bytes.size() - 2) / 2, L'\0');
    memcpy(out.data(), bytes.data() + 2, out.size() * sizeof(wchar_t));
    return out;
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  bool valid = false;
  std::wstring text = WideFromCodePage(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, &valid);
  if (valid) return text;
  return WideFromCodePage(CP_ACP, 0, bytes, nullptr);
}

std::wstring WindowsPathFrom(const std::wstring& path) {
  if (path.empty() || path[0] != L'/') return path;
  // Wine's kernel32 exports the translation it uses itself; on Windows the
  // name is absent and a leading "/" is an ordinary rooted path.
  using DosNameFn = WCHAR*(CDECL*)(LPCSTR);
  static auto toDos = reinterpret_cast<DosNameFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (toDos == nullptr) return path;
  std::string unixPath = Utf8FromWide(path);
  WCHAR* dos = toDos(unixPath.c_str());
  if (dos == nullptr) return path;
  std::wstring out = dos;
  HeapFree(GetProcessHeap(), 0, dos);
  return out;
}

void WriteStdout(std::string_view utf8) { WriteHandle(STD_OUTPUT_HANDLE, utf8); }
void WriteStderr(std::string_view utf8) { WriteHandle(STD_ERROR_HANDLE, utf8); }

}  // namespace testcon
