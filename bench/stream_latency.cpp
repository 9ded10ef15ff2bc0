// Real-time run of the single-stream path: a writer thread publishes a
// 1920x1080 I420 moving pattern at 30 fps while the element draws it into a
// 1280x720 view through the in-process host on the real clock. Prints how
// many published frames were drawn, the publish-to-present latency and the
// main thread's CPU time per drawn frame.
//
// Matching presents to frames: every frame carries its id as a row of black
// and white blocks along its bottom edge. On each `present` line the picture
// of that swap is read back from the host and the blocks decoded, so each
// present is tied to the exact frame it showed, whichever ticks skipped or
// dropped frames. The read-back's CPU time is measured and left out of the
// main thread's figure.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <exception>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "devhost/presented_image.h"
#include "frame/frame_writer.h"
#include "publisher/pattern.h"
#include "stream_page.h"

namespace {

using tallwick::frame::FrameWriter;

constexpr int kFps = 30;
constexpr int32_t kIdBits = 16;
constexpr int32_t kIdBlockHeight = 108;  // a tenth of the frame's height

int64_t NowNs(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The frame id as kIdBits blocks across the bottom of the frame, most
// significant first: white for 1, black for 0.
void DrawId(FrameWriter& writer, int32_t frameId) {
  const auto& g = writer.Geometry();
  const int32_t blockWidth = g.width / kIdBits;
  for (int32_t bit = 0; bit < kIdBits; ++bit) {
    const bool one = ((frameId >> (kIdBits - 1 - bit)) & 1) != 0;
    const auto colour = one ? tallwick::publisher::RgbToYuv(255, 255, 255) : tallwick::publisher::RgbToYuv(0, 0, 0);
    tallwick::publisher::FillRect(writer, bit * blockWidth, g.height - kIdBlockHeight, blockWidth, kIdBlockHeight,
                                  colour);
  }
}

// Reads the blocks back at their centres, wherever the view scaled them; no
// id when any block is neither clearly white nor clearly black.
std::optional<int32_t> ReadId(const pphost::PresentedImage& image, int32_t frameHeight) {
  if (image.Empty()) return std::nullopt;
  const auto y = static_cast<int32_t>(image.height - int64_t{image.height} * kIdBlockHeight / 2 / frameHeight);
  int32_t id = 0;
  for (int32_t bit = 0; bit < kIdBits; ++bit) {
    const auto x = static_cast<int32_t>(int64_t{image.width} * (2 * bit + 1) / (int64_t{2} * kIdBits));
    const uint8_t* rgba = image.At(x, y);
    const bool white = rgba[0] > 192 && rgba[1] > 192 && rgba[2] > 192;
    const bool black = rgba[0] < 64 && rgba[1] < 64 && rgba[2] < 64;
    if (!white && !black) return std::nullopt;
    id = (id << 1) | (white ? 1 : 0);
  }
  return id;
}

// Publish times (CLOCK_MONOTONIC ns) by frame id; frame ids start at 1.
class PublishLog {
 public:
  void Add(int32_t frameId, int64_t ns) {
    const std::lock_guard<std::mutex> lock(mutex_);
    times_.resize(std::max(times_.size(), static_cast<size_t>(frameId) + 1), -1);
    times_[static_cast<size_t>(frameId)] = ns;
  }
  std::optional<int64_t> At(int32_t frameId) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (frameId < 0 || static_cast<size_t>(frameId) >= times_.size() || times_[static_cast<size_t>(frameId)] < 0) {
      return std::nullopt;
    }
    return times_[static_cast<size_t>(frameId)];
  }
  int64_t Count() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int64_t>(std::count_if(times_.begin(), times_.end(), [](int64_t t) { return t >= 0; }));
  }

 private:
  mutable std::mutex mutex_;
  std::vector<int64_t> times_;
};

// Publishes frames 1, 2, ... at kFps for `seconds`, each with its id drawn
// in. Each picture is drawn into `staging` first and copied into the stream's
// segment in one go, as a media process copies a decoded frame.
void PublishFrames(FrameWriter& writer, FrameWriter& staging, PublishLog& log, int seconds) {
  const auto source = tallwick::publisher::MakeMovingBars();
  const auto period = std::chrono::nanoseconds(1000000000 / kFps);
  const auto start = std::chrono::steady_clock::now();
  for (int32_t frameId = 1; frameId <= seconds * kFps; ++frameId) {
    staging.BeginFrame();
    source->Fill(staging, frameId);
    DrawId(staging, frameId);
    std::this_thread::sleep_until(start + period * (frameId - 1));
    writer.WriteFrame(frameId, staging.Plane(0), staging.Plane(1), staging.Plane(2));
    log.Add(frameId, NowNs(CLOCK_MONOTONIC));
  }
}

// What the `present` lines showed.
struct PresentLog {
  std::vector<int64_t> latenciesNs;
  std::set<int32_t> framesShown;
  int64_t presents = 0;
  int64_t unreadable = 0;  // no clean id (the writer changed the picture while it was drawn), or one never published
  int64_t readBackCpuNs = 0;
};

void OnPresent(pphost::Host& host, int32_t frameHeight, const PublishLog& published, PresentLog& shown) {
  const int64_t now = NowNs(CLOCK_MONOTONIC);
  const int64_t cpuStart = NowNs(CLOCK_THREAD_CPUTIME_ID);
  ++shown.presents;
  const auto presentation = host.LastPresented(pphost::Json(tallwick_bench::StreamPage::kElementId));
  const auto frameId = presentation ? ReadId(presentation->image, frameHeight) : std::nullopt;
  const auto publishedAt = frameId ? published.At(*frameId) : std::nullopt;
  if (publishedAt) {
    shown.latenciesNs.push_back(now - *publishedAt);
    shown.framesShown.insert(*frameId);
  } else {
    ++shown.unreadable;
  }
  shown.readBackCpuNs += NowNs(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
}

double PercentileMs(std::vector<int64_t> values, double fraction) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  // Nearest rank.
  auto rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  rank = std::clamp<size_t>(rank, 1, values.size());
  return static_cast<double>(values[rank - 1]) / 1e6;
}

void PrintSummary(int64_t published, const PresentLog& shown, int64_t mainCpuNs) {
  const auto drawn = static_cast<int64_t>(shown.framesShown.size());
  const double cpuPerFrameMs =
      drawn > 0 ? static_cast<double>(mainCpuNs - shown.readBackCpuNs) / 1e6 / static_cast<double>(drawn) : 0.0;
  std::printf("frames published           %lld\n", static_cast<long long>(published));
  std::printf("presents                   %lld (%lld unreadable)\n", static_cast<long long>(shown.presents),
              static_cast<long long>(shown.unreadable));
  std::printf("frames drawn / published   %lld / %lld = %.1f%%\n", static_cast<long long>(drawn),
              static_cast<long long>(published),
              published > 0 ? 100.0 * static_cast<double>(drawn) / static_cast<double>(published) : 0.0);
  std::printf("publish-to-present latency median %.2f ms, p99 %.2f ms, max %.2f ms\n",
              PercentileMs(shown.latenciesNs, 0.5), PercentileMs(shown.latenciesNs, 0.99),
              PercentileMs(shown.latenciesNs, 1.0));
  std::printf("main-thread CPU per drawn frame %.2f ms (read-back for this measurement excluded: %.2f ms total)\n",
              cpuPerFrameMs, static_cast<double>(shown.readBackCpuNs) / 1e6);
}

int Measure(int seconds) {
  tallwick_bench::StreamPageSetup setup;
  setup.fps = kFps;
  setup.segmentPath = "/tallwick-latency-" + std::to_string(getpid());
  setup.geometry = tallwick::frame::MakeGeometry(1920, 1080, tallwick::frame::kFormatI420);
  FrameWriter writer(setup.segmentPath, setup.geometry);
  FrameWriter staging(setup.segmentPath + "-staging", setup.geometry);
  if (writer.Create() != shoom::kOK || staging.Create() != shoom::kOK) {
    std::fprintf(stderr, "cannot create the segments %s(-staging)\n", setup.segmentPath.c_str());
    return 1;
  }

  PublishLog published;
  PresentLog shown;
  pphost::Host* host = nullptr;
  tallwick_bench::StreamPage page(pphost::ClockMode::kReal, [&](const std::string& line) {
    if (host != nullptr && line.rfind(R"({"kind":"present")", 0) == 0) {
      OnPresent(*host, setup.geometry.height, published, shown);
    }
  });
  host = &page.Host();
  std::string error;
  if (!page.Start(setup, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  std::thread publisher(PublishFrames, std::ref(writer), std::ref(staging), std::ref(published), seconds);
  const int64_t cpuStart = NowNs(CLOCK_THREAD_CPUTIME_ID);
  // A little longer than the publisher, so that its last frame can be drawn.
  const bool ran = page.Run(int64_t{seconds} * 1000 + 200);
  const int64_t mainCpuNs = NowNs(CLOCK_THREAD_CPUTIME_ID) - cpuStart;
  publisher.join();
  if (!ran) {
    std::fprintf(stderr, "the page's run failed\n");
    return 1;
  }
  PrintSummary(published.Count(), shown, mainCpuNs);
  return 0;
}

// The options, then the measurement.
int Main(int argc, char** argv) {
  CLI::App app{
      "Publishes a 1920x1080 I420 moving pattern at 30 fps and shows it in a 1280x720 single-stream element on the "
      "in-process host's real clock; prints frames drawn / published, publish-to-present latency and main-thread CPU "
      "per drawn frame."};
  int seconds = 10;
  app.add_option("--seconds", seconds, "how long to publish")->check(CLI::Range(1, 3600));
  CLI11_PARSE(app, argc, argv);
  return Measure(seconds);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "stream_latency: %s\n", error.what());
    return 1;
  }
}
