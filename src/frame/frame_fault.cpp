#include "frame/frame_fault.h"

#include <cstdint>

namespace tallwick::frame {

namespace {

int64_t ChromaWidth(const FrameGeometry& geometry) { return (static_cast<int64_t>(geometry.width) + 1) / 2; }

// `value` must be at least `least`.
FrameFault AtLeast(const char* field, int64_t value, int64_t least) {
  if (value >= least) return {};
  return {field, static_cast<uint64_t>(least), "has", value};
}

FrameFault SizesArePositive(const FrameGeometry& geometry) {
  if (FrameFault fault = AtLeast("width", geometry.width, 1)) return fault;
  if (FrameFault fault = AtLeast("height", geometry.height, 1)) return fault;
  return {};
}

// Every stride holds at least one row of its plane's samples.
FrameFault StridesHoldARow(const FrameGeometry& geometry) {
  if (FrameFault fault = AtLeast("planS0", geometry.planS0, geometry.width)) return fault;
  if (IsNV12(geometry)) return AtLeast("planS1", geometry.planS1, 2 * ChromaWidth(geometry));
  if (FrameFault fault = AtLeast("planS1", geometry.planS1, ChromaWidth(geometry))) return fault;
  return AtLeast("planS2", geometry.planS2, ChromaWidth(geometry));
}

// The plane of `bytes` bytes at `offset` must lie in [header end, mappedSize).
FrameFault PlaneInside(const char* field, uint64_t offset, uint64_t bytes, uint64_t mappedSize) {
  if (offset >= kHeaderSize && offset <= mappedSize && bytes <= mappedSize - offset) return {};
  const uint64_t needs = offset > UINT64_MAX - bytes ? UINT64_MAX : offset + bytes;
  return {field, needs, "mapped", static_cast<int64_t>(mappedSize)};
}

// Only for sizes and strides already checked: the plane sizes are then
// never negative.
FrameFault PlanesInside(const FrameGeometry& geometry, const std::array<uint64_t, 3>& offsets, uint64_t mappedSize) {
  if (FrameFault fault =
          PlaneInside("plane 0 (planS0 x height) bytes", offsets[0], PlaneSize(geometry, 0), mappedSize)) {
    return fault;
  }
  if (FrameFault fault =
          PlaneInside("plane 1 (planS1 x height/2) bytes", offsets[1], PlaneSize(geometry, 1), mappedSize)) {
    return fault;
  }
  if (IsNV12(geometry)) return {};
  return PlaneInside("plane 2 (planS2 x height/2) bytes", offsets[2], PlaneSize(geometry, 2), mappedSize);
}

// One side of a plane texture must be at most `maxSize` texels.
FrameFault TextureSide(const char* field, int64_t texels, int32_t maxSize) {
  if (texels <= maxSize) return {};
  return {field, static_cast<uint64_t>(texels), "max texture size", maxSize};
}

}  // namespace

FrameFault FindLayoutFault(const FrameGeometry& geometry, const std::array<uint64_t, 3>& planeOffsets,
                           uint64_t mappedSize) {
  if (FrameFault fault = SizesArePositive(geometry)) return fault;
  if (FrameFault fault = StridesHoldARow(geometry)) return fault;
  return PlanesInside(geometry, planeOffsets, mappedSize);
}

FrameFault FindTextureFault(const FrameGeometry& geometry, int32_t maxTextureSize) {
  if (FrameFault fault = TextureSide("planS0 (texture width)", geometry.planS0, maxTextureSize)) return fault;
  if (FrameFault fault = TextureSide("height (texture height)", geometry.height, maxTextureSize)) return fault;
  // NV12's chroma is one texel per Cb/Cr pair: half the stride.
  const int64_t chromaTexels = IsNV12(geometry) ? geometry.planS1 / 2 : geometry.planS1;
  if (FrameFault fault = TextureSide("planS1 (texture width)", chromaTexels, maxTextureSize)) return fault;
  if (IsNV12(geometry)) return {};
  return TextureSide("planS2 (texture width)", geometry.planS2, maxTextureSize);
}

}  // namespace tallwick::frame
