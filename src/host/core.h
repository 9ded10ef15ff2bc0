#pragma once

#include "host/completion_callback.h"
#include "host/ppapi/ppb_core.h"

namespace pp {

// The browser's core services: clocks, resource counts and the main-thread
// task queue.
class Core {
 public:
  explicit Core(const PPB_Core_1_0* core) : core_(core) {}

  PP_Time GetTime() const { return core_->GetTime(); }
  PP_TimeTicks GetTimeTicks() const { return core_->GetTimeTicks(); }
  bool IsMainThread() const { return PP_ToBool(core_->IsMainThread()); }
  void AddRefResource(PP_Resource resource) const { core_->AddRefResource(resource); }
  void ReleaseResource(PP_Resource resource) const { core_->ReleaseResource(resource); }

  // Asks the browser to run `callback` with `result` on the main thread
  // after `delayMs` milliseconds.
  void CallOnMainThread(int32_t delayMs, const CompletionCallback& callback, int32_t result = 0) const {
    core_->CallOnMainThread(delayMs, callback.pp_completion_callback(), result);
  }

 private:
  const PPB_Core_1_0* core_;
};

}  // namespace pp
