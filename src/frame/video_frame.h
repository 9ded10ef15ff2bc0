#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "frame/frame_geometry.h"
#include "frame/parse_result.h"

namespace TALLWICK_PP_RENDER {

// One parsed frame header. The plane pointers point into the mapped segment
// and stay valid only as long as that mapping.
struct VideoFrame {
  int32_t frameId = -1;
  int32_t width = 0;
  int32_t height = 0;
  int32_t rotation = 0;
  int32_t planS0 = 0;  // bytes per row of plane 0 (Y)
  int32_t planS1 = 0;  // bytes per row of plane 1 (U, or interleaved UV for NV12)
  int32_t planS2 = 0;  // bytes per row of plane 2 (V)
  const uint8_t* plan0 = nullptr;
  const uint8_t* plan1 = nullptr;
  const uint8_t* plan2 = nullptr;
  int32_t format = 0;
  bool flip = false;
};

// Fills *frame from the header at `data` (the start of a mapped segment) and
// returns kVideoFrameOk; returns kVideoFrameDataNull for null data and
// kVideoFrameUpdating while the writer is rewriting the frame, leaving *frame
// unchanged. Trusts the header: check the result with CheckVideoFrameBounds
// before reading the planes. `sid` only names the stream in log lines.
int32_t ParseVideoFrame(const uint8_t* data, VideoFrame* frame, const std::string& sid);

// The header's geometry, for the frame library's checks.
tallwick::frame::FrameGeometry GeometryOf(const VideoFrame& frame);

// The bytes of each plane a renderer reads: its stride times its rows
// (height, then height / 2 for the chroma planes); 0 for NV12's third plane.
// In 64 bits, so that no header makes them wrap; meaningful only for
// non-negative strides and height (CheckVideoFrameBounds checks them first).
std::array<uint64_t, 3> PlaneBytes(const VideoFrame& frame);

// After the planes of a parsed frame were read: true when the header at
// `data` still says complete with the same `frameId`, so that the writer did
// not start another frame while they were read (the writer marks a frame as
// being written before it touches a plane). The header is read again after an
// acquire fence, as a sequence-lock reader does.
bool FrameStillComplete(const uint8_t* data, int32_t frameId);

}  // namespace TALLWICK_PP_RENDER
