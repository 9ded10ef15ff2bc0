#include "page_pictures.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace tallwick_fuzz {

namespace {

constexpr int kSameColour = 6;
constexpr int32_t kSampledColumns = 128;

Rgb PixelAt(const pphost::PresentedImage& image, int32_t x, int32_t y) {
  const uint8_t* p = image.At(x, y);
  return {p[0], p[1], p[2]};
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

bool Uniform(const pphost::PresentedImage& image, int32_t x, int32_t y, const Rgb& centre) {
  for (int32_t dy = -1; dy <= 1; ++dy) {
    for (int32_t dx = -1; dx <= 1; ++dx) {
      if (!Near(PixelAt(image, x + dx, y + dy), centre, kSameColour)) return false;
    }
  }
  return true;
}

bool IsBackground(const Rgb& colour, const std::vector<Rgb>& backgrounds) {
  return std::any_of(backgrounds.begin(), backgrounds.end(),
                     [&](const Rgb& background) { return Near(background, colour, 16); });
}

}  // namespace

std::vector<StreamPixel> StreamPixels(const pphost::PresentedImage& image, const std::vector<Rgb>& backgrounds) {
  std::vector<StreamPixel> found;
  const int32_t step = std::max(1, image.width / kSampledColumns);
  for (int32_t y = 1; y + 1 < image.height; y += step) {
    for (int32_t x = 1; x + 1 < image.width; x += step) {
      const Rgb colour = PixelAt(image, x, y);
      const std::optional<size_t> stream = StreamOfColour(colour);
      if (!stream || !Uniform(image, x, y, colour) || IsBackground(colour, backgrounds)) continue;
      found.push_back({x, y, *stream});
    }
  }
  return found;
}

}  // namespace tallwick_fuzz
