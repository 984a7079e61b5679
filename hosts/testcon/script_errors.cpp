#include "hosts/testcon/script_errors.h"

#include <windows.h>

#include "hosts/testcon/text_io.h"

namespace testcon {

void ScriptErrors::Report(unsigned line, unsigned column,
                          const std::wstring& description) noexcept {
  ++m_count;  // counted first: the run has failed even if the line cannot be made
  try {
    std::wstring text = m_scriptName;
    if (line > 0) {
      text += L"(" + std::to_wstring(line);
      if (column > 0) text += L"," + std::to_wstring(column);
      text += L")";
    }
    text += L": " + (description.empty() ? std::wstring(L"script error") : description) + L"\n";
    WriteStderr(Utf8FromWide(text));
  } catch (...) {
    WriteStderr("testcon: a script error could not be described\n");
  }
}

void ScriptErrors::ReportException(const std::wstring& where, HRESULT hr, EXCEPINFO* info) {
  Report(0, 0, where + L": " + DescribeException(hr, info));
}

std::wstring DescribeException(HRESULT hr, EXCEPINFO* info) {
  std::wstring text;
  if (info != nullptr) {
    if (info->pfnDeferredFillIn != nullptr) info->pfnDeferredFillIn(info);
    if (info->bstrDescription != nullptr) text = info->bstrDescription;
    if (info->scode != 0) hr = info->scode;
  }
  wchar_t code[32];
  wsprintfW(code, L"0x%08X", static_cast<unsigned>(hr));
  if (text.empty()) {
    wchar_t* message = nullptr;
    if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<LPWSTR>(&message), 0,
                       nullptr) &&
        message != nullptr) {
      text = message;
      LocalFree(message);
      while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    }
  }
  return text.empty() ? std::wstring(L"error ") + code : text + L" (" + code + L")";
}

}  // namespace testcon
