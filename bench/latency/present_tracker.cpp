#include "latency/present_tracker.h"

#include <utility>

#include "support/paint_timer_count.h"

namespace tallwick_bench {

namespace {

// Wider than any picture: the host clips the row to the image.
constexpr int32_t kWholeRow = 1 << 20;

}  // namespace

PresentTracker::PresentTracker(const std::vector<PublishLog>& published, std::vector<Rect> regions)
    : published_(published), regions_(std::move(regions)), shown_(regions_.size()) {}

void PresentTracker::OnPresent(const pphost::Host& host, const pphost::Json& elementId) {
  const int64_t now = NowNs(CLOCK_MONOTONIC);
  const int64_t cpuStart = NowNs(CLOCK_THREAD_CPUTIME_ID);
  ++presents_;
  const int64_t tick = LastPaintTickNs();
  if (tick > 0 && tick <= now) drawTimesNs_.push_back(now - tick);
  for (size_t i = 0; i < regions_.size() && i < published_.size(); ++i) {
    // Only the row the id is read from comes back from the GPU.
    Rect region = regions_[i];
    const int32_t row = IdRow(region);
    region.top -= row;
    const auto line = host.PresentedRegion(elementId, PP_MakeRectFromXYWH(0, row, kWholeRow, 1));
    Record(i, line ? *line : pphost::PresentedImage{}, region, now);
  }
  readBackCpuNs_ += NowNs(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
}

void PresentTracker::Record(size_t stream, const pphost::PresentedImage& image, const Rect& region, int64_t presentNs) {
  ShownLog& shown = shown_[stream];
  const auto frameId = ReadId(image, region);
  const auto publishedAt = frameId ? published_[stream].At(*frameId) : std::nullopt;
  if (!publishedAt) {
    ++shown.unreadable;
    return;
  }
  if (shown.framesShown.insert(*frameId).second) shown.latenciesNs.push_back(presentNs - *publishedAt);
}

int64_t PresentTracker::FramesShown() const {
  int64_t frames = 0;
  for (const ShownLog& shown : shown_) frames += static_cast<int64_t>(shown.framesShown.size());
  return frames;
}

}  // namespace tallwick_bench
