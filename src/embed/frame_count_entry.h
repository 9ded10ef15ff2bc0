#pragma once

#include <cstdint>

#include "host/var.h"
#include "host/var_dictionary.h"

namespace TALLWICK_PP_RENDER {

// Milliseconds of the monotonic clock since the first call anywhere in the
// module (which answers 0): the "timestamp" of the frame-count replies.
int32_t FrameCountTimestampMs();

// One stream's entry in a "GET_FRAME_COUNT" reply: the size of the frame
// shown, the area it is drawn in (as the role keeps it: the single-stream
// role's view in whole pixels, a gallery tile's rectangle as a double), the
// element's presents so far as a signed 32-bit wrap of its count, and
// FrameCountTimestampMs().
pp::VarDictionary FrameCountEntry(int32_t frameWidth, int32_t frameHeight, const pp::Var& viewWidth,
                                  const pp::Var& viewHeight, uint64_t presents);

}  // namespace TALLWICK_PP_RENDER
