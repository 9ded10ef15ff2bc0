#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>

#include "frame/frame_bounds.h"
#include "frame/shm.h"
#include "frame/video_frame.h"
#include "writer/frame_writer.h"

namespace {

using tallwick::frame::FrameWriter;

// One paint tick with an unchanged frame: parse the header of a published
// 1920x1080 I420 frame and check it against the mapping.
void BM_ParseAndCheck1080p(benchmark::State& state) {
  const std::string name = "/tallwick-frame-bench-" + std::to_string(getpid());
  FrameWriter writer(name, tallwick::frame::MakeGeometry(1920, 1080, tallwick::frame::kFormatI420));
  if (writer.Create() != shoom::kOK) {
    state.SkipWithError("cannot create the segment");
    return;
  }
  writer.WriteFrame(1, nullptr, nullptr, nullptr);
  shoom::Shm reader(name, 0);
  if (reader.Open() != shoom::kOK) {
    state.SkipWithError("cannot open the segment");
    return;
  }
  const std::string sid = "bench";
  TALLWICK_PP_RENDER::VideoFrame frame;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    int32_t result = TALLWICK_PP_RENDER::ParseVideoFrame(reader.Data(), &frame, sid);
    result |= TALLWICK_PP_RENDER::CheckVideoFrameBounds(frame, reader.Data(), reader.Size(), sid);
    benchmark::DoNotOptimize(result);
    benchmark::DoNotOptimize(frame);
  }
}
BENCHMARK(BM_ParseAndCheck1080p);

}  // namespace
