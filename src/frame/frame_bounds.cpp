#include "frame/frame_bounds.h"

#include <cstdint>

#include "common/log_instance.h"
#include "frame/frame_layout.h"

namespace TALLWICK_PP_RENDER {

namespace {

using tallwick::frame::kFormatNV12;
using tallwick::frame::kHeaderSize;

// Why a frame cannot be drawn: the field that fails, what the frame needs of
// it and what it has ("has", "mapped" or "max texture size"). No field: the
// frame is drawable.
struct Fault {
  const char* field = nullptr;
  uint64_t needs = 0;
  const char* limitName = "has";
  int64_t limit = 0;

  explicit operator bool() const { return field != nullptr; }
};

bool IsNV12(const VideoFrame& frame) { return frame.format == kFormatNV12; }

int64_t ChromaWidth(const VideoFrame& frame) { return (static_cast<int64_t>(frame.width) + 1) / 2; }

// `value` must be at least `least`.
Fault AtLeast(const char* field, int64_t value, int64_t least) {
  if (value >= least) return {};
  return {field, static_cast<uint64_t>(least), "has", value};
}

Fault SizesArePositive(const VideoFrame& frame) {
  if (Fault fault = AtLeast("width", frame.width, 1)) return fault;
  if (Fault fault = AtLeast("height", frame.height, 1)) return fault;
  return {};
}

// Every stride holds at least one row of its plane's samples.
Fault StridesHoldARow(const VideoFrame& frame) {
  if (Fault fault = AtLeast("planS0", frame.planS0, frame.width)) return fault;
  if (IsNV12(frame)) return AtLeast("planS1", frame.planS1, 2 * ChromaWidth(frame));
  if (Fault fault = AtLeast("planS1", frame.planS1, ChromaWidth(frame))) return fault;
  return AtLeast("planS2", frame.planS2, ChromaWidth(frame));
}

// The plane of `bytes` bytes at `plane` must lie in [base + header, base +
// mappedSize). Addresses are compared as integers: a plane below base wraps
// to a huge offset, which then needs more than any mapping has.
Fault PlaneInside(const char* field, const uint8_t* plane, uint64_t bytes, const uint8_t* base, size_t mappedSize) {
  const uint64_t offset = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(plane) - reinterpret_cast<uintptr_t>(base));
  const uint64_t end = mappedSize;
  if (offset >= kHeaderSize && offset <= end && bytes <= end - offset) return {};
  const uint64_t needs = offset > UINT64_MAX - bytes ? UINT64_MAX : offset + bytes;
  return {field, needs, "mapped", static_cast<int64_t>(mappedSize)};
}

Fault PlanesInside(const VideoFrame& frame, const uint8_t* base, size_t mappedSize) {
  const std::array<uint64_t, 3> bytes = PlaneBytes(frame);
  if (Fault fault = PlaneInside("plane 0 (planS0 x height) bytes", frame.plan0, bytes[0], base, mappedSize)) {
    return fault;
  }
  if (Fault fault = PlaneInside("plane 1 (planS1 x height/2) bytes", frame.plan1, bytes[1], base, mappedSize)) {
    return fault;
  }
  if (IsNV12(frame)) return {};
  return PlaneInside("plane 2 (planS2 x height/2) bytes", frame.plan2, bytes[2], base, mappedSize);
}

// One side of a plane texture must be at most `maxSize` texels.
Fault TextureSide(const char* field, int64_t texels, int32_t maxSize) {
  if (texels <= maxSize) return {};
  return {field, static_cast<uint64_t>(texels), "max texture size", maxSize};
}

Fault TexturesFit(const VideoFrame& frame, int32_t maxSize) {
  if (Fault fault = TextureSide("planS0 (texture width)", frame.planS0, maxSize)) return fault;
  if (Fault fault = TextureSide("height (texture height)", frame.height, maxSize)) return fault;
  // NV12's chroma is one texel per Cb/Cr pair: half the stride.
  const int64_t chromaTexels = IsNV12(frame) ? frame.planS1 / 2 : frame.planS1;
  if (Fault fault = TextureSide("planS1 (texture width)", chromaTexels, maxSize)) return fault;
  if (IsNV12(frame)) return {};
  return TextureSide("planS2 (texture width)", frame.planS2, maxSize);
}

int32_t Refuse(const Fault& fault, const VideoFrame& frame, const std::string& sid) {
  static TALLWICK_LOG::LimitedLine line;
  line.Log(TALLWICK_LOG::kLevelWarning,
           "sid:{} frame cannot be drawn - {}: needs {}, {} {} - width:{} height:{} planS0:{} planS1:{} planS2:{} "
           "format:{}",
           sid, fault.field, fault.needs, fault.limitName, fault.limit, frame.width, frame.height, frame.planS0,
           frame.planS1, frame.planS2, frame.format);
  return kVideoFrameUndrawable;
}

}  // namespace

int32_t CheckVideoFrameBounds(const VideoFrame& frame, const uint8_t* base, size_t mappedSize, const std::string& sid) {
  // Sizes are checked first so that the plane sizes below are never negative.
  Fault fault = SizesArePositive(frame);
  if (!fault) fault = StridesHoldARow(frame);
  if (!fault) fault = PlanesInside(frame, base, mappedSize);
  return fault ? Refuse(fault, frame, sid) : kVideoFrameOk;
}

int32_t CheckVideoFrameTextures(const VideoFrame& frame, int32_t maxTextureSize, const std::string& sid) {
  if (maxTextureSize <= 0) return kVideoFrameOk;
  const Fault fault = TexturesFit(frame, maxTextureSize);
  return fault ? Refuse(fault, frame, sid) : kVideoFrameOk;
}

}  // namespace TALLWICK_PP_RENDER
