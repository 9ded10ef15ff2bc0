#include "latency/id_publisher.h"

#include <chrono>
#include <memory>
#include <thread>

#include "latency/frame_id_marks.h"
#include "publisher/pattern.h"

namespace tallwick_bench {

void PublishIdFrames(const std::vector<tallwick::frame::FrameWriter*>& writers, tallwick::frame::FrameWriter& staging,
                     std::vector<PublishLog>& logs, const PublishPlan& plan) {
  std::vector<std::unique_ptr<tallwick::publisher::FrameSource>> sources;
  for (size_t i = 0; i < writers.size(); ++i) sources.push_back(tallwick::publisher::MakeMovingBars());
  const int64_t frames = int64_t{plan.seconds} * plan.fps;
  const int64_t periodNs = 1000000000 / plan.fps;
  const auto period = std::chrono::nanoseconds(plan.sweepPhase ? periodNs + periodNs / frames : periodNs);
  const auto streams = static_cast<int64_t>(writers.size());
  const auto start = std::chrono::steady_clock::now();
  for (int32_t frameId = 1; frameId <= frames; ++frameId) {
    for (int64_t i = 0; i < streams; ++i) {
      const auto index = static_cast<size_t>(i);
      staging.BeginFrame();
      sources[index]->Fill(staging, frameId);
      DrawId(staging, frameId);
      const auto phase = plan.spreadPhases ? period * i / streams : std::chrono::nanoseconds(0);
      std::this_thread::sleep_until(start + period * (frameId - 1) + phase);
      writers[index]->WriteFrame(frameId, staging.Plane(0), staging.Plane(1), staging.Plane(2));
      logs[index].Add(frameId, NowNs(CLOCK_MONOTONIC));
    }
  }
}

}  // namespace tallwick_bench
