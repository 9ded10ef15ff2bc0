#pragma once

#include <cstdint>
#include <string>

#include "devhost/host.h"
#include "devhost/serve/frame_encoder.h"

namespace pphost::serve {

struct ServeSettings {
  uint16_t port = 8080;  // 0: any free port
  std::string root;      // the folder of pages served at "/"
  std::string library;   // the page library, served under /tallwick/
  FrameEncoding encoding = FrameEncoding::kJpeg;
  int jpegQuality = 85;
  bool fitToView = true;  // pictures no larger than their element's view
};

// `pphost serve`: loads the module into one Host, then serves pages and
// bridges their tabs to it on 127.0.0.1 until SIGINT or SIGTERM. Prints the
// address it listens on as the first line of standard output. Returns the
// exit status.
int RunServe(const ServeSettings& settings, const HostOptions& options, const std::string& modulePath);

}  // namespace pphost::serve
