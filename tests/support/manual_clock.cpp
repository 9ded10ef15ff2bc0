#include "support/manual_clock.h"

namespace tallwick::test {

ManualClock::ManualClock(int64_t wallMs, int64_t monotonicNs) : wallMs_(wallMs), monotonicNs_(monotonicNs) {
  source_.wallMs = [](void* self) { return static_cast<ManualClock*>(self)->wallMs_; };
  source_.monotonicNs = [](void* self) { return static_cast<ManualClock*>(self)->monotonicNs_; };
  source_.context = this;
  TALLWICK_COMMON::SetClockSource(&source_);
}

ManualClock::~ManualClock() { TALLWICK_COMMON::SetClockSource(nullptr); }

void ManualClock::AdvanceMs(int64_t ms) {
  wallMs_ += ms;
  monotonicNs_ += ms * 1000000;
}

}  // namespace tallwick::test
