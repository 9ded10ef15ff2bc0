#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "support/stream_page.h"

namespace tallwick_bench {

// The frame interval of the idle-tick cases: 25 fps.
inline constexpr int kIdleFps = 25;
inline constexpr int64_t kIdleTickMs = 1000 / kIdleFps;

// The CPU cost of one paint tick in which no frame changed, for the page
// `setup` describes, through the module linked in and the in-process host
// on its virtual clock: every stream's segment gets one frame, the page runs
// until the element has drawn every stream and is past the first no-frame
// report, then each iteration serves `state.range(0)` virtual ms (ticks come
// without waiting). Process CPU time divided by the ticks run is the
// `cpu_us_per_tick` counter (host loop included). Afterwards a new frame in
// the first stream must be drawn on the tick grid, which proves that every
// tick counted ran and none drew.
void MeasureIdleTicks(benchmark::State& state, const StreamPageSetup& setup);

// The same page with a tick that draws: before every tick each stream gets
// a new frame id (its pixels stay), and each iteration serves one tick
// interval, in which the element uploads and draws every stream and its swap
// completes. `cpu_us_per_frame` is the CPU time of the thread that runs the
// host loop and the module (the host's present work included; llvmpipe's
// own threads not) divided by the presents; every iteration must present
// exactly once.
void MeasureDrawnTicks(benchmark::State& state, const StreamPageSetup& setup);

// The single-stream case: a 1920x1080 I420 frame in a 1280x720 element.
StreamPageSetup SingleStream1080p(const std::string& pathPrefix);

}  // namespace tallwick_bench
