#include "devhost/module_timers.h"

#include <cstring>
#include <utility>

#include "host/ppapi/ppb_core.h"

namespace pphost {

namespace {

EntryPoints g_module;
TimerObserver g_observer;
PPB_GetInterface g_hostGetInterface = nullptr;
const PPB_Core* g_hostCore = nullptr;
PPB_Core g_observingCore{};

void PP_CALL ObservedCallOnMainThread(int32_t delayMs, PP_CompletionCallback callback, int32_t result) {
  if (g_observer && !g_observer(delayMs, callback)) return;
  g_hostCore->CallOnMainThread(delayMs, callback, result);
}

const void* PP_CALL ObservingGetInterface(const char* name) {
  const void* table = g_hostGetInterface(name);
  if (table == nullptr || std::strcmp(name, PPB_CORE_INTERFACE_1_0) != 0) return table;
  g_hostCore = static_cast<const PPB_Core*>(table);
  g_observingCore = *g_hostCore;
  g_observingCore.CallOnMainThread = &ObservedCallOnMainThread;
  return &g_observingCore;
}

int32_t PP_CALL ObservingInitializeModule(PP_Module module, PPB_GetInterface getBrowserInterface) {
  g_hostGetInterface = getBrowserInterface;
  return g_module.initialize(module, &ObservingGetInterface);
}

}  // namespace

EntryPoints ObservingTimers(const EntryPoints& module, TimerObserver observer) {
  g_module = module;
  g_observer = std::move(observer);
  return EntryPoints{&ObservingInitializeModule, module.getInterface, module.shutdown};
}

}  // namespace pphost
