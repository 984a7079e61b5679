// HoverTimer: the control's hover timer, stopped and restarted around every
// opening and closing of a node. The implementation knows its period.
#pragma once

namespace orvane {

class HoverTimer {
 public:
  virtual ~HoverTimer() = default;
  virtual void Stop() = 0;
  virtual void Start() = 0;
};

// Keeps the hover timer stopped for a scope, and restarts it however the
// scope ends: a change that fails part-way must not leave hovering dead.
class HoverPause {
 public:
  explicit HoverPause(HoverTimer& timer) : m_timer(timer) { m_timer.Stop(); }
  ~HoverPause() { m_timer.Start(); }
  HoverPause(const HoverPause&) = delete;
  HoverPause& operator=(const HoverPause&) = delete;

 private:
  HoverTimer& m_timer;
};

}  // namespace orvane
