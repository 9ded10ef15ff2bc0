#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace tallwick {

// A double truncated towards zero into an int32_t, saturated at its ends; NaN
// gives 0. For numbers that come from outside (page vars, the host's view).
inline int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// a x b, saturated at int32_t's ends instead of overflowing.
inline int32_t SaturatingMultiply(int32_t a, int32_t b) {
  return TruncateToInt32(static_cast<double>(a) * static_cast<double>(b));
}

}  // namespace tallwick
