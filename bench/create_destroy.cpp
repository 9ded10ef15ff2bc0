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
#include <malloc.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "stream_page.h"

namespace {

using tallwick_bench::StreamPage;

struct Memory {
  long long heapBytes = 0;
  long long residentBytes = 0;
};

Memory Measure() {
  std::ifstream statm("/proc/self/statm");
  long long pages = 0;
  long long resident = 0;
  statm >> pages >> resident;
  const struct mallinfo2 heap = mallinfo2();
  // In use: allocated from the arenas, and the large blocks malloc maps itself.
  return {static_cast<long long>(heap.uordblks + heap.hblkhd), resident * sysconf(_SC_PAGESIZE)};
}

std::string Command(const std::string& command, const std::string& data) {
  return R"({"op":"message","id":"x","msg":{"command":")" + command + R"(","data":)" + data + "}}";
}

// The page lines of one cycle of `role`.
std::vector<std::string> CycleLines(const std::string& role, const tallwick_bench::PageStream& stream) {
  const std::string view = R"({"op":"view","id":"x","rect":[0,0,320,180]})";
  const std::string run = R"({"op":"run","ms":50})";
  const std::string destroy = R"({"op":"destroy","id":"x"})";
  if (role == "single") {
    return {R"({"op":"create","id":"x"})",
            Command("INIT", R"({"fps":25,"uid":")" + stream.uid + R"(","sid":")" + stream.sid + R"(","dpr":1})"),
            view,
            Command("START_RENDER", "{}"),
            run,
            destroy};
  }
  if (role == "gallery") {
    const std::string tile = R"({"streamId":")" + stream.sid + R"(","userId":")" + stream.uid +
                             R"(","renderConfig":{"left":0,"top":0,"width":320,"height":180,"renderMode":1}})";
    return {R"({"op":"create","id":"x","attrs":[["data-multi",""]]})",
            Command("INIT", R"({"fps":25,"dpr":1,"renderExceptionThreshold":2000})"),
            view,
            Command("UPDATE_MULTI_INFOS", R"({"renderInfos":[)" + tile + "]}"),
            Command("START_RENDER", "{}"),
            run,
            destroy};
  }
  const std::string diff = R"({"path":")" + stream.segmentPath + R"(","uid":")" + stream.uid + R"(","sid":")" +
                           stream.sid + R"(","bufferSize":0})";
  return {R"({"op":"create","id":"x","attrs":[["data-controller",""]]})", Command("INIT", "{}"),
          Command("DO_UPDATE_SHARED_MEMORY", R"({"op":0,"diffs":[)" + diff + "]}"), run, destroy};
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
  const Memory before = Measure();
  const auto start = std::chrono::steady_clock::now();
  if (!RunCycles(page, *writers[0], lines, cycles, &frameId)) {
    std::fprintf(stderr, "create_destroy: a page line failed\n");
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const Memory after = Measure();
  const pphost::LiveCounts live = page.Host().Live();
  std::printf(
      "%-10s %6d cycles  %7.2f ms/cycle  heap %10lld -> %10lld B (%+lld)  rss %10lld -> %10lld B (%+lld)  "
      "live vars %zu resources %zu contexts %zu\n",
      role.c_str(), cycles, seconds * 1000.0 / cycles, before.heapBytes, after.heapBytes,
      after.heapBytes - before.heapBytes, before.residentBytes, after.residentBytes,
      after.residentBytes - before.residentBytes, live.vars, live.resources, live.contexts);
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

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "create_destroy: %s\n", error.what());
    return 1;
  }
}
