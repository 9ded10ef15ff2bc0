#pragma once

#include <cstdint>

#include "common/clock.h"
#include "embed/paint_schedule.h"
#include "host/core.h"
#include "host/module.h"

namespace TALLWICK_PP_RENDER {

// The timer of a role's paint loop. Each call arms one tick on the host's
// main thread, after a delay that keeps the ticks on the frame interval's
// rhythm (NextPaintDelay). The first delay counts from 50 ms before the
// ticker was made, so the first tick after a quick start comes at once.
class PaintTicker {
 public:
  PaintTicker() : lastScheduleNs_(TALLWICK_COMMON::MonotonicNs() - kInitialLagNs) {}

  // Arms the callback that `makeTick()` returns. Without a module or a core
  // nothing is armed and no callback is made.
  template <typename MakeTick>
  void Schedule(double frameIntervalMs, MakeTick makeTick) {
    const int32_t delayMs = NextDelay(frameIntervalMs);
    pp::Module* module = pp::Module::Get();
    if (module != nullptr && module->core() != nullptr) module->core()->CallOnMainThread(delayMs, makeTick());
  }

 private:
  static constexpr int64_t kInitialLagNs = 50000000;

  int32_t NextDelay(double frameIntervalMs) {
    const int64_t now = TALLWICK_COMMON::MonotonicNs();
    const int64_t elapsedMs = (now - lastScheduleNs_) / 1000000;
    lastScheduleNs_ = now;
    delayMs_ = NextPaintDelay(frameIntervalMs, elapsedMs, delayMs_);
    return delayMs_;
  }

  int64_t lastScheduleNs_;
  int32_t delayMs_ = 50;
};

}  // namespace TALLWICK_PP_RENDER
