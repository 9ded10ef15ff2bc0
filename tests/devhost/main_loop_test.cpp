// The main-loop queue on its own: stopping early and aborting at shutdown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devhost/runtime/main_loop.h"

namespace devhost_test {
namespace {

using ::testing::ElementsAre;

struct Probe {
  pphost::HostClock clock{pphost::ClockMode::kVirtual};
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

}  // namespace
}  // namespace devhost_test
