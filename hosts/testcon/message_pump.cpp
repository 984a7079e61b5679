#include "hosts/testcon/message_pump.h"

namespace testcon {
namespace {

// How long an empty queue must stay empty before the input is taken as
// handled: long enough for the window system's own follow-up events.
constexpr DWORD kIdleSettleMs = 40;

}  // namespace

bool MessagePump::DispatchPending() {
  bool any = false;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    any = true;
    if (msg.message == WM_QUIT) {
      // The script, not the window system, decides when the container ends.
      continue;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
      IOleInPlaceActiveObject* active = m_activeObject ? m_activeObject() : nullptr;
      if (active != nullptr && active->TranslateAccelerator(&msg) == S_OK) continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return any;
}

void MessagePump::RunFor(DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    DispatchPending();
    ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

void MessagePump::RunUntilIdle(DWORD limitMs) {
  const ULONGLONG deadline = GetTickCount64() + limitMs;
  ULONGLONG idleSince = GetTickCount64();
  for (;;) {
    if (DispatchPending()) idleSince = GetTickCount64();
    ULONGLONG now = GetTickCount64();
    if (now >= deadline || now - idleSince >= kIdleSettleMs) break;
    MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

}  // namespace testcon
