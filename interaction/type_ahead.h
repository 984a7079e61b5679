// Type-ahead on the rows: characters typed within a pause of each other make
// a prefix, and the current row moves to the next row whose folded title
// begins with it, as the system's lists move.
#pragma once

#include <windows.h>

#include <string>

namespace orvane {

class InteractionHost;

// The characters typed so far, in Windows-1256, and when the last came.
class TypeAheadPrefix {
 public:
  // Adds `byte`, typed at `time` (a message time); a pause longer than
  // `pause` milliseconds since the last character starts a new prefix.
  // Returns the prefix.
  const std::string& Add(char byte, DWORD time, DWORD pause);
  void Clear() { m_text.clear(); }
  const std::string& Text() const { return m_text; }

  // Longer prefixes than any title could begin with are not kept growing.
  static constexpr size_t kMaxLength = 256;

 private:
  std::string m_text;
  DWORD m_lastTime = 0;
};

// WM_CHAR with type-ahead on: KeyPress first (a KeyAscii of 0 keeps the
// character for the host), then the prefix and the move. '+', '-' and
// control characters do not join the prefix.
LRESULT TypeAheadCharacter(InteractionHost& host, WPARAM character);

}  // namespace orvane
