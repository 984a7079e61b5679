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

}  // namespace orvane
