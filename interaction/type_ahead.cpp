#include "interaction/type_ahead.h"

#include "core/orvane_core.h"
#include "interaction/interaction_host.h"
#include "loading/cp1256.h"
#include "loading/title_folding.h"
#include "rows/row_list.h"

namespace orvane {

const std::string& TypeAheadPrefix::Add(char byte, DWORD time, DWORD pause) {
  // Message times wrap after 49 days: the difference is taken unsigned.
  if (m_text.empty() || time - m_lastTime > pause || m_text.size() >= kMaxLength) m_text.clear();
  m_text.push_back(byte);
  m_lastTime = time;
  return m_text;
}

LRESULT TypeAheadCharacter(InteractionHost& host, WPARAM character) {
  // '+' and '-' opened or closed the row at their key-down already.
  if (character == '+' || character == '-') return 0;
  short keyAscii = static_cast<short>(character);
  host.FireKeyPress(keyAscii);
  if (keyAscii == 0) return 0;
  const auto typed = static_cast<char16_t>(static_cast<unsigned short>(keyAscii));
  uint8_t byte = 0;
  // Control characters (Enter, Escape, Backspace) and characters no title
  // can hold move nothing.
  if (typed < 0x20 || !UnicodeToCp1256(typed, byte)) return 0;
  // Twice the double-click time, as the system's lists wait.
  const std::string& prefix =
      host.TypedPrefix().Add(static_cast<char>(byte), GetMessageTime(), 2 * GetDoubleClickTime());
  OrvaneCore& core = host.Core();
  const int32_t row = core.View().TypeAheadRow(FoldedQuery(prefix));
  if (row < 0 || row == core.Rows().Selection()) return 0;
  core.View().SetSelectedNode(core.Rows().NodeOf(row));
  core.Rows().SetSelection(row);
  return 0;
}

}  // namespace orvane
