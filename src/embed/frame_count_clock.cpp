#include "embed/frame_count_clock.h"

#include "common/clock.h"

namespace TALLWICK_PP_RENDER {

int32_t FrameCountTimestampMs() {
  static const int64_t startNs = TALLWICK_COMMON::MonotonicNs();
  return static_cast<int32_t>((TALLWICK_COMMON::MonotonicNs() - startNs) / 1000000);
}

}  // namespace TALLWICK_PP_RENDER
