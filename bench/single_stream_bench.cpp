#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "devhost/json.h"
#include "frame/frame_writer.h"
#include "stream_page.h"

// One paint tick of a single-stream element whose frame has not changed:
// the segment is open, the 1080p I420 header is parsed and checked against
// the mapping, the tick is skipped and the next one scheduled. The module
// runs in the in-process host on its virtual clock at 25 fps, so ticks come
// without waiting and the process CPU time divided by the ticks run is the
// cost of one idle tick (host loop included; module logging is off).

namespace {

using tallwick::frame::FrameWriter;
using tallwick_bench::StreamPage;

constexpr int kFps = 25;
constexpr int64_t kTickMs = 1000 / kFps;
constexpr int64_t kWarmUpMs = 53 * kTickMs;

int64_t ProcessCpuNs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// range(0): virtual milliseconds the page runs per iteration (one `run` line).
void BM_IdleTick1080p(benchmark::State& state) {
  tallwick_bench::StreamPageSetup setup;
  setup.fps = kFps;
  setup.segmentPath = "/tallwick-idle-bench-" + std::to_string(getpid());
  setup.geometry = tallwick::frame::MakeGeometry(1920, 1080, tallwick::frame::kFormatI420);
  FrameWriter writer(setup.segmentPath, setup.geometry);
  if (writer.Create() != shoom::kOK) {
    state.SkipWithError("cannot create the segment");
    return;
  }
  writer.WriteFrame(1, nullptr, nullptr, nullptr);

  int64_t presents = 0;
  int64_t lastPresentMs = -1;
  StreamPage page(pphost::ClockMode::kVirtual, [&](const std::string& line) {
    if (line.rfind(R"({"kind":"present")", 0) != 0) return;
    ++presents;
    lastPresentMs = pphost::Json::parse(line).at("t").get<int64_t>();
  });
  std::string error;
  // Past the first draw and the one "NO_FRAME" report that follows 2 s later.
  if (!page.Start(setup, &error) || !page.Run(kWarmUpMs) || presents != 1) {
    state.SkipWithError(error.empty() ? "the first frame was not drawn" : error.c_str());
    return;
  }

  const int64_t runMs = state.range(0);
  const int64_t cpuStart = ProcessCpuNs();
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    page.Run(runMs);
  }
  const int64_t cpuNs = ProcessCpuNs() - cpuStart;
  const int64_t ticks = state.iterations() * (runMs / kTickMs);

  // Every tick schedules the next, so a new frame drawn on the tick grid
  // proves that all the ticks counted ran: nothing was drawn while the frame
  // stayed the same, and none was late.
  const int64_t writtenAtMs = kWarmUpMs + state.iterations() * runMs;
  writer.WriteFrame(2, nullptr, nullptr, nullptr);
  page.Run(2 * kTickMs);
  if (presents != 2 || lastPresentMs % kTickMs != 0 || lastPresentMs > writtenAtMs + kTickMs) {
    state.SkipWithError("the paint loop did not tick every 40 ms");
  }

  state.SetItemsProcessed(ticks);
  state.counters["ticks"] = static_cast<double>(ticks);
  state.counters["cpu_us_per_tick"] = static_cast<double>(cpuNs) / 1000.0 / static_cast<double>(ticks);
}
// One tick per `run` line, and 250 ticks per line (the page's own command
// overhead spread thin).
BENCHMARK(BM_IdleTick1080p)->Arg(kTickMs)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
