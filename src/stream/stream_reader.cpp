#include "stream/stream_reader.h"

#include <utility>

#include "common/clock.h"
#include "common/last_error.h"
#include "frame/frame_bounds.h"
#include "frame/frame_layout.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::NowMs;

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
    report.OpenFailed(key, entry.path, size, TALLWICK_COMMON::LastErrorString());
    return false;
  }
  segment_ = std::move(segment);
  report.Opened(key, entry.path, size);
  return true;
}

void StreamReader::Reset() {
  DropSegment();
  shown_ = VideoFrame();
}

bool StreamReader::ReadNewest(VideoFrame* frame, const std::string& sid) {
  if (segment_ == nullptr) return false;
  const uint8_t* data = segment_->Data();
  const size_t backed = segment_->BackedSize();
  int32_t result = backed < tallwick::frame::kHeaderSize ? kVideoFrameUpdating : kVideoFrameOk;
  if (result == kVideoFrameOk) result = ParseVideoFrame(data, frame, sid);
  if (result == kVideoFrameOk) result = CheckVideoFrameBounds(*frame, data, backed, sid);
  if (result != kVideoFrameOk) return false;
  ++readCount_;
  return true;
}

bool StreamReader::ReuseShown(VideoFrame* frame, const std::string& sid) const {
  if (segment_ == nullptr || shown_.frameId == -1) return false;
  if (CheckVideoFrameBounds(shown_, segment_->Data(), segment_->BackedSize(), sid) != kVideoFrameOk) return false;
  *frame = shown_;
  return true;
}

void StreamReader::StartWait() { changeMs_ = NowMs(); }

void StreamReader::NoteMissingSegment(bool drawing, int64_t timeoutMs, Report& report) {
  if (drawing || status_ != kStatusNone || NowMs() - changeMs_ < timeoutMs) return;
  report.NoSegment();
  status_ = kStatusNoFrame;
}

void StreamReader::NoteFrame(const VideoFrame& frame, int64_t timeoutMs, Report& report) {
  const bool sameFrame = frame.frameId == shown_.frameId;
  if (status_ == kStatusNormal && sameFrame && NowMs() - changeMs_ >= timeoutMs) {
    report.FramesStopped();
    status_ = kStatusNoFrame;
  } else if (status_ == kStatusNoFrame && !sameFrame) {
    report.FramesResumed();
    status_ = kStatusNormal;
  }
}

void StreamReader::Shown(const VideoFrame& frame) {
  shown_ = frame;
  changeMs_ = NowMs();
}

}  // namespace TALLWICK_PP_RENDER
