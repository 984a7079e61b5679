// testcon: a scriptable container for the control. It makes a frame window,
// creates the control by ProgID, activates it in place over the frame's
// client area and runs a VBScript or JScript file against it, with the
// control as "Orvane" and the container's services as "Host".
#include <windows.h>
#include <activscp.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <vector>

#include "hosts/testcon/com_support.h"
#include "hosts/testcon/command_line.h"
#include "hosts/testcon/control_dispatch_proxy.h"
#include "hosts/testcon/event_forwarder.h"
#include "hosts/testcon/frame_window.h"
#include "hosts/testcon/host_object.h"
#include "hosts/testcon/hosted_control.h"
#include "hosts/testcon/input_driver.h"
#include "hosts/testcon/message_pump.h"
#include "hosts/testcon/property_store.h"
#include "hosts/testcon/script_errors.h"
#include "hosts/testcon/script_site.h"
#include "hosts/testcon/text_io.h"

namespace testcon {
namespace {

constexpr int kExitScriptFailed = 1;
constexpr int kExitUsage = 2;

int Complain(const std::wstring& message, int code = kExitScriptFailed) {
  WriteStderr(Utf8FromWide(L"testcon: " + message + L"\n"));
  return code;
}

std::wstring FolderOf(const std::wstring& path) {
  wchar_t full[MAX_PATH * 4];
  DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
  std::wstring text = (n > 0 && n < MAX_PATH * 4) ? std::wstring(full, n) : path;
  size_t slash = text.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : text.substr(0, slash);
}

HRESULT ClassFromId(const std::wstring& id, CLSID& clsid) {
  if (!id.empty() && id[0] == L'{') return CLSIDFromString(id.c_str(), &clsid);
  return CLSIDFromProgID(id.c_str(), &clsid);
}

// Runs `source` in a new engine of `engineId`; errors go to `errors`.
void RunScript(const std::wstring& engineId, const std::wstring& source, HWND frame,
               HostedControl& control, IDispatch* orvane, IDispatch* host, ScriptErrors& errors) {
  CLSID engineClass{};
  ComPtr<IActiveScript> script;
  HRESULT hr = CLSIDFromProgID(engineId.c_str(), &engineClass);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(engineClass, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                          OutSlot(script));
  if (FAILED(hr)) {
    errors.ReportException(L"starting the " + engineId + L" engine", hr, nullptr);
    return;
  }
  auto parser = script.As<IActiveScriptParse>(IID_IActiveScriptParse);
  if (!parser) {
    errors.ReportException(L"the " + engineId + L" engine", E_NOINTERFACE, nullptr);
    return;
  }

  auto site = ComPtr<ScriptSite>::Adopt(new ScriptSite(frame, errors));
  site->AddItem(L"Orvane", orvane);
  site->AddItem(L"Host", host);
  // The container binds the control's events itself (EventForwarder), so
  // the item is not a source: engines that bind events would call each
  // handler twice.
  if (FAILED(hr = script->SetScriptSite(site.Get())) || FAILED(hr = parser->InitNew()) ||
      FAILED(hr = script->AddNamedItem(L"Orvane", SCRIPTITEM_ISVISIBLE)) ||
      FAILED(hr = script->AddNamedItem(L"Host", SCRIPTITEM_ISVISIBLE))) {
    errors.ReportException(L"preparing the " + engineId + L" engine", hr, nullptr);
    script->Close();
    return;
  }

  auto forwarder = ComPtr<EventForwarder>::Adopt(new EventForwarder(
      L"Orvane", control.EventIid(), EventTypeInfoOf(control.Object()).Get(), errors));
  forwarder->SetScript(script.Get());
  control.SetEventSink(forwarder.Get());

  EXCEPINFO exception{};
  hr = parser->ParseScriptText(source.c_str(), nullptr, nullptr, nullptr, 0, 0,
                               SCRIPTTEXT_ISVISIBLE, nullptr, &exception);
  if (SUCCEEDED(hr)) hr = script->SetScriptState(SCRIPTSTATE_CONNECTED);
  if (FAILED(hr) && !errors.Any()) errors.ReportException(L"running the script", hr, &exception);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);

  control.SetEventSink(nullptr);
  forwarder->SetScript(nullptr);
  script->Close();
}

int Run(const CommandLine& line) {
  const std::wstring scriptPath = WindowsPathFrom(line.script);
  std::optional<std::string> scriptBytes = ReadFileBytes(scriptPath);
  if (!scriptBytes) return Complain(L"cannot read the script " + line.script);

  CLSID controlClass{};
  if (FAILED(ClassFromId(line.progId, controlClass)))
    return Complain(L"no control is registered as " + line.progId);

  std::optional<PropertyStore> properties;
  if (!line.propsFile.empty()) {
    std::optional<std::string> bytes = ReadFileBytes(WindowsPathFrom(line.propsFile));
    if (!bytes) return Complain(L"cannot read the properties file " + line.propsFile);
    size_t badLine = 0;
    properties = PropertyStore::Parse(*bytes, &badLine);
    if (!properties)
      return Complain(line.propsFile + L"(" + std::to_wstring(badLine) + L"): not Name=Value");
  }

  const SIZE size{line.width, line.height};
  HWND frame = CreateFrameWindow(size);
  if (frame == nullptr) return Complain(L"cannot create the frame window (is there a display?)");

  int exitCode = 0;
  {
    HostedControl control(frame, size, controlClass, line.userMode);
    std::wstring error;
    if (FAILED(control.Create(properties ? &*properties : nullptr, error))) {
      exitCode = Complain(line.progId + L": " + error);
    } else {
      MessagePump pump([&control] { return control.ActiveObject(); });
      InputDriver input(
          frame, [&control] { return control.Window(); }, pump);
      ScriptErrors errors(line.script);
      auto orvane = ComPtr<IDispatch>::Adopt(new ControlDispatchProxy(control));
      auto host =
          ComPtr<IDispatch>::Adopt(new HostObject(control, input, pump, FolderOf(scriptPath)));
      pump.RunUntilIdle();
      RunScript(EngineForScript(line.script), DecodeScriptText(*scriptBytes), frame, control,
                orvane.Get(), host.Get(), errors);
      exitCode = errors.Any() ? kExitScriptFailed : 0;
    }
    control.Destroy();
  }
  DestroyWindow(frame);
  return exitCode;
}

}  // namespace
}  // namespace testcon

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> args;
  for (int i = 1; argv != nullptr && i < argc; ++i) args.emplace_back(argv[i]);
  if (argv != nullptr) LocalFree(argv);

  std::wstring error;
  std::optional<testcon::CommandLine> line = testcon::ParseCommandLine(args, error);
  if (!line) {
    testcon::WriteStderr(testcon::Utf8FromWide(L"testcon: " + error + L"\n" + testcon::kUsage));
    return testcon::kExitUsage;
  }
  if (FAILED(OleInitialize(nullptr))) return testcon::Complain(L"OLE could not be initialised");
  int code = testcon::Run(*line);
  OleUninitialize();
  return code;
}
