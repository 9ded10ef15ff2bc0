#pragma once

#include <cstdint>

#include "common/clock.h"

namespace tallwick::test {

// Points the module's clock seam at a clock the test moves by hand; restores
// the system clock when it goes out of scope.
class ManualClock {
 public:
  explicit ManualClock(int64_t wallMs = 1767225600000, int64_t monotonicNs = 0);
  ~ManualClock();

  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;

  void AdvanceMs(int64_t ms);
  void SetWallMs(int64_t wallMs) { wallMs_ = wallMs; }
  int64_t WallMs() const { return wallMs_; }

 private:
  int64_t wallMs_;
  int64_t monotonicNs_;
  TALLWICK_COMMON::ClockSource source_;
};

}  // namespace tallwick::test
