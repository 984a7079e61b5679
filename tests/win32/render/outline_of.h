// The outline a row is painted from, taken from a whole core.
#pragma once

#include "core/orvane_core.h"
#include "render/row_layout.h"

namespace orvane::test {

inline OutlineState OutlineOf(const OrvaneCore& core) { return {&core.Outline(), &core.Checks()}; }

}  // namespace orvane::test
