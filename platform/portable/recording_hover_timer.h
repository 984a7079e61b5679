// A hover timer that only records what was asked of it.
#pragma once

#include "rows/hover_timer.h"

namespace orvane {

class RecordingHoverTimer : public HoverTimer {
 public:
  void Stop() override {
    ++stops;
    running = false;
  }
  void Start() override {
    ++starts;
    running = true;
  }
  int stops = 0;
  int starts = 0;
  bool running = false;
};

}  // namespace orvane
