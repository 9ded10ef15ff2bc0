#pragma once

#include <cstdint>
#include <vector>

#include "frame/video_frame.h"

namespace yuv_test {

// A frame record of the given size, format and strides whose planes all
// point into one 16 MiB buffer of zeros, large enough for any frame the
// renderers' tests upload.
inline TALLWICK_PP_RENDER::VideoFrame StridedFrame(int32_t width, int32_t height, int32_t format, int32_t strideY,
                                                   int32_t strideUV) {
  static std::vector<uint8_t> pixels(size_t{4096} * 4096);
  TALLWICK_PP_RENDER::VideoFrame frame;
  frame.width = width;
  frame.height = height;
  frame.format = format;
  frame.planS0 = strideY;
  frame.planS1 = strideUV;
  frame.planS2 = strideUV;
  frame.plan0 = pixels.data();
  frame.plan1 = pixels.data();
  frame.plan2 = pixels.data();
  return frame;
}

}  // namespace yuv_test
