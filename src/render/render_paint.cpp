// RenderEmbed's paint loop (the class is in render_embed.h): poll the segment
// on the frame interval, draw every new frame, and tell the page when frames
// start, stop and resume.
#include "common/log_instance.h"
#include "controller/controller_embed.h"
#include "embed/frame_status_event.h"
#include "embed/protocol.h"
#include "host/module.h"
#include "render/render_embed.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::LimitedLine;
using TALLWICK_LOG::LogAt;

// What the single-stream role's reader finds, in this role's log lines and
// frame-status events. Lives for one paint tick or command.
class RenderEmbed::ReadReport : public StreamReader::Report {
 public:
  explicit ReadReport(RenderEmbed& role) : role_(role) {}

  void EntryMissing(const std::string& key) override {
    static LimitedLine line;
    line.Log(kLevelInfo,
             "[RenderEmbed] uuid:{} diff is not found, try open shoom next loop, sid: {}, path: {}, key: {}, "
             "conroller starttick:{}",
             role_.uuid, role_.sid, "", key, ControllerEmbed::GetInstance()->GetStartTick());
  }

  void EntryFound(const std::string& key, const std::string& path) override {
    static LimitedLine line;
    line.Log(kLevelInfo, "[RenderEmbed] uuid:{} diff is found, try open shoom, sid: {}, path: {}, key: {}", role_.uuid,
             role_.sid, path, key);
  }

  void OpenFailed(const std::string& /*key*/, const std::string& path, uint32_t size,
                  const std::string& reason) override {
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} InitShoomFailed - path: {}, size: {}, msg: {}", role_.uuid, path, size,
          reason);
  }

  void Opened(const std::string& /*key*/, const std::string& path, uint32_t size) override {
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} InitShoomSuccess - path: {}, size: {}, interval: {}", role_.uuid, path,
          size, role_.frameInterval);
  }

  void NoSegment() override {
    role_.PostFrameStatus(kFrameStatusNone);
    LogAt(kLevelInfo,
          "[RenderEmbed] uuid:{} post render exception massage, shm is null, is not painting -  sid = {}, uid = {}, "
          "timeout = {}",
          role_.uuid, role_.sid, role_.uid, role_.timeout);
  }

  void FramesStopped() override {
    role_.PostFrameStatus(kFrameStatusNone);
    LogAt(kLevelInfo,
          "[RenderEmbed] uuid:{} post render exception massage, frameid not change -  sid = {}, uid = {}, timeout = {}",
          role_.uuid, role_.sid, role_.uid, role_.timeout);
  }

  void FramesResumed() override {
    role_.PostFrameStatus(kFrameStatusNormal);
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} post render normal massage, frameid  changed -  sid = {}, uid = {}",
          role_.uuid, role_.sid, role_.uid);
  }

  void FrameTorn(int32_t frameId, uint64_t tears) override {
    static LimitedLine line;
    line.Log(TALLWICK_LOG::kLevelWarning,
             "[RenderEmbed] uuid:{} frame changed while it was read, not shown - sid: {}, frameId: {}, tears: {}",
             role_.uuid, role_.sid, frameId, tears);
  }

  void FrameUndrawable() override {
    role_.PostEvent(kEvtError, FrameErrorData(kErrorFrameUndrawable, role_.sid));
    LogAt(TALLWICK_LOG::kLevelWarning, "[RenderEmbed] uuid:{} post error massage, frame cannot be drawn - sid: {}",
          role_.uuid, role_.sid);
  }

 private:
  RenderEmbed& role_;
};

pp::CompletionCallback RenderEmbed::PaintDoneCallback() {
  return callbackFactory.NewCallback(&RenderEmbed::OnPaintDone);
}

void RenderEmbed::ScheduleNextPaint() {
  ticker_.Schedule(frameInterval, [this] { return callbackFactory.NewCallback(&RenderEmbed::Paint); });
}

void RenderEmbed::Paint(int32_t /*result*/) {
  FollowSelfKeys();
  // Without a renderer ("START_RENDER" before "INIT") there is nothing to draw with.
  if (!EnsureSegment() || renderer == nullptr) {
    ScheduleNextPaint();
    return;
  }
  ReadReport report(*this);
  const StreamReader::Tick tick = ReadFrame(report);
  if (tick.read != StreamReader::Read::kFrame) {
    ScheduleNextPaint();
    return;
  }
  const VideoFrame& frame = tick.frame;
  if (tick.resized || tick.flipped) FrameResized(frame);
  StreamReader::Tell(tick.status, report);
  if (!tick.isNew) {
    static LimitedLine line;
    line.Log(kLevelInfo, "[RenderEmbed] uuid:{} Paint skipped: frameId not change - sid: {}, frameId: {}", uuid, sid,
             frame.frameId);
    ScheduleNextPaint();
    return;
  }
  if (isPainting) {
    static LimitedLine line;
    line.Log(kLevelInfo, "[RenderEmbed] uuid:{} is swaping buffer - swaping buffer: {}, visible: {}, sid: {}", uuid,
             isPainting, visible, sid);
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
  reader_.DropSegment();
}

// Opens the segment when there is none. False ends the tick; a segment that
// stays missing for the timeout is reported once as "NO_FRAME".
bool RenderEmbed::EnsureSegment() {
  if (reader_.HasSegment()) return true;
  static LimitedLine line;
  line.Log(kLevelInfo, "[RenderEmbed] uuid:{} video frame data pointer null, try open shoom - sid: {}, key: {}", uuid,
           sid, key);
  ReadReport report(*this);
  if (reader_.OpenShoom(ControllerEmbed::GetInstance()->Registry(), key, report)) {
    AdoptSelfKeys();
    return true;
  }
  reader_.NoteMissingSegment(isPainting, timeout, report);
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

// The tick's one read of the stream. A frame being written, one that
// changed while it was read, or one that cannot be drawn (its header does
// not fit what the segment still backs, or a plane is larger than a texture
// may be) is left for the next tick. A stream whose frames cannot be drawn
// counts as one without frames.
StreamReader::Tick RenderEmbed::ReadFrame(ReadReport& report) {
  const StreamReader::Tick tick = reader_.ReadTick({sid, renderer->MaxTextureSize(), isPainting, timeout}, report);
  if (tick.read == StreamReader::Read::kUndrawable) StreamReader::Tell(tick.status, report);
  if (tick.read == StreamReader::Read::kTorn) return tick;
  if (tick.read != StreamReader::Read::kFrame) {
    static LimitedLine line;
    line.Log(kLevelInfo, "[RenderEmbed] uuid:{} ParseVideoFrame not ok - sid: {}", uuid, sid);
    return tick;
  }
  static LimitedLine line;
  line.Log(kLevelInfo, "[RenderEmbed] uuid:{} normal read frameCnt:{} sid:{}", uuid, reader_.ReadCount(), sid);
  return tick;
}

void RenderEmbed::DrawFrame(const VideoFrame& frame) {
  if (!visible) {
    static LimitedLine line;
    line.Log(kLevelInfo, "[RenderEmbed] uuid:{} is invisible but not skip this frame: {}, sid: {}", uuid, frame.frameId,
             sid);
  }
  if (!renderStartedPosted) {
    renderStartedPosted = true;
    reader_.MarkStarted();
    PostEvent(kEvtRenderStarted);
  }
  reader_.Shown(frame);
  renderer->RenderFrame(frame, PaintDoneCallback());
  isPainting = true;
}

void RenderEmbed::OnPaintDone(int32_t /*result*/) {
  ++frameCnt;
  static LimitedLine line;
  line.Log(kLevelInfo, "[RenderEmbed] uuid:{} this[{:#08x}] uuid:{} Paint normal frameCnt:{} sid:{}", uuid,
           TALLWICK_LOG::ObjectAddress(this), uuid, frameCnt, sid);
  isPainting = false;
  if (pendingClear) {
    auto clear = std::move(pendingClear);
    pendingClear = nullptr;
    clear();
  }
  if (started) ScheduleNextPaint();
}

// The frame's width, height, rotation or flip differ from the shown frame's.
void RenderEmbed::FrameResized(const VideoFrame& frame) {
  LogAt(kLevelInfo,
        "[RenderEmbed] uuid:{} FrameResized - format changed, width: {}, height: {},yS: {}, uS: {}, vS: {}, rotation: "
        "{}, sid: {}, flip: {}",
        uuid, frame.width, frame.height, frame.planS0, frame.planS1, frame.planS2, frame.rotation, sid, frame.flip);
  pp::VarDictionary data;
  data.Set(kKeyWidth, frame.width);
  data.Set(kKeyHeight, frame.height);
  data.Set(kKeyPlanS0, frame.planS0);
  data.Set(kKeyPlanS1, frame.planS1);
  data.Set(kKeyPlanS2, frame.planS2);
  data.Set(kKeyRotation, frame.rotation);
  data.Set(kKeyFrameId, frame.frameId);
  data.Set(kKeyFlip, frame.flip);
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
  rendererInitFailed_ = result != kErrorNone;
  return result;
}

void RenderEmbed::PostFrameStatus(const char* status) {
  PostEvent(kEvtRenderFrameStatusChange, FrameStatusData(sid, uid, status));
}

}  // namespace TALLWICK_PP_RENDER
