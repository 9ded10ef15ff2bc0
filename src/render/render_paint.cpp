// The single-stream paint loop: poll the segment on the frame interval, draw
// every new frame, and tell the page when frames start, stop and resume.
#include "common/clock.h"
#include "common/last_error.h"
#include "common/log_instance.h"
#include "controller/controller_embed.h"
#include "embed/protocol.h"
#include "frame/frame_bounds.h"
#include "frame/frame_layout.h"
#include "host/module.h"
#include "render/render_embed.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::kLogRateLimitMs;
using TALLWICK_COMMON::NowMs;
using TALLWICK_COMMON::RateLimiter;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::LogAt;
using TALLWICK_LOG::LogLimited;

pp::CompletionCallback RenderEmbed::PaintDoneCallback() {
  return callbackFactory.NewCallback(&RenderEmbed::OnPaintDone);
}

void RenderEmbed::ScheduleNextPaint() {
  ticker.Schedule(frameInterval, [this] { return callbackFactory.NewCallback(&RenderEmbed::Paint); });
}

void RenderEmbed::Paint(int32_t /*result*/) {
  FollowSelfKeys();
  // Without a renderer ("START_RENDER" before "INIT") there is nothing to draw with.
  if (!EnsureSegment() || renderer == nullptr) {
    ScheduleNextPaint();
    return;
  }
  VideoFrame frame;
  if (!ReadFrame(&frame)) {
    ScheduleNextPaint();
    return;
  }
  FrameResized(frame);
  UpdateFrameStatus(frame);
  if (frame.frameId == lastFrame.frameId) {
    static RateLimiter limiter(kLogRateLimitMs);
    LogLimited(limiter, kLevelInfo, "[RenderEmbed] uuid:{} Paint skipped: frameId not change - sid: {}, frameId: {}",
               uuid, sid, frame.frameId);
    ScheduleNextPaint();
    return;
  }
  if (isPainting) {
    static RateLimiter limiter(kLogRateLimitMs);
    LogLimited(limiter, kLevelInfo,
               "[RenderEmbed] uuid:{} is swaping buffer - swaping buffer: {}, visible: {}, sid: {}", uuid, isPainting,
               visible, sid);
    ScheduleNextPaint();
    return;
  }
  DrawFrame(frame);
}

// A local preview or screen share shows whatever key the controller holds
// for the local user; when that changes the segment is dropped and reopened.
void RenderEmbed::FollowSelfKeys() {
  ControllerEmbed* controller = ControllerEmbed::GetInstance();
  if (isPreview) FollowSelfKey(controller->GetSelfCameraKey(), "camera");
  if (isLocalScreen) FollowSelfKey(controller->GetSelfScreenKey(), "screen");
}

void RenderEmbed::FollowSelfKey(const std::string& selfKey, const char* kind) {
  if (selfKey == key) return;
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} self {} sid changed, reset shoom to null - self sid: {}, current sid: {}",
        uuid, kind, selfKey, key);
  key = selfKey;
  shm.reset();
}

// Opens the segment when there is none. False ends the tick; a segment that
// stays missing for the timeout is reported once as "NO_FRAME".
bool RenderEmbed::EnsureSegment() {
  if (shm != nullptr) return true;
  static RateLimiter limiter(kLogRateLimitMs);
  LogLimited(limiter, kLevelInfo,
             "[RenderEmbed] uuid:{} video frame data pointer null, try open shoom - sid: {}, key: {}", uuid, sid, key);
  if (OpenShoom(key)) {
    AdoptSelfKeys();
    return true;
  }
  if (!isPainting && frameStatus == kStatusNone && NowMs() - lastChangeTime >= timeout) {
    PostFrameStatus(kFrameStatusNone);
    LogAt(kLevelInfo,
          "[RenderEmbed] uuid:{} post render exception massage, shm is null, is not painting -  sid = {}, uid = {}, "
          "timeout = {}",
          uuid, sid, uid, timeout);
    frameStatus = kStatusNoFrame;
  }
  return false;
}

// The local user's own stream, once opened, tells the controller its key.
void RenderEmbed::AdoptSelfKeys() {
  if (!isSelf) return;
  ControllerEmbed* controller = ControllerEmbed::GetInstance();
  if (!isScreen && controller->GetSelfCameraKey() != key) {
    const std::string oldKey = controller->GetSelfCameraKey();
    controller->SetSelfCameraKey(key);
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} self camera key set - sid: {}, oldkey: {}, newkey: {}", uuid, sid, oldKey,
          key);
  }
  if (isScreen && controller->GetSelfScreenKey() != key) {
    const std::string oldKey = controller->GetSelfScreenKey();
    controller->SetSelfScreenKey(key);
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} self screen key set - sid: {}, oldkey: {}, newkey: {}", uuid, sid, oldKey,
          key);
  }
}

// Parses the newest frame and checks it against what the segment still
// holds; a frame being written, or one whose header does not fit (the
// registered size, or a segment its writer shrank since it was mapped), is
// left for the next tick and never read.
bool RenderEmbed::ReadFrame(VideoFrame* frame) {
  const uint8_t* data = shm->Data();
  const size_t backed = shm->BackedSize();
  int32_t result = backed < tallwick::frame::kHeaderSize ? kErrorFrameUpdating : kErrorNone;
  if (result == kErrorNone) result = ParseVideoFrame(data, frame, sid);
  if (result == kErrorNone) result = CheckVideoFrameBounds(*frame, data, backed, sid);
  if (result != kErrorNone) {
    static RateLimiter limiter(kLogRateLimitMs);
    LogLimited(limiter, kLevelInfo, "[RenderEmbed] uuid:{} ParseVideoFrame not ok - sid: {}", uuid, sid);
    return false;
  }
  ++readCount;
  static RateLimiter limiter(kLogRateLimitMs);
  LogLimited(limiter, kLevelInfo, "[RenderEmbed] uuid:{} normal read frameCnt:{} sid:{}", uuid, readCount, sid);
  return true;
}

void RenderEmbed::UpdateFrameStatus(const VideoFrame& frame) {
  const bool sameFrame = frame.frameId == lastFrame.frameId;
  if (frameStatus == kStatusNormal && sameFrame && NowMs() - lastChangeTime >= timeout) {
    PostFrameStatus(kFrameStatusNone);
    LogAt(kLevelInfo,
          "[RenderEmbed] uuid:{} post render exception massage, frameid not change -  sid = {}, uid = {}, timeout = {}",
          uuid, sid, uid, timeout);
    frameStatus = kStatusNoFrame;
  } else if (frameStatus == kStatusNoFrame && !sameFrame) {
    PostFrameStatus(kFrameStatusNormal);
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} post render normal massage, frameid  changed -  sid = {}, uid = {}", uuid,
          sid, uid);
    frameStatus = kStatusNormal;
  }
}

void RenderEmbed::DrawFrame(const VideoFrame& frame) {
  if (!visible) {
    static RateLimiter limiter(kLogRateLimitMs);
    LogLimited(limiter, kLevelInfo, "[RenderEmbed] uuid:{} is invisible but not skip this frame: {}, sid: {}", uuid,
               frame.frameId, sid);
  }
  lastFrame = frame;
  if (!renderStartedPosted) {
    renderStartedPosted = true;
    frameStatus = kStatusNormal;
    PostEvent(kEvtRenderStarted);
  }
  lastChangeTime = NowMs();
  renderer->RenderFrame(frame, PaintDoneCallback());
  isPainting = true;
}

void RenderEmbed::OnPaintDone(int32_t /*result*/) {
  ++frameCnt;
  static RateLimiter limiter(kLogRateLimitMs);
  LogLimited(limiter, kLevelInfo, "[RenderEmbed] uuid:{} this[{:#08x}] uuid:{} Paint normal frameCnt:{} sid:{}", uuid,
             TALLWICK_LOG::ObjectAddress(this), uuid, frameCnt, sid);
  isPainting = false;
  if (pendingClear) {
    auto clear = std::move(pendingClear);
    pendingClear = nullptr;
    clear();
  }
  if (!stopped) ScheduleNextPaint();
}

bool RenderEmbed::OpenShoom(const std::string& streamKey) {
  ShareMemoryDiff entry;
  if (!ControllerEmbed::GetInstance()->GetShareMemoryDiff(streamKey, &entry)) {
    static RateLimiter limiter(kLogRateLimitMs);
    LogLimited(limiter, kLevelInfo,
               "[RenderEmbed] uuid:{} diff is not found, try open shoom next loop, sid: {}, path: {}, key: {}, "
               "conroller starttick:{}",
               uuid, sid, entry.path, streamKey, ControllerEmbed::GetInstance()->GetStartTick());
    return false;
  }
  static RateLimiter limiter(kLogRateLimitMs);
  LogLimited(limiter, kLevelInfo, "[RenderEmbed] uuid:{} diff is found, try open shoom, sid: {}, path: {}, key: {}",
             uuid, sid, entry.path, streamKey);
  return InitShoom(frameInterval, entry.path, static_cast<uint32_t>(entry.bufferSize)) == kErrorNone;
}

int32_t RenderEmbed::InitShoom(double interval, const std::string& path, uint32_t size) {
  shm = std::make_unique<shoom::Shm>(path, size);
  if (shm->Open() != shoom::kOK) {
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} InitShoomFailed - path: {}, size: {}, msg: {}", uuid, path, size,
          TALLWICK_COMMON::LastErrorString());
    shm.reset();
    return kErrorOpenShoom;
  }
  frameInterval = interval;
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} InitShoomSuccess - path: {}, size: {}, interval: {}", uuid, path, size,
        interval);
  return kErrorNone;
}

void RenderEmbed::FrameResized(const VideoFrame& frame) {
  if (frame.width == lastFrame.width && frame.height == lastFrame.height && frame.rotation == lastFrame.rotation &&
      frame.flip == lastFrame.flip) {
    return;
  }
  LogAt(kLevelInfo,
        "[RenderEmbed] uuid:{} FrameResized - format changed, width: {}, height: {},yS: {}, uS: {}, vS: {}, rotation: "
        "{}, sid: {}, flip: {}",
        uuid, frame.width, frame.height, frame.planS0, frame.planS1, frame.planS2, frame.rotation, sid, frame.flip);
  pp::VarDictionary data;
  data.Set("width", frame.width);
  data.Set("height", frame.height);
  data.Set("planS0", frame.planS0);
  data.Set("planS1", frame.planS1);
  data.Set("planS2", frame.planS2);
  data.Set("rotation", frame.rotation);
  data.Set("frameId", frame.frameId);
  data.Set("flip", frame.flip);
  PostEvent(kEvtNeedResize, data);
  const int32_t result = InitRenderer(frame);
  if (result != kErrorNone) {
    pp::VarDictionary error;
    error.Set(kKeyErrorCode, result);
    PostEvent(kEvtError, error);
    LogAt(TALLWICK_LOG::kLevelError, "[RenderEmbed] uuid:{} yuv render init failed - err: {}", uuid, result);
  }
}

int32_t RenderEmbed::InitRenderer(const VideoFrame& frame) {
  const int32_t result = renderer->InitYUVRender(frame, enableHighPerformanceGPU, enablePPAPIRedExt);
  rendererInitFailed = result != kErrorNone;
  return result;
}

void RenderEmbed::PostFrameStatus(const char* status) {
  pp::VarDictionary data;
  data.Set(kKeyStreamId, sid);
  data.Set(kKeyUserId, uid);
  data.Set(kKeyFrameStatus, status);
  PostEvent(kEvtRenderFrameStatusChange, data);
}

}  // namespace TALLWICK_PP_RENDER
