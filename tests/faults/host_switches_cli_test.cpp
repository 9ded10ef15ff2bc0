// pphost's fault switches from the command line: each one makes its fault
// from the first line of the script on.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "devhost/json.h"
#include "embed/protocol.h"

namespace fault_test {
namespace {

using pphost::Json;

// A single-stream element with a view (which makes its context), a clear
// (a swap) and a hidden cursor.
constexpr const char* kScript =
    R"({"op":"create","id":"v"}
{"op":"message","id":"v","msg":{"command":"INIT","data":{"fps":25,"dpr":1}}}
{"op":"view","id":"v","rect":[0,0,64,36]}
{"op":"message","id":"v","msg":{"command":"CLEAR_BUFFER","data":{}}}
{"op":"message","id":"v","msg":{"command":"HIDE_CURSOR","data":{}}}
{"op":"run","ms":10}
)";

struct Seen {
  int clearBuffer = -1;  // reply codes
  int hideCursor = -1;
  int presents = 0;
};

class HostSwitchesCliTest : public ::testing::Test {
 protected:
  HostSwitchesCliTest()
      : script_(std::filesystem::temp_directory_path() / ("tallwick-faults-cli-" + std::to_string(getpid()))) {
    std::ofstream(script_) << kScript;
  }
  ~HostSwitchesCliTest() override { std::filesystem::remove(script_); }

  Seen Run(const std::string& switches) {
    const std::string command = std::string(PPHOST_PATH) + " --module " + TALLWICK_MODULE_PATH +
                                " --clock virtual --trace-present " + switches + " --script " + script_.string() +
                                " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << switches;
    return Parse(out);
  }

  static Seen Parse(const std::string& out) {
    Seen seen;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      const Json json = Json::parse(line);
      if (json.at("kind") == "present") ++seen.presents;
      if (json.at("kind") != "post" || !json.at("msg").contains("response")) continue;
      const Json& msg = json.at("msg");
      if (msg.at("response") == "CLEAR_BUFFER") seen.clearBuffer = msg.at("error").get<int>();
      if (msg.at("response") == "HIDE_CURSOR") seen.hideCursor = msg.at("error").get<int>();
    }
    return seen;
  }

  std::filesystem::path script_;
};

TEST_F(HostSwitchesCliTest, EachSwitchMakesItsFaultFromTheStart) {
  const Seen none = Run("");
  EXPECT_EQ(none.clearBuffer, 0);
  EXPECT_EQ(none.hideCursor, 0);
  EXPECT_EQ(none.presents, 1);

  const Seen swaps = Run("--refuse-swaps");
  EXPECT_EQ(swaps.clearBuffer, 0) << "the clear is drawn; its swap fails";
  EXPECT_EQ(swaps.presents, 0);

  const Seen contexts = Run("--refuse-contexts");
  EXPECT_EQ(contexts.clearBuffer, TALLWICK_PP_RENDER::kErrorNotInited) << "no context";
  EXPECT_EQ(contexts.presents, 0);

  const Seen cursor = Run("--refuse-cursor");
  EXPECT_EQ(cursor.hideCursor, TALLWICK_PP_RENDER::kErrorSetCursor);
  EXPECT_EQ(cursor.presents, 1);
}

}  // namespace
}  // namespace fault_test
