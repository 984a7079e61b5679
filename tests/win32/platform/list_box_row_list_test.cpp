// ListBoxRowList against a real owner-drawn list box in a real window, styled
// as the control styles its own: fixed rows of 16 pixels, no strings.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/list_box_row_list.h"

namespace orvane {
namespace {

constexpr int kRowHeight = 16;
constexpr int kVisibleRows = 10;

// Node addresses are only stored and compared, never followed.
OutlineNode* Node(int i) {
  static char storage[64];
  return reinterpret_cast<OutlineNode*>(&storage[i]);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MEASUREITEM) {
    reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kRowHeight;
    return TRUE;
  }
  if (message == WM_DRAWITEM) return TRUE;
  return DefWindowProcA(window, message, wParam, lParam);
}

// Messages the list box received, for checking how redrawing is switched.
std::vector<std::pair<UINT, WPARAM>> g_received;
WNDPROC g_listBoxProc = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETREDRAW) g_received.emplace_back(message, wParam);
  return CallWindowProcA(g_listBoxProc, window, message, wParam, lParam);
}

class ListBoxRows : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvaneRowListTestParent";
    RegisterClassA(&wc);
    s_parent = CreateWindowA(wc.lpszClassName, "rows", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320,
                             320, nullptr, nullptr, wc.hInstance, nullptr);
  }
  static void TearDownTestSuite() {
    DestroyWindow(s_parent);
    s_parent = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(s_parent, nullptr) << "no window: is a display set (scripts/with-wine)?";
    m_listBox = NewListBox();
    ASSERT_NE(m_listBox, nullptr);
    m_rows.Attach(m_listBox);
  }
  void TearDown() override {
    if (m_listBox) DestroyWindow(m_listBox);
  }

  static HWND NewListBox() {
    return CreateWindowA(
        "LISTBOX", "",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, 0, 0, 200,
        kVisibleRows * kRowHeight, s_parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  // Appends `count` rows holding nodes 0, 1, ...
  void Fill(int count) {
    const int first = m_rows.Count();
    for (int i = 0; i < count; ++i) ASSERT_EQ(m_rows.Append(Node(i)), first + i);
  }

  std::vector<OutlineNode*> Nodes() const {
    std::vector<OutlineNode*> nodes;
    for (int i = 0; i < m_rows.Count(); ++i) nodes.push_back(m_rows.NodeOf(i));
    return nodes;
  }

  static HWND s_parent;
  HWND m_listBox = nullptr;
  ListBoxRowList m_rows;
};

HWND ListBoxRows::s_parent = nullptr;

TEST_F(ListBoxRows, AppendAndInsertKeepOrderAndNodes) {
  Fill(3);
  m_rows.Insert(0, Node(10));
  m_rows.Insert(2, Node(11));
  m_rows.Insert(m_rows.Count(), Node(12));
  EXPECT_EQ(Nodes(),
            (std::vector<OutlineNode*>{Node(10), Node(0), Node(11), Node(1), Node(2), Node(12)}));
  // Neither a negative index (which the list box reads as "append") nor one
  // past the end adds a row.
  m_rows.Insert(-1, Node(13));
  m_rows.Insert(m_rows.Count() + 1, Node(14));
  EXPECT_EQ(m_rows.Count(), 6);
}

TEST_F(ListBoxRows, InsertsAndDeletesBeforeTheSelectionMoveIt) {
  Fill(5);
  m_rows.SetSelection(2);
  m_rows.Insert(1, Node(10));
  EXPECT_EQ(m_rows.Selection(), 3);
  EXPECT_EQ(m_rows.NodeOf(3), Node(2));
  m_rows.Insert(4, Node(11));  // after the selected row
  EXPECT_EQ(m_rows.Selection(), 3);
  m_rows.Delete(0);
  EXPECT_EQ(m_rows.Selection(), 2);
  EXPECT_EQ(m_rows.NodeOf(2), Node(2));
}

TEST_F(ListBoxRows, DeletingTheSelectedRowOrClearingLeavesNoSelection) {
  Fill(4);
  m_rows.SetSelection(1);
  m_rows.Delete(1);
  EXPECT_EQ(m_rows.Selection(), -1);
  EXPECT_EQ(m_rows.Count(), 3);

  m_rows.SetSelection(2);
  m_rows.Clear();
  EXPECT_EQ(m_rows.Count(), 0);
  EXPECT_EQ(m_rows.Selection(), -1);

  Fill(2);
  m_rows.SetSelection(1);
  m_rows.SetSelection(-1);
  EXPECT_EQ(m_rows.Selection(), -1);
}

TEST_F(ListBoxRows, NodeOfAnIndexOutsideTheRowsIsNull) {
  EXPECT_EQ(m_rows.NodeOf(0), nullptr);
  Fill(3);
  EXPECT_EQ(m_rows.NodeOf(-1), nullptr);
  EXPECT_EQ(m_rows.NodeOf(3), nullptr);
  EXPECT_EQ(m_rows.NodeOf(-32768), nullptr);
  EXPECT_EQ(m_rows.NodeOf(2), Node(2));
}

TEST_F(ListBoxRows, SelectingScrollsTheRowIntoView) {
  EXPECT_EQ(m_rows.RowHeight(), kRowHeight);
  Fill(50);
  EXPECT_EQ(m_rows.TopIndex(), 0);
  m_rows.SetSelection(45);
  EXPECT_EQ(m_rows.Selection(), 45);
  EXPECT_GT(m_rows.TopIndex(), 45 - kVisibleRows);
  EXPECT_LE(m_rows.TopIndex(), 45);
}

TEST_F(ListBoxRows, NestedBulkChangesSwitchRedrawingOnceAndRepaint) {
  g_received.clear();
  g_listBoxProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m_listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
  ValidateRect(m_listBox, nullptr);

  m_rows.BeginBulkChange();
  m_rows.BeginBulkChange();
  Fill(5);
  m_rows.EndBulkChange();
  EXPECT_EQ(g_received.size(), 1u);
  m_rows.EndBulkChange();
  m_rows.EndBulkChange();  // unmatched: ignored

  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0], std::make_pair(UINT{WM_SETREDRAW}, WPARAM{FALSE}));
  EXPECT_EQ(g_received[1], std::make_pair(UINT{WM_SETREDRAW}, WPARAM{TRUE}));
  EXPECT_TRUE(GetUpdateRect(m_listBox, nullptr, FALSE));
  SetWindowLongPtrA(m_listBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listBoxProc));
}

TEST_F(ListBoxRows, AttachingANewWindowStartsFromItsRows) {
  Fill(3);
  HWND second = NewListBox();
  ASSERT_NE(second, nullptr);
  m_rows.BeginBulkChange();
  m_rows.Attach(second);
  EXPECT_EQ(m_rows.Count(), 0);
  EXPECT_EQ(m_rows.Append(Node(7)), 0);
  EXPECT_EQ(SendMessageA(m_listBox, LB_GETCOUNT, 0, 0), 3);
  DestroyWindow(second);
}

TEST(ListBoxRowListWithoutWindow, EveryOperationIsAHarmlessNoOp) {
  ListBoxRowList rows;
  EXPECT_EQ(rows.Append(Node(1)), -1);
  rows.Insert(0, Node(2));
  rows.Delete(0);
  rows.Clear();
  rows.SetSelection(0);
  rows.BeginBulkChange();
  rows.EndBulkChange();
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_EQ(rows.NodeOf(0), nullptr);
  EXPECT_EQ(rows.Selection(), -1);
  EXPECT_EQ(rows.TopIndex(), 0);
}

}  // namespace
}  // namespace orvane
