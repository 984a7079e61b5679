// Runs in a process of its own, so that no text library is loaded before the
// control asks for one: loads ORVANE.OCX from the path it is given, hosts the
// control in place, loads a catalogue, paints the rows into a memory bitmap
// and reports through its exit code which Harfix.dll, if any, the process
// then holds and whether the titles were drawn.
//   text_library_probe.exe OCX-PATH
// Exit codes: kProbe* below.
#include <windows.h>
#include <ocidl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "../ocx_module.h"
#include "../test_container.h"
#include "probe_codes.h"

using namespace orvane;
using namespace orvane::test;

namespace {

ComPtr<IOrvaneAutomation> NewControlFrom(HMODULE module) {
  auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (getClassObject == nullptr) return {};
  ComPtr<IClassFactory> factory;
  if (FAILED(getClassObject(CLSID_Orvane, IID_IClassFactory,
                            reinterpret_cast<void**>(factory.Receive()))))
    return {};
  ComPtr<IOrvaneAutomation> control;
  factory->CreateInstance(nullptr, IID_IOrvaneAutomation,
                          reinterpret_cast<void**>(control.Receive()));
  if (!control) return {};
  ComPtr<IPersistStreamInit> persist = control.As<IPersistStreamInit>(IID_IPersistStreamInit);
  if (persist) persist->InitNew();
  return control;
}

// Pixels of the title column (left of the right layout's glyph cells) that
// differ from the back colour, over the first row.
int TitleInk(IUnknown* control, int width) {
  ComPtr<IViewObject2> view;
  control->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(view.Receive()));
  if (!view) return -1;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return -1;
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECTL bounds{0, 0, width, 16};
  view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  const DWORD back = pixels[0];
  int ink = 0;
  // The category's glyphs take the rightmost 60 pixels or so.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < width - 60; ++x)
      if (pixels[y * width + x] != back) ++ink;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return ink;
}

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring LoadedPathOf(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return path;
}

int Probe(const std::wstring& ocxPath) {
  if (GetModuleHandleW(L"Harfix.dll") != nullptr) return kProbeSetupFailed;
  HMODULE ocx = LoadLibraryW(ocxPath.c_str());
  if (ocx == nullptr) return kProbeSetupFailed;
  ComPtr<IOrvaneAutomation> control = NewControlFrom(ocx);
  if (!control) return kProbeSetupFailed;
  HostWindow host;
  auto* site = new TestSite(host.Handle(), {0, 0, 300, 100});
  site->AddRef();
  ComPtr<IOleObject> object = ActivateInPlace(control.Get(), site, host.Handle(), {0, 0, 300, 100});
  if (!object) return kProbeSetupFailed;
  Bstr topic(WriteTestCatalogue(L"PROBE"));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  control->LoadBooks(topic.Get(), &loaded);
  if (loaded != VARIANT_TRUE) return kProbeSetupFailed;
  const int ink = TitleInk(control.Get(), 300);

  int result = kProbeBesideLoaded;
  HMODULE harfix = GetModuleHandleW(L"Harfix.dll");
  if (harfix == nullptr) {
    result = kProbeNoneLoaded;
  } else if (lstrcmpiW(LoadedPathOf(harfix).c_str(), (FolderOf(ocxPath) + L"Harfix.dll").c_str()) !=
             0) {
    result = kProbeOtherLoaded;
  }
  if (ink <= 0) result |= kProbeNoTitles;
  CloseInPlace(object.Get());
  site->Release();
  return result;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc != 2) return kProbeSetupFailed;
  if (FAILED(OleInitialize(nullptr))) return kProbeSetupFailed;
  int result = Probe(argv[1]);
  LocalFree(argv);
  OleUninitialize();
  return result;
}
