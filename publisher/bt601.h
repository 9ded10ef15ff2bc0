#pragma once

#include <cstdint>

#include "publisher/pattern.h"

namespace tallwick::publisher {

// BT.601 video-range YUV of one RGB colour, in the integer arithmetic (and
// rounding) that libyuv uses for a block of a single colour. For builds
// without libyuv; a test holds it to libyuv's answers.
constexpr YuvColour Bt601FromRgb(uint8_t red, uint8_t green, uint8_t blue) {
  const int r = red;
  const int g = green;
  const int b = blue;
  return {static_cast<uint8_t>((66 * r + 129 * g + 25 * b + 0x1080) >> 8),
          static_cast<uint8_t>((112 * b - 74 * g - 38 * r + 0x8000) >> 8),
          static_cast<uint8_t>((112 * r - 94 * g - 18 * b + 0x8000) >> 8)};
}

}  // namespace tallwick::publisher
