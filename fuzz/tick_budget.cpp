#include "tick_budget.h"

#include <cstring>
#include <string>

#include "finding.h"
#include "host/ppapi/ppb_core.h"
#include "host/ppapi/ppp.h"

namespace tallwick_fuzz {

namespace {

constexpr int32_t kShortDelayLimitMs = 100;
constexpr int64_t kShortestIntervalMs = 8;
constexpr int64_t kTicksPerAction = 4;
constexpr int64_t kSlack = 8;

PPB_GetInterface g_hostGetInterface = nullptr;
const PPB_Core* g_hostCore = nullptr;
PPB_Core g_countingCore{};
int64_t g_armed = 0;
int64_t g_loops = 0;
int64_t g_elapsedMs = 0;
int64_t g_actions = 0;

int64_t Budget() { return 2 * g_loops * (g_elapsedMs / kShortestIntervalMs + 1) + kTicksPerAction * g_actions + kSlack; }

void PP_CALL CountingCallOnMainThread(int32_t delayMs, PP_CompletionCallback callback, int32_t result) {
  if (delayMs < kShortDelayLimitMs && ++g_armed > Budget()) {
    Finding("busy loop", std::to_string(g_armed) + " short timers armed in " + std::to_string(g_elapsedMs) +
                             " virtual ms and " + std::to_string(g_actions) + " page actions (budget " +
                             std::to_string(Budget()) + "), the last with a delay of " + std::to_string(delayMs) +
                             " ms");
  }
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
  return PPP_InitializeModule(module, &CountingGetInterface);
}

}  // namespace

pphost::EntryPoints TickBudgetEntryPoints() {
  return pphost::EntryPoints{&CountingInitializeModule, &PPP_GetInterface, &PPP_ShutdownModule};
}

void BeginTickBudget(int loops) {
  g_armed = 0;
  g_loops = loops;
  g_elapsedMs = 0;
  g_actions = 0;
}

void AddTimeToTickBudget(int64_t ms) { g_elapsedMs += ms; }

void AddActionToTickBudget() { ++g_actions; }

}  // namespace tallwick_fuzz
