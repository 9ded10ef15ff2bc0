#pragma once

#include <array>
#include <cstdint>

#include "frame/frame_geometry.h"

namespace tallwick::frame {

// Why a frame cannot be drawn: the field that fails, what the frame needs of
// it and what it has ("has", "mapped" or "max texture size"). No field: the
// frame is drawable.
struct FrameFault {
  const char* field = nullptr;
  uint64_t needs = 0;
  const char* limitName = "has";
  int64_t limit = 0;

  explicit operator bool() const { return field != nullptr; }
};

// Checks a header's geometry against the mapping its planes lie in, before
// anything reads them: positive sizes, strides that hold a row, and every
// plane a reader reads (planes 0 and 1, and plane 2 unless NV12) inside
// [header end, mappedSize). `planeOffsets` are where the reader located the
// planes, in bytes from the mapping's start; one that wrapped below the
// mapping is huge, and then needs more than any mapping has.
FrameFault FindLayoutFault(const FrameGeometry& geometry, const std::array<uint64_t, 3>& planeOffsets,
                           uint64_t mappedSize);

// Checks that every plane texture a reader makes of the frame (a plane's row
// stride by its rows; NV12's chroma at half the stride) has sides of at most
// `maxTextureSize` texels.
FrameFault FindTextureFault(const FrameGeometry& geometry, int32_t maxTextureSize);

}  // namespace tallwick::frame
