// Real-time run of the gallery path: a writer thread publishes nine
// 640x360 I420 moving patterns at 30 fps each while a gallery element draws
// them as a 3x3 grid of tiles into a 1280x720 view, through the in-process
// host on the real clock. Prints per tile how many published frames were
// shown and the publish-to-present latency, then the totals and the main
// thread's CPU time per paint tick.
//
// Every frame carries its id along its bottom edge; on each present the
// image of that swap is read back and every tile's id decoded, so a frame is
// tied to the first swap that contains it (tiles that did not change keep
// their pixels and their id). The read-back's CPU time is left out of the
// main thread's figure.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "latency/latency_run.h"
#include "support/guarded_main.h"
#include "writer/frame_writer.h"

namespace {

using tallwick_bench::LatencyRun;
using tallwick_bench::PercentileMs;
using tallwick_bench::ShownLog;

constexpr int kFps = 30;
constexpr int kTiles = 9;
constexpr int kColumns = 3;

tallwick_bench::StreamPageSetup GallerySetup(int pageFps) {
  tallwick_bench::StreamPageSetup setup;
  setup.role = tallwick_bench::ElementRole::kGallery;
  setup.fps = pageFps;
  setup.streams = tallwick_bench::CameraStreams(kTiles, "/tallwick-gallery-latency-" + std::to_string(getpid()),
                                                tallwick::frame::MakeGeometry(640, 360, tallwick::frame::kFormatI420));
  setup.tiles = tallwick_bench::GridTiles(kTiles, kColumns, setup.viewWidth, setup.viewHeight);
  return setup;
}

double Percent(int64_t part, int64_t whole) {
  return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

// One line of the table: a tile, or all of them.
struct Row {
  int64_t published = 0;
  int64_t shown = 0;
  int64_t unreadable = 0;
  std::vector<int64_t> latenciesNs;

  void Add(int64_t framesPublished, const ShownLog& log) {
    published += framesPublished;
    shown += static_cast<int64_t>(log.framesShown.size());
    unreadable += log.unreadable;
    latenciesNs.insert(latenciesNs.end(), log.latenciesNs.begin(), log.latenciesNs.end());
  }
};

void PrintRow(const std::string& tile, const std::string& stream, const Row& row) {
  std::printf("%-6s %-7s %9lld %7lld %7.1f%% %10lld %9.2f %9.2f %9.2f\n", tile.c_str(), stream.c_str(),
              static_cast<long long>(row.published), static_cast<long long>(row.shown),
              Percent(row.shown, row.published), static_cast<long long>(row.unreadable),
              PercentileMs(row.latenciesNs, 0.5), PercentileMs(row.latenciesNs, 0.99),
              PercentileMs(row.latenciesNs, 1.0));
}

// Tiles are named by grid place, "row,column" from the top left.
void PrintTable(const LatencyRun& run, int pageFps) {
  const auto& setup = run.Setup();
  const auto& shown = run.Presents().Shown();
  std::printf("%-6s %-7s %9s %7s %8s %10s %9s %9s %9s\n", "tile", "stream", "published", "shown", "shown %",
              "unreadable", "median ms", "p99 ms", "max ms");
  Row total;
  for (size_t i = 0; i < shown.size(); ++i) {
    Row row;
    row.Add(run.Published()[i].Count(), shown[i]);
    total.Add(run.Published()[i].Count(), shown[i]);
    const std::string place =
        std::to_string(static_cast<int>(i) / kColumns) + "," + std::to_string(static_cast<int>(i) % kColumns);
    PrintRow(place, setup.streams[i].sid, row);
  }
  PrintRow("total", "", total);
  tallwick_bench::PrintLoopFloor(pageFps, run.Presents().DrawTimesNs(), PercentileMs(total.latenciesNs, 0.5));
}

void PrintTicks(const LatencyRun& run) {
  const int64_t ticks = run.PaintTicks();
  const int64_t presents = run.Presents().Presents();
  const auto cpuMs = static_cast<double>(run.MainCpuNs()) / 1e6;
  std::printf("presents %lld, paint ticks %lld in %.1f s\n", static_cast<long long>(presents),
              static_cast<long long>(ticks), static_cast<double>(run.ServedMs()) / 1000.0);
  std::printf(
      "main-thread CPU per tick %.3f ms, per present %.3f ms (read-back for this measurement excluded: %.2f ms "
      "total)\n",
      ticks > 0 ? cpuMs / static_cast<double>(ticks) : 0.0, presents > 0 ? cpuMs / static_cast<double>(presents) : 0.0,
      static_cast<double>(run.Presents().ReadBackCpuNs()) / 1e6);
}

void PrintProgress(const LatencyRun& run, int64_t secondsServed, int seconds) {
  std::fprintf(stderr, "gallery_latency: %lld/%d s, %lld frames published, %lld shown, %lld presents\n",
               static_cast<long long>(secondsServed), seconds, static_cast<long long>(run.FramesPublished()),
               static_cast<long long>(run.Presents().FramesShown()), static_cast<long long>(run.Presents().Presents()));
}

// What the run is asked for.
struct Options {
  int seconds = 10;
  bool aligned = false;
  int pageFps = kFps;
};

int Measure(const Options& options) {
  const int seconds = options.seconds;
  tallwick_bench::PublishPlan plan;
  plan.fps = kFps;
  plan.seconds = seconds;
  plan.spreadPhases = !options.aligned;
  LatencyRun run(GallerySetup(options.pageFps), plan);
  std::string error;
  if (!run.Measure([&](int64_t served) { PrintProgress(run, served, seconds); }, &error)) {
    std::fprintf(stderr, "gallery_latency: %s\n", error.c_str());
    return 1;
  }
  std::printf(
      "%d streams of 640x360 I420 at %d fps (%s), 3x3 tiles of a 1280x720 gallery element polling at %d fps, real "
      "clock\n",
      kTiles, kFps, options.aligned ? "published together" : "phases spread over the frame period", options.pageFps);
  PrintTable(run, options.pageFps);
  PrintTicks(run);
  return 0;
}

// The options, then the measurement.
int Main(int argc, char** argv) {
  CLI::App app{
      "Publishes nine 640x360 I420 moving patterns at 30 fps and shows them as 3x3 tiles of a 1280x720 gallery "
      "element on the in-process host's real clock; prints per tile frames shown / published and publish-to-present "
      "latency, the totals and main-thread CPU per paint tick. Progress goes to stderr once a second."};
  Options options;
  app.add_option("--seconds", options.seconds, "how long to publish")->check(CLI::Range(1, 3600));
  app.add_flag("--aligned", options.aligned,
               "publish the nine streams' frames at the same instant, instead of spreading their phases evenly over "
               "the frame period");
  app.add_option("--page-fps", options.pageFps,
                 "the element's fps as the page sends it in INIT: its paint loop polls the segments at this rate "
                 "(default 30, the streams' own rate)")
      ->check(CLI::Range(1, 120));
  CLI11_PARSE(app, argc, argv);
  return Measure(options);
}

}  // namespace

int main(int argc, char** argv) { return tallwick_bench::GuardedMain("gallery_latency", Main, argc, argv); }
