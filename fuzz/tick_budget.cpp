#include "tick_budget.h"

#include <string>

#include "devhost/module_timers.h"
#include "finding.h"
#include "host/ppapi/ppp.h"

namespace tallwick_fuzz {

namespace {

constexpr int32_t kShortDelayLimitMs = 100;
constexpr int64_t kShortestIntervalMs = 8;
constexpr int64_t kTicksPerAction = 4;
constexpr int64_t kSlack = 8;

int64_t g_armed = 0;
int64_t g_loops = 0;
int64_t g_elapsedMs = 0;
int64_t g_actions = 0;

int64_t Budget() {
  return 2 * g_loops * (g_elapsedMs / kShortestIntervalMs + 1) + kTicksPerAction * g_actions + kSlack;
}

bool CountShortTimer(int32_t delayMs, PP_CompletionCallback& /*callback*/) {
  if (delayMs < kShortDelayLimitMs && ++g_armed > Budget()) {
    Finding("busy loop", std::to_string(g_armed) + " short timers armed in " + std::to_string(g_elapsedMs) +
                             " virtual ms and " + std::to_string(g_actions) + " page actions (budget " +
                             std::to_string(Budget()) + "), the last with a delay of " + std::to_string(delayMs) +
                             " ms");
  }
  return true;
}

}  // namespace

pphost::EntryPoints TickBudgetEntryPoints() {
  return pphost::ObservingTimers({&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule}, &CountShortTimer);
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
