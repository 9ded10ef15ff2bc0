#include "paint_timer_count.h"

#include <atomic>
#include <cstring>

#include "host/ppapi/ppb_core.h"
#include "host/ppapi/ppp.h"

namespace tallwick_bench {

namespace {

constexpr int32_t kShortDelayLimitMs = 100;

PPB_GetInterface g_hostGetInterface = nullptr;
const PPB_Core* g_hostCore = nullptr;
PPB_Core g_countingCore{};
std::atomic<int64_t> g_shortTimers{0};

void PP_CALL CountingCallOnMainThread(int32_t delayMs, PP_CompletionCallback callback, int32_t result) {
  if (delayMs < kShortDelayLimitMs) g_shortTimers.fetch_add(1, std::memory_order_relaxed);
  g_hostCore->CallOnMainThread(delayMs, callback, result);
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

}  // namespace tallwick_bench
