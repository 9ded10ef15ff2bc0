// The publisher's inputs a user hands it. The first line of the input is a
// --stream text, the rest a Y4M file. The file goes through the reader alone;
// a stream text that parses is then published as frame-publisher would, for
// three frames, into a segment of this process's own (the stream's name is
// replaced so that no one else's segment is written) and with "y4m:" reading
// the input's file whatever path was given.
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "publisher/stream_publisher.h"
#include "publisher/stream_settings.h"
#include "publisher/y4m_reader.h"
#include "writer/frame_writer.h"

namespace {

using tallwick::publisher::StreamPublisher;
using tallwick::publisher::StreamSettings;

// Streams are published only up to this segment size: a larger picture takes
// longer to fill and reaches no other code.
constexpr uint64_t kMaxSegmentBytes = 1 << 20;
constexpr int32_t kFramesPublished = 3;

const std::string& Y4mPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("tallwick-fuzz-" + std::to_string(getpid()) + ".y4m")).string();
  return path;
}

const std::string& SegmentName() {
  static const std::string name = "/tallwick-fuzz-publisher-" + std::to_string(getpid());
  return name;
}

void RemoveFiles() {
  std::remove(Y4mPath().c_str());
  shoom::Shm::Remove(SegmentName());
}

void ReadY4m(const std::string& bytes) {
  std::ofstream(Y4mPath(), std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  tallwick::publisher::Y4mReader reader;
  std::string error;
  if (!reader.Open(Y4mPath(), &error)) return;
  std::vector<uint8_t> planes;
  int frames = 0;
  while (frames < kFramesPublished && reader.NextFrame(&planes)) ++frames;
}

bool Publishable(StreamSettings* spec) {
  spec->name = SegmentName();
  if (spec->pattern.rfind("y4m:", 0) == 0) spec->pattern = "y4m:" + Y4mPath();
  const auto geometry = tallwick::frame::MakeGeometry(spec->width, spec->height, spec->format, spec->padding);
  return tallwick::frame::FrameSegmentSize(geometry) <= kMaxSegmentBytes;
}

void PublishStream(const std::string& text) {
  StreamSettings spec;
  std::string error;
  if (!tallwick::publisher::ParseStreamSettings(text, &spec, &error) || !Publishable(&spec)) return;
  StreamPublisher publisher(spec);
  if (!publisher.Start(&error)) return;
  const auto now = StreamPublisher::Clock::now();
  for (int32_t frameId = 1; frameId <= kFramesPublished; ++frameId) {
    if (publisher.Publish(frameId, now) == StreamPublisher::Step::kDied) break;
  }
  static_cast<void>(publisher.DiffJson());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  std::atexit(RemoveFiles);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const std::string settings = input.substr(0, newline);
  ReadY4m(newline == std::string::npos ? std::string() : input.substr(newline + 1));
  PublishStream(settings);
  return 0;
}
