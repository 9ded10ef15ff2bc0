#include "module/tick_count.h"

#include <cstring>

#include "host/ppapi/ppb_core.h"
#include "host/ppapi/ppp.h"

namespace module_test {

namespace {

constexpr int32_t kShortDelayLimitMs = 100;

PPB_GetInterface g_hostGetInterface = nullptr;
const PPB_Core* g_hostCore = nullptr;
PPB_Core g_countingCore{};
int64_t g_ticks = 0;
int64_t g_cap = 0;

void PP_CALL CountingCallOnMainThread(int32_t delayMs, PP_CompletionCallback callback, int32_t result) {
  if (delayMs < kShortDelayLimitMs && callback.func != nullptr && ++g_ticks > g_cap) return;
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
  g_ticks = 0;
  return PPP_InitializeModule(module, &CountingGetInterface);
}

}  // namespace

pphost::EntryPoints TickCountingEntryPoints(int64_t cap) {
  g_cap = cap;
  return pphost::EntryPoints{&CountingInitializeModule, &PPP_GetInterface, &PPP_ShutdownModule};
}

int64_t TicksArmed() { return g_ticks; }

}  // namespace module_test
