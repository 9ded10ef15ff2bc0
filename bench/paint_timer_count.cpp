#include "paint_timer_count.h"

#include <atomic>
#include <cstring>
#include <memory>

#include "latency_stats.h"

#include "host/ppapi/ppb_core.h"
#include "host/ppapi/ppp.h"

namespace tallwick_bench {

namespace {

constexpr int32_t kShortDelayLimitMs = 100;

PPB_GetInterface g_hostGetInterface = nullptr;
const PPB_Core* g_hostCore = nullptr;
PPB_Core g_countingCore{};
std::atomic<int64_t> g_shortTimers{0};
std::atomic<int64_t> g_lastTickNs{0};

// A tick's own callback, run after its firing time is noted.
void PP_CALL NoteTickThenRun(void* userData, int32_t result) {
  std::unique_ptr<PP_CompletionCallback> tick(static_cast<PP_CompletionCallback*>(userData));
  g_lastTickNs.store(NowNs(CLOCK_MONOTONIC), std::memory_order_relaxed);
  PP_RunCompletionCallback(tick.get(), result);
}

void PP_CALL CountingCallOnMainThread(int32_t delayMs, PP_CompletionCallback callback, int32_t result) {
  if (delayMs >= kShortDelayLimitMs || callback.func == nullptr) {
    g_hostCore->CallOnMainThread(delayMs, callback, result);
    return;
  }
  g_shortTimers.fetch_add(1, std::memory_order_relaxed);
  auto tick = std::make_unique<PP_CompletionCallback>(callback);
  g_hostCore->CallOnMainThread(delayMs, PP_MakeCompletionCallback(&NoteTickThenRun, tick.release()), result);
}

const void* PP_CALL CountingGetInterface(const char* name) {
  const void* table = g_hostGetInterface(name);
  if (table == nullptr || std::strcmp(name, PPB_CORE_INTERFACE_1_0) != 0) return table;
  g_hostCore = static_cast<const PPB_Core*>(table);
  g_countingCore = *g_hostCore;
  g_countingCore.CallOnMainThread = &CountingCallOnMainThread;
  return &g_countingCore;
}

int32_t PP_CALL CountingInitializeModule(PP_Module module, PPB_GetInterface getBrowserInterface) {
  g_hostGetInterface = getBrowserInterface;
  g_shortTimers.store(0, std::memory_order_relaxed);
  return PPP_InitializeModule(module, &CountingGetInterface);
}

}  // namespace

pphost::EntryPoints CountingEntryPoints() {
  return pphost::EntryPoints{&CountingInitializeModule, &PPP_GetInterface, &PPP_ShutdownModule};
}

int64_t PaintTimersArmed() { return g_shortTimers.load(std::memory_order_relaxed); }

int64_t LastPaintTickNs() { return g_lastTickNs.load(std::memory_order_relaxed); }

}  // namespace tallwick_bench
