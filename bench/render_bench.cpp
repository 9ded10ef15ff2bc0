#include <benchmark/benchmark.h>
#include <libyuv.h>

#include <cstdint>
#include <string>
#include <vector>

#include "devhost/host.h"
#include "yuv/colour_bar_plugin.h"

// One 1080p I420 frame shown in a 1280 x 720 view, two ways side by side:
// the GPU path (YUV3DRender::RenderFrame through the in-process host, upload,
// draw and a completed swap) and the CPU path (libyuv conversion and scale).

namespace {

constexpr int kFrameWidth = 1920;
constexpr int kFrameHeight = 1080;
constexpr int kStride = 1984;  // rows padded beyond the picture, as the media process writes them
constexpr int kViewWidth = 1280;
constexpr int kViewHeight = 720;

struct I420Frame {
  std::vector<uint8_t> y = std::vector<uint8_t>(static_cast<size_t>(kStride) * kFrameHeight);
  std::vector<uint8_t> u = std::vector<uint8_t>(static_cast<size_t>(kStride / 2) * (kFrameHeight / 2));
  std::vector<uint8_t> v = std::vector<uint8_t>(static_cast<size_t>(kStride / 2) * (kFrameHeight / 2));

  I420Frame() {
    for (size_t i = 0; i < y.size(); ++i) y[i] = static_cast<uint8_t>(16 + i % 220);
    for (size_t i = 0; i < u.size(); ++i) u[i] = static_cast<uint8_t>(64 + i % 128);
    for (size_t i = 0; i < v.size(); ++i) v[i] = static_cast<uint8_t>(192 - i % 128);
  }
};

// CPU: convert the frame to ARGB at its own size, then scale it to the view.
void BM_CpuI420ToArgbScaled1080pTo720p(benchmark::State& state) {
  const I420Frame frame;
  std::vector<uint8_t> argb(static_cast<size_t>(kFrameWidth) * kFrameHeight * 4);
  std::vector<uint8_t> view(static_cast<size_t>(kViewWidth) * kViewHeight * 4);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    libyuv::I420ToARGB(frame.y.data(), kStride, frame.u.data(), kStride / 2, frame.v.data(), kStride / 2, argb.data(),
                       kFrameWidth * 4, kFrameWidth, kFrameHeight);
    libyuv::ARGBScale(argb.data(), kFrameWidth * 4, kFrameWidth, kFrameHeight, view.data(), kViewWidth * 4, kViewWidth,
                      kViewHeight, libyuv::kFilterBilinear);
    benchmark::DoNotOptimize(view.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CpuI420ToArgbScaled1080pTo720p)->Unit(benchmark::kMillisecond)->UseRealTime();

// GPU: YUV3DRender::RenderFrame in a plug-in instance of the in-process host
// (EGL on Mesa), from the page message to the completed swap. The planes are
// uploaded on every frame, as in the paint loop.
void BM_GpuRenderFrame1080pTo720p(benchmark::State& state) {
  const yuv_test::ColourBarFrame frame = yuv_test::MakeColourBars(kFrameWidth, kFrameHeight, kStride - kFrameWidth, 0);
  yuv_test::SetFrame(&frame);
  pphost::HostOptions options;
  options.clock = pphost::ClockMode::kVirtual;
  pphost::Host host(options, [](const std::string& /*line*/) {});
  if (!host.Load(yuv_test::ColourBarPluginEntryPoints())) {
    state.SkipWithError(host.LoadError().c_str());
    return;
  }
  host.Execute(R"({"op":"create","id":"v","attrs":[]})");
  host.Execute(R"({"op":"view","id":"v","rect":[0,0,1280,720]})");
  const pphost::Json id("v");
  int64_t swaps = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    host.Execute(R"({"op":"message","id":"v","msg":"draw"})");
    host.Execute(R"({"op":"run","ms":1})");
    const auto shown = host.LastPresented(id);
    if (!shown || shown->swaps != swaps + 1) {
      state.SkipWithError("the swap did not complete");
      break;
    }
    swaps = shown->swaps;
  }
  state.SetItemsProcessed(state.iterations());
  host.Finish();
  yuv_test::SetFrame(nullptr);
}
BENCHMARK(BM_GpuRenderFrame1080pTo720p)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
