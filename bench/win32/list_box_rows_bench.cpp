// Timing under Wine: opening and closing a category of 30,000 books at the
// top of a list of 31,000 rows in the control's kind of list box, through the
// RowList over the real window. Prints milliseconds; asserts nothing.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/win32/milliseconds.h"
#include "core/orvane_core.h"
#include "platform/win32/list_box_row_list.h"
#include "platform/win32/no_data_list_row_list.h"
#include "tests/native/test_support.h"

namespace {

using orvane::bench::Now;

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MEASUREITEM) {
    reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 16;
    return TRUE;
  }
  if (msg == WM_DRAWITEM) return TRUE;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  DWORD extraStyle = 0;
  if (argc > 1 && std::string(argv[1]) == "--nodata") extraStyle = LBS_NODATA;
  WNDCLASSW wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"OrvaneBenchParent";
  RegisterClassW(&wc);
  HWND parent = CreateWindowW(L"OrvaneBenchParent", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                              0, 320, 440, nullptr, nullptr, wc.hInstance, nullptr);
  HWND list = CreateWindowW(L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED |
                                LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | extraStyle,
                            0, 0, 300, 400, parent, nullptr, wc.hInstance, nullptr);
  if (!list) {
    std::printf("no window\n");
    return 1;
  }
  orvane::ListBoxRowList plainRows(list);
  orvane::NoDataListRowList noDataRows(list);
  orvane::RowList& rows = extraStyle ? static_cast<orvane::RowList&>(noDataRows) : plainRows;
  orvane::test::MemoryFileSystem files;
  orvane::RecordingHoverTimer timer;
  std::vector<std::string> big(30000, "none"), small(1000, "none");
  orvane::test::CoreFixture setup;  // for its in-memory catalogue
  setup.Catalogue("big", {big, small});
  double t0 = Now();
  orvane::OrvaneCore loader(rows, setup.profile, files, timer);
  loader.LoadBooks("big");
  loader.View().ToggleNode(1);
  Pump();
  double t1 = Now();
  std::printf("load + open 1,000 rows below: %.1f ms, rows %d\n", t1 - t0, rows.Count());
  for (int i = 0; i < 3; ++i) {
    double a = Now();
    int opened = loader.View().ToggleNode(0);
    Pump();
    double b = Now();
    int closed = loader.View().ToggleNode(0);
    Pump();
    double c = Now();
    std::printf("open %d rows: %.1f ms; close %d rows: %.1f ms\n", opened, b - a, closed, c - b);
  }
  DestroyWindow(parent);
  return 0;
}
