#include "frame/frame_geometry.h"

namespace tallwick::frame {

FrameGeometry MakeGeometry(int32_t width, int32_t height, int32_t format, int32_t rowPadding) {
  FrameGeometry geometry;
  geometry.width = width;
  geometry.height = height;
  geometry.format = format;
  const int32_t chromaWidth = (width + 1) / 2;
  geometry.planS0 = width + rowPadding;
  if (format == kFormatNV12) {
    geometry.planS1 = 2 * chromaWidth + rowPadding;
  } else {
    geometry.planS1 = chromaWidth + rowPadding;
    geometry.planS2 = chromaWidth + rowPadding;
  }
  return geometry;
}

uint64_t PlaneSize(const FrameGeometry& geometry, int index) {
  const uint64_t rows = static_cast<uint32_t>(geometry.height);
  switch (index) {
    case 0:
      return static_cast<uint32_t>(geometry.planS0) * rows;
    case 1:
      return static_cast<uint32_t>(geometry.planS1) * (rows / 2);
    case 2:
      return IsNV12(geometry) ? 0 : static_cast<uint32_t>(geometry.planS2) * (rows / 2);
    default:
      return 0;
  }
}

uint64_t FrameSegmentSize(const FrameGeometry& geometry) {
  return kHeaderSize + PlaneSize(geometry, 0) + PlaneSize(geometry, 1) + PlaneSize(geometry, 2);
}

}  // namespace tallwick::frame
