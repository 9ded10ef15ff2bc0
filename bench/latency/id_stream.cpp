// id_stream: one stream of frames that carry their id (frame_id_marks.h),
// published in real time for a page outside this process to show, with the
// wall-clock time each frame went out. The browser latency run reads the ids
// back from the page's canvas and ties them to these times.
//
// Prints the segment as the page registers it (one JSON array, as
// frame-publisher prints it), publishes, then writes {"published": [[id,
// wall ms], ...]} to --times.
#include <CLI/CLI.hpp>
#include <ctime>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "latency/id_publisher.h"
#include "support/guarded_main.h"
#include "support/latency_stats.h"
#include "writer/frame_writer.h"

namespace {

struct Options {
  std::string name = "/tallwick-id-stream";
  std::string uid = "u1";
  std::string sid = "s1";
  int width = 1280;
  int height = 720;
  tallwick_bench::PublishPlan plan;
  std::string times;
};

// What CLOCK_MONOTONIC's ns must be moved by to read as ms since 1970.
double MonotonicToWallMs() {
  return static_cast<double>(tallwick_bench::NowNs(CLOCK_REALTIME) - tallwick_bench::NowNs(CLOCK_MONOTONIC)) / 1e6;
}

std::string SegmentLine(const Options& options, const tallwick::frame::FrameGeometry& geometry) {
  const nlohmann::ordered_json diff = {
      {"path", options.name}, {"uid", options.uid},
      {"sid", options.sid},   {"bufferSize", tallwick::frame::FrameSegmentSize(geometry)},
      {"bufferNumber", 1},    {"isScreen", false},
      {"isMerge", false},     {"frameFormat", geometry.format}};
  return nlohmann::ordered_json::array({diff}).dump();
}

bool WriteTimes(const std::string& path, const tallwick_bench::PublishLog& log, double offsetMs) {
  nlohmann::json published = nlohmann::json::array();
  for (int32_t id = 1; id <= log.Count(); ++id) {
    if (auto ns = log.At(id)) published.push_back({id, static_cast<double>(*ns) / 1e6 + offsetMs});
  }
  std::ofstream out(path);
  out << nlohmann::json{{"published", published}}.dump() << '\n';
  return static_cast<bool>(out);
}

int Run(const Options& options) {
  const auto geometry = tallwick::frame::MakeGeometry(options.width, options.height, tallwick::frame::kFormatI420);
  tallwick::frame::FrameWriter writer(options.name, geometry);
  tallwick::frame::FrameWriter staging(options.name + "-staging", geometry);
  if (writer.Create() != shoom::kOK || staging.Create() != shoom::kOK) {
    std::cerr << "id_stream: cannot create the segment " << options.name << '\n';
    return 1;
  }
  std::cout << SegmentLine(options, geometry) << std::endl;
  std::vector<tallwick_bench::PublishLog> logs(1);
  const double offsetMs = MonotonicToWallMs();
  tallwick_bench::PublishIdFrames({&writer}, staging, logs, options.plan);
  std::cerr << "id_stream: " << logs[0].Count() << " frames published\n";
  if (!options.times.empty() && !WriteTimes(options.times, logs[0], offsetMs)) {
    std::cerr << "id_stream: cannot write " << options.times << '\n';
    return 1;
  }
  return 0;
}

int Main(int argc, char** argv) {
  Options options;
  options.plan.spreadPhases = false;
  options.plan.sweepPhase = true;
  CLI::App app{"Publishes one stream of frames that carry their id, and when each went out (wall clock)."};
  app.add_option("--name", options.name, "segment name")->capture_default_str();
  app.add_option("--uid", options.uid, "user id")->capture_default_str();
  app.add_option("--sid", options.sid, "stream id")->capture_default_str();
  app.add_option("--width", options.width, "frame width")->check(CLI::Range(64, 4096))->capture_default_str();
  app.add_option("--height", options.height, "frame height")->check(CLI::Range(64, 4096))->capture_default_str();
  app.add_option("--fps", options.plan.fps, "frames per second")->check(CLI::Range(1, 240))->capture_default_str();
  app.add_option("--seconds", options.plan.seconds, "how long")->check(CLI::Range(1, 3600))->capture_default_str();
  app.add_option("--times", options.times, "where the publish times go (JSON)");
  CLI11_PARSE(app, argc, argv);
  return Run(options);
}

}  // namespace

int main(int argc, char** argv) { return tallwick_bench::GuardedMain("id_stream", Main, argc, argv); }
