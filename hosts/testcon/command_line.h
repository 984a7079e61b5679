// testcon's command line:
//   testcon.exe [--size WxH] [--props FILE] [--progid ID] [--design] SCRIPT.vbs|SCRIPT.js
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace testcon {

struct CommandLine {
  int width = 300;
  int height = 400;
  std::wstring propsFile;  // empty: a new control with its defaults
  std::wstring progId = L"ORVANE.OrvaneCtrl.1";
  // The ambient UserMode the site answers: false with --design, as a form
  // designer has it.
  bool userMode = true;
  std::wstring script;
};

// nullopt with `error` set when the arguments are not a valid command line.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::wstring>& args,
                                            std::wstring& error);

// The script engine's ProgID for a script file ("VBScript" for .vbs,
// "JScript" for .js), or empty for any other extension.
std::wstring EngineForScript(const std::wstring& script);

extern const wchar_t kUsage[];

}  // namespace testcon
