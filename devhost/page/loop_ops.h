#pragma once

#include <cstdint>

#include "devhost/browser/browser_context.h"
#include "devhost/json.h"

namespace pphost {

// The longest run a page may ask for, in ms: about 31 years, far beyond any
// scenario and safe from overflow in ns.
inline constexpr int64_t kMaxRunMs = 1000000000000;

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
