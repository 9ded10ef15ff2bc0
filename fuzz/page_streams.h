#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "writer/frame_writer.h"

namespace tallwick_fuzz {

// The streams a page input's frames come from, each in a colour of its own
// (every pixel of every frame), so that a picture tells whose stream it
// shows. Streams 0 to kStreamCount - 1 are the script's; the probe stream is
// the harness's own, registered only when it checks that an element draws.
inline constexpr size_t kStreamCount = 3;
inline constexpr size_t kProbeStream = kStreamCount;
// Every segment is this large whatever its frames' geometry, so that a
// hostile header can describe frames larger than a texture and still fit.
inline constexpr size_t kSegmentBytes = 65536;
inline constexpr size_t kHeaderWords = 13;

struct Rgb {
  int r = 0, g = 0, b = 0;
};

// Scripts name the segments "/tallwick-fuzz-cam", "-nv12", "-small" (and
// the harness "-probe"); each fuzzing process has segments of its own,
// named with its process id, so that processes running side by side (and
// one's removal of its names at exit) never meet. OwnPaths rewrites the
// names in a script's text to the process's own.
std::string OwnPaths(const std::string& text);
// The segment's name and the colour of stream `index` (the probe's included).
const std::string& StreamPath(size_t index);
Rgb StreamColour(size_t index);
// The stream whose colour `pixel` is, within a few steps per channel.
std::optional<size_t> StreamOfColour(const Rgb& pixel);

class PageStreams {
 public:
  PageStreams();
  ~PageStreams();
  PageStreams(const PageStreams&) = delete;
  PageStreams& operator=(const PageStreams&) = delete;

  // Every script stream gets a new complete frame of its own geometry and
  // colour; then the words poked since are written over its header.
  void NewFrames();
  // The word at byte `offset` of the stream's header, written after its
  // next frame.
  void Poke(size_t stream, size_t offset, uint32_t value);
  // Starts the stream's next frame, in another stream's colour, and leaves
  // it being written: what a writer does while a reader reads.
  void StartForeignFrame(size_t stream);
  // A new complete frame of the probe stream.
  void NewProbeFrame();

 private:
  struct Poked {
    size_t stream, offset;
    uint32_t value;
  };

  void Fill(size_t stream, size_t colourOf);

  std::vector<std::unique_ptr<tallwick::frame::FrameWriter>> writers_;
  std::vector<Poked> poked_;
  int32_t frameId_ = 1;
};

}  // namespace tallwick_fuzz
