#include "frame/frame_bounds.h"

#include "common/log_instance.h"
#include "common/rate_limiter.h"
#include "frame/frame_layout.h"

namespace TALLWICK_PP_RENDER {

namespace {

using tallwick::frame::kFormatNV12;
using tallwick::frame::kHeaderSize;

bool IsNV12(const VideoFrame& frame) { return frame.format == kFormatNV12; }

bool SizesArePositive(const VideoFrame& frame) {
  return frame.width > 0 && frame.height > 0 && frame.planS0 > 0 && frame.planS1 > 0 &&
         (IsNV12(frame) || frame.planS2 > 0);
}

// Every stride holds at least one row of its plane's samples.
bool StridesHoldARow(const VideoFrame& frame) {
  const int64_t chromaWidth = (static_cast<int64_t>(frame.width) + 1) / 2;
  if (frame.planS0 < frame.width) return false;
  if (IsNV12(frame)) return frame.planS1 >= 2 * chromaWidth;
  return frame.planS1 >= chromaWidth && frame.planS2 >= chromaWidth;
}

// The plane of `bytes` bytes at `plane` lies in [base + header, base + mappedSize).
// Addresses are compared as integers: a plane below base wraps to a huge offset.
bool PlaneInside(const uint8_t* plane, uint64_t bytes, const uint8_t* base, size_t mappedSize) {
  const uint64_t offset = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(plane) - reinterpret_cast<uintptr_t>(base));
  const uint64_t end = mappedSize;
  return offset >= kHeaderSize && offset <= end && bytes <= end - offset;
}

bool PlanesInside(const VideoFrame& frame, const uint8_t* base, size_t mappedSize) {
  const uint64_t rows = static_cast<uint64_t>(frame.height);
  const uint64_t chromaRows = rows / 2;
  return PlaneInside(frame.plan0, static_cast<uint64_t>(frame.planS0) * rows, base, mappedSize) &&
         PlaneInside(frame.plan1, static_cast<uint64_t>(frame.planS1) * chromaRows, base, mappedSize) &&
         (IsNV12(frame) ||
          PlaneInside(frame.plan2, static_cast<uint64_t>(frame.planS2) * chromaRows, base, mappedSize));
}

void LogDoesNotFit(const VideoFrame& frame, size_t mappedSize, const std::string& sid) {
  static TALLWICK_LOG::LimitedLine line;
  line.Log(TALLWICK_LOG::kLevelWarning,
           "sid:{} frame does not fit the mapping - width:{} height:{} planS0:{} planS1:{} planS2:{} "
           "format:{} mapped:{}",
           sid, frame.width, frame.height, frame.planS0, frame.planS1, frame.planS2, frame.format,
           static_cast<uint64_t>(mappedSize));
}

}  // namespace

int32_t CheckVideoFrameBounds(const VideoFrame& frame, const uint8_t* base, size_t mappedSize, const std::string& sid) {
  // Sizes are checked first so that the plane sizes below are never negative.
  if (SizesArePositive(frame) && StridesHoldARow(frame) && PlanesInside(frame, base, mappedSize)) {
    return kVideoFrameOk;
  }
  LogDoesNotFit(frame, mappedSize, sid);
  return kVideoFrameUpdating;
}

}  // namespace TALLWICK_PP_RENDER
