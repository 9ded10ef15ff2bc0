#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "latency/id_publisher.h"
#include "latency/present_tracker.h"
#include "support/latency_stats.h"
#include "support/stream_page.h"
#include "writer/frame_writer.h"

namespace tallwick_bench {

// A measurement on the real clock: a second thread publishes the page's
// streams on the plan while the main thread serves the page, and every
// present is tied to the frames it shows (PresentTracker). Every stream of
// the setup must have the same geometry.
class LatencyRun {
 public:
  LatencyRun(StreamPageSetup setup, PublishPlan plan);
  LatencyRun(const LatencyRun&) = delete;
  LatencyRun& operator=(const LatencyRun&) = delete;

  // Creates the segments, starts the page, publishes for the plan's seconds
  // and serves the page a little longer, so that the last frames can be
  // drawn. `progress`, when set, is called on the main thread after every
  // whole second served. False with a reason.
  bool Measure(const std::function<void(int64_t secondsServed)>& progress, std::string* error);

  const StreamPageSetup& Setup() const { return setup_; }
  const std::vector<PublishLog>& Published() const { return published_; }
  int64_t FramesPublished() const;
  const PresentTracker& Presents() const { return tracker_; }
  // The main thread's CPU time while serving the page, the read-back excluded.
  int64_t MainCpuNs() const { return mainCpuNs_ - tracker_.ReadBackCpuNs(); }
  int64_t ServedMs() const { return servedMs_; }
  // Paint ticks the element's loop armed while the page was served.
  int64_t PaintTicks() const { return paintTicks_; }

 private:
  bool Start(std::string* error);
  bool Run(const std::function<void(int64_t secondsServed)>& progress);
  void OnLine(const std::string& line);

  StreamPageSetup setup_;
  PublishPlan plan_;
  std::vector<PublishLog> published_;
  PresentTracker tracker_;
  std::vector<std::unique_ptr<tallwick::frame::FrameWriter>> writers_;
  std::unique_ptr<tallwick::frame::FrameWriter> staging_;
  int64_t mainCpuNs_ = 0;
  int64_t servedMs_ = 0;
  int64_t paintTicks_ = 0;
  StreamPage page_;
};

}  // namespace tallwick_bench
