#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pphost {

// A picture as the page sees it: RGBA, 4 bytes a pixel, rows from the top.
struct PresentedImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgba;

  bool Empty() const { return width <= 0 || height <= 0; }
  bool Contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  // The four bytes of the pixel at (x, y); Contains(x, y) must hold.
  const uint8_t* At(int32_t x, int32_t y) const {
    return rgba.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
  }
};

}  // namespace pphost
