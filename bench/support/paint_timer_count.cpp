#include "support/paint_timer_count.h"

#include <atomic>
#include <memory>

#include "support/latency_stats.h"

#include "devhost/module_timers.h"
#include "host/ppapi/ppp.h"

namespace tallwick_bench {

namespace {

constexpr int32_t kShortDelayLimitMs = 100;

std::atomic<int64_t> g_shortTimers{0};
std::atomic<int64_t> g_lastTickNs{0};

// A tick's own callback, run after its firing time is noted.
void PP_CALL NoteTickThenRun(void* userData, int32_t result) {
  std::unique_ptr<PP_CompletionCallback> tick(static_cast<PP_CompletionCallback*>(userData));
  g_lastTickNs.store(NowNs(CLOCK_MONOTONIC), std::memory_order_relaxed);
  PP_RunCompletionCallback(tick.get(), result);
}

// Counts a short timer and has its firing noted.
bool NoteShortTimer(int32_t delayMs, PP_CompletionCallback& callback) {
  if (delayMs >= kShortDelayLimitMs || callback.func == nullptr) return true;
  g_shortTimers.fetch_add(1, std::memory_order_relaxed);
  callback = PP_MakeCompletionCallback(&NoteTickThenRun, new PP_CompletionCallback(callback));
  return true;
}

}  // namespace

pphost::EntryPoints CountingEntryPoints() {
  g_shortTimers.store(0, std::memory_order_relaxed);
  return pphost::ObservingTimers({&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule}, &NoteShortTimer);
}

int64_t PaintTimersArmed() { return g_shortTimers.load(std::memory_order_relaxed); }

int64_t LastPaintTickNs() { return g_lastTickNs.load(std::memory_order_relaxed); }

}  // namespace tallwick_bench
