#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

#include "devhost/runtime/host_clock.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// The browser's main-thread task queue (PPB_Core CallOnMainThread). Tasks run
// only inside RunUntil, at exactly their due time, in due order; equal times
// run in the order they were queued.
class MainLoop {
 public:
  explicit MainLoop(HostClock& clock) : clock_(clock) {}

  // Queues `callback` to run with `result` at now + max(delayMs, 0).
  void Post(int32_t delayMs, PP_CompletionCallback callback, int32_t result);

  // Runs every task due up to `endNs` (tasks queued meanwhile included) and
  // leaves the clock at `endNs`. Stops right after a task for which
  // `stopAfter` answers true, and then returns true.
  bool RunUntil(int64_t endNs, const std::function<bool()>& stopAfter);

  // Runs every pending task once with PP_ERROR_ABORTED, in due order, so
  // nothing the module allocated for them is left behind. The clock stays.
  void AbortAll();

  size_t PendingCount() const { return tasks_.size(); }

 private:
  struct Task {
    int64_t dueNs;
    uint64_t order;
    PP_CompletionCallback callback;
    int32_t result;
  };
  struct RunsLater {
    bool operator()(const Task& a, const Task& b) const {
      return a.dueNs != b.dueNs ? a.dueNs > b.dueNs : a.order > b.order;
    }
  };

  Task PopNext();

  HostClock& clock_;
  std::priority_queue<Task, std::vector<Task>, RunsLater> tasks_;
  uint64_t nextOrder_ = 0;
};

}  // namespace pphost
