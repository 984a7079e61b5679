// The key-down and character handlers on a real list box: which keys open,
// close and move, which reach the host's KeyDown and the list, the mirror
// chords, and m_selectedNode lagging one key behind the list.
#include <gtest/gtest.h>

#include <string>

#include "interaction/balloon_window.h"
#include "interaction/key_input.h"
#include "model/outline_node.h"
#include "rows/row_events.h"
#include "test_control.h"

namespace orvane::test {
namespace {

// Holds Shift and Ctrl as the thread's key state while it lives.
class HeldKeys {
 public:
  HeldKeys(bool shift, bool ctrl) {
    GetKeyboardState(m_saved);
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
  }
  ~HeldKeys() { SetKeyboardState(m_saved); }

 private:
  BYTE m_saved[256];
};

// lParam of a key-down that is an auto-repeat of a held key.
constexpr LPARAM kRepeat = 1 | (1 << 30);

class KeyInputTest : public SharedFrameTest {
 protected:
  void KeyDown(WPARAM vk, LPARAM flags = 1) { control.Send(WM_KEYDOWN, vk, flags); }
  // Selects the row whose node has `title`; the list's own selection only.
  void Select(const std::string& title) {
    const int32_t row = control.RowOf(title);
    ASSERT_GE(row, 0) << title;
    control.Rows().SetSelection(row);
  }
  std::string Selected() { return control.TitleOf(control.Rows().Selection()); }
  std::string SelectedNode() {
    OutlineNode* node = control.Core().View().SelectedNode();
    return node ? node->TitleText() : "(none)";
  }
  // Opens Fiqh and Purity with '+', leaving Purity selected.
  void OpenPurity() {
    Select("Fiqh");
    KeyDown(VK_ADD);
    Select("Purity");
    KeyDown(VK_ADD);
    control.TakeEvents();
  }

  TestControl control{Frame()};
};

TEST_F(KeyInputTest, RightLayoutLeftOpensAndRightClosesWithoutKeyDown) {
  control.alignment = 2;
  Select("Fiqh");
  KeyDown(VK_LEFT);
  EXPECT_EQ(control.Rows().Count(), 4) << "Fiqh opened: its two books follow";
  EXPECT_EQ(Selected(), "Fiqh");
  KeyDown(VK_RIGHT);
  EXPECT_EQ(control.Rows().Count(), 2);
  EXPECT_EQ(control.repaints, 2);
  EXPECT_EQ(control.TakeEvents(), "");
}

TEST_F(KeyInputTest, LeftLayoutRightOpensAndLeftCloses) {
  control.alignment = 0;
  Select("Fiqh");
  KeyDown(VK_RIGHT);
  EXPECT_EQ(control.Rows().Count(), 4);
  KeyDown(VK_LEFT);
  EXPECT_EQ(control.Rows().Count(), 2);
  EXPECT_EQ(control.TakeEvents(), "");
}

TEST_F(KeyInputTest, InwardOnAnOpenNodeSelectsItsFirstChildRowWithoutChangingNodes) {
  control.alignment = 0;
  OpenPurity();
  const int32_t rows = control.Rows().Count();
  KeyDown(VK_RIGHT);
  EXPECT_EQ(Selected(), "Water");
  EXPECT_EQ(SelectedNode(), "Water");
  EXPECT_EQ(control.Rows().Count(), rows);
  // Ablution has no children: opening it changes only its flag, and a second
  // inward move finds no child row to go to.
  Select("Ablution");
  KeyDown(VK_RIGHT);
  EXPECT_EQ(control.Rows().NodeOf(control.RowOf("Ablution"))->m_expanded, 1);
  KeyDown(VK_RIGHT);
  EXPECT_EQ(Selected(), "Ablution");
}

TEST_F(KeyInputTest, OutwardOnAClosedSectionSelectsItsParentsRowAndOnAClosedCategoryNothing) {
  control.alignment = 0;
  OpenPurity();
  Select("Ablution");
  KeyDown(VK_LEFT);
  EXPECT_EQ(Selected(), "Purity");
  EXPECT_EQ(SelectedNode(), "Purity");
  Select("Hadith");
  const int32_t rows = control.Rows().Count();
  KeyDown(VK_LEFT);
  EXPECT_EQ(Selected(), "Hadith");
  EXPECT_EQ(control.Rows().Count(), rows);
}

TEST_F(KeyInputTest, InwardAndOutwardFollowTheParentLinksPastLevel255) {
  // A chain of host items 300 deep, every one open: L<r> on row r after
  // the library's rows. L298 and L299 both read level 255.
  control.alignment = 0;
  RowView& view = control.Core().View();
  const int32_t first = control.Rows().Count();
  view.AddSibling(0, "L0");
  for (int32_t r = 0; r + 1 < 300; ++r) {
    view.AddChild(first + r, "L" + std::to_string(r + 1));
    view.ToggleNode(static_cast<int16_t>(first + r));
  }
  Select("L299");
  KeyDown(VK_LEFT);
  EXPECT_EQ(Selected(), "L298");
  EXPECT_EQ(SelectedNode(), "L298");
  KeyDown(VK_RIGHT);
  EXPECT_EQ(Selected(), "L299");
  EXPECT_EQ(SelectedNode(), "L299");
  // The rows changed behind the list's back are painted before the frame
  // is handed on.
  TestControl::Pump(20);
}

TEST_F(KeyInputTest, OutwardOnAnOpenCategoryCountsOnlyItsCheckedBooks) {
  control.alignment = 0;
  Select("Fiqh");
  KeyDown(VK_RIGHT);
  ASSERT_EQ(control.Rows().Count(), 4);
  // Unchecked books count no children: the open category cannot be closed
  // by the outward move, and as a category it has no parent to go to.
  control.Core().Checks().StoreApplyCheck(true);
  control.Core().Checks().SetStateBook(1, false);
  control.Core().Checks().SetStateBook(2, false);
  Select("Fiqh");
  KeyDown(VK_LEFT);
  EXPECT_EQ(control.Rows().Count(), 4);
  control.Core().Checks().SetStateBook(2, true);
  KeyDown(VK_LEFT);
  EXPECT_EQ(control.Rows().Count(), 2);
}

TEST_F(KeyInputTest, PlusOpensAClosedNodeAndDoesNothingOnAnOpenOne) {
  Select("Hadith");
  KeyDown(VK_ADD);
  EXPECT_EQ(control.Rows().Count(), 4);
  EXPECT_EQ(Selected(), "Hadith");
  const int repaints = control.repaints;
  KeyDown(VK_ADD);
  EXPECT_EQ(control.Rows().Count(), 4);
  EXPECT_EQ(control.repaints, repaints);
  EXPECT_EQ(control.TakeEvents(), "") << "'+' never reaches KeyDown";
}

TEST_F(KeyInputTest, MinusClosesAnOpenNodeAndDoesNothingOnAClosedOne) {
  Select("Hadith");
  KeyDown(VK_SUBTRACT);
  EXPECT_EQ(control.Rows().Count(), 2);
  KeyDown(VK_ADD);
  ASSERT_EQ(control.Rows().Count(), 4);
  // The main keyboard's minus maps to '-' on the layout too.
  KeyDown(VK_OEM_MINUS);
  EXPECT_EQ(control.Rows().Count(), 2);
  EXPECT_EQ(Selected(), "Hadith");
  EXPECT_EQ(control.TakeEvents(), "");
}

// '+' and '-' are decided on the key's 8-bit character in the ANSI code
// page, not on the low byte of its UTF-16 character: on the Arabic (101)
// layout E gives U+062B and P gives U+062D, whose low bytes are '+' and '-'.
TEST(AnsiKeyCharacter, ArabicLettersAreNotPlusOrMinusInCodePage1256) {
  EXPECT_EQ(AnsiKeyCharacter(0x062B, 1256), 0xCB);  // THEH
  EXPECT_EQ(AnsiKeyCharacter(0x062D, 1256), 0xCD);  // HAH
  EXPECT_EQ(AnsiKeyCharacter('+', 1256), '+');
  EXPECT_EQ(AnsiKeyCharacter('-', 1256), '-');
  EXPECT_EQ(AnsiKeyCharacter('+', 1252), '+');
  // A character the code page lacks is no key character at all.
  EXPECT_EQ(AnsiKeyCharacter(0x062B, 1252), -1);
  EXPECT_EQ(AnsiKeyCharacter(0x062D, 1252), -1);
  // A dead key's character comes with the top bit set; none is 0.
  EXPECT_EQ(AnsiKeyCharacter(0x8000002B, 1256), -1);
  EXPECT_EQ(AnsiKeyCharacter(0, 1256), -1);
  EXPECT_EQ(AnsiKeyCharacter(0x1002B, 1256), -1);
  // A character written in two bytes (a double-byte code page) has no
  // single byte to compare.
  EXPECT_EQ(AnsiKeyCharacter(0x3042, 932), -1);
  // The numeric pad's keys on the layout in use map to '+' and '-'.
  EXPECT_EQ(AnsiKeyCharacter(MapVirtualKeyW(VK_ADD, MAPVK_VK_TO_CHAR), CP_ACP), '+');
  EXPECT_EQ(AnsiKeyCharacter(MapVirtualKeyW(VK_SUBTRACT, MAPVK_VK_TO_CHAR), CP_ACP), '-');
}

TEST_F(KeyInputTest, UpAndDownReachTheHostAndTheListWhileTheSelectedNodeLagsOneKey) {
  Select("Fiqh");
  KeyDown(VK_DOWN);
  EXPECT_EQ(control.TakeEvents(), "KeyDown 40");
  EXPECT_EQ(Selected(), "Hadith");
  EXPECT_EQ(SelectedNode(), "Fiqh") << "read before the list moved";
  KeyDown(VK_UP);
  EXPECT_EQ(Selected(), "Fiqh");
  EXPECT_EQ(SelectedNode(), "Hadith");
}

TEST_F(KeyInputTest, WithoutASelectionTheOpeningKeysAreConsumedAndOthersPassOn) {
  control.Rows().SetSelection(-1);
  for (WPARAM vk : {VK_LEFT, VK_RIGHT, VK_ADD, VK_SUBTRACT}) KeyDown(vk);
  EXPECT_EQ(control.Rows().Count(), 2);
  EXPECT_EQ(control.Core().View().SelectedNode(), nullptr);
  EXPECT_EQ(control.TakeEvents(), "");
  KeyDown(VK_HOME);
  EXPECT_EQ(control.TakeEvents(), "KeyDown 36");
}

TEST_F(KeyInputTest, ShiftCtrlMirrorsOnEveryKeyDownAutoRepeatsIncludedThenActsOnTheKey) {
  control.alignment = 0;
  Select("Fiqh");
  {
    HeldKeys held(true, true);
    // Mirrored to the right layout first, Right is then outward: Fiqh is
    // closed and has no parent, so nothing opens.
    KeyDown(VK_RIGHT);
    EXPECT_EQ(control.mirrors, 1);
    EXPECT_EQ(control.alignment, 2);
    EXPECT_EQ(control.Rows().Count(), 2);
    // The auto-repeat mirrors back to the left layout: Right opens.
    KeyDown(VK_RIGHT, kRepeat);
    EXPECT_EQ(control.mirrors, 2);
    EXPECT_EQ(control.alignment, 0);
    EXPECT_EQ(control.Rows().Count(), 4);
    KeyDown(VK_SHIFT, kRepeat);
    EXPECT_EQ(control.mirrors, 3);
  }
  {
    HeldKeys shiftOnly(true, false);
    KeyDown(VK_RIGHT);
    EXPECT_EQ(control.mirrors, 3);
  }
}

TEST_F(KeyInputTest, TheMirrorChordHidesTheBalloonAndLeavesItsState) {
  BalloonWindow& balloon = control.TheBalloon();
  ShowWindow(balloon.Handle(), SW_SHOWNA);
  balloon.m_state = bsShown;
  HeldKeys held(true, true);
  KeyDown(VK_HOME);
  EXPECT_FALSE(balloon.IsVisible());
  EXPECT_EQ(balloon.m_state, bsShown);
  EXPECT_EQ(control.TakeEvents(), "KeyDown 36") << "a key passed on still reaches KeyDown";
}

TEST_F(KeyInputTest, ShiftAMirrorsAndNoCharacterReachesKeyPressOrTheList) {
  Select("Fiqh");
  control.Send(WM_CHAR, 'a', 1);
  EXPECT_EQ(control.mirrors, 0);
  // 'H' would move the list's type-ahead search to Hadith.
  control.Send(WM_CHAR, 'H', 1);
  EXPECT_EQ(Selected(), "Fiqh");
  {
    HeldKeys held(true, false);
    control.Send(WM_CHAR, 'a', 1);  // Caps Lock with Shift gives 'a'
    control.Send(WM_CHAR, 'A', 1);
    control.Send(WM_CHAR, 'b', 1);
  }
  EXPECT_EQ(control.mirrors, 2);
  EXPECT_EQ(control.TakeEvents(), "");
}

TEST_F(KeyInputTest, HostileKeyCodesDoNotDisturbTheRows) {
  Select("Fiqh");
  for (WPARAM key : {WPARAM{0}, WPARAM{0xFFFF}, ~WPARAM{0}, WPARAM{0x12345678}}) {
    KeyDown(key, ~LPARAM{0});
    control.Send(WM_CHAR, key, ~LPARAM{0});
  }
  EXPECT_EQ(control.Rows().Count(), 2);
}

// ---- Space and the MirrorKeys switch ----

// The rows the core reports changed, by title, in order.
class StateChanges final : public RowEvents {
 public:
  explicit StateChanges(TestControl& control) : m_control(control) {}
  void RowStateChanged(int32_t row) override {
    if (!titles.empty()) titles += ", ";
    titles += m_control.TitleOf(row);
  }
  void RowsReordered() override {}
  std::string titles;

 private:
  TestControl& m_control;
};

struct SpaceCase {
  const char* name;
  bool applyCheck;
  const char* row;         // the current row when Space comes
  bool deactivated;        // the row's book greyed first
  const char* books;       // the states of books 1 and 2 afterwards
  const char* fiqh;        // Fiqh's summary afterwards
  const char* announced;   // rows whose state change was announced
  const char* hostEvents;  // what the host's KeyDown saw
};

std::string StateText(int16_t state) {
  return state == csChecked ? "checked" : state == csUnchecked ? "unchecked" : "partly";
}

class SpaceKeyTest : public KeyInputTest, public ::testing::WithParamInterface<SpaceCase> {};

TEST_P(SpaceKeyTest, ChangesTheBoxAsAClickOnItDoes) {
  const SpaceCase& c = GetParam();
  OrvaneCore& core = control.Core();
  core.View().SetApplyCheck(c.applyCheck);
  Select("Fiqh");
  KeyDown(VK_ADD);  // Fiqh's books get rows
  if (c.deactivated && core.View().DeactivateBook(1)) control.Repaint();
  StateChanges changes(control);
  core.View().SetRowEvents(&changes);
  Select(c.row);
  control.TakeEvents();
  UpdateWindow(control.Window());
  const int repaints = control.repaints;

  KeyDown(VK_SPACE);
  core.View().SetRowEvents(nullptr);

  EXPECT_EQ(
      StateText(core.Checks().GetStateBook(1)) + " " + StateText(core.Checks().GetStateBook(2)),
      c.books);
  EXPECT_EQ(StateText(core.Checks().GetCheckState(core.Rows().NodeOf(control.RowOf("Fiqh")))),
            c.fiqh);
  EXPECT_EQ(changes.titles, c.announced);
  EXPECT_EQ(control.TakeEvents(), c.hostEvents);
  const bool changed = std::string(c.announced) != "";
  EXPECT_EQ(control.repaints - repaints, changed ? 1 : 0) << "repainted as after a click";
  EXPECT_EQ(Selected(), c.row) << "the current row stays";
}

// Books 1 and 2 are Fiqh's Purity and Prayer; all start checked.
INSTANTIATE_TEST_SUITE_P(
    Rows, SpaceKeyTest,
    ::testing::Values(SpaceCase{"BookInTheCheckView", true, "Purity", false, "unchecked checked",
                                "partly", "Purity, Fiqh", ""},
                      SpaceCase{"CategoryInTheCheckView", true, "Fiqh", false,
                                "unchecked unchecked", "unchecked", "Fiqh, Purity, Prayer", ""},
                      SpaceCase{"GreyedBookIsSpentButUnchanged", true, "Purity", true,
                                "checked checked", "checked", "", ""},
                      SpaceCase{"BookInTheCheckedOnlyView", false, "Purity", false,
                                "checked checked", "checked", "", "KeyDown 32"},
                      SpaceCase{"CategoryInTheCheckedOnlyView", false, "Fiqh", false,
                                "checked checked", "checked", "", "KeyDown 32"}),
    [](const ::testing::TestParamInfo<SpaceCase>& p) { return p.param.name; });

TEST_F(KeyInputTest, SpaceOnASectionOrWithNoRowIsTheHostsKey) {
  control.Core().View().SetApplyCheck(true);
  OpenPurity();
  Select("Water");
  KeyDown(VK_SPACE);
  EXPECT_EQ(control.TakeEvents(), "KeyDown 32");
  EXPECT_EQ(control.Core().Checks().GetStateBook(1), csChecked);
  control.Rows().SetSelection(-1);
  KeyDown(VK_SPACE);
  EXPECT_EQ(control.TakeEvents(), "KeyDown 32");
}

TEST_F(KeyInputTest, MirrorKeysOffLeavesTheChordsToTheHost) {
  Select("Fiqh");
  for (bool on : {true, false}) {
    control.mirrorKeys = on;
    const int before = control.mirrors;
    {
      HeldKeys held(true, true);
      KeyDown('S');  // a host's Ctrl+Shift+S
    }
    {
      HeldKeys shift(true, false);
      control.Send(WM_CHAR, 'A', 1);
      control.Send(WM_CHAR, 'a', 1);
    }
    EXPECT_EQ(control.mirrors - before, on ? 3 : 0) << "MirrorKeys " << on;
    EXPECT_EQ(control.TakeEvents(), "KeyDown 83") << "the key itself goes on either way";
  }
}

}  // namespace
}  // namespace orvane::test
