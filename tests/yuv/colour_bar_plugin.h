#pragma once

#include <cstdint>
#include <vector>

#include "devhost/entry_points.h"
#include "frame/video_frame.h"

namespace yuv_test {

// A frame of eight vertical colour bars (75 % bars, video-range BT.601) with
// rows padded beyond the picture; the padding bytes hold a loud colour that
// must never show.
struct ColourBarFrame {
  int32_t width = 0;
  int32_t height = 0;
  int32_t format = 0;  // kFormatNV12, or I420
  int32_t strideY = 0;
  int32_t strideUV = 0;
  std::vector<uint8_t> y;
  std::vector<uint8_t> u;  // I420 Cb, or NV12 interleaved CbCr
  std::vector<uint8_t> v;  // I420 Cr
};

ColourBarFrame MakeColourBars(int32_t width, int32_t height, int32_t padding, int32_t format);

// The renderers' view of `frame` (upright, not flipped); it points into
// `frame`, which must outlive it.
TALLWICK_PP_RENDER::VideoFrame ToVideoFrame(const ColourBarFrame& frame);

// A plug-in for the in-process host whose every instance owns a YUV3DRender:
// a view change resizes it, any page message draws the frame given to
// SetFrame and presents it.
pphost::EntryPoints ColourBarPluginEntryPoints();
void SetFrame(const ColourBarFrame* frame);

}  // namespace yuv_test
