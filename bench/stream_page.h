#pragma once

#include <cstdint>
#include <string>

#include "devhost/host.h"
#include "frame/frame_writer.h"

namespace tallwick_bench {

// What the single-stream page is set up with.
struct StreamPageSetup {
  int fps = 25;
  int viewWidth = 1280;
  int viewHeight = 720;
  std::string segmentPath;
  tallwick::frame::FrameGeometry geometry;
};

// The module, linked in and driven through the in-process host with a
// `present` line for every completed swap: a controller ("c") and one
// single-stream element ("v") showing user u1's stream s1, whose segment is
// registered with the controller.
class StreamPage {
 public:
  static constexpr const char* kElementId = "v";

  StreamPage(pphost::ClockMode clock, pphost::LineSink sink);
  ~StreamPage();  // shuts the module down and drops the controller
  StreamPage(const StreamPage&) = delete;
  StreamPage& operator=(const StreamPage&) = delete;

  // Loads the module, creates both instances, registers the segment and
  // starts rendering. False with the first failing step in `error`.
  bool Start(const StreamPageSetup& setup, std::string* error);

  // Serves the page's main loop for `ms` (virtual or real).
  bool Run(int64_t ms);

  pphost::Host& Host() { return host_; }

 private:
  bool Do(const std::string& line, std::string* error);

  pphost::Host host_;
};

}  // namespace tallwick_bench
