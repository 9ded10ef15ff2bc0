#include "page_streams.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace tallwick_fuzz {

namespace {

using tallwick::frame::FrameWriter;
using tallwick::frame::kFormatI420;
using tallwick::frame::kFormatNV12;

struct Yuv {
  uint8_t y, u, v;
};

struct Stream {
  const char* name;  // after the path prefix
  int32_t width, height, format, padding;
  Yuv colour;  // red, green, blue, yellow
};

constexpr Stream kStreams[kStreamCount + 1] = {
    {"cam", 64, 36, kFormatI420, 0, {97, 101, 207}},
    {"nv12", 48, 28, kFormatNV12, 8, {131, 82, 69}},
    {"small", 16, 8, kFormatI420, 3, {68, 207, 115}},
    {"probe", 32, 18, kFormatI420, 0, {187, 49, 141}},
};

constexpr int kTolerance = 12;
constexpr const char* kScriptPrefix = "/tallwick-fuzz-";

const std::string& OwnPrefix() {
  static const std::string prefix = kScriptPrefix + std::to_string(getpid()) + "-";
  return prefix;
}

int Clamp(double value) { return value < 0 ? 0 : value > 255 ? 255 : static_cast<int>(value + 0.5); }

// Limited-range BT.601, as the module's shaders convert.
Rgb ToRgb(const Yuv& c) {
  const double y = 1.164383 * (c.y - 16), u = c.u - 128.0, v = c.v - 128.0;
  return {Clamp(y + 1.596027 * v), Clamp(y - 0.391762 * u - 0.812968 * v), Clamp(y + 2.017232 * u)};
}

std::unique_ptr<FrameWriter> Publish(size_t index) {
  const Stream& stream = kStreams[index];
  const auto geometry = tallwick::frame::MakeGeometry(stream.width, stream.height, stream.format, stream.padding);
  auto writer = std::make_unique<FrameWriter>(StreamPath(index), geometry, kSegmentBytes);
  if (writer->Create() != shoom::kOK) std::abort();
  return writer;
}

}  // namespace

std::string OwnPaths(const std::string& text) {
  const std::string prefix = kScriptPrefix;
  std::string own;
  size_t from = 0;
  for (size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, from)) {
    own.append(text, from, at - from).append(OwnPrefix());
    from = at + prefix.size();
  }
  return own.append(text, from, std::string::npos);
}

const std::string& StreamPath(size_t index) {
  static const std::vector<std::string> paths = [] {
    std::vector<std::string> all;
    for (const Stream& stream : kStreams) all.push_back(OwnPrefix() + stream.name);
    return all;
  }();
  return paths[index];
}

Rgb StreamColour(size_t index) { return ToRgb(kStreams[index].colour); }

std::optional<size_t> StreamOfColour(const Rgb& pixel) {
  for (size_t i = 0; i <= kStreamCount; ++i) {
    const Rgb c = StreamColour(i);
    if (std::abs(c.r - pixel.r) <= kTolerance && std::abs(c.g - pixel.g) <= kTolerance &&
        std::abs(c.b - pixel.b) <= kTolerance) {
      return i;
    }
  }
  return std::nullopt;
}

PageStreams::PageStreams() {
  for (size_t i = 0; i <= kStreamCount; ++i) writers_.push_back(Publish(i));
  NewFrames();
  NewProbeFrame();
}

PageStreams::~PageStreams() = default;

// Every byte of each plane, row padding included, in the colour of stream
// `colourOf`.
void PageStreams::Fill(size_t stream, size_t colourOf) {
  FrameWriter& writer = *writers_[stream];
  const auto& geometry = writer.Geometry();
  const Yuv colour = kStreams[colourOf].colour;
  std::memset(writer.Plane(0), colour.y, tallwick::frame::PlaneSize(geometry, 0));
  if (geometry.format == kFormatNV12) {
    uint8_t* uv = writer.Plane(1);
    for (uint64_t i = 0; i + 1 < tallwick::frame::PlaneSize(geometry, 1); i += 2) {
      uv[i] = colour.u;
      uv[i + 1] = colour.v;
    }
  } else {
    std::memset(writer.Plane(1), colour.u, tallwick::frame::PlaneSize(geometry, 1));
    std::memset(writer.Plane(2), colour.v, tallwick::frame::PlaneSize(geometry, 2));
  }
}

void PageStreams::NewFrames() {
  for (size_t i = 0; i < kStreamCount; ++i) {
    writers_[i]->BeginFrame();
    Fill(i, i);
    writers_[i]->EndFrame(++frameId_);
  }
  for (const Poked& poke : poked_) {
    std::memcpy(writers_[poke.stream]->Segment().Data() + poke.offset, &poke.value, sizeof poke.value);
  }
  poked_.clear();
}

void PageStreams::Poke(size_t stream, size_t offset, uint32_t value) { poked_.push_back({stream, offset, value}); }

void PageStreams::StartForeignFrame(size_t stream) {
  writers_[stream]->BeginFrame();
  Fill(stream, (stream + 1) % kStreamCount);
}

void PageStreams::NewProbeFrame() {
  writers_[kProbeStream]->BeginFrame();
  Fill(kProbeStream, kProbeStream);
  writers_[kProbeStream]->EndFrame(++frameId_);
}

}  // namespace tallwick_fuzz
