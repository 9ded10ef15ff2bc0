#pragma once

#include <cstdint>

namespace TALLWICK_PP_RENDER {

// Results of parsing a frame segment. The frame layer owns these numbers
// because it depends on nothing above it; the page protocol's error table
// takes its "frame data nullptr", "frame is updating" and "frame cannot be
// drawn" codes from here.
inline constexpr int32_t kVideoFrameOk = 0;
inline constexpr int32_t kVideoFrameDataNull = 22;
inline constexpr int32_t kVideoFrameUpdating = 23;
// The header describes a frame that cannot be drawn: it does not fit what
// its segment maps, or a plane is larger than a texture may be.
inline constexpr int32_t kVideoFrameUndrawable = 24;

}  // namespace TALLWICK_PP_RENDER
