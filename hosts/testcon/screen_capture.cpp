#include "hosts/testcon/screen_capture.h"

#include <wincodec.h>

#include <vector>

#include "hosts/testcon/com_support.h"

namespace testcon {
namespace {

struct OwnedWindowSearch {
  HWND owner;
  HWND frame;  // the container's own top-level window, never part of the picture
  DWORD process;
  RECT area;
};

// The control's balloon: a visible window of this process owned by the
// control, or a tool window owned by the control's top-level window (the
// system hands ownership to a child window's top-level ancestor) or by no
// window at all (a child of the desktop has none). In this container such a
// tool window can only be the control's.
bool BelongsToControl(HWND window, const OwnedWindowSearch& search) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search.process || window == search.frame || !IsWindowVisible(window)) return false;
  HWND owner = GetWindow(window, GW_OWNER);
  if (owner == search.owner) return true;
  const bool toolWindow = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
  return toolWindow && (owner == nullptr || owner == search.frame);
}

BOOL CALLBACK AddOwnedWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<OwnedWindowSearch*>(context);
  RECT rect;
  if (BelongsToControl(window, *search) && GetWindowRect(window, &rect))
    UnionRect(&search->area, &search->area, &rect);
  return TRUE;
}

bool Fail(std::wstring& error, const wchar_t* what, HRESULT hr) {
  wchar_t code[16];
  wsprintfW(code, L"0x%08X", static_cast<unsigned>(hr));
  error = std::wstring(what) + L" failed (" + code + L")";
  return false;
}

}  // namespace

RECT ControlScreenArea(HWND control) {
  OwnedWindowSearch search{control, GetAncestor(control, GA_ROOT), GetCurrentProcessId(), {}};
  GetWindowRect(control, &search.area);
  EnumWindows(&AddOwnedWindow, reinterpret_cast<LPARAM>(&search));
  // What lies off the screen has no pixels to copy.
  const RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT visible{};
  IntersectRect(&visible, &search.area, &screen);
  return visible;
}

std::vector<COLORREF> CaptureClientArea(HWND control, const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return {};
  POINT origin{area.left, area.top};
  ClientToScreen(control, &origin);
  std::vector<COLORREF> colours(static_cast<size_t>(width) * static_cast<size_t>(height));
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (bitmap != nullptr && bits != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
    // The section holds 0x00RRGGBB; COLORREF is 0x00BBGGRR.
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (size_t i = 0; copied && i < colours.size(); ++i)
      colours[i] = RGB((pixels[i] >> 16) & 0xFF, (pixels[i] >> 8) & 0xFF, pixels[i] & 0xFF);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return {};
  return colours;
}

bool WriteScreenPng(const RECT& area, const std::wstring& path, std::wstring& error) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) {
    error = L"the area to capture is empty";
    return false;
  }
  // Rows of 24-bit pixels, bottom-up as GDI gives them, padded to 4 bytes.
  const UINT stride = (static_cast<UINT>(width) * 3 + 3) & ~3u;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * static_cast<size_t>(height));
  {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BOOL copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows, as the encoder wants them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    int rows = copied ? GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                  &info, DIB_RGB_COLORS)
                      : 0;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height) {
      error = L"copying the screen failed";
      return false;
    }
  }

  ComPtr<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, OutSlot(factory));
  if (FAILED(hr)) return Fail(error, L"creating the imaging factory", hr);
  ComPtr<IWICStream> stream;
  if (FAILED(hr = factory->CreateStream(stream.Receive())))
    return Fail(error, L"creating the stream", hr);
  if (FAILED(hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)))
    return Fail(error, L"opening the file", hr);
  ComPtr<IWICBitmapEncoder> encoder;
  if (FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive())))
    return Fail(error, L"creating the PNG encoder", hr);
  if (FAILED(hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)))
    return Fail(error, L"starting the PNG encoder", hr);
  ComPtr<IWICBitmapFrameEncode> frame;
  if (FAILED(hr = encoder->CreateNewFrame(frame.Receive(), nullptr)))
    return Fail(error, L"creating the PNG frame", hr);
  if (FAILED(hr = frame->Initialize(nullptr))) return Fail(error, L"starting the PNG frame", hr);
  if (FAILED(hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))))
    return Fail(error, L"sizing the PNG frame", hr);
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(hr = frame->SetPixelFormat(&format)) ||
      !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
    return Fail(error, L"choosing the 24-bit pixel format", FAILED(hr) ? hr : E_FAIL);
  if (FAILED(hr = frame->WritePixels(static_cast<UINT>(height), stride,
                                     static_cast<UINT>(pixels.size()), pixels.data())))
    return Fail(error, L"writing the pixels", hr);
  if (FAILED(hr = frame->Commit())) return Fail(error, L"finishing the PNG frame", hr);
  if (FAILED(hr = encoder->Commit())) return Fail(error, L"finishing the PNG file", hr);
  return true;
}

}  // namespace testcon
