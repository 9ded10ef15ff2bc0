#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "frame/video_frame.h"

namespace TALLWICK_PP_RENDER {

// Checks a parsed frame against the mapping it points into, before anything
// reads its planes: positive sizes, strides that hold a row, and every plane
// the renderer reads (planes 0 and 1, and plane 2 unless NV12) inside
// [base + header, base + mappedSize). Returns kVideoFrameOk, or
// kVideoFrameUpdating for a frame that does not fit, so the caller retries on
// its next tick as for a frame being written. Reads no plane.
int32_t CheckVideoFrameBounds(const VideoFrame& frame, const uint8_t* base, size_t mappedSize, const std::string& sid);

}  // namespace TALLWICK_PP_RENDER
