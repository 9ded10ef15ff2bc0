#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "micro/idle_tick.h"

// One paint tick of a single-stream element whose frame has not changed:
// the segment is open, the 1080p I420 header is parsed and checked against
// the mapping, the tick is skipped and the next one scheduled (25 fps,
// 1280x720 element, the host's virtual clock). Beside it, a tick that draws
// a new frame.

namespace {

// range(0): virtual milliseconds the page runs per iteration (one host step).
void BM_IdleTick1080p(benchmark::State& state) {
  tallwick_bench::MeasureIdleTicks(
      state, tallwick_bench::SingleStream1080p("/tallwick-idle-bench-" + std::to_string(getpid())));
}
// One tick per host step, and 250 ticks per step (the step's own overhead
// spread thin).
BENCHMARK(BM_IdleTick1080p)->Arg(tallwick_bench::kIdleTickMs)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A tick that draws: a new frame id before every tick, so each step uploads
// the 1080p planes, draws and completes a swap.
void BM_DrawnFrame1080p(benchmark::State& state) {
  tallwick_bench::MeasureDrawnTicks(
      state, tallwick_bench::SingleStream1080p("/tallwick-drawn-bench-" + std::to_string(getpid())));
}
BENCHMARK(BM_DrawnFrame1080p)->Unit(benchmark::kMillisecond);

}  // namespace
