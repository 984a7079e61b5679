// RowEvents: what the rows tell an observer as they change, so that the
// control can announce each change to assistive technology at the moment it
// happens, whichever path (key, click, host method) made it. The core calls
// these after the rows already show the change.
#pragma once

#include <cstdint>

namespace orvane {

class RowEvents {
 public:
  virtual ~RowEvents() = default;
  // The row's node was opened, closed, checked, unchecked, activated or
  // deactivated, or its check summary changed.
  virtual void RowStateChanged(int32_t row) = 0;
  // Rows were inserted or deleted as a block, or all made again.
  virtual void RowsReordered() = 0;
};

}  // namespace orvane
