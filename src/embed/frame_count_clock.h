#pragma once

#include <cstdint>

namespace TALLWICK_PP_RENDER {

// Milliseconds of the monotonic clock since the first call anywhere in the
// module (which answers 0): the "timestamp" of the frame-count replies.
int32_t FrameCountTimestampMs();

}  // namespace TALLWICK_PP_RENDER
