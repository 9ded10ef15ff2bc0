#pragma once

#include "devhost/output/output_writer.h"

namespace pphost {

// While it lives, every line written through the log library (the one the
// module shares with the host) also comes out as a `log` line.
class LogBridge {
 public:
  explicit LogBridge(OutputWriter& output);
  ~LogBridge();
  LogBridge(const LogBridge&) = delete;
  LogBridge& operator=(const LogBridge&) = delete;
};

}  // namespace pphost
