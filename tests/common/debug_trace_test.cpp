#include "common/debug_trace.h"

#include <gtest/gtest.h>

namespace {

TEST(DebugTraceTest, WritesOneFormattedLineToStandardError) {
  testing::internal::CaptureStderr();
  TALLWICK_LOG::DebugTrace(L"render module contruct...%08x", 0xbeefu);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "render module contruct...0000beef\n");
}

TEST(DebugTraceTest, OverlongTextIsCutNotOverrun) {
  const std::wstring longText(10000, L'x');
  testing::internal::CaptureStderr();
  TALLWICK_LOG::DebugTrace(L"%ls", longText.c_str());
  // vswprintf refuses text that does not fit; nothing past the buffer is written.
  EXPECT_LE(testing::internal::GetCapturedStderr().size(), 4097u);
}

}  // namespace
