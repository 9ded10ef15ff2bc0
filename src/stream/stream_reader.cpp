#include "stream/stream_reader.h"

#include <utility>

#include "common/clock.h"
#include "common/last_error.h"
#include "common/log_instance.h"
#include "frame/frame_bounds.h"
#include "frame/frame_layout.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::NowMs;

namespace {

// Why a registered segment cannot be opened, in words: the roles' own lines
// give only the system's error number. Once per kLogRateLimitMs for the
// module. `error` is the open's, taken before anything else could change it.
void LogOpenFailureCause(const std::string& key, const std::string& path, uint32_t size, const std::string& error) {
  static TALLWICK_LOG::LimitedLine line;
  if (!line.Allow()) return;
  const int64_t holds = shoom::Shm::ObjectSizeOf(path);
  std::string cause;
  if (holds == 0) {
    cause = "the segment is empty: its writer has not sized it yet";
  } else if (holds > 0 && static_cast<uint64_t>(holds) < size) {
    cause = fmt::format(
        "the segment holds {} bytes, fewer than the registration's bufferSize {} (0 maps the whole segment)", holds,
        size);
  } else {
    cause = error;
  }
  TALLWICK_LOG::LogAt(
      TALLWICK_LOG::kLevelWarning,
      "[StreamReader] key: {}, segment \"{}\" cannot be opened: {}; the element retries at every frame interval", key,
      path, cause);
}

}  // namespace

std::string StreamReader::SegmentPath() const { return segment_ != nullptr ? segment_->Path() : std::string(); }

bool StreamReader::OpenShoom(const SharedMemoryRegistry& registry, const std::string& key, Report& report) {
  ShareMemoryDiff entry;
  if (!registry.Find(key, &entry)) {
    report.EntryMissing(key);
    return false;
  }
  report.EntryFound(key, entry.path);
  // A size past 4 GiB wraps; a wrapped size larger than the object fails the open.
  const auto size = static_cast<uint32_t>(entry.bufferSize);
  auto segment = std::make_shared<shoom::Shm>(entry.path, size);
  if (segment->Open() != shoom::kOK) {
    const std::string error = TALLWICK_COMMON::LastErrorText();
    report.OpenFailed(key, entry.path, size, TALLWICK_COMMON::LastErrorString());
    LogOpenFailureCause(key, entry.path, size, error);
    return false;
  }
  segment_ = std::move(segment);
  report.Opened(key, entry.path, size);
  return true;
}

void StreamReader::Reset() {
  DropSegment();
  shown_ = VideoFrame();
  if (copies_ != nullptr) copies_->ForgetShown();
}

StreamReader::Read StreamReader::ReadNewest(VideoFrame* frame, const std::string& sid, int32_t maxTextureSize,
                                            Report& report) {
  if (segment_ == nullptr) return Read::kNone;
  const uint8_t* data = segment_->Data();
  const size_t backed = segment_->BackedSize();
  if (backed < tallwick::frame::kHeaderSize || ParseVideoFrame(data, frame, sid) != kVideoFrameOk) return Read::kNone;
  if (CheckVideoFrameBounds(*frame, data, backed, sid) != kVideoFrameOk ||
      CheckVideoFrameTextures(*frame, maxTextureSize, sid) != kVideoFrameOk) {
    if (!undrawable_) report.FrameUndrawable();
    undrawable_ = true;
    return Read::kUndrawable;
  }
  undrawable_ = false;
  if (!CopyPlanes(frame)) {
    ++tears_;
    report.FrameTorn(frame->frameId, tears_);
    return Read::kTorn;
  }
  ++readCount_;
  return Read::kFrame;
}

// The shown frame is copied already: a frame of the same id and layout from
// the same segment is that frame (the writer gives every frame a new id), so
// a tick without a new frame costs no copy. Otherwise the planes are copied,
// and the copy counts only when the header still holds the same complete
// frame afterwards.
bool StreamReader::CopyPlanes(VideoFrame* frame) {
  if (ShownCopyMatches(*frame)) {
    *frame = shown_;
    return true;
  }
  if (copies_ == nullptr) copies_ = std::make_shared<FrameCopies>();
  const uint8_t* data = segment_->Data();
  *frame = copies_->Copy(*frame);
  if (afterCopy_) afterCopy_();
  return FrameStillComplete(data, frame->frameId);
}

bool StreamReader::ShownCopyMatches(const VideoFrame& frame) const {
  return shownFromSegment_ && shown_.frameId == frame.frameId && shown_.width == frame.width &&
         shown_.height == frame.height && shown_.planS0 == frame.planS0 && shown_.planS1 == frame.planS1 &&
         shown_.planS2 == frame.planS2 && shown_.format == frame.format && shown_.rotation == frame.rotation &&
         shown_.flip == frame.flip;
}

bool StreamReader::ReuseShown(VideoFrame* frame) const {
  if (segment_ == nullptr || shown_.frameId == -1) return false;
  *frame = shown_;
  return true;
}

void StreamReader::StartWait() { changeMs_ = NowMs(); }

void StreamReader::NoteMissingSegment(bool drawing, int64_t timeoutMs, Report& report) {
  Tell(WeighMissingSegment(drawing, timeoutMs), report);
}

StreamReader::StatusChange StreamReader::WeighMissingSegment(bool drawing, int64_t timeoutMs) {
  if (drawing || status_ != kStatusNone || NowMs() - changeMs_ < timeoutMs) return StatusChange::kNone;
  status_ = kStatusNoFrame;
  return StatusChange::kNoSegment;
}

StreamReader::StatusChange StreamReader::WeighFrame(const VideoFrame& frame, int64_t timeoutMs) {
  const bool sameFrame = frame.frameId == shown_.frameId;
  if (status_ == kStatusNormal && sameFrame && NowMs() - changeMs_ >= timeoutMs) {
    status_ = kStatusNoFrame;
    return StatusChange::kStopped;
  }
  if (status_ == kStatusNoFrame && !sameFrame) {
    status_ = kStatusNormal;
    return StatusChange::kResumed;
  }
  return StatusChange::kNone;
}

StreamReader::StatusChange StreamReader::WeighNoDrawableFrame(bool drawing, int64_t timeoutMs) {
  if (status_ == kStatusNone) return WeighMissingSegment(drawing, timeoutMs);
  return WeighFrame(shown_, timeoutMs);
}

StreamReader::Tick StreamReader::ReadTick(const TickRequest& request, Report& report) {
  Tick tick;
  tick.read = ReadNewest(&tick.frame, request.sid, request.maxTextureSize, report);
  tick.reused = tick.read != Read::kFrame && request.reuseShown && ReuseShown(&tick.frame);
  if (!tick.HasFrame()) {
    if (tick.read == Read::kUndrawable) tick.status = WeighNoDrawableFrame(request.drawing, request.timeoutMs);
    return tick;
  }
  const VideoFrame& frame = tick.frame;
  tick.isNew = frame.frameId != shown_.frameId;
  tick.resized = frame.width != shown_.width || frame.height != shown_.height || frame.rotation != shown_.rotation;
  tick.flipped = frame.flip != shown_.flip;
  tick.status = WeighFrame(frame, request.timeoutMs);
  return tick;
}

void StreamReader::Tell(StatusChange change, Report& report) {
  switch (change) {
    case StatusChange::kNone:
      return;
    case StatusChange::kNoSegment:
      report.NoSegment();
      return;
    case StatusChange::kStopped:
      report.FramesStopped();
      return;
    case StatusChange::kResumed:
      report.FramesResumed();
      return;
  }
}

void StreamReader::Shown(const VideoFrame& frame) {
  shown_ = frame;
  shownFromSegment_ = segment_ != nullptr;
  if (copies_ != nullptr) copies_->Show(frame);
  changeMs_ = NowMs();
}

}  // namespace TALLWICK_PP_RENDER
