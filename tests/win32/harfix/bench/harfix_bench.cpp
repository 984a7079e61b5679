// How long the control's calls take per row: select, measure or draw,
// release, at the row font size. Prints microseconds per call sequence; a
// figure to watch, not a test.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "harfix/harfix.h"

namespace {

double Microseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1e6 * static_cast<double>(end.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 400;
  info.bmiHeader.biHeight = -16;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  SelectObject(dc, bitmap);

  LOGFONTA arabic{};
  arabic.lfHeight = -15;
  arabic.lfWeight = FW_NORMAL;
  std::strcpy(arabic.lfFaceName, "Fonta");
  LOGFONTA latin = arabic;
  std::strcpy(latin.lfFaceName, "Ariel");
  const std::string title =
      "\xC7\xE1\xC8\xC7\xC8 \xC7\xE1\xCB\xC7\xE4\xED: \xDD\xED \xC7\xE1\xD5\xE1\xC7\xC9 12";
  const int length = static_cast<int>(title.size());
  const RECT row = {0, 0, 400, 16};
  aSetReadingOrder(HARFIX_ORDER_RTL);

  constexpr int kRounds = 2000;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kRounds; ++i) {
    aSelectDC(dc, &latin, &arabic);
    aTextExtent(dc, title.c_str(), length);
    aReleaseDC(dc);
  }
  QueryPerformanceCounter(&end);
  std::printf("select + measure + release: %.1f us\n", Microseconds(start, end) / kRounds);

  QueryPerformanceCounter(&start);
  for (int i = 0; i < kRounds; ++i) {
    aSelectDC(dc, &latin, &arabic);
    aDrawText(dc, title.c_str(), length, &row, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER);
    aReleaseDC(dc);
  }
  QueryPerformanceCounter(&end);
  std::printf("select + draw + release: %.1f us\n", Microseconds(start, end) / kRounds);

  aSelectDC(dc, &latin, &arabic);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kRounds; ++i) aTextExtent(dc, title.c_str(), length);
  QueryPerformanceCounter(&end);
  aReleaseDC(dc);
  std::printf("measure within one selection: %.1f us\n", Microseconds(start, end) / kRounds);

  DeleteDC(dc);
  DeleteObject(bitmap);
  return 0;
}
