#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "devhost/host.h"
#include "latency/frame_id_marks.h"
#include "support/latency_stats.h"

namespace tallwick_bench {

// What one stream's region of the presented images showed.
struct ShownLog {
  std::vector<int64_t> latenciesNs;  // publish to the first present that showed the frame
  std::set<int32_t> framesShown;
  int64_t unreadable = 0;  // presents where the region held no clean id, or one never published
};

// Ties every completed swap of an element to the frames it shows. On each
// present the host's image of that swap is read back and the id of every
// stream's region decoded; a frame counts once, at the first present that
// contains it (a region that did not change shows the frame it already
// counted). Only the row each id lies on is read back from the host; the
// read-back's CPU time is measured, so that it can be left out of the main
// thread's figure.
class PresentTracker {
 public:
  // `published[i]` is the log of the stream drawn in `regions[i]`.
  PresentTracker(const std::vector<PublishLog>& published, std::vector<Rect> regions);

  // For the element's `present` line: call it from the host's output sink.
  void OnPresent(const pphost::Host& host, const pphost::Json& elementId);

  int64_t Presents() const { return presents_; }
  int64_t ReadBackCpuNs() const { return readBackCpuNs_; }
  // Per present: from the start of the paint tick that drew it to the
  // present (the draw, GPU work included).
  const std::vector<int64_t>& DrawTimesNs() const { return drawTimesNs_; }
  const std::vector<ShownLog>& Shown() const { return shown_; }
  int64_t FramesShown() const;

 private:
  void Record(size_t stream, const pphost::PresentedImage& image, const Rect& region, int64_t presentNs);

  const std::vector<PublishLog>& published_;
  std::vector<Rect> regions_;
  std::vector<ShownLog> shown_;
  int64_t presents_ = 0;
  int64_t readBackCpuNs_ = 0;
  std::vector<int64_t> drawTimesNs_;
};

}  // namespace tallwick_bench
