#include "memory/soak_streams.h"

#include <chrono>
#include <utility>

namespace tallwick_bench {

namespace {

// Sixteen colours far enough apart to tell the streams apart on sight.
constexpr uint8_t kColours[][3] = {{200, 60, 60},   {60, 160, 60},   {60, 90, 200},   {210, 170, 40},
                                   {160, 60, 170},  {40, 170, 170},  {230, 120, 40},  {120, 120, 120},
                                   {150, 200, 80},  {90, 40, 140},   {200, 100, 150}, {40, 110, 90},
                                   {180, 140, 100}, {100, 150, 220}, {220, 220, 220}, {130, 70, 30}};

std::unique_ptr<tallwick::publisher::FrameSource> SourceFor(size_t index) {
  const uint8_t* colour = kColours[index % (sizeof(kColours) / sizeof(kColours[0]))];
  return tallwick::publisher::MakeMovingTile(colour[0], colour[1], colour[2]);
}

}  // namespace

SoakStreams::SoakStreams(const std::string& pathPrefix, int count, const tallwick::frame::FrameGeometry& geometry,
                         int fps)
    : fps_(fps) {
  for (int n = 1; n <= count; ++n) {
    Entry entry;
    const std::string user = std::to_string(n);
    std::string path = pathPrefix;
    path.append("-u").append(user);
    entry.stream = {"u" + user, "s" + user, path, geometry};
    entry.firstPath = entry.stream.segmentPath;
    entry.source = SourceFor(entries_.size());
    entries_.push_back(std::move(entry));
  }
}

SoakStreams::~SoakStreams() { Stop(); }

bool SoakStreams::Start(std::string* error) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Entry& entry : entries_) {
      if (!Open(entry, error)) return false;
    }
  }
  thread_ = std::thread([this] { PublishLoop(); });
  return true;
}

void SoakStreams::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

bool SoakStreams::Open(Entry& entry, std::string* error) {
  entry.writer = std::make_unique<tallwick::frame::FrameWriter>(entry.stream.segmentPath, entry.stream.geometry);
  if (entry.writer->Create() == shoom::kOK) return true;
  *error = "cannot create the segment " + entry.stream.segmentPath;
  entry.writer.reset();
  return false;
}

bool SoakStreams::Republish(size_t index, bool newName, const tallwick::frame::FrameGeometry& geometry,
                            std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  Entry& entry = entries_.at(index);
  entry.writer.reset();  // removes the old name
  ++entry.generation;
  if (newName) entry.stream.segmentPath = entry.firstPath + "-g" + std::to_string(entry.generation);
  entry.stream.geometry = geometry;
  entry.nextFrameId = 1;
  return Open(entry, error);
}

size_t SoakStreams::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.size();
}

PageStream SoakStreams::Stream(size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.at(index).stream;
}

std::vector<PageStream> SoakStreams::Streams() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<PageStream> streams;
  for (const Entry& entry : entries_) streams.push_back(entry.stream);
  return streams;
}

int64_t SoakStreams::Published(size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_.at(index).published;
}

int64_t SoakStreams::PublishedTotal() const {
  std::lock_guard<std::mutex> lock(mutex_);
  int64_t total = 0;
  for (const Entry& entry : entries_) total += entry.published;
  return total;
}

void SoakStreams::PublishAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (Entry& entry : entries_) {
    if (entry.writer == nullptr) continue;
    entry.writer->BeginFrame();
    entry.source->Fill(*entry.writer, entry.nextFrameId);
    entry.writer->EndFrame(entry.nextFrameId);
    ++entry.nextFrameId;
    ++entry.published;
  }
}

// One frame into every stream per period; a late round goes out at once.
void SoakStreams::PublishLoop() {
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::microseconds(1000000 / fps_);
  auto next = Clock::now();
  while (!stop_) {
    PublishAll();
    next += period;
    const auto now = Clock::now();
    if (next < now) next = now;
    std::this_thread::sleep_until(next);
  }
}

}  // namespace tallwick_bench
