// Create/destroy cycles of each role beside a live stream: what the process
// holds before and after them. The page (pphost in process, virtual clock)
// has a controller and a single-stream element showing a 640x360 I420
// stream that gets a new frame every cycle; each cycle creates one element
// of the role, INITs it, gives it a 320x180 view (and a one-tile layout for
// the gallery), starts it, runs 50 ms of page time (its first frame drawn)
// and destroys it. The controller's cycle publishes the stream again instead
// of drawing. Heap in use (mallinfo2: bytes allocated and not freed, in the
// arenas and in malloc's own mapped blocks) and resident memory are read
// after a warm-up of cycles and again after the measured ones.
//
//   create_destroy [--cycles N] [--warm-up N] [--role single|gallery|controller|all]
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "memory/process_memory.h"
#include "support/guarded_main.h"
#include "support/page_lines.h"
#include "support/stream_page.h"

namespace {

using pphost::Json;
using tallwick_bench::ElementRole;
using tallwick_bench::StreamPage;

constexpr const char* kId = "x";
constexpr int kFps = 25;

// The page lines of one cycle of `role`.
std::vector<std::string> CycleLines(const std::string& role, const tallwick_bench::PageStream& stream) {
  const std::string view = tallwick_bench::ViewLine(kId, 320, 180);
  const std::string run = Json{{"op", "run"}, {"ms", 50}}.dump();
  const std::string destroy = tallwick_bench::DestroyLine(kId);
  const std::string start = tallwick_bench::MessageLine(kId, "START_RENDER", Json::object());
  if (role == "single") {
    return {tallwick_bench::CreateLine(kId, tallwick_bench::ElementAttrs(ElementRole::kSingleStream)),
            tallwick_bench::MessageLine(kId, "INIT", tallwick_bench::SingleStreamInitData(kFps, stream)),
            view,
            start,
            run,
            destroy};
  }
  if (role == "gallery") {
    const Json layout = tallwick_bench::LayoutData({stream}, {{0, 0, 320, 180}});
    return {tallwick_bench::CreateLine(kId, tallwick_bench::ElementAttrs(ElementRole::kGallery)),
            tallwick_bench::MessageLine(kId, "INIT", tallwick_bench::GalleryInitData(kFps, kId)),
            view,
            tallwick_bench::MessageLine(kId, "UPDATE_MULTI_INFOS", layout),
            start,
            run,
            destroy};
  }
  return {tallwick_bench::CreateLine(kId, tallwick_bench::ControllerAttrs()),
          tallwick_bench::MessageLine(kId, "INIT", Json::object()),
          tallwick_bench::MessageLine(kId, "DO_UPDATE_SHARED_MEMORY", tallwick_bench::RegistrationData({stream})), run,
          destroy};
}

bool RunCycles(StreamPage& page, tallwick::frame::FrameWriter& writer, const std::vector<std::string>& lines,
               int cycles, int32_t* frameId) {
  for (int cycle = 0; cycle < cycles; ++cycle) {
    writer.WriteFrame(++*frameId, nullptr, nullptr, nullptr);
    for (const std::string& line : lines) {
      if (!page.Host().Execute(line)) return false;
    }
  }
  return true;
}

int MeasureRole(const std::string& role, int warmUp, int cycles) {
  tallwick_bench::StreamPageSetup setup;
  setup.viewWidth = 640;
  setup.viewHeight = 360;
  setup.streams = tallwick_bench::CameraStreams(1, "/tallwick-create-destroy-" + std::to_string(getpid()),
                                                tallwick::frame::MakeGeometry(640, 360, tallwick::frame::kFormatI420));
  std::string error;
  auto writers = tallwick_bench::CreateWriters(setup.streams, &error);
  if (writers.empty()) {
    std::fprintf(stderr, "create_destroy: %s\n", error.c_str());
    return 1;
  }
  int32_t frameId = 1;
  writers[0]->WriteFrame(frameId, nullptr, nullptr, nullptr);
  StreamPage page(pphost::ClockMode::kVirtual, nullptr);
  if (!page.Start(setup, &error)) {
    std::fprintf(stderr, "create_destroy: %s\n", error.c_str());
    return 1;
  }
  const auto lines = CycleLines(role, setup.streams[0]);
  if (!RunCycles(page, *writers[0], lines, warmUp, &frameId)) return 1;
  const tallwick_bench::ProcessMemory before = tallwick_bench::MeasureProcessMemory();
  const auto start = std::chrono::steady_clock::now();
  if (!RunCycles(page, *writers[0], lines, cycles, &frameId)) {
    std::fprintf(stderr, "create_destroy: a page line failed\n");
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const tallwick_bench::ProcessMemory after = tallwick_bench::MeasureProcessMemory();
  const pphost::LiveCounts live = page.Host().Live();
  std::printf(
      "%-10s %6d cycles  %7.2f ms/cycle  heap %10lld -> %10lld B (%+lld)  rss %10lld -> %10lld B (%+lld)  "
      "live vars %zu resources %zu contexts %zu\n",
      role.c_str(), cycles, seconds * 1000.0 / cycles, static_cast<long long>(before.heapInUseBytes),
      static_cast<long long>(after.heapInUseBytes),
      static_cast<long long>(after.heapInUseBytes - before.heapInUseBytes),
      static_cast<long long>(before.residentBytes), static_cast<long long>(after.residentBytes),
      static_cast<long long>(after.residentBytes - before.residentBytes), live.vars, live.resources, live.contexts);
  return 0;
}

int Main(int argc, char** argv) {
  CLI::App app{"Create/destroy cycles of each role beside a live stream: heap in use and resident memory."};
  int cycles = 1000;
  int warmUp = 100;
  std::string role = "all";
  app.add_option("--cycles", cycles, "measured cycles per role")->check(CLI::PositiveNumber)->capture_default_str();
  app.add_option("--warm-up", warmUp, "cycles run before the first reading")
      ->check(CLI::NonNegativeNumber)
      ->capture_default_str();
  app.add_option("--role", role, "single, gallery, controller or all")
      ->check(CLI::IsMember({"single", "gallery", "controller", "all"}))
      ->capture_default_str();
  CLI11_PARSE(app, argc, argv);
  const std::vector<std::string> roles =
      role == "all" ? std::vector<std::string>{"single", "gallery", "controller"} : std::vector<std::string>{role};
  for (const std::string& each : roles) {
    if (MeasureRole(each, warmUp, cycles) != 0) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return tallwick_bench::GuardedMain("create_destroy", Main, argc, argv); }
