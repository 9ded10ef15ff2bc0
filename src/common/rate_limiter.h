#pragma once

#include <cstdint>

namespace TALLWICK_COMMON {

// Lets a log line through at most once per interval of wall-clock time. The
// first call always passes. Not synchronised: use from one thread.
class RateLimiter {
 public:
  explicit RateLimiter(int64_t intervalMs) : interval_(intervalMs) {}

  bool Allow();

 private:
  int64_t last_ = 0;
  int64_t interval_;
};

// The interval every rate-limited line of the module uses.
constexpr int64_t kLogRateLimitMs = 5000;

}  // namespace TALLWICK_COMMON
