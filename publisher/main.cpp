// frame-publisher: stands in for the media process. Creates a named segment,
// writes frames of a moving colour-bar pattern into it at a frame rate, and
// prints the segment list the page forwards with "DO_UPDATE_SHARED_MEMORY".
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include "frame/frame_bounds.h"
#include "frame/frame_writer.h"
#include "frame/shm.h"
#include "frame/video_frame.h"
#include "publisher/pattern.h"

namespace {

using tallwick::frame::FrameGeometry;
using tallwick::frame::FrameWriter;

struct Options {
  std::string name = "/tallwick-demo";
  std::string uid = "u1";
  std::string sid = "s1";
  int32_t width = 1280;
  int32_t height = 720;
  std::string format = "I420";
  int32_t padding = 0;
  double fps = 30.0;
  int32_t frames = 1;
  bool inspect = false;
};

nlohmann::ordered_json Diffs(const Options& options, uint64_t bufferSize, int32_t format) {
  nlohmann::ordered_json diff = {{"path", options.name},     {"uid", options.uid},   {"sid", options.sid},
                                 {"bufferSize", bufferSize}, {"bufferNumber", 1},    {"isScreen", false},
                                 {"isMerge", false},         {"frameFormat", format}};
  return nlohmann::ordered_json::array({diff});
}

// Opens the segment read-only, as the module does, and reports the frame in it.
int Inspect(const std::string& name) {
  shoom::Shm shm(name, 0);
  const shoom::ShoomError opened = shm.Open();
  if (opened != shoom::kOK) {
    std::cerr << "frame-publisher: cannot open segment " << name << " (error " << opened << ")\n";
    return 1;
  }
  TALLWICK_PP_RENDER::VideoFrame frame;
  const int32_t parsed = TALLWICK_PP_RENDER::ParseVideoFrame(shm.Data(), &frame, name);
  const int32_t fits =
      parsed == 0 ? TALLWICK_PP_RENDER::CheckVideoFrameBounds(frame, shm.Data(), shm.Size(), name) : parsed;
  nlohmann::ordered_json out = {{"segment", name},        {"mapped", shm.Size()},     {"parse", parsed},
                                {"fits", fits == 0},      {"frameId", frame.frameId}, {"width", frame.width},
                                {"height", frame.height}, {"planS0", frame.planS0},   {"planS1", frame.planS1},
                                {"planS2", frame.planS2}, {"format", frame.format},   {"flip", frame.flip}};
  if (fits == 0) {
    out["firstLuma"] = frame.plan0[0];
  }
  std::cout << out.dump() << std::endl;
  return fits == 0 ? 0 : 1;
}

}  // namespace

int Run(int argc, char** argv) {
  Options options;
  CLI::App app{"Publishes a moving colour-bar video stream into a named shared-memory segment."};
  app.add_option("--name", options.name, "segment name")->capture_default_str();
  app.add_option("--uid", options.uid, "user id reported in the segment list")->capture_default_str();
  app.add_option("--sid", options.sid, "stream id reported in the segment list")->capture_default_str();
  app.add_option("--width", options.width, "picture width")->capture_default_str()->check(CLI::Range(1, 8192));
  app.add_option("--height", options.height, "picture height")->capture_default_str()->check(CLI::Range(1, 8192));
  app.add_option("--format", options.format, "pixel format")
      ->capture_default_str()
      ->check(CLI::IsMember({"I420", "NV12"}));
  app.add_option("--padding", options.padding, "extra bytes per row (stride > width)")
      ->capture_default_str()
      ->check(CLI::Range(0, 4096));
  app.add_option("--fps", options.fps, "frames per second")->capture_default_str()->check(CLI::Range(0.1, 240.0));
  app.add_option("--frames", options.frames, "number of frames to write")
      ->capture_default_str()
      ->check(CLI::Range(1, 1000000));
  app.add_flag("--inspect", options.inspect, "after writing, open the segment read-only and print the frame found");
  CLI11_PARSE(app, argc, argv);

  const int32_t format = options.format == "NV12" ? tallwick::frame::kFormatNV12 : tallwick::frame::kFormatI420;
  const FrameGeometry geometry = tallwick::frame::MakeGeometry(options.width, options.height, format, options.padding);
  FrameWriter writer(options.name, geometry);
  if (writer.Create() != shoom::kOK) {
    std::cerr << "frame-publisher: cannot create segment " << options.name << "\n";
    return 1;
  }
  std::cout << Diffs(options, tallwick::frame::FrameSegmentSize(geometry), format).dump() << std::endl;

  const auto period = std::chrono::duration<double>(1.0 / options.fps);
  auto next = std::chrono::steady_clock::now();
  for (int32_t id = 1; id <= options.frames; ++id) {
    writer.BeginFrame();
    tallwick::publisher::FillMovingBars(writer, id);
    writer.EndFrame(id);
    if (id < options.frames) {
      next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
      std::this_thread::sleep_until(next);
    }
  }
  std::cerr << "frame-publisher: wrote " << options.frames << " frame(s) of " << options.width << "x" << options.height
            << " " << options.format << " into " << options.name << "\n";
  return options.inspect ? Inspect(options.name) : 0;
}

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "frame-publisher: " << error.what() << "\n";
    return 1;
  }
}
