#include "devhost/runtime/main_loop.h"

#include <algorithm>

namespace pphost {

namespace {
// A module that queues a new task from every aborted one would never let
// shutdown finish; past this many, the rest are dropped.
constexpr size_t kMaxAbortedTasks = 1000000;
}  // namespace

void MainLoop::Post(int32_t delayMs, PP_CompletionCallback callback, int32_t result) {
  if (callback.func == nullptr) return;  // a blocking call: nothing to run later
  const int64_t due = clock_.MonotonicNs() + static_cast<int64_t>(std::max(delayMs, 0)) * kNsPerMs;
  tasks_.push(Task{due, nextOrder_++, callback, result});
}

MainLoop::Task MainLoop::PopNext() {
  Task task = tasks_.top();
  tasks_.pop();
  return task;
}

bool MainLoop::RunUntil(int64_t endNs, const std::function<bool()>& stopAfter) {
  while (!tasks_.empty() && tasks_.top().dueNs <= endNs) {
    clock_.WaitUntil(tasks_.top().dueNs);
    Task task = PopNext();
    task.callback.func(task.callback.user_data, task.result);
    if (stopAfter && stopAfter()) return true;
  }
  clock_.WaitUntil(endNs);
  return false;
}

void MainLoop::AbortAll() {
  for (size_t ran = 0; !tasks_.empty() && ran < kMaxAbortedTasks; ++ran) {
    Task task = PopNext();
    task.callback.func(task.callback.user_data, PP_ERROR_ABORTED);
  }
  tasks_ = {};
}

}  // namespace pphost
