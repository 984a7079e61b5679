#include "hosts/testcon/command_line.h"

#include <windows.h>

#include <cwchar>

namespace testcon {

const wchar_t kUsage[] =
    L"usage: testcon.exe [--size WxH] [--props FILE] [--progid ID] [--design] "
    L"SCRIPT.vbs|SCRIPT.js\n";

namespace {

// Largest control the frame makes; larger sizes are typing mistakes.
constexpr int kLargestSide = 8192;

bool ParseSide(const std::wstring& text, int& out) {
  if (text.empty() || text.size() > 5) return false;
  int value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + (c - L'0');
  }
  if (value < 1 || value > kLargestSide) return false;
  out = value;
  return true;
}

bool ParseSize(const std::wstring& text, int& width, int& height) {
  size_t x = text.find_first_of(L"xX");
  if (x == std::wstring::npos) return false;
  return ParseSide(text.substr(0, x), width) && ParseSide(text.substr(x + 1), height);
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix) {
  size_t n = wcslen(suffix);
  return text.size() >= n &&
         CompareStringOrdinal(text.c_str() + text.size() - n, static_cast<int>(n), suffix,
                              static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::optional<CommandLine> ParseCommandLine(const std::vector<std::wstring>& args,
                                            std::wstring& error) {
  CommandLine line;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    auto value = [&](const wchar_t* option) -> const std::wstring* {
      if (i + 1 >= args.size()) {
        error = std::wstring(option) + L" needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (arg == L"--size") {
      const std::wstring* v = value(L"--size");
      if (v == nullptr) return std::nullopt;
      if (!ParseSize(*v, line.width, line.height)) {
        error = L"--size wants WxH in pixels, each from 1 to 8192, not \"" + *v + L"\"";
        return std::nullopt;
      }
    } else if (arg == L"--props") {
      const std::wstring* v = value(L"--props");
      if (v == nullptr) return std::nullopt;
      line.propsFile = *v;
    } else if (arg == L"--progid") {
      const std::wstring* v = value(L"--progid");
      if (v == nullptr) return std::nullopt;
      if (v->empty()) {
        error = L"--progid is empty";
        return std::nullopt;
      }
      line.progId = *v;
    } else if (arg == L"--design") {
      line.userMode = false;
    } else if (arg.size() > 1 && arg[0] == L'-' && arg[1] == L'-') {
      error = L"unknown option " + arg;
      return std::nullopt;
    } else if (line.script.empty()) {
      line.script = arg;
    } else {
      error = L"only one script may be given";
      return std::nullopt;
    }
  }
  if (line.script.empty()) {
    error = L"no script given";
    return std::nullopt;
  }
  if (EngineForScript(line.script).empty()) {
    error = L"the script must end in .vbs or .js: " + line.script;
    return std::nullopt;
  }
  return line;
}

std::wstring EngineForScript(const std::wstring& script) {
  if (EndsWithNoCase(script, L".vbs")) return L"VBScript";
  if (EndsWithNoCase(script, L".js")) return L"JScript";
  return {};
}

}  // namespace testcon
