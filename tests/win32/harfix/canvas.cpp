#include "canvas.h"

#include <wincodec.h>

#include <algorithm>
#include <vector>

namespace harfix_tests {
namespace {

std::uint32_t ToRaw(COLORREF colour) {
  return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) |
         GetBValue(colour);
}

template <typename T>
void ReleaseCom(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

}  // namespace

Canvas::Canvas(int width, int height, COLORREF background)
    : width_(width), height_(height), background_(background) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<std::uint32_t*>(bits);
  previousBitmap_ = SelectObject(dc_, bitmap_);
  Clear();
}

Canvas::~Canvas() {
  SelectObject(dc_, previousBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void Canvas::Clear() {
  GdiFlush();
  std::fill(bits_, bits_ + static_cast<std::size_t>(width_) * height_, ToRaw(background_));
}

COLORREF Canvas::Pixel(int x, int y) const {
  GdiFlush();
  const std::uint32_t raw = Raw(x, y);
  return RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
}

InkBox Canvas::Ink(const RECT& area) const {
  GdiFlush();
  InkBox box;
  const std::uint32_t paper = ToRaw(background_);
  for (int y = std::max(0L, area.top); y < std::min<LONG>(height_, area.bottom); ++y) {
    for (int x = std::max(0L, area.left); x < std::min<LONG>(width_, area.right); ++x) {
      if (Raw(x, y) == paper) continue;
      if (box.empty) {
        box = InkBox{x, y, x + 1, y + 1, false};
      } else {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
    }
  }
  return box;
}

bool Canvas::ColumnHasInk(int x, int top, int bottom) const {
  GdiFlush();
  const std::uint32_t paper = ToRaw(background_);
  for (int y = std::max(0, top); y < std::min(height_, bottom); ++y) {
    if (Raw(x, y) != paper) return true;
  }
  return false;
}

bool Canvas::SameAs(const Canvas& other, const RECT& area, int dx, int dy) const {
  GdiFlush();
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const int ox = x + dx, oy = y + dy;
      const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
      const bool otherInside = ox >= 0 && oy >= 0 && ox < other.width_ && oy < other.height_;
      const std::uint32_t mine = inside ? Raw(x, y) : ToRaw(background_);
      const std::uint32_t theirs = otherInside ? other.Raw(ox, oy) : ToRaw(other.background_);
      if (mine != theirs) return false;
    }
  }
  return true;
}

HRESULT Canvas::SavePng(const std::wstring& path) const {
  GdiFlush();
  std::vector<BYTE> rows(static_cast<std::size_t>(width_) * 3 * height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t raw = Raw(x, y);
      BYTE* out = &rows[(static_cast<std::size_t>(y) * width_ + x) * 3];
      out[0] = raw & 0xFF;
      out[1] = (raw >> 8) & 0xFF;
      out[2] = (raw >> 16) & 0xFF;
    }
  }
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IWICImagingFactory* factory = nullptr;
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
  if (SUCCEEDED(result)) result = factory->CreateStream(&stream);
  if (SUCCEEDED(result)) result = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
  if (SUCCEEDED(result))
    result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
  if (SUCCEEDED(result)) result = encoder->Initialize(stream, WICBitmapEncoderNoCache);
  if (SUCCEEDED(result)) result = encoder->CreateNewFrame(&frame, nullptr);
  if (SUCCEEDED(result)) result = frame->Initialize(nullptr);
  if (SUCCEEDED(result)) result = frame->SetSize(width_, height_);
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (SUCCEEDED(result)) result = frame->SetPixelFormat(&format);
  if (SUCCEEDED(result) && format != GUID_WICPixelFormat24bppBGR) result = E_FAIL;
  if (SUCCEEDED(result)) {
    result = frame->WritePixels(height_, width_ * 3, static_cast<UINT>(rows.size()), rows.data());
  }
  if (SUCCEEDED(result)) result = frame->Commit();
  if (SUCCEEDED(result)) result = encoder->Commit();
  ReleaseCom(frame);
  ReleaseCom(encoder);
  ReleaseCom(stream);
  ReleaseCom(factory);
  if (SUCCEEDED(init)) CoUninitialize();
  return result;
}

}  // namespace harfix_tests
