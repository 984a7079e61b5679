#include "control/framework/com_module.h"

namespace orvane {

std::wstring ComModule::FileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(s_instance, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::wstring LoadModuleString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero buffer size the call hands back a pointer into the resource.
  int n = LoadStringW(ComModule::Instance(), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (n <= 0 || text == nullptr) return {};
  return std::wstring(text, static_cast<size_t>(n));
}

}  // namespace orvane
