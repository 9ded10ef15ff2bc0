// The main-loop queue on its own: stopping early, aborting at shutdown, and
// tasks that wait for something besides their time (a swap's GPU work).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "devhost/runtime/main_loop.h"

namespace devhost_test {
namespace {

using ::testing::ElementsAre;

struct Probe {
  explicit Probe(pphost::ClockMode mode = pphost::ClockMode::kVirtual) : clock(mode) {}
  pphost::HostClock clock;
  pphost::MainLoop loop{clock};
  std::vector<std::string> ran;
  bool requeueOnAbort = false;
};

struct Task {
  Probe* probe;
  std::string name;
};

void RunTask(void* data, int32_t result) {
  auto* task = static_cast<Task*>(data);
  Probe* probe = task->probe;
  probe->ran.push_back(task->name + ":" + std::to_string(result) + "@" + std::to_string(probe->clock.MonotonicMs()));
  if (result == PP_ERROR_ABORTED && probe->requeueOnAbort) {
    probe->requeueOnAbort = false;
    static Task again{nullptr, "again"};
    again.probe = probe;
    probe->loop.Post(0, PP_MakeCompletionCallback(&RunTask, &again), PP_OK);
  }
}

TEST(PphostMainLoop, StopsRightAfterTheTaskThatAsksAndKeepsTheRest) {
  Probe probe;
  Task a{&probe, "a"}, b{&probe, "b"}, c{&probe, "c"};
  probe.loop.Post(5, PP_MakeCompletionCallback(&RunTask, &a), 1);
  probe.loop.Post(5, PP_MakeCompletionCallback(&RunTask, &b), 2);
  probe.loop.Post(9, PP_MakeCompletionCallback(&RunTask, &c), 3);
  EXPECT_TRUE(probe.loop.RunUntil(100 * pphost::kNsPerMs, [&] { return probe.ran.size() == 1; }));
  EXPECT_EQ(probe.clock.MonotonicMs(), 5);
  EXPECT_FALSE(probe.loop.RunUntil(7 * pphost::kNsPerMs, nullptr));
  EXPECT_EQ(probe.clock.MonotonicMs(), 7);
  EXPECT_THAT(probe.ran, ElementsAre("a:1@5", "b:2@5"));
  EXPECT_EQ(probe.loop.PendingCount(), 1u);
}

TEST(PphostMainLoop, AbortRunsEveryPendingTaskOnceInDueOrderIncludingOnesQueuedMeanwhile) {
  Probe probe;
  Task late{&probe, "late"}, early{&probe, "early"};
  probe.loop.Post(50, PP_MakeCompletionCallback(&RunTask, &late), PP_OK);
  probe.loop.Post(10, PP_MakeCompletionCallback(&RunTask, &early), PP_OK);
  probe.loop.Post(1, PP_MakeCompletionCallback(nullptr, nullptr), PP_OK);  // nothing to run: never queued
  probe.requeueOnAbort = true;
  probe.loop.AbortAll();
  EXPECT_THAT(probe.ran, ElementsAre("early:-3@0", "again:-3@0", "late:-3@0"));
  EXPECT_EQ(probe.loop.PendingCount(), 0u);
}

// What a swap's completion waits for, played by the test: it is there once
// `done` is set (or, when asked to wait, once the wait makes it so).
struct GpuWork {
  bool done = false;
  bool doneByWaiting = false;
  std::vector<int64_t> asked;  // the timeouts the loop asked with
  pphost::MainLoop::Readiness Readiness() {
    return [this](int64_t timeoutNs) {
      asked.push_back(timeoutNs);
      if (timeoutNs > 0 && doneByWaiting) done = true;
      return done;
    };
  }
};

struct Finisher {
  Probe* probe;
  GpuWork* work;
};

void FinishWork(void* data, int32_t /*result*/) {
  auto* finisher = static_cast<Finisher*>(data);
  finisher->probe->ran.push_back(std::string("timer:done=") + (finisher->work->done ? "yes" : "no"));
  finisher->work->done = true;
}

TEST(PphostMainLoop, OnTheVirtualClockATaskThatWaitsIsWaitedForInItsPlace) {
  Probe probe;
  GpuWork work;
  work.doneByWaiting = true;
  Task swap{&probe, "swap"}, next{&probe, "next"};
  probe.loop.Post(3, PP_MakeCompletionCallback(&RunTask, &next), PP_OK);
  probe.loop.PostWhenReady(PP_MakeCompletionCallback(&RunTask, &swap), PP_OK, work.Readiness());
  probe.loop.Post(0, PP_MakeCompletionCallback(&RunTask, &next), PP_OK);
  EXPECT_FALSE(probe.loop.RunUntil(10 * pphost::kNsPerMs, nullptr));
  EXPECT_THAT(probe.ran, ElementsAre("swap:0@0", "next:0@0", "next:0@3"));
  EXPECT_THAT(work.asked, ElementsAre(std::numeric_limits<int64_t>::max()));
  EXPECT_TRUE(work.done);
}

// On the real clock the main thread is not held: what is queued behind a
// swap whose GPU work is still going on runs first, and the swap completes
// only once the work is done. No sleeping: every task is due at once.
TEST(PphostMainLoop, OnTheRealClockTasksBehindAWaitingTaskRunAndItRunsOnceReady) {
  Probe probe(pphost::ClockMode::kReal);
  GpuWork work;
  Task swap{&probe, "swap"};
  Finisher timer{&probe, &work};
  probe.loop.PostWhenReady(PP_MakeCompletionCallback(&RunTask, &swap), PP_OK, work.Readiness());
  probe.loop.Post(0, PP_MakeCompletionCallback(&FinishWork, &timer), PP_OK);
  probe.loop.RunUntil(probe.clock.MonotonicNs(), nullptr);
  probe.loop.RunUntil(probe.clock.MonotonicNs(), nullptr);
  ASSERT_EQ(probe.ran.size(), 2u);
  EXPECT_EQ(probe.ran[0], "timer:done=no");
  EXPECT_EQ(probe.ran[1].rfind("swap:0@", 0), 0u) << probe.ran[1];
  EXPECT_EQ(probe.loop.PendingCount(), 0u);
  ASSERT_FALSE(work.asked.empty());
  EXPECT_EQ(work.asked.front(), 0) << "the loop must only look while other tasks are due";
}

TEST(PphostMainLoop, AbortRunsATaskStillWaitingForItsWorkFirst) {
  Probe probe(pphost::ClockMode::kReal);
  GpuWork work;
  Task swap{&probe, "swap"}, late{&probe, "late"};
  probe.loop.PostWhenReady(PP_MakeCompletionCallback(&RunTask, &swap), PP_OK, work.Readiness());
  probe.loop.Post(60000, PP_MakeCompletionCallback(&RunTask, &late), PP_OK);
  probe.loop.RunUntil(probe.clock.MonotonicNs(), nullptr);
  EXPECT_TRUE(probe.ran.empty());
  EXPECT_EQ(probe.loop.PendingCount(), 2u);
  probe.loop.AbortAll();
  ASSERT_EQ(probe.ran.size(), 2u);
  EXPECT_EQ(probe.ran[0].rfind("swap:-3@", 0), 0u) << probe.ran[0];
  EXPECT_EQ(probe.ran[1].rfind("late:-3@", 0), 0u) << probe.ran[1];
  EXPECT_EQ(probe.loop.PendingCount(), 0u);
}

}  // namespace
}  // namespace devhost_test
