#pragma once

#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <vector>

namespace tallwick_bench {

// Now on `clock` (CLOCK_MONOTONIC, CLOCK_THREAD_CPUTIME_ID, ...) in ns.
int64_t NowNs(clockid_t clock);

// Publish times (CLOCK_MONOTONIC ns) of one stream by frame id; frame ids
// start at 1. Written by the publishing thread, read by the main thread.
class PublishLog {
 public:
  void Add(int32_t frameId, int64_t ns);
  std::optional<int64_t> At(int32_t frameId) const;
  int64_t Count() const;

 private:
  mutable std::mutex mutex_;
  std::vector<int64_t> times_;
};

// The nearest-rank percentile of `values` (ns) in ms, `fraction` in (0, 1];
// 0 for no values.
double PercentileMs(std::vector<int64_t> values, double fraction);

// Prints the least median publish-to-present latency a paint loop ticking
// at `fps` allows (a frame waits half a tick period for the next tick, then
// its draw: the median of `drawTimesNs`) and how far `medianLatencyMs` is
// above it.
void PrintLoopFloor(int fps, const std::vector<int64_t>& drawTimesNs, double medianLatencyMs);

}  // namespace tallwick_bench
