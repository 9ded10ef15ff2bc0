#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "publisher/pattern.h"
#include "publisher/stream_settings.h"
#include "writer/frame_writer.h"

namespace tallwick::publisher {

// One stream: its segment, its picture source and its fault plan.
class StreamPublisher {
 public:
  using Clock = std::chrono::steady_clock;

  enum class Step { kWritten, kSkipped, kDied };

  explicit StreamPublisher(StreamSettings spec);

  // Creates the segment and the source; false with a reason.
  bool Start(std::string* error);

  // Publishes frame `frameId` unless the fault plan says otherwise. kDied
  // means the frame was left half written (state not complete): the caller
  // is expected to exit at once, as a crashing writer would.
  Step Publish(int32_t frameId, Clock::time_point now);

  // The record the page forwards with "DO_UPDATE_SHARED_MEMORY".
  std::string DiffJson() const;

  // Leave the segment behind on exit.
  void KeepSegment() { writer_.KeepSegment(); }

  const StreamSettings& Spec() const { return spec_; }
  int64_t FramesWritten() const { return written_; }

 private:
  StreamSettings spec_;
  tallwick::frame::FrameGeometry geometry_;
  tallwick::frame::FrameWriter writer_;
  std::unique_ptr<FrameSource> source_;
  Clock::time_point pausedUntil_{};
  int64_t written_ = 0;
};

}  // namespace tallwick::publisher
