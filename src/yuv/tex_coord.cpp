#include "yuv/tex_coord.h"

#include <array>
#include <cstddef>
#include <utility>

namespace TALLWICK_PP_RENDER {

namespace {

using TexPoint = std::pair<float, float>;

void Write(const std::array<TexPoint, 6>& points, TexCoords& out) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    out[2 * i] = points[i].first;
    out[2 * i + 1] = points[i].second;
  }
}

}  // namespace

void GenTexCoord(float sExtent, float tExtent, TexCoords& out) {
  Write({{{0.0F, 0.0F}, {sExtent, 0.0F}, {0.0F, tExtent}, {0.0F, tExtent}, {sExtent, 0.0F}, {sExtent, tExtent}}}, out);
}

void GenRotatedTexCoord(float sMax, float tMax, int rotation, TexCoords& out) {
  // Turned a quarter, the screen's horizontal axis runs along t: swap the
  // window so that s still spans [0, sMax].
  if (rotation == 90 || rotation == 270) {
    GenCroppedTexCoord(0.0F, 0.0F, tMax, sMax, rotation, out);
  } else {
    GenCroppedTexCoord(0.0F, 0.0F, sMax, tMax, rotation, out);
  }
}

void GenCroppedTexCoord(float hOffset, float vOffset, float hExtent, float vExtent, int rotation, TexCoords& out) {
  const float h0 = hOffset;
  const float h1 = hOffset + hExtent;
  const float v0 = vOffset;
  const float v1 = vOffset + vExtent;
  switch (rotation) {
    case 90:
      Write({{{v0, h1}, {v0, h0}, {v1, h1}, {v1, h1}, {v0, h0}, {v1, h0}}}, out);
      break;
    case 180:
      Write({{{h1, v1}, {h0, v1}, {h1, v0}, {h1, v0}, {h0, v1}, {h0, v0}}}, out);
      break;
    case 270:
      Write({{{v1, h0}, {v1, h1}, {v0, h0}, {v0, h0}, {v1, h1}, {v0, h1}}}, out);
      break;
    default:
      Write({{{h0, v0}, {h1, v0}, {h0, v1}, {h0, v1}, {h1, v0}, {h1, v1}}}, out);
      break;
  }
}

}  // namespace TALLWICK_PP_RENDER
