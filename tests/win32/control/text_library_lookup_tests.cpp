// Where the control takes its text library from: only beside its own module.
// Each case lays out a folder with a copy of ORVANE.OCX (with or without
// Harfix.dll beside it), runs the probe in a process of its own with a
// planted Harfix.dll in its current directory and on its PATH, and reads the
// probe's verdict from its exit code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ocx_module.h"
#include "probe/probe_codes.h"

namespace orvane::test {
namespace {

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring HarfixBesideOcx() {
  const std::wstring ocx = OcxPath();
  return ocx.substr(0, ocx.find_last_of(L"\\/")) + L"\\Harfix.dll";
}

// Runs the probe on `ocx` in `workingFolder` with `extraPath` first on PATH;
// its exit code, or -1 when it could not be run or did not end.
int RunProbe(const std::wstring& ocx, const std::wstring& workingFolder,
             const std::wstring& extraPath) {
  std::wstring command = L"\"" + ExeFolder() + L"\\text_library_probe.exe\" \"" + ocx + L"\"";
  wchar_t oldPath[32768] = {};
  GetEnvironmentVariableW(L"PATH", oldPath, 32768);
  SetEnvironmentVariableW(L"PATH", (extraPath + L";" + oldPath).c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                      workingFolder.c_str(), &startup, &process);
  SetEnvironmentVariableW(L"PATH", oldPath);
  if (!started) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  else
    TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

struct Layout {
  const char* name;
  bool harfixBeside;  // a real Harfix.dll beside the copy of the control
  int expected;
};

class TextLibraryLookup : public testing::TestWithParam<Layout> {};

TEST_P(TextLibraryLookup, ThePlantedLibraryIsNeverLoadedAndTitlesAreDrawn) {
  const Layout& layout = GetParam();
  const std::wstring planted = ExeFolder() + L"\\planted";
  ASSERT_NE(GetFileAttributesW((planted + L"\\Harfix.dll").c_str()), INVALID_FILE_ATTRIBUTES);
  const std::wstring folder =
      TempFolder() + L"\\lookup_" + std::wstring(layout.name, layout.name + strlen(layout.name));
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring ocx = folder + L"\\ORVANE.OCX";
  ASSERT_TRUE(CopyFileW(OcxPath().c_str(), ocx.c_str(), FALSE));
  const std::wstring beside = folder + L"\\Harfix.dll";
  if (layout.harfixBeside) {
    ASSERT_TRUE(CopyFileW(HarfixBesideOcx().c_str(), beside.c_str(), FALSE));
  } else {
    DeleteFileW(beside.c_str());
  }
  EXPECT_EQ(RunProbe(ocx, planted, planted), layout.expected)
      << "0: none loaded, 1: the one beside, 2: another one; +8: no title drawn; 100: setup";
}

INSTANTIATE_TEST_SUITE_P(, TextLibraryLookup,
                         testing::Values(Layout{"alone", false, kProbeNoneLoaded},
                                         Layout{"beside", true, kProbeBesideLoaded}),
                         [](const testing::TestParamInfo<Layout>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace orvane::test
