#include "hosts/testcon/screen_capture.h"

#include <gtest/gtest.h>
#include <wincodec.h>

#include <vector>

#include "hosts/testcon/com_support.h"

namespace testcon {
namespace {

constexpr wchar_t kSolidClass[] = L"TestconSolidWindow";
constexpr COLORREF kFill = RGB(0x20, 0x90, 0xE0);

LRESULT CALLBACK SolidWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) {
    RECT rect;
    GetClientRect(window, &rect);
    HBRUSH brush = CreateSolidBrush(kFill);
    FillRect(reinterpret_cast<HDC>(wParam), &rect, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void Pump() {
  MSG msg;
  for (int round = 0; round < 20; ++round) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

class ScreenCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    WNDCLASSW wc{};
    wc.lpfnWndProc = SolidWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kSolidClass;
    RegisterClassW(&wc);
  }
  void TearDown() override {
    for (HWND w : windows) DestroyWindow(w);
    OleUninitialize();
  }

  HWND Make(DWORD exStyle, DWORD style, RECT r, HWND parentOrOwner) {
    HWND w = CreateWindowExW(exStyle, kSolidClass, L"", style, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, parentOrOwner, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
    if (w) windows.push_back(w);
    return w;
  }

  std::vector<HWND> windows;
};

TEST_F(ScreenCaptureTest, TheAreaIsTheControlAloneWithoutAnyBalloonUp) {
  HWND frame = Make(0, WS_POPUP | WS_VISIBLE, {0, 0, 200, 200}, nullptr);
  ASSERT_NE(frame, nullptr) << "no display";
  HWND control = Make(0, WS_CHILD | WS_VISIBLE, {10, 20, 110, 70}, frame);
  HWND hidden = Make(WS_EX_TOOLWINDOW, WS_POPUP, {300, 300, 400, 320}, control);
  ASSERT_TRUE(control && hidden);
  RECT area = ControlScreenArea(control);
  EXPECT_EQ(area.left, 10);
  EXPECT_EQ(area.top, 20);
  EXPECT_EQ(area.right, 110);
  EXPECT_EQ(area.bottom, 70);
}

TEST_F(ScreenCaptureTest, TheAreaTakesInAVisibleBalloonTheControlOwns) {
  HWND frame = Make(0, WS_POPUP | WS_VISIBLE, {0, 0, 200, 200}, nullptr);
  ASSERT_NE(frame, nullptr) << "no display";
  HWND control = Make(0, WS_CHILD | WS_VISIBLE, {10, 20, 110, 70}, frame);
  HWND balloon = Make(WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, {90, 60, 250, 85}, control);
  // A window the frame owns that is not a tool window (a dialog, say).
  HWND other = Make(0, WS_POPUP | WS_VISIBLE, {500, 500, 600, 600}, frame);
  ASSERT_TRUE(control && balloon && other);
  RECT area = ControlScreenArea(control);
  EXPECT_EQ(area.left, 10);
  EXPECT_EQ(area.top, 20);
  EXPECT_EQ(area.right, 250);
  EXPECT_EQ(area.bottom, 85);
}

TEST_F(ScreenCaptureTest, TheAreaTakesInAnUnownedToolWindowButNotTheFrame) {
  HWND frame = Make(WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, {0, 0, 200, 200}, nullptr);
  ASSERT_NE(frame, nullptr) << "no display";
  HWND control = Make(0, WS_CHILD | WS_VISIBLE, {10, 20, 110, 70}, frame);
  HWND balloon = Make(WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, {5, 70, 60, 90}, nullptr);
  ASSERT_TRUE(control && balloon);
  RECT area = ControlScreenArea(control);
  EXPECT_EQ(area.left, 5);
  EXPECT_EQ(area.top, 20);
  EXPECT_EQ(area.right, 110);
  EXPECT_EQ(area.bottom, 90);
}

TEST_F(ScreenCaptureTest, WritesAPngOfTheAreaWithTheScreensPixels) {
  HWND solid = Make(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, {40, 50, 117, 90}, nullptr);
  ASSERT_NE(solid, nullptr) << "no display";
  UpdateWindow(solid);
  Pump();
  wchar_t folder[MAX_PATH], path[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"tcs", 0, path);
  std::wstring error;
  ASSERT_TRUE(WriteScreenPng({40, 50, 117, 90}, path, error))
      << std::string(error.begin(), error.end());

  ComPtr<IWICImagingFactory> factory;
  ASSERT_EQ(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IWICImagingFactory, OutSlot(factory)),
            S_OK);
  ComPtr<IWICBitmapDecoder> decoder;
  ASSERT_EQ(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                               WICDecodeMetadataCacheOnDemand, decoder.Receive()),
            S_OK);
  GUID format{};
  decoder->GetContainerFormat(&format);
  EXPECT_TRUE(IsEqualGUID(format, GUID_ContainerFormatPng));
  ComPtr<IWICBitmapFrameDecode> frame;
  ASSERT_EQ(decoder->GetFrame(0, frame.Receive()), S_OK);
  UINT width = 0, height = 0;
  frame->GetSize(&width, &height);
  EXPECT_EQ(width, 77u);  // an odd width: rows are padded in memory, not in the picture
  EXPECT_EQ(height, 40u);
  // Three pixels: corners and middle, each the window's colour.
  for (auto [x, y] : {std::pair{0, 0}, std::pair{76, 39}, std::pair{38, 20}}) {
    BYTE bgr[3] = {};
    WICRect one{x, y, 1, 1};
    ASSERT_EQ(frame->CopyPixels(&one, 3, 3, bgr), S_OK);
    EXPECT_EQ(RGB(bgr[2], bgr[1], bgr[0]), kFill) << x << "," << y;
  }
  frame.Reset();
  decoder.Reset();
  DeleteFileW(path);
}

TEST_F(ScreenCaptureTest, RefusesAnEmptyAreaAndAPathThatCannotBeWritten) {
  std::wstring error;
  EXPECT_FALSE(WriteScreenPng({10, 10, 10, 50}, L"C:\\unused.png", error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(WriteScreenPng({0, 0, 4, 4}, L"C:\\no\\such\\folder\\x.png", error));
  EXPECT_NE(error.find(L"opening the file"), std::wstring::npos);
}

}  // namespace
}  // namespace testcon
