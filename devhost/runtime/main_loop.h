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
//
// A task may also wait for something besides its time: the GPU work of a
// swap. On the virtual clock the loop waits for that in the task's place, so
// the order stays as if it were a plain task. On the real clock the loop goes
// on with the tasks behind it and sleeps on it when nothing else is due; it
// runs as soon as what it waits for is there.
class MainLoop {
 public:
  // Whether what a task waits for is there, waiting up to `timeoutNs` for it
  // (0: only looks).
  using Readiness = std::function<bool(int64_t timeoutNs)>;

  explicit MainLoop(HostClock& clock) : clock_(clock) {}

  // Queues `callback` to run with `result` at now + max(delayMs, 0).
  void Post(int32_t delayMs, PP_CompletionCallback callback, int32_t result);
  // Queues `callback` to run with `result` now, once `ready` says so.
  void PostWhenReady(PP_CompletionCallback callback, int32_t result, Readiness ready);

  // Runs every task due up to `endNs` (tasks queued meanwhile included) and
  // leaves the clock at `endNs`. Stops right after a task for which
  // `stopAfter` answers true, and then returns true.
  bool RunUntil(int64_t endNs, const std::function<bool()>& stopAfter);

  // Runs every pending task once with PP_ERROR_ABORTED, in due order, so
  // nothing the module allocated for them is left behind. The clock stays.
  void AbortAll();

  size_t PendingCount() const { return tasks_.size() + waiting_.size(); }

 private:
  struct Task {
    int64_t dueNs;
    uint64_t order;
    PP_CompletionCallback callback;
    int32_t result;
    Readiness ready;  // empty for a plain task
  };
  struct RunsLater {
    bool operator()(const Task& a, const Task& b) const {
      return a.dueNs != b.dueNs ? a.dueNs > b.dueNs : a.order > b.order;
    }
  };

  Task PopNext();
  // False when the task was set aside to wait (real clock only).
  bool ReadyToRun(Task& task);
  void WaitUntil(int64_t targetNs);
  bool AdmitReady(int64_t timeoutNs);

  HostClock& clock_;
  std::priority_queue<Task, std::vector<Task>, RunsLater> tasks_;
  std::vector<Task> waiting_;  // past their time, not ready yet, in due order
  uint64_t nextOrder_ = 0;
};

}  // namespace pphost
