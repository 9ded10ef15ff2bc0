#include "devhost/runtime/main_loop.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>

namespace pphost {

namespace {
// A module that queues a new task from every aborted one would never let
// shutdown finish; past this many, the rest are dropped.
constexpr size_t kMaxAbortedTasks = 1000000;
}  // namespace

void MainLoop::Post(int32_t delayMs, PP_CompletionCallback callback, int32_t result) {
  if (callback.func == nullptr) return;  // a blocking call: nothing to run later
  const int64_t due = clock_.MonotonicNs() + static_cast<int64_t>(std::max(delayMs, 0)) * kNsPerMs;
  tasks_.push(Task{due, nextOrder_++, callback, result, nullptr});
}

void MainLoop::PostWhenReady(PP_CompletionCallback callback, int32_t result, Readiness ready) {
  if (callback.func == nullptr) return;
  tasks_.push(Task{clock_.MonotonicNs(), nextOrder_++, callback, result, std::move(ready)});
}

MainLoop::Task MainLoop::PopNext() {
  Task task = tasks_.top();
  tasks_.pop();
  return task;
}

bool MainLoop::RunUntil(int64_t endNs, const std::function<bool()>& stopAfter) {
  for (;;) {
    const bool due = !tasks_.empty() && tasks_.top().dueNs <= endNs;
    WaitUntil(due ? tasks_.top().dueNs : endNs);
    if (tasks_.empty() || tasks_.top().dueNs > endNs) {
      if (clock_.MonotonicNs() >= endNs) return false;
      continue;
    }
    Task task = PopNext();
    if (!ReadyToRun(task)) continue;
    task.callback.func(task.callback.user_data, task.result);
    if (stopAfter && stopAfter()) return true;
  }
}

bool MainLoop::ReadyToRun(Task& task) {
  if (!task.ready) return true;
  if (clock_.IsVirtual()) {
    task.ready(std::numeric_limits<int64_t>::max());  // in its place, however long it takes
    return true;
  }
  if (task.ready(0)) return true;
  waiting_.push_back(std::move(task));
  return false;
}

// Returns at `targetNs`, or sooner when a task that waits gets what it waits
// for: it is then due now. Only the real clock has such tasks; they are
// looked at even when the target has passed.
void MainLoop::WaitUntil(int64_t targetNs) {
  while (!waiting_.empty()) {
    if (AdmitReady(std::max<int64_t>(targetNs - clock_.MonotonicNs(), 0))) return;
    if (clock_.MonotonicNs() >= targetNs) break;
  }
  clock_.WaitUntil(targetNs);
}

// Waits up to `timeoutNs` on the first waiting task and looks at the rest;
// those that are ready go back into the queue, due now.
bool MainLoop::AdmitReady(int64_t timeoutNs) {
  bool admitted = false;
  for (size_t at = 0; at < waiting_.size();) {
    Task& task = waiting_[at];
    if (!task.ready(at == 0 ? timeoutNs : 0)) {
      ++at;
      continue;
    }
    tasks_.push(Task{clock_.MonotonicNs(), nextOrder_++, task.callback, task.result, nullptr});
    waiting_.erase(waiting_.begin() + static_cast<std::ptrdiff_t>(at));
    admitted = true;
  }
  return admitted;
}

void MainLoop::AbortAll() {
  std::vector<Task> waiting = std::move(waiting_);
  waiting_.clear();
  for (Task& task : waiting) task.callback.func(task.callback.user_data, PP_ERROR_ABORTED);
  for (size_t ran = 0; !tasks_.empty() && ran < kMaxAbortedTasks; ++ran) {
    Task task = PopNext();
    task.callback.func(task.callback.user_data, PP_ERROR_ABORTED);
  }
  tasks_ = {};
}

}  // namespace pphost
