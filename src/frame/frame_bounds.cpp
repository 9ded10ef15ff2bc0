#include "frame/frame_bounds.h"

#include <cstdint>

#include "common/log_instance.h"
#include "frame/frame_fault.h"

namespace TALLWICK_PP_RENDER {

namespace {

using tallwick::frame::FrameFault;

// Where the parse located each plane, in bytes from the mapping's start.
// Addresses are subtracted as integers: a plane below base wraps to a huge
// offset.
std::array<uint64_t, 3> PlaneOffsets(const VideoFrame& frame, const uint8_t* base) {
  const auto offset = [base](const uint8_t* plane) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(plane) - reinterpret_cast<uintptr_t>(base));
  };
  return {offset(frame.plan0), offset(frame.plan1), offset(frame.plan2)};
}

int32_t Refuse(const FrameFault& fault, const VideoFrame& frame, const std::string& sid) {
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
  const FrameFault fault = FindLayoutFault(GeometryOf(frame), PlaneOffsets(frame, base), mappedSize);
  return fault ? Refuse(fault, frame, sid) : kVideoFrameOk;
}

int32_t CheckVideoFrameTextures(const VideoFrame& frame, int32_t maxTextureSize, const std::string& sid) {
  if (maxTextureSize <= 0) return kVideoFrameOk;
  const FrameFault fault = FindTextureFault(GeometryOf(frame), maxTextureSize);
  return fault ? Refuse(fault, frame, sid) : kVideoFrameOk;
}

}  // namespace TALLWICK_PP_RENDER
