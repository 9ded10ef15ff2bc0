#include "common/rate_limiter.h"

#include "common/clock.h"

namespace TALLWICK_COMMON {

bool RateLimiter::Allow() {
  const int64_t now = NowMs();
  // Unsigned difference: a clock that went backwards lets the line through.
  if (static_cast<uint64_t>(now) - static_cast<uint64_t>(last_) >= static_cast<uint64_t>(interval_)) {
    last_ = now;
    return true;
  }
  return false;
}

}  // namespace TALLWICK_COMMON
