// Real-time run of the single-stream path: a writer thread publishes a
// 1920x1080 I420 moving pattern at 30 fps while the element draws it into a
// 1280x720 view through the in-process host on the real clock. Prints how
// many published frames were drawn, the publish-to-present latency and the
// main thread's CPU time per drawn frame.
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
#include <exception>
#include <string>

#include "frame/frame_writer.h"
#include "latency_run.h"

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
  const int64_t ticks = run.PaintTicks();
  std::printf("paint ticks %lld, main-thread CPU per tick %.3f ms\n", static_cast<long long>(ticks),
              ticks > 0 ? static_cast<double>(run.MainCpuNs()) / 1e6 / static_cast<double>(ticks) : 0.0);
}

int Measure(int seconds) {
  tallwick_bench::StreamPageSetup setup;
  setup.fps = kFps;
  setup.streams =
      tallwick_bench::CameraStreams(1, "/tallwick-latency-" + std::to_string(getpid()),
                                    tallwick::frame::MakeGeometry(1920, 1080, tallwick::frame::kFormatI420));
  tallwick_bench::PublishPlan plan;
  plan.fps = kFps;
  plan.seconds = seconds;
  tallwick_bench::LatencyRun run(setup, plan);
  std::string error;
  if (!run.Measure(nullptr, &error)) {
    std::fprintf(stderr, "stream_latency: %s\n", error.c_str());
    return 1;
  }
  PrintSummary(run);
  return 0;
}

// The options, then the measurement.
int Main(int argc, char** argv) {
  CLI::App app{
      "Publishes a 1920x1080 I420 moving pattern at 30 fps and shows it in a 1280x720 single-stream element on the "
      "in-process host's real clock; prints frames drawn / published, publish-to-present latency and main-thread CPU "
      "per drawn frame."};
  int seconds = 10;
  app.add_option("--seconds", seconds, "how long to publish")->check(CLI::Range(1, 3600));
  CLI11_PARSE(app, argc, argv);
  return Measure(seconds);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "stream_latency: %s\n", error.what());
    return 1;
  }
}
