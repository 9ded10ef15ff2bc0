#pragma once

#include <cstdint>

namespace TALLWICK_PP_RENDER {

// The delay of the next paint tick: the frame interval minus the time since
// the previous scheduling, plus the previous delay. Not clamped: after a late
// tick it shrinks, zero or below included, which pulls the following ticks
// back onto the planned rhythm (50 - 80 + 50 = 20).
inline int32_t NextPaintDelay(double frameIntervalMs, int64_t elapsedMs, int32_t previousDelayMs) {
  return static_cast<int32_t>(static_cast<int64_t>(frameIntervalMs) - elapsedMs + previousDelayMs);
}

}  // namespace TALLWICK_PP_RENDER
