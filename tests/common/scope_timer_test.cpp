#include "common/scope_timer.h"

#include <gtest/gtest.h>

#include "common/log_instance.h"
#include "support/log_capture.h"
#include "support/manual_clock.h"

namespace {

using tallwick::test::LogCapture;
using tallwick::test::ManualClock;
using TALLWICK_COMMON::ScopeTimer;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kLevelLifecycle;

constexpr const char* kName = "TALLWICK_PP_RENDER::RenderEmbed::RenderEmbed";

TEST(ScopeTimerTest, WritesEntryAndExitWithElapsedMilliseconds) {
  ManualClock clock;
  LogCapture capture;
  {
    ScopeTimer timer("PPAPI_RENDER", kName);
    clock.AdvanceMs(42);
  }
  ASSERT_EQ(capture.Lines().size(), 2u);
  EXPECT_EQ(capture.Lines()[0].text, std::string("entry ") + kName);
  EXPECT_EQ(capture.Lines()[1].text, std::string("exit ") + kName + ", cost : 42");
  for (const auto& line : capture.Lines()) {
    EXPECT_EQ(line.tag, "PPAPI_RENDER");
    EXPECT_EQ(line.level, kLevelInfo);
  }
}

TEST(ScopeTimerTest, ExitComesAfterEverythingTheBodyLogs) {
  LogCapture capture;
  {
    ScopeTimer timer("PPAPI_RENDER", kName);
    TALLWICK_LOG::LogAt(kLevelLifecycle, "body {}", 1);
  }
  ASSERT_EQ(capture.Lines().size(), 3u);
  EXPECT_EQ(capture.Lines()[1].text, "body 1");
  EXPECT_EQ(capture.Lines()[2].text.rfind("exit ", 0), 0u);
}

TEST(ScopeTimerTest, SilentBeforeTheLoggerIsCreated) {
  TALLWICK_LOG::LogInstance::DestroyInstance();
  ScopeTimer timer("PPAPI_RENDER", kName);  // must not crash or create a logger
  EXPECT_FALSE(TALLWICK_LOG::LogInstance::GetInstance()->IsEnabled());
}

}  // namespace
