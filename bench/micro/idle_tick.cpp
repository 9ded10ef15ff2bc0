#include "micro/idle_tick.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "support/latency_stats.h"

namespace tallwick_bench {

namespace {

// Past the first draw and the "NO_FRAME" report that follows 2 s later.
constexpr int64_t kWarmUpTicks = 53;

bool WarmUp(StreamPage& page, const StreamPageSetup& setup, int64_t tickMs, std::string* error) {
  if (!page.Start(setup, error)) return false;
  if (!page.Run(kWarmUpTicks * tickMs)) {
    *error = "the warm-up run failed";
    return false;
  }
  if (page.StreamsShown() != static_cast<int64_t>(setup.streams.size())) {
    *error = "not every stream was drawn during the warm-up";
    return false;
  }
  return true;
}

using Writers = std::vector<std::unique_ptr<tallwick::frame::FrameWriter>>;

void PublishAll(Writers& writers, int32_t frameId) {
  for (auto& writer : writers) writer->WriteFrame(frameId, nullptr, nullptr, nullptr);
}

// Creates every stream's segment with frame 1 in it and runs the page past
// its warm-up; false, with the benchmark skipped for the reason, when either
// fails.
bool PreparePage(benchmark::State& state, const StreamPageSetup& setup, Writers* writers, StreamPage& page) {
  std::string error;
  *writers = CreateWriters(setup.streams, &error);
  if (!writers->empty()) PublishAll(*writers, 1);
  if (writers->empty() || !WarmUp(page, setup, 1000 / setup.fps, &error)) {
    state.SkipWithError(error.c_str());
    return false;
  }
  return true;
}

}  // namespace

void MeasureIdleTicks(benchmark::State& state, const StreamPageSetup& setup) {
  Writers writers;
  StreamPage page(pphost::ClockMode::kVirtual, nullptr);
  if (!PreparePage(state, setup, &writers, page)) return;

  const int64_t tickMs = 1000 / setup.fps;
  const int64_t presentsBefore = page.Presents();
  const int64_t armedBefore = page.PaintTicksArmed();
  const int64_t runMs = state.range(0);
  const int64_t cpuStart = NowNs(CLOCK_PROCESS_CPUTIME_ID);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    page.Run(runMs);
  }
  const int64_t cpuNs = NowNs(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
  const int64_t ticks = state.iterations() * (runMs / tickMs);
  const int64_t armed = page.PaintTicksArmed() - armedBefore;

  // Every tick arms the next, so as many armed timers and a new frame drawn
  // on the tick grid prove that all the ticks counted ran: nothing was drawn
  // while the frames stayed the same, and none was late.
  const int64_t idlePresents = page.Presents() - presentsBefore;
  const int64_t writtenAtMs = kWarmUpTicks * tickMs + state.iterations() * runMs;
  writers.front()->WriteFrame(2, nullptr, nullptr, nullptr);
  page.Run(2 * tickMs);
  const int64_t last = page.LastPresentMs();
  if (armed != ticks || idlePresents != 0 || page.Presents() != presentsBefore + 1 || last % tickMs != 0 ||
      last > writtenAtMs + tickMs) {
    state.SkipWithError("the paint loop did not tick idle on its frame interval");
  }

  state.SetItemsProcessed(ticks);
  state.counters["ticks"] = static_cast<double>(ticks);
  state.counters["streams"] = static_cast<double>(setup.streams.size());
  state.counters["cpu_us_per_tick"] = static_cast<double>(cpuNs) / 1000.0 / static_cast<double>(ticks);
}

void MeasureDrawnTicks(benchmark::State& state, const StreamPageSetup& setup) {
  Writers writers;
  StreamPage page(pphost::ClockMode::kVirtual, nullptr);
  if (!PreparePage(state, setup, &writers, page)) return;

  const int64_t tickMs = 1000 / setup.fps;
  int32_t frameId = 1;
  const int64_t presentsBefore = page.Presents();
  const int64_t cpuStart = NowNs(CLOCK_THREAD_CPUTIME_ID);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    PublishAll(writers, ++frameId);
    page.Run(tickMs);
  }
  const int64_t cpuNs = NowNs(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
  const int64_t frames = page.Presents() - presentsBefore;
  if (frames != static_cast<int64_t>(state.iterations())) {
    state.SkipWithError("a tick did not draw exactly one frame");
    return;
  }

  state.SetItemsProcessed(frames);
  state.counters["frames"] = static_cast<double>(frames);
  state.counters["streams"] = static_cast<double>(setup.streams.size());
  state.counters["cpu_us_per_frame"] = static_cast<double>(cpuNs) / 1000.0 / static_cast<double>(frames);
}

StreamPageSetup SingleStream1080p(const std::string& pathPrefix) {
  StreamPageSetup setup;
  setup.fps = kIdleFps;
  setup.streams = CameraStreams(1, pathPrefix, tallwick::frame::MakeGeometry(1920, 1080, tallwick::frame::kFormatI420));
  return setup;
}

}  // namespace tallwick_bench
