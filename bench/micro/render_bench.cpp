#include <GLES2/gl2.h>
#include <benchmark/benchmark.h>
#include <libyuv.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bare_gl/bare_gallery_draw.h"
#include "bare_gl/bare_gl_context.h"
#include "bare_gl/bare_yuv_draw.h"
#include "micro/module_draw_page.h"
#include "micro/ratio_table.h"
#include "support/draw_case.h"
#include "support/stream_page.h"

// A drawn frame, side by side: through the module in the in-process host (a
// new frame id in a real segment, one paint tick that uploads, draws and
// swaps, the swap completed, glFinish), and through a bare EGL program that
// makes the same GL calls with the same shaders on the same driver
// (glFinish per frame). Two cases, each with the view sent after "INIT" so
// that the drawing buffer has the view's size: a 1080p frame into 1280x720
// and a 720p frame into 640x360. Beside them the module with the view sent
// before "INIT" (drawing buffer of the frame's size), and libyuv on the CPU
// as a yardstick. A third case draws a 3x3 gallery of 640x360 streams into
// 1280x720, every tile with a new frame each time (the gallery's heaviest
// tick), through the module and through a bare program that makes the
// gallery's per-tile calls. A closing table gives module / bare per case.

namespace {

using tallwick_bench::DrawCase;
using tallwick_bench::GalleryCase;
using tallwick_bench::ModuleDrawPage;

constexpr int kBareWarmUpFrames = 5;

std::string Size(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// The case's picture in a segment of this benchmark's own; null, with the
// benchmark marked failed, when the segment cannot be made.
std::unique_ptr<tallwick::frame::FrameWriter> Picture(benchmark::State& state, const DrawCase& drawCase) {
  std::string error;
  const std::string path = "/tallwick-render-bench-" + std::to_string(getpid()) + "-picture";
  auto writer = tallwick_bench::WritePicture(path, drawCase.geometry, &error);
  if (writer == nullptr) state.SkipWithError(error.c_str());
  return writer;
}

// Times DrawNext on a page that `start` starts.
void DrawThroughModule(benchmark::State& state, const std::function<bool(ModuleDrawPage&, std::string*)>& start) {
  ModuleDrawPage page;
  std::string error;
  if (!start(page, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    page.DrawNext();
  }
  if (!page.EachFramePresented()) state.SkipWithError("a frame was not presented on its tick");
  state.SetLabel("buffer " + page.DrawingBufferSize());
  state.SetItemsProcessed(state.iterations());
}

void DrawThroughModule(benchmark::State& state, const DrawCase& drawCase, ModuleDrawPage::ViewOrder order) {
  DrawThroughModule(state,
                    [&](ModuleDrawPage& page, std::string* error) { return page.Start(drawCase, order, error); });
}

// Times `drawFrame` followed by glFinish on a bare context of the view's size,
// after a few frames of warm-up.
void TimeBareDraws(benchmark::State& state, const std::function<void()>& drawFrame, int viewWidth, int viewHeight) {
  for (int i = 0; i < kBareWarmUpFrames; ++i) drawFrame();
  glFinish();
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    drawFrame();
    glFinish();
  }
  if (glGetError() != GL_NO_ERROR) state.SkipWithError("the bare draw raised a GL error");
  state.SetLabel("buffer " + Size(viewWidth, viewHeight));
  state.SetItemsProcessed(state.iterations());
}

// With `hostSwap` each frame also makes the copy the in-process host's swap
// makes, which the module's figure includes.
void DrawBare(benchmark::State& state, const DrawCase& drawCase, bool hostSwap = false) {
  const auto writer = Picture(state, drawCase);
  if (writer == nullptr) return;
  const TALLWICK_PP_RENDER::VideoFrame frame = tallwick_bench::FrameIn(*writer);
  std::string error;
  tallwick_bench::BareGlContext context;
  tallwick_bench::BareYuvDraw draw;
  if (!context.Start(drawCase.viewWidth, drawCase.viewHeight, &error) || !draw.Init(frame, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const auto drawFrame = [&] {
    draw.Draw(frame);
    if (hostSwap) context.CopyAsHostSwaps();
  };
  TimeBareDraws(state, drawFrame, drawCase.viewWidth, drawCase.viewHeight);
}

void DrawGalleryThroughModule(benchmark::State& state, const GalleryCase& galleryCase) {
  DrawThroughModule(state,
                    [&](ModuleDrawPage& page, std::string* error) { return page.StartGallery(galleryCase, error); });
}

// How the bare gallery draws: as the module does, plus the host's swap copy
// that the module's figure includes, or less the tiles' background fills
// (what the gallery's way of drawing costs).
enum class BareGalleryWay { kAsTheModule, kWithHostSwap, kWithoutFills };

// Every tile's picture in a segment of its own, as the module reads them.
void DrawGalleryBare(benchmark::State& state, const GalleryCase& galleryCase, BareGalleryWay way) {
  std::vector<std::unique_ptr<tallwick::frame::FrameWriter>> writers;
  std::vector<TALLWICK_PP_RENDER::VideoFrame> frames;
  std::string error;
  for (int i = 0; i < galleryCase.count; ++i) {
    const std::string path = "/tallwick-render-bench-" + std::to_string(getpid()) + "-tile" + std::to_string(i);
    writers.push_back(tallwick_bench::WritePicture(path, galleryCase.geometry, &error));
    if (writers.back() == nullptr) {
      state.SkipWithError(error.c_str());
      return;
    }
    frames.push_back(tallwick_bench::FrameIn(*writers.back()));
  }
  const auto items = tallwick_bench::CroppedTiles(
      frames,
      tallwick_bench::GridTiles(galleryCase.count, galleryCase.columns, galleryCase.viewWidth, galleryCase.viewHeight),
      galleryCase.viewWidth, galleryCase.viewHeight);
  tallwick_bench::BareGlContext context;
  tallwick_bench::BareGalleryDraw draw;
  if (!context.Start(galleryCase.viewWidth, galleryCase.viewHeight, &error) || !draw.Init({0, 0, 0, 1}, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  const auto drawFrame = [&] {
    draw.Draw(items, way != BareGalleryWay::kWithoutFills);
    if (way == BareGalleryWay::kWithHostSwap) context.CopyAsHostSwaps();
  };
  TimeBareDraws(state, drawFrame, galleryCase.viewWidth, galleryCase.viewHeight);
}

void BM_Module1080pTo720p(benchmark::State& state) {
  DrawThroughModule(state, tallwick_bench::Draw1080pTo720p(), ModuleDrawPage::ViewOrder::kAfterInit);
}
void BM_Bare1080pTo720p(benchmark::State& state) { DrawBare(state, tallwick_bench::Draw1080pTo720p()); }
void BM_Bare1080pTo720pHostSwap(benchmark::State& state) { DrawBare(state, tallwick_bench::Draw1080pTo720p(), true); }
void BM_Module720pTo360p(benchmark::State& state) {
  DrawThroughModule(state, tallwick_bench::Draw720pTo360p(), ModuleDrawPage::ViewOrder::kAfterInit);
}
void BM_Bare720pTo360p(benchmark::State& state) { DrawBare(state, tallwick_bench::Draw720pTo360p()); }
// The same 1080p frame and 1280x720 view, the view sent before "INIT": the
// renderer draws the whole frame into a 1920x1080 buffer.
void BM_Module1080pViewBeforeInit(benchmark::State& state) {
  DrawThroughModule(state, tallwick_bench::Draw1080pTo720p(), ModuleDrawPage::ViewOrder::kBeforeInit);
}

void BM_ModuleGallery3x3(benchmark::State& state) {
  DrawGalleryThroughModule(state, tallwick_bench::Gallery3x3Of360p());
}
void BM_BareGallery3x3(benchmark::State& state) {
  DrawGalleryBare(state, tallwick_bench::Gallery3x3Of360p(), BareGalleryWay::kAsTheModule);
}
void BM_BareGallery3x3HostSwap(benchmark::State& state) {
  DrawGalleryBare(state, tallwick_bench::Gallery3x3Of360p(), BareGalleryWay::kWithHostSwap);
}
void BM_BareGallery3x3NoFills(benchmark::State& state) {
  DrawGalleryBare(state, tallwick_bench::Gallery3x3Of360p(), BareGalleryWay::kWithoutFills);
}

// The CPU yardstick: libyuv converts the 1080p frame to ARGB at its size and
// scales it bilinearly to 1280x720.
void BM_CpuI420ToArgbScaled1080pTo720p(benchmark::State& state) {
  const DrawCase drawCase = tallwick_bench::Draw1080pTo720p();
  const auto writer = Picture(state, drawCase);
  if (writer == nullptr) return;
  const TALLWICK_PP_RENDER::VideoFrame frame = tallwick_bench::FrameIn(*writer);
  std::vector<uint8_t> argb(static_cast<size_t>(frame.width) * frame.height * 4);
  std::vector<uint8_t> view(static_cast<size_t>(drawCase.viewWidth) * drawCase.viewHeight * 4);
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    libyuv::I420ToARGB(frame.plan0, frame.planS0, frame.plan1, frame.planS1, frame.plan2, frame.planS2, argb.data(),
                       frame.width * 4, frame.width, frame.height);
    libyuv::ARGBScale(argb.data(), frame.width * 4, frame.width, frame.height, view.data(), drawCase.viewWidth * 4,
                      drawCase.viewWidth, drawCase.viewHeight, libyuv::kFilterBilinear);
    benchmark::DoNotOptimize(view.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

// Each module case beside its bare baseline, in this order.
BENCHMARK(BM_Module1080pTo720p)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Bare1080pTo720p)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Bare1080pTo720pHostSwap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Module720pTo360p)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Bare720pTo360p)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ModuleGallery3x3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareGallery3x3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareGallery3x3HostSwap)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BareGallery3x3NoFills)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Module1080pViewBeforeInit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CpuI420ToArgbScaled1080pTo720p)->Unit(benchmark::kMillisecond)->UseRealTime();

tallwick_bench::RatioTable Ratios() {
  return {"Wall time per drawn frame, this run",
          "figure ms",
          "baseline ms",
          {{"1080p -> 1280x720: module / bare", "BM_Module1080pTo720p", "BM_Bare1080pTo720p"},
           {"1080p: module / (bare + host's swap copy)", "BM_Module1080pTo720p", "BM_Bare1080pTo720pHostSwap"},
           {"720p -> 640x360: module / bare", "BM_Module720pTo360p", "BM_Bare720pTo360p"},
           {"3x3 gallery of 360p -> 1280x720: module / bare", "BM_ModuleGallery3x3", "BM_BareGallery3x3"},
           {"3x3 gallery: module / (bare + host's swap copy)", "BM_ModuleGallery3x3", "BM_BareGallery3x3HostSwap"},
           {"3x3 gallery, bare: with / without the tiles' fills", "BM_BareGallery3x3", "BM_BareGallery3x3NoFills"},
           {"1080p: view before / after INIT (module)", "BM_Module1080pViewBeforeInit", "BM_Module1080pTo720p"}}};
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  tallwick_bench::RatioReporter reporter(Ratios());
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
