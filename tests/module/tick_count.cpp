#include "module/tick_count.h"

#include "devhost/module_timers.h"
#include "host/ppapi/ppp.h"

namespace module_test {

namespace {

constexpr int32_t kShortDelayLimitMs = 100;

int64_t g_ticks = 0;

}  // namespace

pphost::EntryPoints TickCountingEntryPoints(int64_t cap) {
  g_ticks = 0;
  const pphost::EntryPoints module{&PPP_InitializeModule, &PPP_GetInterface, &PPP_ShutdownModule};
  return pphost::ObservingTimers(module, [cap](int32_t delayMs, PP_CompletionCallback& callback) {
    return delayMs >= kShortDelayLimitMs || callback.func == nullptr || ++g_ticks <= cap;
  });
}

int64_t TicksArmed() { return g_ticks; }

}  // namespace module_test
