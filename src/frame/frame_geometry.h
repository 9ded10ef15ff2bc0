#pragma once

#include <cstdint>

#include "frame/frame_layout.h"

namespace tallwick::frame {

// What a frame's header says of its planes besides the frame id and the state.
struct FrameGeometry {
  int32_t width = 0;
  int32_t height = 0;
  int32_t format = kFormatI420;
  int32_t planS0 = 0;
  int32_t planS1 = 0;
  int32_t planS2 = 0;  // unused (0) for NV12
  int32_t rotation = 0;
  bool flip = false;
};

inline bool IsNV12(const FrameGeometry& geometry) { return geometry.format == kFormatNV12; }

// Geometry with the tightest strides for `width` plus `rowPadding` bytes per
// row: Y = width, I420 U and V = (width + 1) / 2, NV12 UV = 2 * ((width + 1) / 2).
// Every format other than NV12 is laid out as I420.
FrameGeometry MakeGeometry(int32_t width, int32_t height, int32_t format, int32_t rowPadding = 0);

// Bytes of plane `index` (0, 1 or 2): its stride times its rows (height, then
// height / 2 for the chroma planes); plane 2 of NV12 has none. Strides and
// height are taken as unsigned 32-bit values, the product in 64 bits.
uint64_t PlaneSize(const FrameGeometry& geometry, int index);

// Bytes a segment needs for one frame of this geometry: header plus planes.
uint64_t FrameSegmentSize(const FrameGeometry& geometry);

}  // namespace tallwick::frame
