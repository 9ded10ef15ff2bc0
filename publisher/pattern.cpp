#include "publisher/pattern.h"

#include <array>
#include <cstring>

namespace tallwick::publisher {

namespace {

struct Yuv {
  uint8_t y, u, v;
};

// White, yellow, cyan, green, magenta, red, blue, black in BT.601 video range.
constexpr std::array<Yuv, 8> kBars = {{{235, 128, 128},
                                       {210, 16, 146},
                                       {170, 166, 16},
                                       {145, 54, 34},
                                       {106, 202, 222},
                                       {81, 90, 240},
                                       {41, 240, 110},
                                       {16, 128, 128}}};

const Yuv& BarAt(int32_t x, int32_t width, int32_t shift) {
  const int32_t bar =
      ((x * static_cast<int32_t>(kBars.size())) / (width > 0 ? width : 1) + shift) % static_cast<int32_t>(kBars.size());
  return kBars[static_cast<size_t>(bar)];
}

}  // namespace

void FillMovingBars(tallwick::frame::FrameWriter& writer, int32_t frameId) {
  const auto& g = writer.Geometry();
  const int32_t shift = (frameId / 15) % static_cast<int32_t>(kBars.size());
  uint8_t* y = writer.Plane(0);
  uint8_t* p1 = writer.Plane(1);
  uint8_t* p2 = writer.Plane(2);
  if (y == nullptr || p1 == nullptr) return;
  for (int32_t row = 0; row < g.height; ++row) {
    for (int32_t x = 0; x < g.width; ++x) y[row * g.planS0 + x] = BarAt(x, g.width, shift).y;
  }
  const int32_t chromaWidth = (g.width + 1) / 2;
  for (int32_t row = 0; row < g.height / 2; ++row) {
    for (int32_t x = 0; x < chromaWidth; ++x) {
      const Yuv& c = BarAt(x * 2, g.width, shift);
      if (g.format == tallwick::frame::kFormatNV12) {
        p1[row * g.planS1 + 2 * x] = c.u;
        p1[row * g.planS1 + 2 * x + 1] = c.v;
      } else if (p2 != nullptr) {
        p1[row * g.planS1 + x] = c.u;
        p2[row * g.planS2 + x] = c.v;
      }
    }
  }
}

}  // namespace tallwick::publisher
