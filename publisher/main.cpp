// frame-publisher: stands in for the media process. Creates one named
// segment per stream, writes frames into them at a frame rate, and prints the
// segment list the page forwards with "DO_UPDATE_SHARED_MEMORY".
#include <CLI/CLI.hpp>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "frame/frame_bounds.h"
#include "frame/shm.h"
#include "frame/video_frame.h"
#include "publisher/stream_publisher.h"

namespace {

using tallwick::publisher::StreamPublisher;
using tallwick::publisher::StreamSettings;

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int /*signal*/) { g_stop = 1; }

struct Options {
  std::vector<std::string> streams;
  std::string name = "/tallwick-stream";
  std::string format = "I420";
  int32_t width = 1280;
  int32_t height = 720;
  int32_t padding = 0;
  std::string pattern = "bars";
  double fps = 30.0;
  int32_t frames = 0;
  double seconds = 0.0;
  bool keep = false;
  bool inspect = false;
};

// Opens a segment read-only and reports the frame in it (as the module reads it).
int Inspect(const std::string& name) {
  shoom::Shm shm(name, 0);
  if (shm.Open() != shoom::kOK) {
    std::cerr << "frame-publisher: cannot open segment " << name << "\n";
    return 1;
  }
  TALLWICK_PP_RENDER::VideoFrame frame;
  int32_t result = TALLWICK_PP_RENDER::ParseVideoFrame(shm.Data(), &frame, name);
  if (result == 0) result = TALLWICK_PP_RENDER::CheckVideoFrameBounds(frame, shm.Data(), shm.Size(), name);
  std::cout << "segment " << name << ": " << shm.Size() << " bytes mapped; ";
  if (result != 0) {
    std::cout << "no complete frame (code " << result << ")\n";
    return 1;
  }
  std::cout << "frame " << frame.frameId << ", " << frame.width << "x" << frame.height << ", strides " << frame.planS0
            << "/" << frame.planS1 << "/" << frame.planS2 << ", format " << frame.format << ", first luma "
            << static_cast<int>(frame.plan0[0]) << "\n";
  return 0;
}

bool BuildPublishers(const Options& options, std::vector<std::unique_ptr<StreamPublisher>>* publishers) {
  std::vector<std::string> texts = options.streams;
  if (texts.empty()) {
    texts.push_back("name=" + options.name + ";format=" + options.format + ";width=" + std::to_string(options.width) +
                    ";height=" + std::to_string(options.height) + ";padding=" + std::to_string(options.padding) +
                    ";pattern=" + options.pattern);
  }
  for (const std::string& text : texts) {
    StreamSettings spec;
    std::string error;
    auto publisher = tallwick::publisher::ParseStreamSettings(text, &spec, &error)
                         ? std::make_unique<StreamPublisher>(spec)
                         : nullptr;
    if (publisher == nullptr || !publisher->Start(&error)) {
      std::cerr << "frame-publisher: --stream \"" << text << "\": " << error << "\n";
      return false;
    }
    if (options.keep) publisher->KeepSegment();
    publishers->push_back(std::move(publisher));
  }
  return true;
}

void PrintDiffs(const std::vector<std::unique_ptr<StreamPublisher>>& publishers) {
  std::string list = "[";
  for (const auto& publisher : publishers) list += (list.size() > 1 ? "," : "") + publisher->DiffJson();
  std::cout << list << "]" << std::endl;
}

// Writes frames at the frame rate until the count or the time is reached, or
// a signal arrives, and prints the segment list once every stream holds its
// first frame, so that a reader started on that line finds a frame. Returns
// false when a stream was told to die mid-frame.
bool PublishLoop(const Options& options, std::vector<std::unique_ptr<StreamPublisher>>& publishers) {
  using Clock = StreamPublisher::Clock;
  const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options.fps));
  const Clock::time_point start = Clock::now();
  const auto endTime =
      start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.seconds));
  Clock::time_point next = start;
  bool announced = false;
  const auto announce = [&] {
    if (!announced) PrintDiffs(publishers);
    announced = true;
  };
  for (int32_t frameId = 1; g_stop == 0; ++frameId) {
    if (options.frames > 0 && frameId > options.frames) break;
    if (options.seconds > 0 && Clock::now() >= endTime) break;
    for (auto& publisher : publishers) {
      if (publisher->Publish(frameId, Clock::now()) == StreamPublisher::Step::kDied) {
        announce();
        std::cerr << "frame-publisher: " << publisher->Spec().name << " dies while writing frame " << frameId << "\n";
        return false;
      }
    }
    announce();
    next += period;
    std::this_thread::sleep_until(next);
  }
  announce();
  return true;
}

int Run(int argc, char** argv) {
  Options options;
  CLI::App app{"Publishes video streams into named shared-memory segments, as the media process does."};
  app.add_option("--stream", options.streams,
                 "a stream, as key=value pairs separated by ';' (one shell word: quote it): name (required), uid, "
                 "sid, screen, width, height, format (I420|NV12), padding, rotation, flip, pattern, label, and faults "
                 "stop-after=N, pause-at=N;pause-ms=MS, die-at=N. Repeat for more streams.");
  app.footer(
      "Patterns:\n"
      "  bars         colour bars that move every 15 frames, frame number top-left (the default)\n"
      "  tile:R,G,B   that colour (0..255 each) with a diagonal gradient and a lighter band moving\n"
      "               every frame, frame number top-left\n"
      "  solid:R,G,B  that colour everywhere\n"
      "  palette[:S]  flat frames cycling through six colours, frame N in colour (N + S) mod 6 (S 0..5,\n"
      "               default 0); their Y, U and V values all differ, so each plane of a picture on the\n"
      "               screen tells which frame it came from (the YUV values: publisher/pattern.cpp)\n"
      "  y4m:PATH     the frames of an 8-bit 4:2:0 Y4M file of the stream's size, looped\n"
      "Labels: label=TEXT draws TEXT (up to 24 characters; spaces are fine, ';' is not) white on a dark box at\n"
      "the bottom-left, an eighth of the picture high, over any pattern. A-Z, 0-9, space, '-', '_' and '.' are\n"
      "drawn, lower case as upper case, anything else as a box.\n"
      "Example:\n"
      "  frame-publisher --stream \"name=/cam1;uid=u1;width=640;height=360;pattern=tile:200,60,40;label=1 ADA\"");
  app.add_option("--name", options.name, "segment name of the single stream when no --stream is given")
      ->capture_default_str();
  app.add_option("--width", options.width, "width of that stream")->capture_default_str();
  app.add_option("--height", options.height, "height of that stream")->capture_default_str();
  app.add_option("--format", options.format, "I420 or NV12")->capture_default_str();
  app.add_option("--padding", options.padding, "extra bytes per row")->capture_default_str();
  app.add_option("--pattern", options.pattern, "bars, tile:R,G,B, solid:R,G,B, palette[:S] or y4m:PATH")
      ->capture_default_str();
  app.add_option("--fps", options.fps, "frames per second")->capture_default_str()->check(CLI::Range(0.1, 1000.0));
  app.add_option("--frames", options.frames, "stop after this many frames (0: no limit)")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--seconds", options.seconds, "stop after this long (0: no limit)")->check(CLI::NonNegativeNumber);
  app.add_flag("--keep", options.keep, "leave the segments in place on exit");
  app.add_flag("--inspect", options.inspect, "at the end, read every segment back read-only and print its frame");
  CLI11_PARSE(app, argc, argv);

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::vector<std::unique_ptr<StreamPublisher>> publishers;
  if (!BuildPublishers(options, &publishers)) return 2;
  if (!PublishLoop(options, publishers)) std::_Exit(3);  // as a writer that crashed: the segments stay

  int status = 0;
  for (const auto& publisher : publishers) {
    std::cerr << "frame-publisher: " << publisher->Spec().name << ": " << publisher->FramesWritten()
              << " frame(s) written\n";
    if (options.inspect) status |= Inspect(publisher->Spec().name);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "frame-publisher: " << error.what() << "\n";
    return 1;
  }
}
