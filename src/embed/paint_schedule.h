#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace TALLWICK_PP_RENDER {

// The fastest a role polls its segments, whatever rate the page asks for:
// more ticks than a display shows would only burn the main thread.
inline constexpr int32_t kMaxFps = 120;

// The frame interval for the page's "fps": 1000 / fps for 1..kMaxFps, the
// interval of kMaxFps above that, and `unchanged` (the role's current
// interval, 50 ms until a rate is given) for 0 or less, which is also what a
// missing or non-numeric value reads as.
inline double FrameIntervalForFps(int32_t fps, double unchanged) {
  if (fps <= 0) return unchanged;
  return 1000.0 / std::min(fps, kMaxFps);
}

// The page's "renderExceptionThreshold" in milliseconds: a negative one is
// taken as 0 (a stream counts as stopped on the first tick that finds no
// new frame); the largest, 2^31 - 1 ms, never comes in practice.
inline int64_t FrameStatusTimeoutMs(int32_t threshold) { return std::max<int64_t>(threshold, 0); }

// The delay of the next paint tick: the frame interval minus the time since
// the previous scheduling, plus the previous delay. Not clamped to zero:
// after a late tick it shrinks, zero or below included, which pulls the
// following ticks back onto the planned rhythm (50 - 80 + 50 = 20). It
// saturates at the ends of int32_t instead of wrapping, so a long stall
// never turns into a delay of weeks.
inline int32_t NextPaintDelay(double frameIntervalMs, int64_t elapsedMs, int32_t previousDelayMs) {
  const int64_t delay = static_cast<int64_t>(frameIntervalMs) - elapsedMs + previousDelayMs;
  return static_cast<int32_t>(
      std::clamp<int64_t>(delay, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace TALLWICK_PP_RENDER
