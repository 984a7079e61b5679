// Type-ahead on a real list box: which characters reach KeyPress, which join
// the prefix, where the current row goes, and when the prefix starts afresh.
#include <gtest/gtest.h>

#include "interaction/type_ahead.h"
#include "model/outline_node.h"
#include "test_control.h"

namespace orvane::test {
namespace {

class TypeAheadTest : public SharedFrameTest {
 protected:
  TypeAheadTest() {
    // Fiqh open: Fiqh, Purity, Prayer, Hadith.
    Select("Fiqh");
    control.Send(WM_KEYDOWN, VK_ADD, 1);
    control.typeAhead = true;
    control.TypedPrefix().Clear();
    control.TakeEvents();
  }
  void Select(const std::string& title) {
    const int32_t row = control.RowOf(title);
    ASSERT_GE(row, 0) << title;
    control.Rows().SetSelection(row);
  }
  void Type(const std::string& text) {
    for (char c : text) control.Send(WM_CHAR, static_cast<unsigned char>(c), 1);
  }
  std::string Selected() { return control.TitleOf(control.Rows().Selection()); }
  std::string Current() {
    OutlineNode* node = control.Core().View().SelectedNode();
    return node ? node->TitleText() : "(none)";
  }

  TestControl control{Frame()};
};

TEST_F(TypeAheadTest, TypedPrefixesMoveTheCurrentRow) {
  struct Case {
    const char* from;
    const char* typed;
    const char* to;
  } cases[] = {
      {"Fiqh", "p", "Purity"},     // the next row the prefix begins
      {"Purity", "p", "Purity"},   // the current row still begins it: it stays
      {"Fiqh", "pr", "Prayer"},    // the prefix grows while typing goes on
      {"Prayer", "f", "Fiqh"},     // round past the end
      {"Fiqh", "H", "Hadith"},     // Latin letters without case
      {"Hadith", "zz", "Hadith"},  // nothing begins with it: nothing moves
  };
  for (const Case& c : cases) {
    control.TypedPrefix().Clear();
    Select(c.from);
    Type(c.typed);
    EXPECT_EQ(Selected(), c.to) << c.from << " + " << c.typed;
    EXPECT_EQ(Current(), c.to) << c.from << " + " << c.typed;
  }
}

TEST_F(TypeAheadTest, KeyPressComesFirstAndTheHostMayKeepOrChangeTheCharacter) {
  Select("Fiqh");
  control.keyAsciiAnswer = 0;  // the host keeps it
  Type("p");
  EXPECT_EQ(control.TakeEvents(), "KeyPress 112");
  EXPECT_EQ(Selected(), "Fiqh");
  control.keyAsciiAnswer = 'h';  // the host types another character instead
  Type("p");
  EXPECT_EQ(control.TakeEvents(), "KeyPress 112");
  EXPECT_EQ(Selected(), "Hadith");
}

TEST_F(TypeAheadTest, OpeningKeysChordsAndControlCharactersKeepTheirMeaning) {
  Select("Fiqh");
  Type("+-");
  EXPECT_EQ(control.TakeEvents(), "") << "'+' and '-' act at their key-down only";
  Type("\r\x1B\b");
  EXPECT_EQ(Selected(), "Fiqh");
  EXPECT_EQ(control.TypedPrefix().Text(), "");
  control.TakeEvents();
  {
    BYTE saved[256];
    GetKeyboardState(saved);
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    Type("a");  // the mirror chord: no KeyPress, no move
    SetKeyboardState(saved);
  }
  EXPECT_EQ(control.mirrors, 1);
  EXPECT_EQ(control.TakeEvents(), "");
  // Off again: every character is consumed and none reaches KeyPress.
  control.typeAhead = false;
  Type("p");
  EXPECT_EQ(control.TakeEvents(), "");
  EXPECT_EQ(Selected(), "Fiqh");
}

TEST(TypeAheadPrefix, APauseStartsAfresh) {
  struct Step {
    char byte;
    DWORD time;
    const char* prefix;
  } steps[] = {
      {'a', 1000, "a"},       {'b', 1500, "ab"}, {'c', 2500, "abc"},  // within the pause
      {'d', 3501, "d"},                                               // a pause
      {'e', 0xFFFFFFF0, "e"}, {'f', 0x10, "ef"},                      // the clock wraps
  };
  TypeAheadPrefix prefix;
  for (const Step& s : steps) {
    EXPECT_EQ(prefix.Add(s.byte, s.time, 1000), s.prefix) << s.byte;
  }
  // No prefix grows without end.
  for (size_t i = 0; i < 2 * TypeAheadPrefix::kMaxLength; ++i) prefix.Add('x', 0x20, 1000);
  EXPECT_LE(prefix.Text().size(), TypeAheadPrefix::kMaxLength);
}

}  // namespace
}  // namespace orvane::test
