// Timing under Wine: a full repaint of a window of 25 rows of typical Arabic
// titles, painted as the control paints them (tree lines, icons, titles
// through Harfix.dll) in an owner-drawn list box. Printed beside it, in the
// same run: the same repaint with the text library's kept lines switched
// off, the rows with no titles, and bare ExtTextOutW of the same titles;
// then the same window at 192 DPI (twice the pixels each way, strips at
// 200 %, Fonta at its size there) beside its 96-DPI repaint, and the
// re-layout a DPI change makes of a 31,000-row no-data list box beside a
// BackColor change (the strips alone). Asserts nothing.
//
//   scripts/with-wine wine build/win/bench/win32/repaint_timing.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win32/milliseconds.h"
#include "core/orvane_core.h"
#include "platform/portable/recording_hover_timer.h"
#include "platform/win32/list_box_row_list.h"
#include "render/bidi_text_api.h"
#include "render/glyph_strip.h"
#include "render/row_painter.h"
#include "tests/win32/render/outline_of.h"
#include "tests/native/test_support.h"

namespace {

using orvane::bench::Now;
using orvane::test::OutlineOf;

constexpr int kRows = 25;
constexpr int kPages = 24;  // one warm-up page, then a page never painted before per cold repaint
constexpr int kWidth = 360;

// Windows-1256 words that make book and section titles of 2 to 6 words.
const char* const kFirst[] = {
    "\xDF\xCA\xC7\xC8",     "\xC8\xC7\xC8",        "\xDD\xD5\xE1",         "\xD4\xD1\xCD",
    "\xE3\xCE\xCA\xD5\xD1", "\xD5\xCD\xED\xCD",    "\xCA\xDD\xD3\xED\xD1", "\xC3\xCD\xDF\xC7\xE3",
    "\xDD\xCA\xC7\xE6\xEC", "\xD1\xD3\xC7\xE1\xC9"};
const char* const kSecond[] = {"\xC7\xE1\xD8\xE5\xC7\xD1\xC9", "\xC7\xE1\xD5\xE1\xC7\xC9",
                               "\xC7\xE1\xD2\xDF\xC7\xC9",     "\xC7\xE1\xD5\xED\xC7\xE3",
                               "\xC7\xE1\xCD\xCC\xF8",         "\xC7\xE1\xC8\xED\xE6\xDA",
                               "\xC7\xE1\xE4\xDF\xC7\xCD",     "\xC7\xE1\xDD\xD1\xC7\xC6\xD6",
                               "\xC7\xE1\xC3\xCF\xC8",         "\xC7\xE1\xD3\xED\xD1\xC9"};
const char* const kThird[] = {"\xE6\xE3\xC7 \xED\xCA\xDA\xE1\xF8\xDE \xC8\xE5",
                              "\xDD\xED \xC7\xE1\xDD\xDE\xE5",
                              "\xE1\xC7\xC8\xE4 \xDE\xCF\xC7\xE3\xC9",
                              "\xDA\xE4 \xC7\xE1\xE4\xC8\xED\xF8",
                              "\xE3\xE4 \xC7\xE1\xCD\xCF\xED\xCB",
                              "\xDA\xE1\xEC \xC7\xE1\xE3\xD0\xC7\xE5\xC8",
                              "\xE1\xE1\xC5\xE3\xC7\xE3 \xC3\xCD\xE3\xCF",
                              "\xDD\xED \xC3\xD5\xE6\xE1 \xC7\xE1\xCF\xED\xE4",
                              "\xE3\xDA \xC7\xE1\xC3\xCF\xE1\xC9",
                              "\xE6\xC7\xE1\xC2\xCB\xC7\xD1"};

// Title i: every one different, some with a part number as many have.
std::string Title(int i) {
  std::string title = std::string(kFirst[i % 10]) + " " + kSecond[(i / 10) % 10];
  if (i % 3 != 0) title += std::string(" ") + kThird[(i / 100 + i) % 10];
  if (i % 5 == 0) title += " " + std::to_string(i % 40 + 1);
  return title;
}

struct Painter {
  orvane::RowContext row;
  orvane::OrvaneCore* core = nullptr;
  orvane::ListBoxRowList* rows = nullptr;
};
Painter g_painter;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MEASUREITEM) {
    orvane::MeasureRow(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp), g_painter.row.dpi);
    return TRUE;
  }
  if (msg == WM_DRAWITEM) {
    const auto& drawItem = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
    orvane::RowContext row = g_painter.row;
    row.SetItem(drawItem);
    row.node = g_painter.rows->NodeOf(static_cast<int32_t>(drawItem.itemID));
    orvane::DrawRow(row);
    return TRUE;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// Scrolls to a page without painting it, so that its first paint is timed.
void ShowPage(HWND list, int page) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_SETTOPINDEX, page * kRows, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ValidateRect(list, nullptr);
  Pump();
}

// One full repaint of the list box, in milliseconds.
double Repaint(HWND list) {
  const double start = Now();
  RedrawWindow(list, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  return Now() - start;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Loads the text library afresh, with its kept lines on or off.
orvane::BidiTextApi LoadTextLibrary(HMODULE& module, bool keepLines) {
  if (module) FreeLibrary(module);
  SetEnvironmentVariableA("HARFIX_LINE_CACHE", keepLines ? nullptr : "0");
  module = LoadLibraryA(orvane::PathBesideModule(nullptr, "Harfix.dll").c_str());
  SetEnvironmentVariableA("HARFIX_LINE_CACHE", nullptr);
  return orvane::ResolveBidiTextApi(module);
}

struct Figures {
  double cold = 0;  // median of repaints of pages never painted before
  double warm = 0;  // median of repaints of the same page
};

// Page 0 once, pages 1.. each once (cold), then page 0 again and again (warm).
Figures Measure(HWND list) {
  Figures figures;
  std::vector<double> cold, warm;
  // The first paint of all sets up what any title needs (faces, script
  // caches, the system's own font caches); it is timed in neither figure.
  ShowPage(list, 0);
  Repaint(list);
  for (int page = 1; page < kPages; ++page) {
    ShowPage(list, page);
    cold.push_back(Repaint(list));
  }
  ShowPage(list, 0);
  Repaint(list);
  for (int i = 0; i < 40; ++i) warm.push_back(Repaint(list));
  figures.cold = Median(cold);
  figures.warm = Median(warm);
  return figures;
}

// The floor: the same 25 titles, decoded and drawn by ExtTextOutW with the
// face the library picks, with nothing else.
double BareTextOut(HWND list, int offset) {
  HDC dc = GetDC(list);
  HFONT font =
      CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"DejaVu Sans");
  HGDIOBJ previous = SelectObject(dc, font);
  std::vector<std::wstring> texts;
  for (int i = 0; i < kRows; ++i) {
    const std::string title = Title(offset + i);
    std::wstring wide(title.size(), L'\0');
    const int n = MultiByteToWideChar(1256, 0, title.data(), static_cast<int>(title.size()),
                                      wide.data(), static_cast<int>(wide.size()));
    wide.resize(std::max(n, 0));
    texts.push_back(wide);
  }
  std::vector<double> times;
  for (int round = 0; round < 40; ++round) {
    const double start = Now();
    for (int i = 0; i < kRows; ++i) {
      const RECT rect = {0, i * orvane::kRowHeight, kWidth, (i + 1) * orvane::kRowHeight};
      ExtTextOutW(dc, 0, rect.top, ETO_OPAQUE | ETO_RTLREADING, &rect, texts[i].c_str(),
                  static_cast<UINT>(texts[i].size()), nullptr);
    }
    GdiFlush();
    times.push_back(Now() - start);
  }
  SelectObject(dc, previous);
  DeleteObject(font);
  ReleaseDC(list, dc);
  return Median(times);
}

// What a DPI change does to the control's rows (COrvaneCtrl::FollowDisplay):
// one LB_SETITEMHEIGHT and both strips made for the new scale. Median of
// `rounds` changes back and forth between 96 and 192 DPI, in milliseconds;
// with `heightToo` false, only the strips (what a BackColor change costs).
double Relayout(HWND list, bool heightToo, int rounds) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const int dpi = i % 2 == 0 ? 192 : 96;
    const int scale = orvane::StripScaleFor(dpi);
    const double start = Now();
    if (heightToo) SendMessageW(list, LB_SETITEMHEIGHT, 0, orvane::RowHeightAt(dpi));
    orvane::GlyphStrip check(GetModuleHandleW(nullptr), nullptr, orvane::CheckStripBitmapFor(scale),
                             3, 10, RGB(255, 255, 255));
    orvane::GlyphStrip tree(GetModuleHandleW(nullptr), nullptr,
                            orvane::TreeStripBitmapFor(tvRight, scale), 10, 1, RGB(255, 255, 255));
    times.push_back(Now() - start);
  }
  return Median(times);
}

}  // namespace

int main() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OrvaneRepaintParent";
  RegisterClassW(&wc);
  const int height = kRows * orvane::kRowHeight;
  HWND parent = CreateWindowW(L"OrvaneRepaintParent", L"repaint", WS_POPUP | WS_VISIBLE, 0, 0,
                              kWidth + 40, height + 20, nullptr, nullptr, wc.hInstance, nullptr);
  HWND list =
      CreateWindowW(L"LISTBOX", L"",
                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
                    0, 0, kWidth, height, parent, nullptr, wc.hInstance, nullptr);
  if (!list) {
    std::printf("no window\n");
    return 1;
  }

  orvane::ListBoxRowList rows(list);
  orvane::test::MemoryFileSystem files;
  orvane::RecordingHoverTimer timer;
  orvane::test::CoreFixture setup;  // for its empty profile
  orvane::OrvaneCore core(rows, setup.profile, files, timer);
  // Pages of 25 top-level items, each with titles of its own.
  for (int i = 0; i < kPages * kRows; ++i) core.View().AddSibling(-1, Title(i));
  Pump();

  orvane::GlyphStrip check(GetModuleHandleW(nullptr), nullptr, orvane::kCheckStripBitmap, 3, 10,
                           RGB(255, 255, 255));
  orvane::GlyphStrip tree(GetModuleHandleW(nullptr), nullptr, orvane::kTreeStripRtlBitmap, 10, 1,
                          RGB(255, 255, 255));
  orvane::RowContext& row = g_painter.row;
  row.outline = OutlineOf(core);
  row.checkStrip = &check;
  row.treeStrip = &tree;
  row.alignment = tvRight;
  row.readingOrder = RTL;
  row.fonta.lfHeight = -15;
  row.fonta.lfWeight = FW_NORMAL;
  lstrcpyA(row.fonta.lfFaceName, "Fonta");
  int32_t filePos = 0;
  row.filePos = &filePos;
  g_painter.rows = &rows;
  g_painter.core = &core;

  HMODULE harfix = nullptr;
  orvane::BidiTextApi kept = LoadTextLibrary(harfix, true);
  if (!kept.Complete()) {
    std::printf("Harfix.dll not found beside the program\n");
    return 1;
  }
  row.text = &kept;
  const Figures withCache = Measure(list);

  // The same window on a 192-DPI display: twice the pixels each way, the
  // same 25 rows, everything drawn for the scale.
  orvane::GlyphStrip check200(GetModuleHandleW(nullptr), nullptr, orvane::CheckStripBitmapFor(200),
                              3, 10, RGB(255, 255, 255));
  orvane::GlyphStrip tree200(GetModuleHandleW(nullptr), nullptr,
                             orvane::TreeStripBitmapFor(tvRight, 200), 10, 1, RGB(255, 255, 255));
  row.dpi = 192;
  row.checkStrip = &check200;
  row.treeStrip = &tree200;
  row.fonta.lfHeight = -30;
  SendMessageW(list, LB_SETITEMHEIGHT, 0, orvane::RowHeightAt(192));
  MoveWindow(parent, 0, 0, 2 * kWidth + 40, 2 * height + 20, FALSE);
  MoveWindow(list, 0, 0, 2 * kWidth, 2 * height, FALSE);
  Pump();
  const Figures at192 = Measure(list);
  row.dpi = 96;
  row.checkStrip = &check;
  row.treeStrip = &tree;
  row.fonta.lfHeight = -15;
  SendMessageW(list, LB_SETITEMHEIGHT, 0, orvane::kRowHeight);
  MoveWindow(list, 0, 0, kWidth, height, FALSE);
  MoveWindow(parent, 0, 0, kWidth + 40, height + 20, FALSE);
  Pump();
  const Figures again96 = Measure(list);

  // A no-data list box of 31,000 rows, as the control's window is.
  HWND big = CreateWindowW(
      L"LISTBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | LBS_NODATA,
      0, 0, kWidth, height, parent, nullptr, wc.hInstance, nullptr);
  SendMessageW(big, LB_SETCOUNT, 31000, 0);
  ShowWindow(list, SW_HIDE);
  Pump();
  const double relayout = Relayout(big, true, 21);
  const double stripsOnly = Relayout(big, false, 21);
  DestroyWindow(big);
  ShowWindow(list, SW_SHOW);
  orvane::BidiTextApi fresh = LoadTextLibrary(harfix, false);
  row.text = &fresh;
  const Figures withoutCache = Measure(list);
  row.text = nullptr;
  const Figures noTitles = Measure(list);
  const double floor = BareTextOut(list, 0);

  std::printf("25-row repaint, titles kept (cold, first paint of new titles): %6.2f ms\n",
              withCache.cold);
  std::printf("25-row repaint, titles kept (warm, repaint):                   %6.2f ms\n",
              withCache.warm);
  std::printf("  peer: the same, text library keeping nothing (cold / warm): %6.2f / %.2f ms\n",
              withoutCache.cold, withoutCache.warm);
  std::printf("  floor: the rows without titles:                             %6.2f ms\n",
              noTitles.warm);
  std::printf("  floor: bare ExtTextOutW of the 25 titles:                   %6.2f ms\n", floor);
  std::printf("25-row repaint at 192 DPI, titles kept (cold / warm):        %6.2f / %.2f ms\n",
              at192.cold, at192.warm);
  std::printf(
      "  peer: the same window at 96 DPI in this run (cold / warm):  %6.2f / %.2f ms"
      "  (ratio %.2f / %.2f)\n",
      again96.cold, again96.warm, at192.cold / again96.cold, at192.warm / again96.warm);
  std::printf("DPI change re-lays out 31,000 rows (row height, strips):      %6.2f ms\n", relayout);
  std::printf("  peer: a BackColor change, the strips alone:                 %6.2f ms\n",
              stripsOnly);
  DestroyWindow(parent);
  if (harfix) FreeLibrary(harfix);
  return 0;
}
