// The main loop under the virtual clock: timer order, `run ... until`, the
// `clock` op and the callbacks left at shutdown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "devhost/fake_plugin.h"
#include "devhost/scripted_host.h"

namespace devhost_test {
namespace {

using ::testing::ElementsAre;

std::string Timer(const std::string& id, int delay, const std::string& post) {
  return R"({"op":"message","id":")" + id + R"(","msg":{"command":"TIMER","delay":)" + std::to_string(delay) +
         R"(,"post":")" + post + R"("}})";
}

// "command@ms" of every post, with the module's and the host's view of time.
std::vector<std::string> Fired(const std::vector<Json>& out) {
  std::vector<std::string> fired;
  for (const Json& line : OfKind(out, "post")) {
    const Json& msg = line.at("msg");
    EXPECT_EQ(msg.at("ms").get<double>(), line.at("t").get<double>()) << line.dump();
    fired.push_back(msg.at("command").get<std::string>() + "@" + line.at("t").dump());
  }
  return fired;
}

class PphostLoop : public ::testing::Test {
 protected:
  PphostLoop() { host_.Execute({R"({"op":"create","id":"a"})", R"({"op":"create","id":"b"})"}); }
  ScriptedHost host_;
};

TEST_F(PphostLoop, TimersFireAtTheirDueTimeInDueOrderAndEqualTimesInRequestOrder) {
  host_.Execute({Timer("a", 30, "A30"), Timer("a", 10, "B10"), Timer("b", 10, "C10"), Timer("a", 0, "D0"),
                 Timer("b", -5, "E-5"), Timer("a", -1, "F-1"), Timer("a", 11, "G11")});
  EXPECT_THAT(Fired(host_.Execute({R"({"op":"run","ms":100})"})),
              ElementsAre("D0@0", "E-5@0", "F-1@0", "B10@10", "C10@10", "G11@11", "A30@30"));
}

TEST_F(PphostLoop, NothingRunsOutsideRunAndTimeMovesExactlyByRun) {
  EXPECT_TRUE(OfKind(host_.Execute({Timer("a", 0, "NOW"), Timer("a", 50, "LATER")}), "post").empty());
  EXPECT_THAT(Fired(host_.Execute({R"({"op":"run","ms":0})"})), ElementsAre("NOW@0"));
  EXPECT_TRUE(OfKind(host_.Execute({R"({"op":"run","ms":49.5})"}), "post").empty());
  EXPECT_THAT(Fired(host_.Execute({R"({"op":"run","ms":0.5})"})), ElementsAre("LATER@50"));
  const std::vector<Json> time = Posted(host_.Execute({R"({"op":"message","id":"a","msg":{"command":"TIME"}})"}));
  EXPECT_EQ(time.at(0).at("ticks_ms"), 50.0);
  EXPECT_EQ(time.at(0).at("wall_ms"), 1767225600050.0);
}

// The stepping entry for C++ callers serves the loop as a `run` line does,
// but is no line: no ack, and the next line keeps its sequence number.
TEST_F(PphostLoop, RunFromCodeServesTheLoopLikeARunLineWithoutALineOfItsOwn) {
  host_.Execute({Timer("a", 10, "A10"), Timer("b", 40, "B40")});
  const size_t before = host_.Text().size();
  EXPECT_TRUE(host_.Host().Run(39));
  std::vector<Json> out;
  for (size_t i = before; i < host_.Text().size(); ++i) out.push_back(Json::parse(host_.Text()[i]));
  EXPECT_THAT(Fired(out), ElementsAre("A10@10"));
  EXPECT_TRUE(OfKind(out, "ack").empty());
  EXPECT_TRUE(host_.Host().Run(0));
  EXPECT_THAT(Fired(host_.Execute({R"({"op":"run","ms":1})"})), ElementsAre("B40@40"));
  EXPECT_EQ(host_.Execute({R"({"op":"run","ms":0})"}).back().dump(), R"({"kind":"ack","seq":6,"op":"run"})");

  // Refused without an output line, and without counting as a failed line.
  const size_t quiet = host_.Text().size();
  EXPECT_FALSE(host_.Host().Run(-1));
  EXPECT_FALSE(host_.Host().Run(1000000000001));
  EXPECT_EQ(host_.Text().size(), quiet);
  host_.Execute({R"({"op":"shutdown"})"});
  EXPECT_FALSE(host_.Host().Run(10));
  EXPECT_EQ(host_.Host().ExitStatus(), 0);
}

TEST_F(PphostLoop, RunUntilStopsRightAfterThatInstancePostsThatCommand) {
  host_.Execute({Timer("a", 10, "A"), Timer("b", 20, "STOP"), Timer("a", 25, "STOP"), Timer("a", 25, "AFTER")});
  const std::vector<Json> out = host_.Execute({R"({"op":"run","ms":1000,"until":{"id":"a","command":"STOP"}})"});
  EXPECT_THAT(Fired(out), ElementsAre("A@10", "STOP@20", "STOP@25"));
  EXPECT_TRUE(OfKind(out, "error").empty());
  // The rest of the run did not happen: time stopped at 25.
  EXPECT_THAT(Fired(host_.Execute({R"({"op":"run","ms":0})"})), ElementsAre("AFTER@25"));
}

TEST_F(PphostLoop, RunUntilWithoutThePostRunsToTheEndAndSaysSo) {
  host_.Execute({Timer("a", 10, "A")});
  const std::vector<Json> out = host_.Execute({R"({"op":"run","ms":40,"until":{"id":"a","command":"NEVER"}})"});
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].at("kind"), "post");
  EXPECT_EQ(out[1].dump(),
            R"({"kind":"error","seq":4,"text":"run: \"a\" posted no \"NEVER\" before the end of the run"})");
  EXPECT_EQ(out[2].dump(), R"({"kind":"ack","seq":4,"op":"run"})");
  host_.Execute({Timer("a", 0, "NOW")});
  EXPECT_THAT(Fired(host_.Execute({R"({"op":"run","ms":0})"})), ElementsAre("NOW@40"));
}

TEST_F(PphostLoop, ClockMovesTheWallClockOnly) {
  host_.Execute({Timer("a", 10, "A"), R"({"op":"run","ms":5})", R"({"op":"clock","wall_ms":1000})"});
  const std::vector<Json> before = Posted(host_.Execute({R"({"op":"message","id":"a","msg":{"command":"TIME"}})"}));
  EXPECT_EQ(before.at(0).at("wall_ms"), 1000.0);
  EXPECT_EQ(before.at(0).at("ticks_ms"), 5.0);
  // The pending timer keeps its due time, and the wall clock moves on from 1000.
  EXPECT_THAT(Fired(host_.Execute({R"({"op":"run","ms":5})"})), ElementsAre("A@10"));
  const std::vector<Json> after = Posted(host_.Execute({R"({"op":"message","id":"a","msg":{"command":"TIME"}})"}));
  EXPECT_EQ(after.at(0).at("wall_ms"), 1005.0);
  // Backwards is allowed too.
  host_.Execute({R"({"op":"clock","wall_ms":-20})"});
  EXPECT_EQ(Posted(host_.Execute({R"({"op":"message","id":"a","msg":{"command":"TIME"}})"})).at(0).at("wall_ms"),
            -20.0);
}

// Both clocks are 64-bit nanoseconds: a wall time or a total run time that
// they cannot hold is refused, and the clocks stay as they were.
TEST_F(PphostLoop, ClocksRefuseTimesTheyCannotHold) {
  const std::vector<Json> out =
      host_.Execute({R"({"op":"clock","wall_ms":17672209200000})", R"({"op":"clock","wall_ms":-4000000000001})",
                     R"({"op":"clock","wall_ms":4000000000000})"});
  EXPECT_THAT(OfKind(out, "error"), ::testing::SizeIs(2));
  EXPECT_EQ(OfKind(out, "error").at(0).at("text"),
            "clock: field \"wall_ms\" must be from -4e12 to 4e12 (ms since 1970)");
  const std::vector<Json> runs =
      host_.Execute({R"({"op":"run","ms":1e12})", R"({"op":"run","ms":1e12})", R"({"op":"run","ms":1e12})",
                     R"({"op":"run","ms":1e12})", R"({"op":"run","ms":1})"});
  EXPECT_EQ(OfKind(runs, "error").at(0).dump(),
            R"({"kind":"error","seq":10,"text":"run: the clock cannot run past 4e12 ms"})");
  EXPECT_FALSE(host_.Host().Run(1));
  const Json time = Posted(host_.Execute({R"({"op":"message","id":"a","msg":{"command":"TIME"}})"})).at(0);
  EXPECT_EQ(time.at("ticks_ms"), 4e12);
  EXPECT_EQ(time.at("wall_ms"), 8e12) << "the wall clock set last, moved on with the runs";
}

TEST(PphostLoopReal, TheClockOpNeedsTheVirtualClock) {
  ScriptedHost host(pphost::HostOptions{});
  const std::vector<Json> out = host.Execute({R"({"op":"clock","wall_ms":1000})"});
  EXPECT_EQ(OfKind(out, "error").at(0).at("text"), "clock: only the virtual clock can be set (--clock virtual)");
}

TEST_F(PphostLoop, ShutdownDestroysInstancesThenAbortsPendingCallbacksInDueOrder) {
  host_.Execute({R"({"op":"create","id":"c"})", Timer("c", 30, "C30"), Timer("a", 10, "A10"), Timer("b", 10, "B10"),
                 Timer("a", -1, "A0")});
  const std::vector<Json> out = host_.Execute({R"({"op":"shutdown"})"});
  EXPECT_THAT(PostedCommands(out), ElementsAre("DESTROYED", "DESTROYED", "DESTROYED"));
  EXPECT_THAT(fake_plugin::Seen().destroyed, ElementsAre(1, 2, 3));
  EXPECT_THAT(fake_plugin::Seen().aborted, ElementsAre("A0", "A10", "B10", "C30"));
  EXPECT_TRUE(fake_plugin::Seen().instancesGoneBeforeAborts);
  EXPECT_TRUE(fake_plugin::Seen().shutDown);
  EXPECT_EQ(out.at(3).dump(), R"({"kind":"shutdown","live_vars":0,"live_resources":0})");
}

TEST_F(PphostLoop, FinishShutsDownSilently) {
  host_.Execute({Timer("a", 10, "A10")});
  const size_t before = host_.Text().size();
  host_.Host().Finish();
  EXPECT_EQ(host_.Text().size(), before);
  EXPECT_THAT(fake_plugin::Seen().aborted, ElementsAre("A10"));
  EXPECT_TRUE(fake_plugin::Seen().shutDown);
  EXPECT_EQ(host_.Host().ExitStatus(), 0);
}

TEST(PphostDeterminism, TheSameScriptGivesTheSameOutput) {
  const std::vector<std::string> script = {
      R"({"op":"create","id":"a","attrs":[["x","1"]]})",
      R"({"op":"view","id":"a","rect":[0,0,100,50]})",
      Timer("a", 7, "ONE"),
      Timer("a", 7, "TWO"),
      R"({"op":"message","id":"a","msg":{"command":"CURSOR","type":2}})",
      R"({"op":"run","ms":100.25})",
      R"({"op":"message","id":"a","msg":{"command":"TIME"}})",
      R"({"op":"bogus"})",
      R"({"op":"shutdown"})",
  };
  std::vector<std::string> first;
  {
    ScriptedHost host;
    host.Execute(script);
    first = host.Text();
  }
  ScriptedHost host;
  host.Execute(script);
  EXPECT_EQ(host.Text(), first);
  EXPECT_EQ(first.size(), 20u);
}

}  // namespace
}  // namespace devhost_test
