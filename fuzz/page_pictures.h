#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "devhost/presented_image.h"
#include "page_streams.h"

namespace tallwick_fuzz {

// A pixel that shows a stream: it and its eight neighbours have that
// stream's colour (a tile's edges blend colours, and so does scaling), and
// no background colour of the input is that colour too.
struct StreamPixel {
  int32_t x = 0, y = 0;
  size_t stream = 0;
};

// The stream pixels of `image`, sampled on a grid of about 128 columns.
std::vector<StreamPixel> StreamPixels(const pphost::PresentedImage& image, const std::vector<Rgb>& backgrounds);

}  // namespace tallwick_fuzz
