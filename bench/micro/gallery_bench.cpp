#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "micro/idle_tick.h"

// One paint tick of a gallery element in which no tile's frame changed: a
// 1280x720 element with nine tiles in a 3x3 grid, each showing its own
// 640x360 I420 stream (written once). Every tile's header is parsed and
// checked against its mapping, nothing is drawn and the next tick is
// scheduled. The single-stream element's idle tick (1080p I420, 1280x720
// element) runs beside it as the baseline. Both at 25 fps on the host's
// virtual clock. Then the gallery's tick that draws all nine tiles.

namespace {

using tallwick_bench::kIdleTickMs;

std::string PathPrefix() { return "/tallwick-gallery-bench-" + std::to_string(getpid()); }

tallwick_bench::StreamPageSetup Gallery3x3() {
  tallwick_bench::StreamPageSetup setup;
  setup.role = tallwick_bench::ElementRole::kGallery;
  setup.fps = tallwick_bench::kIdleFps;
  setup.streams = tallwick_bench::CameraStreams(9, PathPrefix(),
                                                tallwick::frame::MakeGeometry(640, 360, tallwick::frame::kFormatI420));
  setup.tiles = tallwick_bench::GridTiles(9, 3, setup.viewWidth, setup.viewHeight);
  return setup;
}

// range(0): virtual milliseconds the page runs per iteration (one host step).
void BM_SingleStreamIdleTick1080p(benchmark::State& state) {
  tallwick_bench::MeasureIdleTicks(state, tallwick_bench::SingleStream1080p(PathPrefix()));
}
void BM_GalleryIdleTick3x3(benchmark::State& state) { tallwick_bench::MeasureIdleTicks(state, Gallery3x3()); }

// One tick per host step, and 250 ticks per step (the step's own overhead
// spread thin).
BENCHMARK(BM_SingleStreamIdleTick1080p)->Arg(kIdleTickMs)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GalleryIdleTick3x3)->Arg(kIdleTickMs)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A tick that draws every tile: all nine streams get a new frame id before
// every tick, so each step uploads and draws nine tiles and completes one swap.
void BM_GalleryDrawnTick3x3(benchmark::State& state) { tallwick_bench::MeasureDrawnTicks(state, Gallery3x3()); }
BENCHMARK(BM_GalleryDrawnTick3x3)->Unit(benchmark::kMillisecond);

}  // namespace
