#pragma once

#include <cstdint>

namespace TALLWICK_COMMON {

// The one place the module reads time from. By default the operating system;
// while the module runs inside a host it reads the host's clocks instead, so a
// host with a virtual timeline drives every timer and timestamp of the module.
struct ClockSource {
  int64_t (*wallMs)(void* context);       // milliseconds since 1970-01-01 00:00 UTC
  int64_t (*monotonicNs)(void* context);  // monotonic nanoseconds, arbitrary origin
  void* context;
};

// Installs `source` (kept by pointer; it must outlive its use) or, with null,
// goes back to the operating system's clocks.
void SetClockSource(const ClockSource* source);

// Wall-clock time in milliseconds since 1970-01-01 00:00 UTC.
int64_t NowMs();

// Monotonic time in nanoseconds.
int64_t MonotonicNs();

// The operating system's clocks, whatever source is installed.
int64_t SystemNowMs();
int64_t SystemMonotonicNs();

}  // namespace TALLWICK_COMMON
