// RgbToYuv through libyuv (the Linux build).
#include <libyuv/convert_from_argb.h>

#include <array>

#include "publisher/pattern.h"

namespace tallwick::publisher {

YuvColour RgbToYuv(uint8_t red, uint8_t green, uint8_t blue) {
  // A 2x2 block converted by libyuv gives the BT.601 video-range values.
  std::array<uint8_t, 16> argb{};
  for (size_t pixel = 0; pixel < 4; ++pixel) {
    argb[pixel * 4 + 0] = blue;  // libyuv's ARGB is B, G, R, A in memory
    argb[pixel * 4 + 1] = green;
    argb[pixel * 4 + 2] = red;
    argb[pixel * 4 + 3] = 255;
  }
  std::array<uint8_t, 4> y{};
  uint8_t u = 0;
  uint8_t v = 0;
  libyuv::ARGBToI420(argb.data(), 8, y.data(), 2, &u, 1, &v, 1, 2, 2);
  return {y[0], u, v};
}

}  // namespace tallwick::publisher
