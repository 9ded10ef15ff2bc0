#include "tallwick_log.h"

#include "support/run_command.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TallwickLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("tallwick-log-test-" + std::to_string(getpid()));
    fs::remove_all(folder_);
  }
  void TearDown() override {
    TallwickLogSetSink(nullptr, nullptr);
    DestroyTallwickLogger();
    fs::remove_all(folder_);
  }
  int Create(const fs::path& folder, const char* name = "PPAPI_RENDER") {
    return CreateTallwickLogger(1, folder.string().c_str(), name, name, 0, 7, 0, 0);
  }
  fs::path folder_;
};

TEST_F(TallwickLogTest, WritesOnlyBetweenCreateAndDestroy) {
  EXPECT_EQ(TallwickLogWrite("PPAPI_RENDER", TALLWICK_LOG_INFO, "before"), -1);
  ASSERT_EQ(Create(folder_), 0);
  EXPECT_EQ(TallwickLogWrite("PPAPI_RENDER", TALLWICK_LOG_INFO, "during"), 0);
  DestroyTallwickLogger();
  EXPECT_EQ(TallwickLogWrite("PPAPI_RENDER", TALLWICK_LOG_INFO, "after"), -1);

  const std::string text = ReadAll(folder_ / "PPAPI_RENDER.log");
  EXPECT_EQ(text.find("before"), std::string::npos);
  EXPECT_NE(text.find("[PPAPI_RENDER] during"), std::string::npos);
  EXPECT_EQ(text.find("after"), std::string::npos);
}

TEST_F(TallwickLogTest, MapsModuleLevels) {
  ASSERT_EQ(Create(folder_), 0);
  TallwickLogWrite("T", TALLWICK_LOG_DEBUG, "lifecycle");
  TallwickLogWrite("T", TALLWICK_LOG_INFO, "info");
  TallwickLogWrite("T", TALLWICK_LOG_WARNING, "warning");
  TallwickLogWrite("T", TALLWICK_LOG_ERROR, "failure");
  DestroyTallwickLogger();
  const std::string text = ReadAll(folder_ / "PPAPI_RENDER.log");
  EXPECT_NE(text.find(" D [T] lifecycle"), std::string::npos) << text;
  EXPECT_NE(text.find(" I [T] info"), std::string::npos) << text;
  EXPECT_NE(text.find(" W [T] warning"), std::string::npos) << text;
  EXPECT_NE(text.find(" E [T] failure"), std::string::npos) << text;
}

TEST_F(TallwickLogTest, RepeatedCreateIsHarmlessAndNullArgumentsAreEmpty) {
  ASSERT_EQ(Create(folder_), 0);
  ASSERT_EQ(Create(folder_), 0);
  EXPECT_EQ(TallwickLogWrite(nullptr, TALLWICK_LOG_INFO, nullptr), 0);
  TallwickLogWrite("T", TALLWICK_LOG_INFO, "once");
  DestroyTallwickLogger();
  DestroyTallwickLogger();
  const std::string text = ReadAll(folder_ / "PPAPI_RENDER.log");
  EXPECT_EQ(text.find("once"), text.rfind("once")) << "one file, one copy of the line";
}

TEST_F(TallwickLogTest, EmptyPathUsesAFolderUnderTmpdir) {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old != nullptr ? old : "";
  setenv("TMPDIR", folder_.string().c_str(), 1);
  ASSERT_EQ(CreateTallwickLogger(1, "", "", nullptr, 0, 7, 0, 0), 0);
  TallwickLogWrite("T", TALLWICK_LOG_INFO, "default place");
  DestroyTallwickLogger();
  if (old != nullptr)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_NE(ReadAll(folder_ / "tallwick-log" / "tallwick.log").find("default place"), std::string::npos);
}

TEST_F(TallwickLogTest, UnwritableFolderStillFeedsTheSink) {
  std::vector<std::string> seen;
  TallwickLogSetSink([](void* self, const char*, int,
                        const char* text) { static_cast<std::vector<std::string>*>(self)->push_back(text); },
                     &seen);
  EXPECT_EQ(CreateTallwickLogger(1, "/proc/no-such-place", "x", "x", 0, 7, 0, 0), -1);
  EXPECT_EQ(TallwickLogWrite("T", TALLWICK_LOG_INFO, "kept"), 0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "kept");
}

TEST_F(TallwickLogTest, SafeFromManyThreadsWhileRecreated) {
  ASSERT_EQ(Create(folder_), 0);
  std::atomic<bool> stop{false};
  std::atomic<int> accepted{0};
  std::vector<std::thread> writers;
  writers.reserve(4);
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        const std::string line = "writer " + std::to_string(t) + " line " + std::to_string(i);
        if (TallwickLogWrite("T", TALLWICK_LOG_INFO, line.c_str()) == 0) ++accepted;
      }
    });
  }
  std::thread churn([&] {
    while (!stop) {
      Create(folder_);
      Create(folder_ / "other");
    }
  });
  for (auto& w : writers) w.join();
  stop = true;
  churn.join();
  EXPECT_EQ(accepted, 8000) << "a logger exists throughout, every write is taken";
}

// The lines a killed process wrote: short ones around one longer than a
// stdio buffer, all below the warning level.
std::vector<std::string> LinesBeforeKill() {
  std::vector<std::string> lines;
  lines.reserve(1001);
  for (int i = 0; i < 500; ++i) lines.push_back("short line " + std::to_string(i));
  lines.push_back("long line " + std::string(10000, 'x') + " end");
  for (int i = 500; i < 1000; ++i) lines.push_back("short line " + std::to_string(i));
  return lines;
}

// Runs in a forked child: writes the lines and dies by SIGKILL, with no
// destroy and no exit handlers. Exit codes tell the parent what failed first.
[[noreturn]] void WriteLinesAndKillSelf(const fs::path& folder, const std::vector<std::string>& lines) {
  if (CreateTallwickLogger(1, folder.string().c_str(), "PPAPI_RENDER", "PPAPI_RENDER", 0, 7, 0, 0) != 0) _exit(2);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (TallwickLogWrite("T", i % 2 == 0 ? TALLWICK_LOG_INFO : TALLWICK_LOG_DEBUG, lines[i].c_str()) != 0) _exit(3);
  }
  raise(SIGKILL);
  _exit(4);
}

TEST_F(TallwickLogTest, EveryLineSurvivesSigkillWithoutDestroy) {
  const std::vector<std::string> lines = LinesBeforeKill();
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) WriteLinesAndKillSelf(folder_, lines);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "child exited with " << WEXITSTATUS(status);
  ASSERT_EQ(WTERMSIG(status), SIGKILL);

  const std::string text = ReadAll(folder_ / "PPAPI_RENDER.log");
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n') << "the last line is whole";
  std::istringstream in(text);
  std::string line;
  size_t count = 0;
  while (std::getline(in, line)) {
    ASSERT_LT(count, lines.size()) << "more lines than written: " << line;
    const std::string tail = "[T] " + lines[count];
    ASSERT_GE(line.size(), tail.size()) << "line " << count << " is cut: " << line.substr(0, 200);
    ASSERT_EQ(line.compare(line.size() - tail.size(), tail.size(), tail), 0)
        << "line " << count << " is not the one written: " << line.substr(0, 200);
    ++count;
  }
  EXPECT_EQ(count, lines.size());
}

TEST(TallwickLogExports, ExactlyTheCApi) {
  const std::set<std::string> names = tallwick::test::NonEmptyLines(tallwick::test::RunCommand(
      std::string("nm -D --defined-only ") + TALLWICK_LOG_LIBRARY_PATH + " | awk '{print $3}'"));
  const std::set<std::string> expected = {"CreateTallwickLogger", "TallwickLogWrite", "DestroyTallwickLogger",
                                          "TallwickLogSetSink"};
  EXPECT_EQ(names, expected);
}

}  // namespace
