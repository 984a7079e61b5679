// The no-data list against the list that stores its items: the same run of
// row operations on both must leave the same rows, selection, scroll
// position, hit-testing and owner-draw requests, so that switching the
// control's list to no-data changes nothing a user or a host can see.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/list_box_row_list.h"
#include "platform/win32/no_data_list_row_list.h"

namespace orvane {
namespace {

OutlineNode* Node(int i) {
  static char storage[4096];
  return reinterpret_cast<OutlineNode*>(&storage[i % 4096]);
}

// The rows each list box asked to have drawn, by window.
std::vector<std::pair<HWND, UINT>> g_drawn;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MEASUREITEM) {
    reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
    return TRUE;
  }
  if (message == WM_DRAWITEM) {
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (draw->itemAction & ODA_DRAWENTIRE) g_drawn.emplace_back(draw->hwndItem, draw->itemID);
    return TRUE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class NoDataRows : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvaneNoDataTestParent";
    RegisterClassA(&wc);
    m_parent = CreateWindowA(wc.lpszClassName, "rows", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                             320, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(m_parent, nullptr) << "no window: is a display set (scripts/with-wine)?";
    m_plainBox = Make(0, 0);
    m_noDataBox = Make(LBS_NODATA, 310);
    m_plain.Attach(m_plainBox);
    m_noData.Attach(m_noDataBox);
  }
  void TearDown() override { DestroyWindow(m_parent); }

  HWND Make(DWORD extra, int x) {
    return CreateWindowA("LISTBOX", "",
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED |
                             LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | extra,
                         x, 0, 300, 160, m_parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  void Paint() {
    g_drawn.clear();
    for (HWND box : {m_plainBox, m_noDataBox}) {
      InvalidateRect(box, nullptr, TRUE);
      UpdateWindow(box);
    }
  }
  std::vector<UINT> DrawnBy(HWND box) {
    std::vector<UINT> rows;
    for (auto& [window, id] : g_drawn) {
      if (window == box) rows.push_back(id);
    }
    return rows;
  }

  void ExpectSame(int step) {
    ASSERT_EQ(m_plain.Count(), m_noData.Count()) << step;
    ASSERT_EQ(SendMessageA(m_noDataBox, LB_GETCOUNT, 0, 0), m_noData.Count()) << step;
    EXPECT_EQ(m_plain.Selection(), m_noData.Selection()) << step;
    EXPECT_EQ(m_plain.TopIndex(), m_noData.TopIndex()) << step;
    EXPECT_EQ(SendMessageA(m_plainBox, LB_GETCARETINDEX, 0, 0),
              SendMessageA(m_noDataBox, LB_GETCARETINDEX, 0, 0))
        << step;
    for (int32_t r = -1; r <= m_plain.Count(); ++r) {
      ASSERT_EQ(m_plain.NodeOf(r), m_noData.NodeOf(r)) << step << " row " << r;
    }
    for (int y : {0, 17, 80, 159, 170}) {
      // The hover balloon asks the window itself which row is under a point.
      const LPARAM point = MAKELPARAM(5, y);
      EXPECT_EQ(SendMessageA(m_plainBox, LB_ITEMFROMPOINT, 0, point),
                SendMessageA(m_noDataBox, LB_ITEMFROMPOINT, 0, point))
          << step << " y " << y;
    }
  }

  HWND m_parent = nullptr;
  HWND m_plainBox = nullptr;
  HWND m_noDataBox = nullptr;
  ListBoxRowList m_plain;
  NoDataListRowList m_noData;
};

TEST_F(NoDataRows, SameRunGivesTheSameVisibleList) {
  uint32_t seed = 7;
  auto next = [&] { return seed = seed * 1664525 + 1013904223, seed >> 8; };
  int made = 0;
  for (int step = 0; step < 600; ++step) {
    int32_t count = m_plain.Count();
    switch (next() % 14) {
      case 0:
      case 1:
      case 2: {
        int32_t at = static_cast<int32_t>(next() % (count + 1));
        m_plain.Insert(at, Node(made));
        m_noData.Insert(at, Node(made++));
        break;
      }
      case 3:
      case 4:
        if (count) {
          int32_t at = static_cast<int32_t>(next() % count);
          m_plain.Delete(at);
          m_noData.Delete(at);
        }
        break;
      case 5:
        m_plain.Append(Node(made));
        m_noData.Append(Node(made++));
        break;
      case 6: {
        int32_t at = count ? static_cast<int32_t>(next() % count) : -1;
        m_plain.SetSelection(at);
        m_noData.SetSelection(at);
        break;
      }
      case 7: {
        WPARAM top = count ? next() % count : 0;
        SendMessageA(m_plainBox, LB_SETTOPINDEX, top, 0);
        SendMessageA(m_noDataBox, LB_SETTOPINDEX, top, 0);
        break;
      }
      case 8:
        // Bulk runs, as opening and closing make them.
        m_plain.BeginBulkChange();
        m_noData.BeginBulkChange();
        for (int i = 0; i < 20; ++i) {
          m_plain.Insert(0, Node(made));
          m_noData.Insert(0, Node(made++));
        }
        m_plain.EndBulkChange();
        m_noData.EndBulkChange();
        break;
      case 9:
        if (next() % 20 == 0) {
          m_plain.Clear();
          m_noData.Clear();
        }
        break;
      case 10: {
        // A rebuild: every row replaced at once, as the two views make them.
        std::vector<OutlineNode*> nodes;
        for (uint32_t n = next() % 60; n > 0; --n) nodes.push_back(Node(made++));
        m_plain.BeginBulkChange();
        m_noData.BeginBulkChange();
        m_plain.Replace(nodes.data(), static_cast<int32_t>(nodes.size()));
        m_noData.Replace(nodes.data(), static_cast<int32_t>(nodes.size()));
        m_plain.EndBulkChange();
        m_noData.EndBulkChange();
        break;
      }
      case 11:
      case 12:
      case 13: {
        // Opening a node: a run of rows one after another from any row, the
        // selection and top row anywhere, sometimes asked about or changed
        // halfway, sometimes followed by a delete or another run in the same
        // change.
        int32_t at = static_cast<int32_t>(next() % (count + 1));
        int32_t length = 1 + static_cast<int32_t>(next() % 80);
        uint32_t interrupt = next() % 6;
        m_plain.BeginBulkChange();
        m_noData.BeginBulkChange();
        for (int32_t i = 0; i < length; ++i) {
          m_plain.Insert(at + i, Node(made));
          m_noData.Insert(at + i, Node(made++));
          if (i == length / 2 && interrupt == 0) {
            EXPECT_EQ(m_plain.Selection(), m_noData.Selection()) << step;
          } else if (i == length / 2 && interrupt == 1) {
            int32_t row = static_cast<int32_t>(next() % m_plain.Count());
            m_plain.SetSelection(row);
            m_noData.SetSelection(row);
          }
        }
        if (interrupt == 2) {
          int32_t gone = static_cast<int32_t>(next() % m_plain.Count());
          m_plain.Delete(gone);
          m_noData.Delete(gone);
        } else if (interrupt == 3) {
          for (int32_t i = 0; i < 5; ++i) {
            m_plain.Insert(0, Node(made));
            m_noData.Insert(0, Node(made++));
          }
        }
        m_plain.EndBulkChange();
        m_noData.EndBulkChange();
        break;
      }
    }
    ExpectSame(step);
    if (step % 50 == 0) {
      Paint();
      if (m_plain.Count() > 0) {
        EXPECT_FALSE(DrawnBy(m_plainBox).empty()) << step;
      }
      EXPECT_EQ(DrawnBy(m_plainBox), DrawnBy(m_noDataBox)) << step;
    }
  }
}

LONG_PTR g_listBoxProc = 0;
int g_rowMessages = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LB_INSERTSTRING || message == LB_ADDSTRING || message == LB_SETCOUNT) {
    ++g_rowMessages;
  }
  return CallWindowProcA(reinterpret_cast<WNDPROC>(g_listBoxProc), window, message, wParam, lParam);
}

TEST_F(NoDataRows, OpeningBelowTheSelectionIsOneMessage) {
  for (int i = 0; i < 40; ++i) m_noData.Append(Node(i));
  m_noData.SetSelection(10);
  SendMessageA(m_noDataBox, LB_SETTOPINDEX, 5, 0);
  g_listBoxProc =
      SetWindowLongPtrA(m_noDataBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc));
  g_rowMessages = 0;
  m_noData.BeginBulkChange();
  for (int i = 0; i < 300; ++i) m_noData.Insert(11 + i, Node(100 + i));
  m_noData.EndBulkChange();
  EXPECT_EQ(g_rowMessages, 1);
  EXPECT_EQ(SendMessageA(m_noDataBox, LB_GETCOUNT, 0, 0), 340);
  EXPECT_EQ(m_noData.Selection(), 10);
  EXPECT_EQ(m_noData.TopIndex(), 5);
  EXPECT_EQ(m_noData.NodeOf(11), Node(100));
  EXPECT_EQ(m_noData.NodeOf(310), Node(399));
  EXPECT_EQ(m_noData.NodeOf(311), Node(11));

  // Above the selection the rows go one by one, and the selection moves
  // down with its row.
  g_rowMessages = 0;
  m_noData.BeginBulkChange();
  for (int i = 0; i < 3; ++i) m_noData.Insert(2 + i, Node(500 + i));
  m_noData.EndBulkChange();
  EXPECT_EQ(g_rowMessages, 3);
  EXPECT_EQ(m_noData.Selection(), 13);
  SetWindowLongPtrA(m_noDataBox, GWLP_WNDPROC, g_listBoxProc);
}

TEST_F(NoDataRows, BadIndexesAndNoWindowAreHarmless) {
  NoDataListRowList none;
  none.Append(Node(1));
  none.Insert(0, Node(2));
  none.Delete(0);
  EXPECT_EQ(none.Count(), 0);
  EXPECT_EQ(none.Selection(), -1);
  EXPECT_EQ(none.NodeOf(0), nullptr);

  m_noData.Append(Node(1));
  m_noData.Insert(5, Node(2));
  m_noData.Insert(-1, Node(3));
  m_noData.Delete(3);
  m_noData.Delete(-1);
  EXPECT_EQ(m_noData.Count(), 1);
  EXPECT_EQ(SendMessageA(m_noDataBox, LB_GETCOUNT, 0, 0), 1);

  // A new window starts empty.
  m_noData.Attach(Make(LBS_NODATA, 0));
  EXPECT_EQ(m_noData.Count(), 0);
  EXPECT_EQ(m_noData.NodeOf(0), nullptr);
}

}  // namespace
}  // namespace orvane
