#include "common/log_instance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/log_capture.h"
#include "tallwick_log.h"

namespace {

using tallwick::test::LogCapture;
using TALLWICK_LOG::kLevelError;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kLevelLifecycle;
using TALLWICK_LOG::LogAt;
using TALLWICK_LOG::LogInstance;

struct SinkCounter {
  int lines = 0;
  static void Sink(void* self, const char*, int, const char*) { ++static_cast<SinkCounter*>(self)->lines; }
};

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(LogInstanceTest, DropsLinesBeforeCreateWithoutCreatingALogger) {
  LogInstance::DestroyInstance();
  SinkCounter counter;
  TallwickLogSetSink(&SinkCounter::Sink, &counter);
  LogAt(kLevelInfo, "dropped {}", 1);
  EXPECT_EQ(counter.lines, 0);
  // The library has no logger either: a direct write is refused.
  EXPECT_EQ(TallwickLogWrite("PPAPI_RENDER", kLevelInfo, "direct"), -1);
  TallwickLogSetSink(nullptr, nullptr);
}

TEST(LogInstanceTest, FormatsWithTagLevelAndHexAddresses) {
  LogCapture capture;
  LogAt(kLevelError, "[MediatorInstance] this[{:#08x}] Graphics3DContextLost", uintptr_t{0xabc});
  LogAt(kLevelLifecycle, "{} {} {} {}", 1, int64_t{-5000000000}, true, std::string("text"));
  ASSERT_EQ(capture.Lines().size(), 2u);
  EXPECT_EQ(capture.Lines()[0].text, "[MediatorInstance] this[0x000abc] Graphics3DContextLost");
  EXPECT_EQ(capture.Lines()[0].level, kLevelError);
  EXPECT_EQ(capture.Lines()[0].tag, "PPAPI_RENDER");
  EXPECT_EQ(capture.Lines()[1].text, "1 -5000000000 true text");
}

TEST(LogInstanceTest, BadFormatIsLoggedNotThrown) {
  LogCapture capture;
  EXPECT_NO_THROW(LogAt(kLevelInfo, "missing {} {}", 1));
  ASSERT_EQ(capture.Lines().size(), 1u);
  EXPECT_NE(capture.Lines()[0].text.find("bad log format"), std::string::npos);
}

TEST(LogInstanceTest, CreatingTwiceKeepsOneFileAndEveryLine) {
  LogCapture capture;
  LogInstance::GetInstance()->Create(1, capture.Folder().string(), "PPAPI_RENDER", "PPAPI_RENDER");
  LogAt(kLevelInfo, "after second create");
  DestroyTallwickLogger();
  const auto file = capture.Folder() / "PPAPI_RENDER.log";
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_NE(ReadAll(file).find("[PPAPI_RENDER] after second create"), std::string::npos);
  EXPECT_EQ(capture.Lines().size(), 1u);
}

TEST(LogInstanceTest, DestroyedFacadeStartsDisabled) {
  {
    LogCapture capture;
    EXPECT_TRUE(LogInstance::GetInstance()->IsEnabled());
  }
  EXPECT_FALSE(LogInstance::GetInstance()->IsEnabled());
}

}  // namespace
