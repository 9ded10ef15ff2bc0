// frame-seed: one frame written through the frame writer, saved as a seed of
// the frame target: the segment's bytes, header and planes, as a reader
// maps them (fuzz/make_seeds.sh runs it for every frame seed).
//
//   frame-seed OUT --width W --height H [--format N] [--padding N]
//              [--rotation N] [--flip] [--being-written]
//
// The frame has id 7 and each plane filled with a byte of its own (0x80,
// 0x40, 0xc0), row padding included. Any format word is written; every one
// but NV12 is laid out as I420. --being-written leaves the frame as a writer
// that died while rewriting it leaves it: the state says "being written".
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

#include "writer/frame_writer.h"

namespace {

using tallwick::frame::FrameGeometry;
using tallwick::frame::FrameWriter;

constexpr int32_t kFrameId = 7;
constexpr uint8_t kPlaneBytes[3] = {0x80, 0x40, 0xc0};

struct SeedOptions {
  std::string out;
  int32_t width = 0;
  int32_t height = 0;
  int32_t format = tallwick::frame::kFormatI420;
  int32_t padding = 0;
  int32_t rotation = 0;
  bool flip = false;
  bool beingWritten = false;
};

FrameGeometry GeometryOf(const SeedOptions& options) {
  FrameGeometry geometry =
      tallwick::frame::MakeGeometry(options.width, options.height, options.format, options.padding);
  geometry.rotation = options.rotation;
  geometry.flip = options.flip;
  return geometry;
}

void FillPlanes(FrameWriter& writer) {
  for (int index = 0; index < 3; ++index) {
    std::memset(writer.Plane(index), kPlaneBytes[index], tallwick::frame::PlaneSize(writer.Geometry(), index));
  }
}

void WriteSeedFrame(FrameWriter& writer, bool beingWritten) {
  writer.BeginFrame();
  FillPlanes(writer);
  writer.EndFrame(kFrameId);
  // The next frame begun and never ended: its geometry is the same.
  if (beingWritten) writer.BeginFrame();
}

bool SaveFrame(const FrameWriter& writer, const std::string& out) {
  std::ofstream file(out, std::ios::binary | std::ios::trunc);
  const auto bytes = static_cast<std::streamsize>(tallwick::frame::FrameSegmentSize(writer.Geometry()));
  file.write(reinterpret_cast<const char*>(writer.Segment().Data()), bytes);
  return static_cast<bool>(file);
}

int WriteSeed(const SeedOptions& options) {
  FrameWriter writer("/tallwick-frame-seed-" + std::to_string(getpid()), GeometryOf(options));
  if (writer.Create() != shoom::kOK) {
    std::fprintf(stderr, "frame-seed: cannot create a segment\n");
    return 1;
  }
  WriteSeedFrame(writer, options.beingWritten);
  if (!SaveFrame(writer, options.out)) {
    std::fprintf(stderr, "frame-seed: cannot write %s\n", options.out.c_str());
    return 1;
  }
  return 0;
}

int Run(int argc, char** argv) {
  SeedOptions options;
  CLI::App app{"Writes one frame through the frame writer and saves its segment as a frame seed"};
  app.add_option("out", options.out, "file to write")->required();
  app.add_option("--width", options.width, "frame width")->required()->check(CLI::Range(1, 4096));
  app.add_option("--height", options.height, "frame height")->required()->check(CLI::Range(1, 4096));
  app.add_option("--format", options.format, "the header's format word (2: NV12, others laid out as I420)");
  app.add_option("--padding", options.padding, "extra bytes per row")->check(CLI::Range(0, 256));
  app.add_option("--rotation", options.rotation, "the header's rotation word")->check(CLI::IsMember({0, 90, 180, 270}));
  app.add_flag("--flip", options.flip, "mark the frame mirrored");
  app.add_flag("--being-written", options.beingWritten, "leave the state word at \"being written\"");
  CLI11_PARSE(app, argc, argv);
  return WriteSeed(options);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "frame-seed: %s\n", error.what());
    return 1;
  }
}
