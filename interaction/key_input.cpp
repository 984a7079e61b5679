#include "interaction/key_input.h"

#include "core/orvane_core.h"
#include "interaction/balloon_window.h"
#include "interaction/interaction_host.h"
#include "interaction/type_ahead.h"
#include "model/outline_node.h"
#include "render/row_layout.h"
#include "rows/row_list.h"

namespace orvane {
namespace {

bool ShiftDown() { return GetKeyState(VK_SHIFT) < 0; }
bool CtrlDown() { return GetKeyState(VK_CONTROL) < 0; }

// The chords mirror the picture only: the balloon's state, capture and
// timers stay as they are.
void Mirror(InteractionHost& host) {
  if (BalloonWindow* balloon = host.Balloon()) balloon->Hide();
  host.MirrorToggle();
}

// Left or Right toward the root: closes an open node that counts children,
// else selects the parent's row.
void MoveOutward(InteractionHost& host, int32_t row, OutlineNode& node) {
  OrvaneCore& core = host.Core();
  RowList& rows = core.Rows();
  if (node.m_expanded && OutwardChildCount(core, node) > 0) {
    core.View().ToggleNode(static_cast<int16_t>(row));
    host.Repaint();
    return;
  }
  // The parent link, not the level: past level 255 a host's items all read
  // 255, and the nearest shallower row would be an ancestor further up.
  OutlineNode* parent = node.m_parent;
  if (parent == nullptr) return;
  for (int32_t above = row - 1; above >= 0; --above) {
    if (rows.NodeOf(above) == parent) {
      core.View().SetSelectedNode(parent);
      rows.SetSelection(above);
      return;
    }
  }
}

// Left or Right away from the root: opens a closed node in place, else
// selects the first child's row when it is shown.
void MoveInward(InteractionHost& host, int32_t row, OutlineNode& node) {
  OrvaneCore& core = host.Core();
  RowList& rows = core.Rows();
  if (!node.m_expanded) {
    core.View().ToggleNode(static_cast<int16_t>(row));
    host.Repaint();
    return;
  }
  OutlineNode* child = rows.NodeOf(row + 1);
  if (child != nullptr && child->m_parent == &node) {
    core.View().SetSelectedNode(child);
    rows.SetSelection(row + 1);
  }
}

// '+' opens and '-' closes; the other way round does nothing.
void OpenOrClose(InteractionHost& host, int32_t row, OutlineNode& node, bool open) {
  if ((node.m_expanded != 0) == open) return;
  OrvaneCore& core = host.Core();
  core.View().ToggleNode(static_cast<int16_t>(row));
  core.Rows().SetSelection(row);
  host.Repaint();
}

// Space in the check view: the current row's box changes as a click on it
// changes it, through the same operation and with the same repaint, so the
// state rules, the announcements and whatever the host hears of a click's
// change come with it. Only a category's or a book's box changes; on any
// other row, with no row, or outside the check view the key is not ours.
bool ToggleCheckBox(InteractionHost& host, OutlineNode* node) {
  OrvaneCore& core = host.Core();
  if (node == nullptr || !core.Checks().ApplyCheck()) return false;
  if (!core.Outline().IsCategory(node) && !core.Outline().IsBook(node)) return false;
  // A greyed book takes no click on its box; it takes no Space either, but
  // the key is still spent on it, as a click on its box is.
  if (node->m_active) {
    core.View().ChangeStateSelected();
    host.Repaint();
  }
  return true;
}

}  // namespace

int32_t OutwardChildCount(const OrvaneCore& core, const OutlineNode& node) {
  if (node.Level() == 0) {
    if (!core.Outline().IsCategory(&node)) return 0;
    const CategoryEntry* entry = core.Outline().Categories().Entry(node.m_ordinal);
    return entry != nullptr ? entry->checkedCount : 0;
  }
  return core.Outline().DeclaredChildren(node);
}

int AnsiKeyCharacter(UINT mapped, UINT codePage) {
  // Dead keys come with the top bit set; their character is not typed yet.
  if (mapped == 0 || (mapped & 0x80000000u) != 0 || mapped > 0xFFFF) return -1;
  const wchar_t unicode = static_cast<wchar_t>(mapped);
  char bytes[8];
  BOOL lossy = FALSE;
  // The lossy flag is refused for UTF-7 and UTF-8; neither is an ANSI code
  // page a control of 8-bit strings runs on, but a miss is still no key.
  const bool askLossy = codePage != CP_UTF7 && codePage != CP_UTF8;
  const int n = WideCharToMultiByte(codePage, 0, &unicode, 1, bytes, sizeof bytes, nullptr,
                                    askLossy ? &lossy : nullptr);
  // A character the code page lacks, or one that takes two bytes, has no
  // 8-bit character whose low byte could be '+' or '-'.
  if (n != 1 || lossy) return -1;
  return static_cast<unsigned char>(bytes[0]);
}

LRESULT OnKeyDown(InteractionHost& host, WPARAM key, LPARAM flags) {
  if (host.MirrorKeys() && ShiftDown() && CtrlDown()) Mirror(host);

  RowList& rows = host.Core().Rows();
  const int32_t row = rows.Selection();
  OutlineNode* node = row >= 0 ? rows.NodeOf(row) : nullptr;
  // The list has not yet moved for this key: Up and Down leave the node of
  // the row they leave, and the next key or click catches up.
  if (node != nullptr) host.Core().View().SetSelectedNode(node);

  // The stock handling takes the key as a 16-bit code; so does this.
  const UINT vk = LOWORD(key);
  if (vk == VK_LEFT || vk == VK_RIGHT) {
    const bool outward = host.Alignment() == tvLeft ? vk == VK_LEFT : vk == VK_RIGHT;
    if (node != nullptr) {
      if (outward) {
        MoveOutward(host, row, *node);
      } else {
        MoveInward(host, row, *node);
      }
    }
    return 0;
  }

  if (vk == VK_SPACE && ToggleCheckBox(host, node)) return 0;

  // The unshifted character of the key on the current layout: the numeric
  // pad's plus and minus and the main keyboard's minus on a U.S. layout.
  const int character = AnsiKeyCharacter(MapVirtualKeyW(vk, MAPVK_VK_TO_CHAR), CP_ACP);
  if (character == '+' || character == '-') {
    if (node != nullptr) OpenOrClose(host, row, *node, character == '+');
    return 0;
  }
  return host.StockHandling(WM_KEYDOWN, key, flags);
}

LRESULT OnChar(InteractionHost& host, WPARAM character, LPARAM) {
  if (host.MirrorKeys() && ShiftDown() && (character == 'a' || character == 'A')) {
    Mirror(host);
    return 0;
  }
  return host.TypeAhead() ? TypeAheadCharacter(host, character) : 0;
}

}  // namespace orvane
