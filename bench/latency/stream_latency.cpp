// Real-time runs of the single-stream path, one after the other: a writer
// thread publishes an I420 moving pattern at 30 fps while the element draws
// it through the in-process host on the real clock, 1280x720 frames into a
// 640x360 view and 1920x1080 frames into a 1280x720 view (render_bench's two
// cases; the view is sent after "INIT", so the drawing buffer has the view's
// size). Prints for each how many published frames were drawn, the
// publish-to-present latency and the main thread's CPU time per drawn frame.
//
// Matching presents to frames: every frame carries its id as a row of black
// and white blocks along its bottom edge. On each `present` line the picture
// of that swap is read back from the host and the blocks decoded, so each
// present is tied to the exact frame it showed, whichever ticks skipped or
// dropped frames (PresentTracker). The read-back's CPU time is measured and
// left out of the main thread's figure.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "latency/latency_run.h"
#include "support/draw_case.h"
#include "support/guarded_main.h"

namespace {

using tallwick_bench::PercentileMs;
using tallwick_bench::PresentTracker;

constexpr int kFps = 30;

void PrintSummary(const tallwick_bench::LatencyRun& run) {
  const int64_t published = run.FramesPublished();
  const PresentTracker& presents = run.Presents();
  const tallwick_bench::ShownLog& shown = presents.Shown().at(0);
  const auto drawn = static_cast<int64_t>(shown.framesShown.size());
  const double cpuPerFrameMs =
      drawn > 0 ? static_cast<double>(run.MainCpuNs()) / 1e6 / static_cast<double>(drawn) : 0.0;
  std::printf("frames published           %lld\n", static_cast<long long>(published));
  std::printf("presents                   %lld (%lld unreadable)\n", static_cast<long long>(presents.Presents()),
              static_cast<long long>(shown.unreadable));
  std::printf("frames drawn / published   %lld / %lld = %.1f%%\n", static_cast<long long>(drawn),
              static_cast<long long>(published),
              published > 0 ? 100.0 * static_cast<double>(drawn) / static_cast<double>(published) : 0.0);
  std::printf("publish-to-present latency median %.2f ms, p99 %.2f ms, max %.2f ms\n",
              PercentileMs(shown.latenciesNs, 0.5), PercentileMs(shown.latenciesNs, 0.99),
              PercentileMs(shown.latenciesNs, 1.0));
  std::printf("main-thread CPU per drawn frame %.2f ms (read-back for this measurement excluded: %.2f ms total)\n",
              cpuPerFrameMs, static_cast<double>(presents.ReadBackCpuNs()) / 1e6);
  tallwick_bench::PrintLoopFloor(kFps, presents.DrawTimesNs(), PercentileMs(shown.latenciesNs, 0.5));
  const int64_t ticks = run.PaintTicks();
  std::printf("paint ticks %lld, main-thread CPU per tick %.3f ms\n", static_cast<long long>(ticks),
              ticks > 0 ? static_cast<double>(run.MainCpuNs()) / 1e6 / static_cast<double>(ticks) : 0.0);
}

// A case as the command line names it.
struct LatencyCase {
  std::string name;
  tallwick_bench::DrawCase drawCase;
};

std::vector<LatencyCase> Cases() {
  return {{"720p", tallwick_bench::Draw720pTo360p()}, {"1080p", tallwick_bench::Draw1080pTo720p()}};
}

void PrintTitle(const LatencyCase& latencyCase, int seconds, bool fixedPhase) {
  const tallwick_bench::DrawCase& drawCase = latencyCase.drawCase;
  std::printf("\n%s%d: %dx%d I420 (Y stride %d) at %d fps for %d s into a %dx%d single-stream element, real clock%s\n",
              latencyCase.name.c_str(), kFps, drawCase.geometry.width, drawCase.geometry.height,
              drawCase.geometry.planS0, kFps, seconds, drawCase.viewWidth, drawCase.viewHeight,
              fixedPhase ? ", one phase" : ", phase swept once over the run");
}

bool Measure(const LatencyCase& latencyCase, int seconds, bool fixedPhase) {
  tallwick_bench::StreamPageSetup setup;
  setup.fps = kFps;
  setup.viewWidth = latencyCase.drawCase.viewWidth;
  setup.viewHeight = latencyCase.drawCase.viewHeight;
  setup.streams = tallwick_bench::CameraStreams(
      1, "/tallwick-latency-" + std::to_string(getpid()) + "-" + latencyCase.name, latencyCase.drawCase.geometry);
  tallwick_bench::PublishPlan plan;
  plan.fps = kFps;
  plan.seconds = seconds;
  plan.sweepPhase = !fixedPhase;
  tallwick_bench::LatencyRun run(setup, plan);
  std::string error;
  if (!run.Measure(nullptr, &error)) {
    std::fprintf(stderr, "stream_latency: %s: %s\n", latencyCase.name.c_str(), error.c_str());
    return false;
  }
  PrintTitle(latencyCase, seconds, fixedPhase);
  PrintSummary(run);
  return true;
}

// The options, then the measurements.
int Main(int argc, char** argv) {
  CLI::App app{
      "Publishes an I420 moving pattern at 30 fps and shows it in a single-stream element on the in-process host's "
      "real clock, 1280x720 into 640x360 and then 1920x1080 into 1280x720; prints for each frames drawn / "
      "published, publish-to-present latency and main-thread CPU per drawn frame."};
  int seconds = 10;
  std::string only;
  app.add_option("--seconds", seconds, "how long to publish, per case")->check(CLI::Range(1, 3600));
  app.add_option("--only", only, "run one case: 720p (into 640x360) or 1080p (into 1280x720)")
      ->check(CLI::IsMember({"720p", "1080p"}));
  bool fixedPhase = false;
  app.add_flag("--fixed-phase", fixedPhase,
               "publish at exactly 30 fps, so every frame meets the paint ticks at the phase the run happened to "
               "start with, instead of sliding once through the whole tick period over the run");
  CLI11_PARSE(app, argc, argv);
  bool measured = true;
  for (const LatencyCase& latencyCase : Cases()) {
    if (only.empty() || only == latencyCase.name) measured = Measure(latencyCase, seconds, fixedPhase) && measured;
  }
  return measured ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) { return tallwick_bench::GuardedMain("stream_latency", Main, argc, argv); }
