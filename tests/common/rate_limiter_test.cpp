#include "common/rate_limiter.h"

#include <gtest/gtest.h>

#include "support/manual_clock.h"

namespace {

using tallwick::test::ManualClock;
using TALLWICK_COMMON::RateLimiter;

TEST(RateLimiterTest, IntervalBoundaries) {
  ManualClock clock;
  RateLimiter limiter(5000);
  EXPECT_TRUE(limiter.Allow()) << "first use always passes";
  clock.AdvanceMs(4999);
  EXPECT_FALSE(limiter.Allow());
  clock.AdvanceMs(1);
  EXPECT_TRUE(limiter.Allow()) << "exactly one interval after the last pass";
  EXPECT_FALSE(limiter.Allow());
}

TEST(RateLimiterTest, DroppedCallsDoNotPushTheWindow) {
  ManualClock clock;
  RateLimiter limiter(5000);
  EXPECT_TRUE(limiter.Allow());
  for (int i = 0; i < 49; ++i) {
    clock.AdvanceMs(100);
    EXPECT_FALSE(limiter.Allow());
  }
  clock.AdvanceMs(100);  // 5000 ms after the first pass
  EXPECT_TRUE(limiter.Allow());
}

TEST(RateLimiterTest, ClockSetBackLetsTheLineThrough) {
  ManualClock clock;
  RateLimiter limiter(5000);
  EXPECT_TRUE(limiter.Allow());
  clock.SetWallMs(clock.WallMs() - 1);
  EXPECT_TRUE(limiter.Allow()) << "a negative difference is a huge unsigned one";
}

TEST(RateLimiterTest, LimitersAreIndependent) {
  ManualClock clock;
  RateLimiter a(5000);
  RateLimiter b(5000);
  EXPECT_TRUE(a.Allow());
  EXPECT_TRUE(b.Allow());
  EXPECT_FALSE(a.Allow());
}

}  // namespace
