#include "support/latency_stats.h"

#include <algorithm>
#include <cstdio>

namespace tallwick_bench {

int64_t NowNs(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void PublishLog::Add(int32_t frameId, int64_t ns) {
  const std::lock_guard<std::mutex> lock(mutex_);
  times_.resize(std::max(times_.size(), static_cast<size_t>(frameId) + 1), -1);
  times_[static_cast<size_t>(frameId)] = ns;
}

std::optional<int64_t> PublishLog::At(int32_t frameId) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (frameId < 0 || static_cast<size_t>(frameId) >= times_.size() || times_[static_cast<size_t>(frameId)] < 0) {
    return std::nullopt;
  }
  return times_[static_cast<size_t>(frameId)];
}

int64_t PublishLog::Count() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int64_t>(std::count_if(times_.begin(), times_.end(), [](int64_t t) { return t >= 0; }));
}

double PercentileMs(std::vector<int64_t> values, double fraction) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  auto rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  rank = std::clamp<size_t>(rank, 1, values.size());
  return static_cast<double>(values[rank - 1]) / 1e6;
}

void PrintLoopFloor(int fps, const std::vector<int64_t>& drawTimesNs, double medianLatencyMs) {
  const double halfPeriodMs = 500.0 / fps;
  const double drawMs = PercentileMs(drawTimesNs, 0.5);
  const double floorMs = halfPeriodMs + drawMs;
  std::printf(
      "loop floor %.2f ms (half the %.1f ms tick period + median draw %.2f ms over %zu presents); "
      "median latency %.2f ms, %+.2f ms from the floor\n",
      floorMs, 2 * halfPeriodMs, drawMs, drawTimesNs.size(), medianLatencyMs, medianLatencyMs - floorMs);
}

}  // namespace tallwick_bench
