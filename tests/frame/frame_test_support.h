#pragma once

#include <cstdint>
#include <tuple>

#include "common/clock.h"
#include "frame/frame_geometry.h"
#include "frame/video_frame.h"

namespace tallwick::test {

// Every field of a record, for whole-record comparisons with readable failures.
inline auto Fields(const TALLWICK_PP_RENDER::VideoFrame& f) {
  return std::make_tuple(f.frameId, f.width, f.height, f.rotation, f.planS0, f.planS1, f.planS2,
                         static_cast<const void*>(f.plan0), static_cast<const void*>(f.plan1),
                         static_cast<const void*>(f.plan2), f.format, f.flip);
}

// What a record says of its planes besides the frame id and their addresses,
// in the order of a writer's FrameGeometry, so that the two compare whole.
inline auto GeometryFields(const TALLWICK_PP_RENDER::VideoFrame& f) {
  return std::make_tuple(f.width, f.height, f.format, f.planS0, f.planS1, f.planS2, f.rotation, f.flip);
}
inline auto GeometryFields(const frame::FrameGeometry& g) {
  return std::make_tuple(g.width, g.height, g.format, g.planS0, g.planS1, g.planS2, g.rotation, g.flip);
}

// A wall-clock start later than anything an earlier test in this process (or
// the system clock) let through the module's function-local rate limiters.
inline int64_t FreshClockStartMs() {
  constexpr int64_t kHourMs = 3600 * 1000;
  static int64_t next = TALLWICK_COMMON::SystemNowMs() + 24 * kHourMs;
  next += kHourMs;
  return next;
}

}  // namespace tallwick::test
