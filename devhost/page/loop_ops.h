#pragma once

#include "devhost/browser/browser_context.h"
#include "devhost/json.h"

namespace pphost {

// The input lines that move time: `run` (serve the main loop) and `clock`
// (set the virtual wall clock).
class LoopOps {
 public:
  explicit LoopOps(BrowserContext& browser) : browser_(browser) {}

  void Run(const Json& line);
  void Clock(const Json& line);

 private:
  void RunUntilPosted(int64_t endNs, const Json& until);

  BrowserContext& browser_;
};

}  // namespace pphost
