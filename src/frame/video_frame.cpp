#include "frame/video_frame.h"

#include <atomic>

#include "common/log_instance.h"
#include "common/rate_limiter.h"
#include "frame/frame_layout.h"

namespace TALLWICK_PP_RENDER {

namespace {

using namespace tallwick::frame;

int32_t LoadInt32(const uint8_t* data, size_t offset) { return static_cast<int32_t>(LoadLE32(data + offset)); }

void LogDataNull(const std::string& sid) {
  static TALLWICK_LOG::LimitedLine line;
  line.Log(TALLWICK_LOG::kLevelError, "sid:{} ParseVideoFrame - data nullptr", sid);
}

void LogUpdating(const std::string& sid, int32_t frameId) {
  static TALLWICK_LOG::LimitedLine line;
  line.Log(TALLWICK_LOG::kLevelInfo, "sid:{} ParseVideoFrame is updating - frameId: {}", sid, frameId);
}

// Plane positions from the strides and height already read (the header is
// read once), in unsigned 32-bit arithmetic like the writer's layout; a wrap
// shows in these pointers and is caught by the bounds check.
void LocatePlanes(const uint8_t* data, VideoFrame* frame) {
  const uint32_t height = static_cast<uint32_t>(frame->height);
  const uint32_t offset0 = static_cast<uint32_t>(kHeaderSize);
  const uint32_t offset1 = offset0 + static_cast<uint32_t>(frame->planS0) * height;
  const uint32_t offset2 = offset1 + static_cast<uint32_t>(frame->planS1) * ChromaRows(height);
  frame->plan0 = data + offset0;
  frame->plan1 = data + offset1;
  frame->plan2 = data + offset2;
}

}  // namespace

int32_t ParseVideoFrame(const uint8_t* data, VideoFrame* frame, const std::string& sid) {
  if (data == nullptr) {
    LogDataNull(sid);
    return kVideoFrameDataNull;
  }
  // The state word is the only coordination with the writer: read it first,
  // and keep every later read of the frame after it.
  const uint32_t state = LoadLE32(data + kOffsetState);
  std::atomic_thread_fence(std::memory_order_acquire);
  if (state != kStateComplete) {
    LogUpdating(sid, LoadInt32(data, kOffsetFrameId));
    return kVideoFrameUpdating;
  }
  frame->frameId = LoadInt32(data, kOffsetFrameId);
  frame->width = LoadInt32(data, kOffsetWidth);
  frame->height = LoadInt32(data, kOffsetHeight);
  frame->rotation = LoadInt32(data, kOffsetRotation);
  frame->planS0 = LoadInt32(data, kOffsetPlanS0);
  frame->planS1 = LoadInt32(data, kOffsetPlanS1);
  frame->planS2 = LoadInt32(data, kOffsetPlanS2);
  frame->format = LoadInt32(data, kOffsetFormat);
  frame->flip = LoadLE32(data + kOffsetFlip) != 0;
  LocatePlanes(data, frame);
  return kVideoFrameOk;
}

FrameGeometry GeometryOf(const VideoFrame& frame) {
  FrameGeometry geometry;
  geometry.width = frame.width;
  geometry.height = frame.height;
  geometry.format = frame.format;
  geometry.planS0 = frame.planS0;
  geometry.planS1 = frame.planS1;
  geometry.planS2 = frame.planS2;
  geometry.rotation = frame.rotation;
  geometry.flip = frame.flip;
  return geometry;
}

std::array<uint64_t, 3> PlaneBytes(const VideoFrame& frame) {
  const FrameGeometry geometry = GeometryOf(frame);
  return {PlaneSize(geometry, 0), PlaneSize(geometry, 1), PlaneSize(geometry, 2)};
}

bool FrameStillComplete(const uint8_t* data, int32_t frameId) {
  // Every plane read stays before the fence; the volatile reads keep the
  // compiler from answering with the header words it read before.
  std::atomic_thread_fence(std::memory_order_acquire);
  const volatile uint8_t* header = data;
  uint8_t words[8];
  for (size_t at = 0; at < sizeof(words); ++at) words[at] = header[at];
  static_assert(kOffsetFrameId == 0 && kOffsetState == 4, "frameId and state are the header's first two words");
  return LoadLE32(words + kOffsetState) == kStateComplete && static_cast<int32_t>(LoadLE32(words)) == frameId;
}

}  // namespace TALLWICK_PP_RENDER
