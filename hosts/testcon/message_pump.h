// The container's message loop, run whenever the script waits or has sent
// input: messages are dispatched as a host application would, with the
// control's active object offered each keyboard message first.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>

namespace testcon {

// The active object of the moment (it changes when the control is made
// anew), or null.
using ActiveObjectSource = std::function<IOleInPlaceActiveObject*()>;

class MessagePump {
 public:
  explicit MessagePump(ActiveObjectSource activeObject) : m_activeObject(std::move(activeObject)) {}

  // Dispatches messages for `ms` milliseconds, so that timers fire.
  void RunFor(DWORD ms);
  // Dispatches messages until the queue has stayed empty for a short while
  // (input sent with SendInput reaches the queue through the window system,
  // which may take a moment), and at most for `limitMs`.
  void RunUntilIdle(DWORD limitMs = 2000);

 private:
  // Dispatches every message that is there now; false when there was none.
  bool DispatchPending();

  ActiveObjectSource m_activeObject;
};

}  // namespace testcon
