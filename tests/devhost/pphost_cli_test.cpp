// The pphost program itself: loading the module from a path, reading a
// script, exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace devhost_test {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class PphostCli : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("pphost_cli_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string WriteScript(const std::string& text) {
    const std::filesystem::path path = folder_ / "script.jsonl";
    std::ofstream(path) << text;
    return path.string();
  }

  // `environment`: variable assignments for the program, as a shell reads them.
  Outcome Run(const std::string& arguments, const std::string& environment = "") {
    const std::filesystem::path err = folder_ / "stderr.txt";
    const std::string command =
        environment + " " + std::string(PPHOST_PATH) + " " + arguments + " 2>" + err.string() + " </dev/null";
    Outcome outcome{};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) outcome.out.append(buffer, got);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errFile(err);
    outcome.err.assign(std::istreambuf_iterator<char>(errFile), std::istreambuf_iterator<char>());
    return outcome;
  }

  std::filesystem::path folder_;
};

TEST_F(PphostCli, AModuleThatCannotBeLoadedExitsWithTwo) {
  const std::string script = WriteScript(R"({"op":"create","id":"a"})"
                                         "\n");
  const Outcome outcome = Run("--module /nonexistent/libmissing.so --script " + script);
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.out, "");
  EXPECT_NE(outcome.err.find("/nonexistent/libmissing.so"), std::string::npos) << outcome.err;
}

TEST_F(PphostCli, RunsAScriptAgainstALoadedModule) {
  const std::string script =
      WriteScript(R"({"op":"create","id":"a"})"
                  "\n"
                  R"({"op":"message","id":"a","msg":{"command":"TIMER","delay":20,"post":"DONE"}})"
                  "\r\n"
                  R"({"op":"run","ms":25})"
                  "\n"
                  R"({"op":"shutdown"})");
  const Outcome outcome = Run(std::string("--clock virtual --module ") + FAKE_MODULE_PATH + " --script " + script);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, R"({"kind":"post","t":0,"id":"a","msg":{"command":"CREATED","attrs":[]}})"
                         "\n"
                         R"({"kind":"created","id":"a","instance":1})"
                         "\n"
                         R"({"kind":"ack","seq":1,"op":"create"})"
                         "\n"
                         R"({"kind":"ack","seq":2,"op":"message"})"
                         "\n"
                         R"({"kind":"post","t":20,"id":"a","msg":{"command":"DONE","ms":20.0}})"
                         "\n"
                         R"({"kind":"ack","seq":3,"op":"run"})"
                         "\n"
                         R"({"kind":"post","t":25,"id":"a","msg":{"command":"DESTROYED"}})"
                         "\n"
                         R"({"kind":"shutdown","live_vars":0,"live_resources":0})"
                         "\n"
                         R"({"kind":"ack","seq":4,"op":"shutdown"})"
                         "\n");
}

TEST_F(PphostCli, AnErrorLineMakesTheExitStatusOne) {
  const std::string script = WriteScript(R"({"op":"nope"})");
  const Outcome outcome = Run(std::string("--module ") + FAKE_MODULE_PATH + " --script " + script);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, R"({"kind":"error","seq":1,"text":"unknown op \"nope\""})"
                         "\n"
                         R"({"kind":"ack","seq":1,"op":"nope"})"
                         "\n");
}

TEST_F(PphostCli, DrawsPresentsAndSnapshotsAsAStrictEs2Host) {
  const std::string png = (folder_ / "a.png").string();
  const std::string script = WriteScript(R"({"op":"create","id":"a"})"
                                         "\n"
                                         R"({"op":"message","id":"a","msg":{"command":"CONTEXT","width":4,"height":2}})"
                                         "\n"
                                         R"({"op":"message","id":"a","msg":{"command":"BIND"}})"
                                         "\n"
                                         R"({"op":"message","id":"a","msg":{"command":"RED"}})"
                                         "\n"
                                         R"({"op":"message","id":"a","msg":{"command":"SWAP"}})"
                                         "\n"
                                         R"({"op":"run","ms":3})"
                                         "\n"
                                         R"({"op":"snapshot","id":"a","png":")" +
                                         png + R"("})");
  const Outcome outcome = Run(std::string("--clock virtual --gl strict-es2 --trace-present --module ") +
                              FAKE_MODULE_PATH + " --script " + script);
  EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
  for (const std::string& line :
       std::vector<std::string>{R"({"kind":"post","t":0,"id":"a","msg":{"command":"RED","error":1280}})",
                                R"({"kind":"present","t":0,"id":"a","width":4,"height":2,"n":1})",
                                R"({"kind":"snapshot","id":"a","width":4,"height":2,"path":")" + png + R"("})"}) {
    EXPECT_NE(outcome.out.find(line + "\n"), std::string::npos) << line << "\n" << outcome.out;
  }
  EXPECT_TRUE(std::filesystem::exists(png));
}

// With no EGL vendor to load, contexts cannot be made; the rest still works.
TEST_F(PphostCli, WithoutEglNoContextIsMadeAndEverythingElseWorks) {
  const std::string script = WriteScript(R"({"op":"create","id":"a"})"
                                         "\n"
                                         R"({"op":"message","id":"a","msg":{"command":"CONTEXT","width":4,"height":2}})"
                                         "\n"
                                         R"({"op":"message","id":"a","msg":"still here"})");
  const Outcome outcome = Run(std::string("--clock virtual --module ") + FAKE_MODULE_PATH + " --script " + script,
                              "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent/vendor.json");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.out.find(R"({"command":"CONTEXT","ok":false,"is3d":false})"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find(R"("msg":"still here")"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.err.find("pphost: no 3D contexts: "), std::string::npos) << outcome.err;
}

TEST_F(PphostCli, HelpNamesTheOptions) {
  const Outcome outcome = Run("--help");
  EXPECT_EQ(outcome.status, 0);
  for (const char* option : {"--module", "--clock", "--script", "--log", "--gl", "--trace-present"}) {
    EXPECT_NE(outcome.out.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace devhost_test
