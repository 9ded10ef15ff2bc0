#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devhost/host.h"
#include "support/page_lines.h"
#include "support/rect.h"
#include "writer/frame_writer.h"

namespace tallwick_bench {

// What the page is set up with. A single-stream element shows streams[0]; a
// gallery shows stream i in tiles[i] (CSS pixels; the picture cropped to
// fill it).
struct StreamPageSetup {
  ElementRole role = ElementRole::kSingleStream;
  int fps = 25;
  int viewWidth = 1280;
  int viewHeight = 720;
  std::vector<PageStream> streams;
  std::vector<Rect> tiles;
  // The view before "INIT" instead of after it: the element then has no
  // renderer when the view arrives, and the renderer makes its drawing
  // buffer at the first frame's size.
  bool viewBeforeInit = false;
};

// `count` camera streams of one geometry: users u1, u2, ... with streams
// s1, s2, ..., each in the segment `pathPrefix` + "-u<n>".
std::vector<PageStream> CameraStreams(int count, const std::string& pathPrefix,
                                      const tallwick::frame::FrameGeometry& geometry);

// `count` tiles of equal size filling a view of `columns` columns, row by row.
std::vector<Rect> GridTiles(int count, int columns, int viewWidth, int viewHeight);

// A writer that has created each stream's segment, in the streams' order;
// empty with the failing path in `error` when a segment cannot be created.
std::vector<std::unique_ptr<tallwick::frame::FrameWriter>> CreateWriters(const std::vector<PageStream>& streams,
                                                                         std::string* error);

// The module, linked in and driven through the in-process host with a
// `present` line for every completed swap: a controller ("c") and one
// element ("v") of the setup's role, whose streams' segments are registered
// with the controller. Every output line goes to `sink`; the page also
// counts the element's presents, the streams it reported as first shown and
// the paint loop's ticks.
class StreamPage {
 public:
  static constexpr const char* kElementId = "v";

  StreamPage(pphost::ClockMode clock, pphost::LineSink sink);
  ~StreamPage();  // shuts the module down and drops the controller
  StreamPage(const StreamPage&) = delete;
  StreamPage& operator=(const StreamPage&) = delete;

  // Loads the module, creates both instances, registers the segments, lays
  // out the tiles (gallery) and starts rendering. False with the first
  // failing step in `error`.
  bool Start(const StreamPageSetup& setup, std::string* error);

  // Serves the page's main loop for `ms` (virtual or real).
  bool Run(int64_t ms);

  pphost::Host& Host() { return host_; }

  // Completed swaps of the element, and the host time (ms) of the last one.
  int64_t Presents() const { return presents_; }
  int64_t LastPresentMs() const { return lastPresentMs_; }
  // Streams the element reported as drawn for the first time.
  int64_t StreamsShown() const { return streamsShown_; }
  // Paint ticks the module has armed so far (PaintTimersArmed).
  int64_t PaintTicksArmed() const;

 private:
  void Watch(const std::string& line);
  bool Do(const std::string& line, std::string* error);

  ElementRole role_ = ElementRole::kSingleStream;
  int64_t presents_ = 0;
  int64_t lastPresentMs_ = -1;
  int64_t streamsShown_ = 0;
  pphost::LineSink sink_;
  pphost::Host host_;
};

}  // namespace tallwick_bench
