#include "ocx_module.h"

#include <algorithm>
#include <vector>

namespace orvane::test {
namespace {

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

}  // namespace

std::wstring DataFolder() {
  std::string unixPath = ORVANE_SOURCE_DIR "/tests/data/control";
  std::wstring path = L"Z:";
  for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

std::wstring OcxPath() { return ExeFolder() + L"\\..\\..\\..\\bin\\ORVANE.OCX"; }

HMODULE OcxModule() {
  static HMODULE module = LoadLibraryW(OcxPath().c_str());
  return module;
}

HRESULT CreateFromOcx(REFCLSID clsid, REFIID iid, void** out) {
  *out = nullptr;
  HMODULE module = OcxModule();
  if (module == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (getClassObject == nullptr) return E_FAIL;
  ComPtr<IClassFactory> factory;
  HRESULT hr =
      getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive()));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, iid, out);
}

ComPtr<IOrvaneAutomation> NewControl() {
  ComPtr<IOrvaneAutomation> control;
  if (FAILED(CreateFromOcx(CLSID_Orvane, IID_IOrvaneAutomation,
                           reinterpret_cast<void**>(control.Receive()))))
    return {};
  ComPtr<IPersistStreamInit> persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
  if (persist) persist->InitNew();
  return control;
}

HRESULT RegisterOcx() {
  HMODULE module = OcxModule();
  if (module == nullptr) return E_FAIL;
  auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  return registerServer ? registerServer() : E_FAIL;
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, path);
  std::wstring folder = std::wstring(path) + L"orvane_control_tests";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::wstring WriteTestCatalogue(const std::wstring& name) {
  std::wstring topic = TempFolder() + L"\\" + name;
  std::wstring ini = topic + L".INI";
  const std::wstring lines[] = {
      L"[Directories]", L"TOC=" + DataFolder(), L"[Books]",     L"Count=2",     L"[Categories]",
      L"Count=2",       L"Name1=Grammar",       L"Name2=Law",   L"[Category1]", L"Count=1",
      L"Title1=Nahw",   L"Name1=NAHW",          L"[Category2]", L"Count=1",     L"Title1=Fiqh",
      L"Name1=FIQH"};
  std::string text;
  for (const std::wstring& line : lines) {
    for (wchar_t c : line) text += static_cast<char>(c);
    text += "\r\n";
  }
  HANDLE file = CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return topic;
}

HRESULT InvokeById(IDispatch* dispatch, DISPID id, WORD flags, std::initializer_list<VARIANT> args,
                   VARIANT* result, EXCEPINFO* exception) {
  std::vector<VARIANT> reversed(args.begin(), args.end());
  std::reverse(reversed.begin(), reversed.end());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  EXCEPINFO local{};
  UINT argError = 0;
  HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                exception ? exception : &local, &argError);
  if (!exception) {
    SysFreeString(local.bstrSource);
    SysFreeString(local.bstrDescription);
    SysFreeString(local.bstrHelpFile);
  }
  return hr;
}

}  // namespace orvane::test
