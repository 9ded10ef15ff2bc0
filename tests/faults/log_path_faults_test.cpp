// Log paths the page may send with "INIT" that cannot be used as they are:
// one that cannot be written, an empty one, a very long one. The element
// must answer, work, and keep its lines reaching the host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "faults/fault_page.h"

namespace fault_test {
namespace {

using ::testing::IsEmpty;
using ::testing::Not;

namespace fs = std::filesystem;

// A folder that cannot exist: its parent is a regular file.
std::string UnwritablePath() {
  const fs::path file = fs::temp_directory_path() / ("tallwick-faults-file-" + std::to_string(getpid()));
  std::ofstream(file) << "not a folder";
  return (file / "logs").string();
}

// Longer than any path the system takes, with names longer than any it takes.
std::string VeryLongPath() {
  std::string path = "/tmp";
  while (path.size() < 8192) path += "/" + std::string(300, 'l');
  return path;
}

struct LogPathCase {
  const char* name;
  std::string (*path)();
};

class LogPathFaultTest : public FaultPageTest, public ::testing::WithParamInterface<LogPathCase> {
 protected:
  // "INIT" of `id` with the case's log path, then its reply code.
  int InitWithPath(const std::string& id, Json data) {
    data["logPath"] = GetParam().path();
    data["logVersion"] = 1;
    const auto out = Do({Command(id, "INIT", data.dump())});
    EXPECT_THAT(LogTexts(out, "init ppapi"), Not(IsEmpty())) << "the host still gets the module's lines";
    const auto replies = Replies(out);
    return replies.size() == 1 ? replies[0].value("error", -1) : -1;
  }
};

INSTANTIATE_TEST_SUITE_P(Paths, LogPathFaultTest,
                         ::testing::Values(LogPathCase{"Unwritable", &UnwritablePath},
                                           LogPathCase{"Empty", [] { return std::string(); }},
                                           LogPathCase{"VeryLong", &VeryLongPath}),
                         [](const ::testing::TestParamInfo<LogPathCase>& test) {
                           return std::string(test.param.name);
                         });

TEST_P(LogPathFaultTest, EveryRoleAnswersAndDraws) {
  PublishSolid("u1", kRed);
  EXPECT_EQ(InitWithPath("c", Json::object()), 0);
  Do({Create("v")});
  EXPECT_EQ(InitWithPath("v", {{"fps", 20}, {"uid", "u1"}, {"sid", "s-u1"}, {"dpr", 1}}), 0);
  EXPECT_EQ(InitWithPath("g", DefaultInit()), 0);
  const auto started = Do({R"({"op":"view","id":"v","rect":[0,0,160,90]})",
                           R"({"op":"view","id":"g","rect":[0,0,320,180]})", Layout({{"u1", "s-u1", 0, 0, 160, 90}}),
                           Command("v", "START_RENDER"), Command("g", "START_RENDER"), Run(100)});
  EXPECT_GE(Presents(started, "v"), 1u);
  EXPECT_GE(Presents(started, "g"), 1u);
  EXPECT_TRUE(Shows(Centre(Role::kSingleStream), kRed));
  EXPECT_TRUE(Shows(Centre(Role::kGallery), kRed));
  ExpectCleanShutdown({SegmentName("u1")});
}

}  // namespace
}  // namespace fault_test
