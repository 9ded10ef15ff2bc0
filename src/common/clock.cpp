#include "common/clock.h"

#include <atomic>
#include <chrono>

#ifdef _WIN32
#include <windows.h>
#endif

namespace TALLWICK_COMMON {

namespace {
std::atomic<const ClockSource*> g_source{nullptr};
}  // namespace

void SetClockSource(const ClockSource* source) { g_source.store(source, std::memory_order_release); }

int64_t SystemNowMs() {
#ifdef _WIN32
  // FILETIME counts 100 ns units since 1601; shift to 1970 and scale to ms.
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  ULARGE_INTEGER ticks;
  ticks.LowPart = ft.dwLowDateTime;
  ticks.HighPart = ft.dwHighDateTime;
  constexpr uint64_t kEpochDelta = 116444736000000000ULL;
  return static_cast<int64_t>((ticks.QuadPart - kEpochDelta) / 10000);
#else
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
#endif
}

int64_t SystemMonotonicNs() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t NowMs() {
  const ClockSource* source = g_source.load(std::memory_order_acquire);
  return source != nullptr ? source->wallMs(source->context) : SystemNowMs();
}

int64_t MonotonicNs() {
  const ClockSource* source = g_source.load(std::memory_order_acquire);
  return source != nullptr ? source->monotonicNs(source->context) : SystemMonotonicNs();
}

}  // namespace TALLWICK_COMMON
