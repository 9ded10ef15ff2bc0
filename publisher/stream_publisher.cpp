#include "publisher/stream_publisher.h"

#include <nlohmann/json.hpp>

#include <utility>

namespace tallwick::publisher {

namespace {

tallwick::frame::FrameGeometry GeometryOf(const StreamSettings& spec) {
  auto geometry = tallwick::frame::MakeGeometry(spec.width, spec.height, spec.format, spec.padding);
  geometry.rotation = spec.rotation;
  geometry.flip = spec.flip;
  return geometry;
}

}  // namespace

StreamPublisher::StreamPublisher(StreamSettings spec)
    : spec_(std::move(spec)), geometry_(GeometryOf(spec_)), writer_(spec_.name, geometry_) {}

bool StreamPublisher::Start(std::string* error) {
  source_ = MakeSource(spec_.pattern, geometry_, error);
  if (source_ == nullptr) return false;
  if (!spec_.label.empty()) source_ = MakeLabelled(std::move(source_), spec_.label);
  if (writer_.Create() != shoom::kOK) {
    *error = "cannot create segment " + spec_.name;
    return false;
  }
  return true;
}

StreamPublisher::Step StreamPublisher::Publish(int32_t frameId, Clock::time_point now) {
  if (spec_.stopAfter > 0 && frameId > spec_.stopAfter) return Step::kSkipped;
  if (spec_.pauseAt > 0 && frameId == spec_.pauseAt) pausedUntil_ = now + std::chrono::milliseconds(spec_.pauseMs);
  if (now < pausedUntil_) return Step::kSkipped;
  writer_.BeginFrame();
  if (spec_.dieAt > 0 && frameId == spec_.dieAt) return Step::kDied;
  source_->Fill(writer_, frameId);
  writer_.EndFrame(frameId);
  ++written_;
  return Step::kWritten;
}

std::string StreamPublisher::DiffJson() const {
  const nlohmann::ordered_json diff = {
      {"path", spec_.name}, {"uid", spec_.uid},
      {"sid", spec_.sid},   {"bufferSize", tallwick::frame::FrameSegmentSize(geometry_)},
      {"bufferNumber", 1},  {"isScreen", spec_.isScreen},
      {"isMerge", false},   {"frameFormat", spec_.format}};
  return diff.dump();
}

}  // namespace tallwick::publisher
