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
// kVideoFrameUndrawable for a frame that does not fit; the line it then
// writes (rate-limited) names the field that fails and the size the frame
// needs. Reads no plane.
int32_t CheckVideoFrameBounds(const VideoFrame& frame, const uint8_t* base, size_t mappedSize, const std::string& sid);

// Checks that every plane texture the renderer makes of the frame (a plane's
// row stride by its rows; NV12's chroma at half the stride) has sides of at
// most `maxTextureSize` texels. A `maxTextureSize` of 0 or less means the
// limit is not known yet, and every frame passes. Returns kVideoFrameOk or
// kVideoFrameUndrawable, with a rate-limited line as above.
int32_t CheckVideoFrameTextures(const VideoFrame& frame, int32_t maxTextureSize, const std::string& sid);

}  // namespace TALLWICK_PP_RENDER
