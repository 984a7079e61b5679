#include "paint_surface.h"

#include <wincodec.h>

namespace orvane::test {

PaintSurface::PaintSurface(int width, int height, COLORREF fill)
    : m_width(width), m_height(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  m_bits = static_cast<uint8_t*>(bits);
  m_stride = ((width * 3 + 3) / 4) * 4;
  m_dc = CreateCompatibleDC(nullptr);
  m_old = SelectObject(m_dc, m_bitmap);
  Fill(fill);
}

PaintSurface::~PaintSurface() {
  SelectObject(m_dc, m_old);
  DeleteDC(m_dc);
  DeleteObject(m_bitmap);
}

void PaintSurface::Fill(COLORREF colour) {
  RECT all{0, 0, m_width, m_height};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(m_dc, &all, brush);
  DeleteObject(brush);
  GdiFlush();
}

COLORREF PaintSurface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height || !m_bits) return 0xFFFFFFFF;
  GdiFlush();
  const uint8_t* p = m_bits + y * m_stride + x * 3;
  return RGB(p[2], p[1], p[0]);
}

int PaintSurface::CountColour(const RECT& r, COLORREF colour) const {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) n += Pixel(x, y) == colour;
  }
  return n;
}

int PaintSurface::FirstColumnOf(int y, COLORREF colour) const {
  for (int x = 0; x < m_width; ++x) {
    if (Pixel(x, y) == colour) return x;
  }
  return -1;
}

int PaintSurface::LastColumnOf(int y, COLORREF colour) const {
  for (int x = m_width - 1; x >= 0; --x) {
    if (Pixel(x, y) == colour) return x;
  }
  return -1;
}

std::string PaintSurface::Bytes() const {
  GdiFlush();
  return std::string(reinterpret_cast<const char*>(m_bits),
                     static_cast<size_t>(m_stride) * static_cast<size_t>(m_height));
}

bool PaintSurface::SavePng(const std::wstring& path) const {
  GdiFlush();
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  bool ok = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
      SUCCEEDED(frame->Initialize(nullptr)) &&
      SUCCEEDED(frame->SetSize(static_cast<UINT>(m_width), static_cast<UINT>(m_height)))) {
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ok = SUCCEEDED(frame->SetPixelFormat(&format)) &&
         IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
         SUCCEEDED(frame->WritePixels(static_cast<UINT>(m_height), static_cast<UINT>(m_stride),
                                      static_cast<UINT>(m_stride * m_height), m_bits)) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  }
  if (frame) frame->Release();
  if (encoder) encoder->Release();
  if (stream) stream->Release();
  if (factory) factory->Release();
  if (SUCCEEDED(init)) CoUninitialize();
  return ok;
}

bool SaveScreenshot(const PaintSurface& surface, const std::wstring& name) {
  CreateDirectoryW(L"build", nullptr);
  CreateDirectoryW(L"build\\render", nullptr);
  return surface.SavePng(L"build\\render\\" + name + L".png");
}

}  // namespace orvane::test
