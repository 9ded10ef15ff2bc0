// "PPB_Core;1.0": resource reference counts, the host's clocks and the
// main-thread task queue.
#include <thread>

#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"

namespace pphost {

namespace {

void AddRefResource(PP_Resource resource) {
  if (BrowserContext* browser = ActiveBrowser()) browser->resources.AddRef(resource);
}

void ReleaseResource(PP_Resource resource) {
  if (BrowserContext* browser = ActiveBrowser()) browser->resources.Release(resource);
}

PP_Time GetTime() {
  BrowserContext* browser = ActiveBrowser();
  return browser != nullptr ? NsToSeconds(browser->clock.WallNs()) : 0.0;
}

PP_TimeTicks GetTimeTicks() {
  BrowserContext* browser = ActiveBrowser();
  return browser != nullptr ? NsToSeconds(browser->clock.MonotonicNs()) : 0.0;
}

// The module runs on the host's main thread only, so the queue takes no lock.
void CallOnMainThread(int32_t delayMs, PP_CompletionCallback callback, int32_t result) {
  if (BrowserContext* browser = ActiveBrowser()) browser->loop.Post(delayMs, callback, result);
}

PP_Bool IsMainThread() {
  BrowserContext* browser = ActiveBrowser();
  return PP_FromBool(browser != nullptr && browser->mainThread == std::this_thread::get_id());
}

constexpr PPB_Core_1_0 kCore = {&AddRefResource, &ReleaseResource,  &GetTime,
                                &GetTimeTicks,   &CallOnMainThread, &IsMainThread};

}  // namespace

const PPB_Core_1_0* CoreInterface() { return &kCore; }

}  // namespace pphost
