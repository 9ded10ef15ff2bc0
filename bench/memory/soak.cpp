// Real-time soak of the whole module: sixteen camera streams published at
// 30 fps, two gallery elements and four single-stream elements in the
// in-process host on the real clock. Every few seconds a gallery gets a new
// layout, a stream is re-published (under its name with another size, or
// under a new name with another format) and an element is destroyed and
// created again. Prints progress, then resident memory and heap at the end
// of the warm-up and at the end, frames shown / published, error events, and
// what the module left alive at shutdown. Exits 1 on any error event, any
// refused page line or anything left alive.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "memory/process_memory.h"
#include "memory/soak_page.h"
#include "memory/soak_streams.h"
#include "support/guarded_main.h"
#include "support/stream_page.h"

namespace {

using tallwick::frame::FrameGeometry;
using tallwick::frame::MakeGeometry;
using tallwick_bench::ElementRole;
using tallwick_bench::ProcessMemory;

constexpr int kStreams = 16;
constexpr int kFps = 30;
constexpr int kStreamWidth = 320;
constexpr int kStreamHeight = 180;
constexpr int kGalleryWidth = 640;
constexpr int kGalleryHeight = 360;
constexpr int kSingleWidth = 320;
constexpr int kSingleHeight = 180;
constexpr int64_t kStepMs = 10;

struct SoakOptions {
  int seconds = 1800;
  int warmupSeconds = 120;
  int layoutEverySeconds = 3;
  int republishEverySeconds = 5;
  int recreateEverySeconds = 7;
  unsigned seed = 1;
  int64_t maxGrowthKb = -1;  // no limit
};

// One element of the page, as it is now.
struct Element {
  std::string id;
  ElementRole role = ElementRole::kSingleStream;
  size_t stream = 0;                // single-stream: the stream it shows
  std::vector<size_t> layout;       // gallery: the stream in each tile
  std::vector<bool> mirrored;       // gallery: per tile
  int64_t publishedAtCreation = 0;  // single-stream: its stream's count then
};

double Mb(int64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

class Soak {
 public:
  explicit Soak(const SoakOptions& options)
      : options_(options),
        streams_("/tallwick-soak-" + std::to_string(getpid()), kStreams,
                 MakeGeometry(kStreamWidth, kStreamHeight, tallwick::frame::kFormatI420), kFps),
        random_(options.seed) {}

  int Run() {
    if (!SetUp()) return Fail();
    const auto start = std::chrono::steady_clock::now();
    int64_t elapsedMs = 0;
    while (elapsedMs < options_.seconds * 1000LL) {
      if (!page_.Run(kStepMs)) return Fail("the host stopped");
      elapsedMs =
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
      if (!Act(elapsedMs)) return Fail();
    }
    end_ = Measure();
    if (!TearDown()) return Fail();
    return Report();
  }

 private:
  bool SetUp() {
    if (!streams_.Start(&error_) || !page_.Start(streams_.Streams(), &error_)) return false;
    for (int n = 1; n <= 2; ++n) elements_.push_back(GalleryElement("g" + std::to_string(n), n - 1));
    for (int n = 1; n <= 4; ++n) {
      Element single;
      single.id = "v" + std::to_string(n);
      single.stream = static_cast<size_t>(n - 1);
      elements_.push_back(single);
    }
    for (Element& element : elements_) {
      if (!Add(element)) return false;
    }
    return true;
  }

  // Gallery `index` starts with nine streams of its own half of the list.
  static Element GalleryElement(const std::string& id, int index) {
    Element gallery;
    gallery.id = id;
    gallery.role = ElementRole::kGallery;
    for (int i = 0; i < 9; ++i) gallery.layout.push_back(static_cast<size_t>((index * 7 + i) % kStreams));
    gallery.mirrored.assign(gallery.layout.size(), false);
    return gallery;
  }

  bool Add(Element& element) {
    if (element.role == ElementRole::kSingleStream) {
      element.publishedAtCreation = streams_.Published(element.stream);
      return page_.AddSingleStream(element.id, streams_.Stream(element.stream), kSingleWidth, kSingleHeight, &error_);
    }
    return page_.AddGallery(element.id, kGalleryWidth, kGalleryHeight, &error_) && SendLayout(element);
  }

  bool SendLayout(const Element& gallery) {
    std::vector<tallwick_bench::PageStream> shown;
    for (size_t stream : gallery.layout) shown.push_back(streams_.Stream(stream));
    const int count = static_cast<int>(shown.size());
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    const auto tiles = tallwick_bench::GridTiles(count, columns, kGalleryWidth, kGalleryHeight);
    return page_.Layout(gallery.id, shown, tiles, gallery.mirrored, &error_);
  }

  bool Remove(const Element& element) {
    if (element.role == ElementRole::kSingleStream) {
      singlePublished_ += streams_.Published(element.stream) - element.publishedAtCreation;
    }
    return page_.Remove(element.id, &error_);
  }

  // Whatever is due at `elapsedMs`.
  bool Act(int64_t elapsedMs) {
    if (!warmedUp_ && elapsedMs >= options_.warmupSeconds * 1000LL) {
      start_ = Measure();
      warmedUp_ = true;
    }
    if (Due(elapsedMs, options_.layoutEverySeconds, &layouts_) && !ChangeLayout()) return false;
    if (Due(elapsedMs, options_.republishEverySeconds, &republishes_) && !Republish()) return false;
    if (Due(elapsedMs, options_.recreateEverySeconds, &recreations_) && !Recreate()) return false;
    if (Due(elapsedMs, ProgressEverySeconds(), &progressLines_)) Progress(elapsedMs);
    return true;
  }

  // True once per `everySeconds`, counting the times in `done`.
  static bool Due(int64_t elapsedMs, int everySeconds, int64_t* done) {
    if (elapsedMs < (*done + 1) * everySeconds * 1000LL) return false;
    ++*done;
    return true;
  }

  int ProgressEverySeconds() const { return std::max(5, std::min(60, options_.seconds / 10)); }

  // The two galleries take turns: a random number of random streams, some
  // of them mirrored.
  bool ChangeLayout() {
    Element& gallery = elements_.at(static_cast<size_t>(layouts_ % 2));
    std::vector<size_t> all(kStreams);
    std::iota(all.begin(), all.end(), 0);
    std::shuffle(all.begin(), all.end(), random_);
    const size_t count = std::uniform_int_distribution<size_t>(1, kStreams)(random_);
    gallery.layout.assign(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count));
    gallery.mirrored.clear();
    for (size_t i = 0; i < count; ++i) gallery.mirrored.push_back(random_() % 4 == 0);
    return SendLayout(gallery);
  }

  // Streams in turn; the name is kept every other time (with another size),
  // else the stream moves to a new name (with another pixel format).
  bool Republish() {
    const size_t index = static_cast<size_t>((republishes_ - 1) % kStreams);
    const bool newName = republishes_ % 2 == 0;
    const FrameGeometry old = streams_.Stream(index).geometry;
    const int width = newName ? old.width : (old.width == kStreamWidth ? kStreamWidth + 64 : kStreamWidth);
    const int height = newName ? old.height : (old.height == kStreamHeight ? kStreamHeight + 36 : kStreamHeight);
    const int32_t format = !newName                                     ? old.format
                           : old.format == tallwick::frame::kFormatNV12 ? tallwick::frame::kFormatI420
                                                                        : tallwick::frame::kFormatNV12;
    if (!streams_.Republish(index, newName, MakeGeometry(width, height, format), &error_)) return false;
    sameNameRepublishes_ += newName ? 0 : 1;
    return page_.Register({streams_.Stream(index)}, &error_);
  }

  // Elements in turn are destroyed and created again; a single-stream
  // element comes back showing another stream.
  bool Recreate() {
    Element& element = elements_.at(static_cast<size_t>((recreations_ - 1) % elements_.size()));
    if (!Remove(element)) return false;
    if (element.role == ElementRole::kSingleStream) element.stream = (element.stream + 4) % kStreams;
    return Add(element);
  }

  // Memory with the heap's free pages given back first, so that pages the
  // allocator keeps for its threads' arenas do not count as growth.
  static ProcessMemory Measure() {
    tallwick_bench::ReturnFreeHeap();
    return tallwick_bench::MeasureProcessMemory();
  }

  void Progress(int64_t elapsedMs) {
    const ProcessMemory now = Measure();
    if (warmedUp_) peakResident_ = std::max(peakResident_, now.residentBytes);
    const auto& tally = page_.Tally();
    int64_t presents = 0;
    for (const auto& entry : tally.presents) presents += entry.second;
    std::printf("soak: %5lld/%d s  resident %.1f MB  heap %.1f MB  swaps %lld  published %lld  errors %lld\n",
                static_cast<long long>(elapsedMs / 1000), options_.seconds, Mb(now.residentBytes),
                Mb(now.heapInUseBytes), static_cast<long long>(presents),
                static_cast<long long>(streams_.PublishedTotal()),
                static_cast<long long>(tally.errorEvents) + static_cast<long long>(tally.hostErrors));
    std::fflush(stdout);
  }

  bool TearDown() {
    streams_.Stop();
    for (const Element& element : elements_) {
      if (!Remove(element)) return false;
    }
    clean_ = page_.Shutdown(&leftovers_);
    return true;
  }

  int Report() const {
    const auto& tally = page_.Tally();
    int64_t singleShown = 0;
    for (const Element& element : elements_) {
      if (element.role == ElementRole::kSingleStream)
        singleShown += tally.presents.count(element.id) != 0 ? tally.presents.at(element.id) : 0;
    }
    std::printf("soak: %d s, %d streams %dx%d at %d fps, 2 gallery elements %dx%d, 4 single-stream elements %dx%d\n",
                options_.seconds, kStreams, kStreamWidth, kStreamHeight, kFps, kGalleryWidth, kGalleryHeight,
                kSingleWidth, kSingleHeight);
    std::printf("layout changes %lld, re-publishes %lld (%lld under the same name), elements re-created %lld\n",
                static_cast<long long>(layouts_), static_cast<long long>(republishes_),
                static_cast<long long>(sameNameRepublishes_), static_cast<long long>(recreations_));
    PrintGrowth("resident memory", start_.residentBytes, end_.residentBytes);
    std::printf("resident memory at most %.2f MB after the warm-up (progress lines)\n", Mb(peakResident_));
    PrintGrowth("heap in use", start_.heapInUseBytes, end_.heapInUseBytes);
    std::printf(
        "single-stream frames shown / published: %lld / %lld (%.1f %%)\n", static_cast<long long>(singleShown),
        static_cast<long long>(singlePublished_),
        singlePublished_ > 0 ? 100.0 * static_cast<double>(singleShown) / static_cast<double>(singlePublished_) : 0.0);
    for (const Element& element : elements_) {
      if (element.role != ElementRole::kGallery) continue;
      const int64_t swaps = tally.presents.count(element.id) != 0 ? tally.presents.at(element.id) : 0;
      std::printf("gallery %s swaps %lld (%.1f a second)\n", element.id.c_str(), static_cast<long long>(swaps),
                  static_cast<double>(swaps) / options_.seconds);
    }
    std::printf("frames published, all streams: %lld\n", static_cast<long long>(streams_.PublishedTotal()));
    std::printf("first-shown events %lld, NO_FRAME reports %lld, error events %lld, refused page lines %lld\n",
                static_cast<long long>(tally.firstShown), static_cast<long long>(tally.noFrameReports),
                static_cast<long long>(tally.errorEvents), static_cast<long long>(tally.hostErrors));
    for (const std::string& line : tally.firstErrors) std::printf("  %s\n", line.c_str());
    std::printf("left alive at shutdown: %s\n", clean_ ? "nothing" : leftovers_.c_str());
    const int64_t growthKb = (end_.residentBytes - start_.residentBytes) / 1024;
    const bool grewTooMuch = options_.maxGrowthKb >= 0 && growthKb > options_.maxGrowthKb;
    if (grewTooMuch)
      std::printf("resident memory grew by %lld KB, more than %lld KB\n", static_cast<long long>(growthKb),
                  static_cast<long long>(options_.maxGrowthKb));
    return clean_ && tally.errorEvents == 0 && tally.hostErrors == 0 && !grewTooMuch ? 0 : 1;
  }

  void PrintGrowth(const char* what, int64_t start, int64_t end) const {
    std::printf("%s: %.2f MB after the %d s warm-up, %.2f MB at the end, growth %lld KB\n", what, Mb(start),
                options_.warmupSeconds, Mb(end), static_cast<long long>((end - start) / 1024));
  }

  int Fail(const std::string& why = "") const {
    std::fprintf(stderr, "soak: %s\n", why.empty() ? error_.c_str() : why.c_str());
    return 1;
  }

  SoakOptions options_;
  tallwick_bench::SoakStreams streams_;
  tallwick_bench::SoakPage page_;
  std::mt19937 random_;
  std::vector<Element> elements_;
  std::string error_;
  bool warmedUp_ = false;
  ProcessMemory start_;
  ProcessMemory end_;
  int64_t peakResident_ = 0;  // after the warm-up, at the progress lines
  int64_t layouts_ = 0;
  int64_t republishes_ = 0;
  int64_t sameNameRepublishes_ = 0;
  int64_t recreations_ = 0;
  int64_t progressLines_ = 0;
  int64_t singlePublished_ = 0;
  bool clean_ = false;
  std::string leftovers_;
};

int Main(int argc, char** argv) {
  CLI::App app{
      "Runs the module for a long time in real time: 16 camera streams at 30 fps, 2 gallery and 4 single-stream "
      "elements, layouts changed, streams re-published and elements re-created every few seconds; reports memory "
      "growth, frames shown / published, error events and what was left alive. Exits 1 on any error."};
  SoakOptions options;
  app.add_option("--seconds", options.seconds, "how long to run")->check(CLI::Range(5, 24 * 3600));
  app.add_option("--warmup", options.warmupSeconds, "seconds before the starting memory figure is taken")
      ->check(CLI::Range(0, 3600));
  app.add_option("--layout-every", options.layoutEverySeconds, "seconds between layout changes")
      ->check(CLI::Range(1, 3600));
  app.add_option("--republish-every", options.republishEverySeconds, "seconds between stream re-publishes")
      ->check(CLI::Range(1, 3600));
  app.add_option("--recreate-every", options.recreateEverySeconds, "seconds between element re-creations")
      ->check(CLI::Range(1, 3600));
  app.add_option("--seed", options.seed, "seed of the random layouts");
  app.add_option("--max-growth-kb", options.maxGrowthKb, "exit 1 when resident memory grows by more than this")
      ->check(CLI::NonNegativeNumber);
  CLI11_PARSE(app, argc, argv);
  if (options.warmupSeconds >= options.seconds) {
    std::fprintf(stderr, "soak: --warmup must be shorter than --seconds\n");
    return 2;
  }
  return Soak(options).Run();
}

}  // namespace

int main(int argc, char** argv) { return tallwick_bench::GuardedMain("soak", Main, argc, argv); }
