#include "devhost/runtime/host_clock.h"

#include <algorithm>
#include <thread>

namespace pphost {

double NsToSeconds(int64_t ns) {
  const int64_t whole = ns / kNsPerSecond;
  const int64_t rest = ns % kNsPerSecond;
  return static_cast<double>(whole) + static_cast<double>(rest) / static_cast<double>(kNsPerSecond);
}

HostClock::HostClock(ClockMode mode) : mode_(mode), start_(std::chrono::steady_clock::now()) {}

int64_t HostClock::MonotonicNs() const {
  if (IsVirtual()) return virtualNowNs_;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start_).count();
}

int64_t HostClock::WallNs() const {
  if (IsVirtual()) return virtualWallOffsetNs_ + virtualNowNs_;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

void HostClock::SetWallMs(int64_t wallMs) {
  if (IsVirtual()) virtualWallOffsetNs_ = wallMs * kNsPerMs - virtualNowNs_;
}

bool HostClock::CanAdvance(int64_t ns) const { return ns >= 0 && ns <= kClockRangeMs * kNsPerMs - MonotonicNs(); }

void HostClock::WaitUntil(int64_t ns) {
  if (IsVirtual()) {
    virtualNowNs_ = std::max(virtualNowNs_, ns);
    return;
  }
  std::this_thread::sleep_until(start_ + std::chrono::nanoseconds(ns));
}

}  // namespace pphost
