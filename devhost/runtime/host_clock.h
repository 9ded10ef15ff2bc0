#pragma once

#include <chrono>
#include <cstdint>

namespace pphost {

enum class ClockMode { kReal, kVirtual };

constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kNsPerSecond = 1000000000;
// 2026-01-01T00:00:00Z: where the virtual wall clock starts.
constexpr int64_t kVirtualWallStartMs = 1767225600000;
// How far either clock may read from zero, about 126 years: the wall clock
// (set anywhere in that range) plus the monotonic time run since then stays
// within 64-bit nanoseconds.
constexpr int64_t kClockRangeMs = 4000000000000;

// Seconds as Pepper wants them, without losing the nanoseconds of a large
// count to a single division.
double NsToSeconds(int64_t ns);

// The host's two clocks in integer nanoseconds, so virtual runs are exact.
// Monotonic time counts from the host's start. Virtual: it moves only through
// WaitUntil, and the wall clock moves with it from 2026-01-01. Real: the
// steady clock, and the system's wall clock.
class HostClock {
 public:
  explicit HostClock(ClockMode mode);

  ClockMode Mode() const { return mode_; }
  bool IsVirtual() const { return mode_ == ClockMode::kVirtual; }

  int64_t MonotonicNs() const;
  int64_t MonotonicMs() const { return MonotonicNs() / kNsPerMs; }
  int64_t WallNs() const;

  // Virtual only: sets the wall clock (within kClockRangeMs of 1970); the
  // monotonic clock does not move.
  void SetWallMs(int64_t wallMs);

  // Whether the monotonic clock may be run `ns` further (kClockRangeMs in all).
  bool CanAdvance(int64_t ns) const;

  // Returns once the monotonic clock reads at least `ns`: a jump when
  // virtual, a sleep when real.
  void WaitUntil(int64_t ns);

 private:
  ClockMode mode_;
  std::chrono::steady_clock::time_point start_;
  int64_t virtualNowNs_ = 0;
  int64_t virtualWallOffsetNs_ = kVirtualWallStartMs * kNsPerMs;  // wall = offset + monotonic
};

}  // namespace pphost
