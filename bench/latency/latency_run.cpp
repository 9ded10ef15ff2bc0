#include "latency/latency_run.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace tallwick_bench {

namespace {

// Served after the last frame is published, so that it can still be drawn.
constexpr int64_t kDrainMs = 200;

// Where each stream is drawn in the element's image (one CSS pixel is one
// drawing-buffer pixel at the page's device scale of 1).
std::vector<Rect> Regions(const StreamPageSetup& setup) {
  if (setup.role == ElementRole::kGallery) return setup.tiles;
  return {{0, 0, static_cast<double>(setup.viewWidth), static_cast<double>(setup.viewHeight)}};
}

}  // namespace

LatencyRun::LatencyRun(StreamPageSetup setup, PublishPlan plan)
    : setup_(std::move(setup)),
      plan_(plan),
      published_(setup_.streams.size()),
      tracker_(published_, Regions(setup_)),
      page_(pphost::ClockMode::kReal, [this](const std::string& line) { OnLine(line); }) {}

bool LatencyRun::Measure(const std::function<void(int64_t secondsServed)>& progress, std::string* error) {
  if (!Start(error)) return false;
  if (Run(progress)) return true;
  *error = "the page's run failed";
  return false;
}

bool LatencyRun::Start(std::string* error) {
  writers_ = CreateWriters(setup_.streams, error);
  if (writers_.empty()) return false;
  const std::string stagingPath = setup_.streams.front().segmentPath + "-staging";
  staging_ = std::make_unique<tallwick::frame::FrameWriter>(stagingPath, setup_.streams.front().geometry);
  if (staging_->Create() != shoom::kOK) {
    *error = "cannot create the segment " + stagingPath;
    return false;
  }
  return page_.Start(setup_, error);
}

bool LatencyRun::Run(const std::function<void(int64_t secondsServed)>& progress) {
  std::vector<tallwick::frame::FrameWriter*> writers;
  for (const auto& writer : writers_) writers.push_back(writer.get());
  std::thread publisher(PublishIdFrames, writers, std::ref(*staging_), std::ref(published_), plan_);
  const int64_t totalMs = int64_t{plan_.seconds} * 1000 + kDrainMs;
  const int64_t ticksBefore = page_.PaintTicksArmed();
  const int64_t cpuStart = NowNs(CLOCK_THREAD_CPUTIME_ID);
  bool ran = true;
  // In steps of a second, for the progress line; the page's timers carry on
  // across steps.
  while (ran && servedMs_ < totalMs) {
    const int64_t step = std::min<int64_t>(1000, totalMs - servedMs_);
    ran = page_.Run(step);
    servedMs_ += step;
    if (ran && progress && servedMs_ % 1000 == 0) progress(servedMs_ / 1000);
  }
  mainCpuNs_ = NowNs(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
  paintTicks_ = page_.PaintTicksArmed() - ticksBefore;
  publisher.join();
  return ran;
}

int64_t LatencyRun::FramesPublished() const {
  int64_t frames = 0;
  for (const PublishLog& log : published_) frames += log.Count();
  return frames;
}

void LatencyRun::OnLine(const std::string& line) {
  if (line.rfind(R"({"kind":"present")", 0) == 0) {
    tracker_.OnPresent(page_.Host(), pphost::Json(StreamPage::kElementId));
  }
}

}  // namespace tallwick_bench
