// Rows painted by the system's own owner-drawn list box: its WM_MEASUREITEM
// and WM_DRAWITEM go through MeasureRow and RowContext::SetItem to DrawRow,
// as the control's handlers send them, and the list box prints its client
// area into a memory bitmap.
#include <gtest/gtest.h>

#include <vector>

#include "row_fixture.h"

namespace orvane {
namespace {

using test::kBack;
using test::kBlack;
using test::kFore;
using test::SampleLibrary;

struct DrawnItem {
  UINT itemId;
  UINT action;
  UINT state;
  OutlineNode* node;
};

// What the parent window's handlers paint with; one list box at a time.
RowContext* g_row = nullptr;
std::vector<DrawnItem>* g_drawn = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MEASUREITEM:
      MeasureRow(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (g_row) {
        g_row->SetItem(item);
        g_drawn->push_back({item.itemID, item.itemAction, item.itemState, g_row->node});
        DrawRow(*g_row);
      }
      return TRUE;
    }
    default:
      return DefWindowProcA(window, msg, wParam, lParam);
  }
}

class ListBoxPainting : public test::RowFixture {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvaneRenderTestParent";
    RegisterClassA(&wc);  // already registered by an earlier test is fine
    m_parent = CreateWindowA("OrvaneRenderTestParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(m_parent, nullptr) << "a display is needed (scripts/with-wine starts one)";
    m_list = CreateWindowExA(
        0, "LISTBOX", "",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
        0, 0, test::kRowWidth, 200, m_parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(m_list, nullptr);
    m_row = Row(nullptr, tvRight);
    g_row = &m_row;
    g_drawn = &m_drawn;
  }
  void TearDown() override {
    g_row = nullptr;
    g_drawn = nullptr;
    if (m_parent) DestroyWindow(m_parent);
  }
  void AddRow(OutlineNode* node) {
    SendMessageA(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(node));
  }
  // The list box paints its client area into `surface`.
  void PrintInto(test::PaintSurface& target) {
    m_drawn.clear();
    m_row.dc = target.Dc();
    SendMessageA(m_list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target.Dc()), PRF_CLIENT);
  }

  HWND m_parent = nullptr;
  HWND m_list = nullptr;
  RowContext m_row;
  std::vector<DrawnItem> m_drawn;
};

TEST_F(ListBoxPainting, RowsAreSixteenPixelsHighAndCarryTheirNodes) {
  OutlineNode* fiqh = lib.Category(1);
  fiqh->m_expanded = 1;
  AddRow(fiqh);
  AddRow(lib.Book(1, 1));
  AddRow(SampleLibrary::Child(lib.Book(1, 1), {2}));  // Ablution
  EXPECT_EQ(SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0), kRowHeight);

  test::PaintSurface target(test::kRowWidth, 200, test::kPaper);
  PrintInto(target);
  ASSERT_GE(m_drawn.size(), 3u);
  EXPECT_EQ(m_drawn[0].node, fiqh);
  EXPECT_EQ(m_drawn[1].node, lib.Book(1, 1));
  EXPECT_EQ(m_drawn[2].node, SampleLibrary::Child(lib.Book(1, 1), {2}));
  for (const DrawnItem& item : m_drawn) EXPECT_TRUE(item.action & ODA_DRAWENTIRE);
  // The last row painted leaves its file position.
  EXPECT_EQ(filePos, SampleLibrary::kAblutionPos);

  // Row 0: the open category's button at the right edge; row 1 starts at 16
  // with the closed book's button one indent further in, joined above and
  // below; row 2's ancestor line from the book continues through it.
  EXPECT_EQ(target.Pixel(302 + 8, 8), kBlack);
  EXPECT_EQ(target.Pixel(302 + 8, 6), test::kWhite);
  EXPECT_EQ(target.Pixel(284 + 8, 16 + 6), kBlack);  // plus
  EXPECT_TRUE(target.AllColour({292, 16, 293, 16 + 3}, kBlack));
  EXPECT_TRUE(target.AllColour({292, 16 + 14, 293, 32}, kBlack));
  EXPECT_TRUE(target.AllColour({292, 32, 293, 48}, kBlack));
  EXPECT_EQ(target.Pixel(285, 16 + 7), kBack);
  EXPECT_EQ(target.LastColumnOf(7, kFore), 283);  // 2 pixels short of the icon
  EXPECT_EQ(target.LastColumnOf(16 + 7, kFore), 320 - 36 - 16 - 1 - 2);
}

TEST_F(ListBoxPainting, SelectedRowFromTheListBoxIsNotHighlightedByAFullRedraw) {
  AddRow(lib.Category(1));
  AddRow(lib.Category(2));
  SendMessageA(m_list, LB_SETCURSEL, 1, 0);
  test::PaintSurface target(test::kRowWidth, 200, test::kPaper);
  PrintInto(target);
  ASSERT_GE(m_drawn.size(), 2u);
  EXPECT_TRUE(m_drawn[1].state & ODS_SELECTED);
  EXPECT_EQ(target.CountColour({0, 16, test::kRowWidth, 32}, GetSysColor(COLOR_HIGHLIGHT)), 0);
  EXPECT_GT(target.CountColour({0, 16, test::kRowWidth, 32}, kFore), 0);
}

}  // namespace
}  // namespace orvane
