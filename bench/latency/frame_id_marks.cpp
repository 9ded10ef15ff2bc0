#include "latency/frame_id_marks.h"

#include <cmath>

#include "publisher/pattern.h"

namespace tallwick_bench {

namespace {

// The blocks fill the bottom tenth of the frame: their centres lie 1/20 of
// its height above the bottom edge.
constexpr int32_t kIdBandDivisor = 10;
constexpr double kIdCentreFromTop = 1.0 - 0.5 / kIdBandDivisor;

}  // namespace

void DrawId(tallwick::frame::FrameWriter& writer, int32_t frameId) {
  const auto& g = writer.Geometry();
  const int32_t blockWidth = g.width / kIdBits;
  const int32_t blockHeight = g.height / kIdBandDivisor;
  for (int32_t bit = 0; bit < kIdBits; ++bit) {
    const bool one = ((frameId >> (kIdBits - 1 - bit)) & 1) != 0;
    const auto colour = one ? tallwick::publisher::RgbToYuv(255, 255, 255) : tallwick::publisher::RgbToYuv(0, 0, 0);
    tallwick::publisher::FillRect(writer, bit * blockWidth, g.height - blockHeight, blockWidth, blockHeight, colour);
  }
}

int32_t IdRow(const Rect& region) {
  return static_cast<int32_t>(std::floor(region.top + region.height * kIdCentreFromTop));
}

std::optional<int32_t> ReadId(const pphost::PresentedImage& image, const Rect& region) {
  if (image.Empty()) return std::nullopt;
  const int64_t y = IdRow(region);
  int32_t id = 0;
  for (int32_t bit = 0; bit < kIdBits; ++bit) {
    const double centre = (2.0 * bit + 1.0) / (2.0 * kIdBits);
    const auto x = static_cast<int64_t>(std::floor(region.left + region.width * centre));
    if (!image.Contains(x, y)) return std::nullopt;
    const uint8_t* rgba = image.At(static_cast<int32_t>(x), static_cast<int32_t>(y));
    const bool white = rgba[0] > 192 && rgba[1] > 192 && rgba[2] > 192;
    const bool black = rgba[0] < 64 && rgba[1] < 64 && rgba[2] < 64;
    if (!white && !black) return std::nullopt;
    id = (id << 1) | (white ? 1 : 0);
  }
  return id;
}

}  // namespace tallwick_bench
