#pragma once

#include <cstdint>

namespace TALLWICK_PP_RENDER {

// Results of parsing a frame segment. The frame layer owns these numbers
// because it depends on nothing above it; the page protocol's error table
// takes its "frame data nullptr" and "frame is updating" codes from here.
inline constexpr int32_t kVideoFrameOk = 0;
inline constexpr int32_t kVideoFrameDataNull = 22;
inline constexpr int32_t kVideoFrameUpdating = 23;

}  // namespace TALLWICK_PP_RENDER
