#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "embed/protocol.h"
#include "module/module_page.h"

namespace module_test {
namespace {

using TALLWICK_PP_RENDER::kErrorContextLost;
using TALLWICK_PP_RENDER::kErrorInvalidCommand;
using TALLWICK_PP_RENDER::kErrorNone;
using ::testing::ElementsAre;

class MediatorInstanceTest : public ModulePageTest {
 protected:
  // The role number an instance logged at its start (-1: none logged).
  static int LoggedRole(const std::vector<Json>& lines) {
    const auto texts = LogTexts(lines, "init - renderType:");
    if (texts.empty()) return -1;
    const std::string& text = texts.front();
    return std::stoi(text.substr(text.find("renderType:") + 11));
  }
};

TEST_F(MediatorInstanceTest, RoleComesFromTheFirstMatchingAttributeName) {
  EnableLogging();
  EXPECT_EQ(LoggedRole(Do({Create("none")})), 1);
  EXPECT_EQ(LoggedRole(Do({Create("other", R"([["class","x"],["data-MULTI",""]])")})), 1) << "names are case-sensitive";
  EXPECT_EQ(LoggedRole(Do({Create("gallery", R"([["data-multi","false"],["data-controller",""]])")})), 2)
      << "values are ignored";
  const auto controller = Do({Create("controller", R"([["data-controller","0"],["data-multi",""]])")});
  EXPECT_EQ(LoggedRole(controller), -1) << "a controller writes no init line";
  EXPECT_THAT(CommandsTo(controller, "controller"), ElementsAre("INSTANCE_LOADED"));
  // Only the controller answers its own commands.
  EXPECT_EQ(Replies(Do({Command("controller", "RESET")})).at(0).at("error"), kErrorNone);
  EXPECT_EQ(Replies(Do({Command("gallery", "RESET")})).at(0).at("error"), kErrorInvalidCommand);
}

TEST_F(MediatorInstanceTest, EveryInstancePostsInstanceLoadedOnceAtStart) {
  const auto out = Do({Create("a"), Create("b", R"([["data-multi",""]])"), Run(10)});
  EXPECT_THAT(CommandsTo(out, "a"), ElementsAre("INSTANCE_LOADED"));
  EXPECT_THAT(CommandsTo(out, "b"), ElementsAre("INSTANCE_LOADED"));
  const auto created = devhost_test::OfKind(out, "created");
  ASSERT_EQ(created.size(), 2u);
  EXPECT_LT(created[0].at("instance"), created[1].at("instance"));
}

TEST_F(MediatorInstanceTest, ReplyEchoesCommandAndCustomAsReceived) {
  EnableLogging();
  Do({Create("c", R"([["data-controller",""]])")});
  const auto out = Do({
      Message("c", R"({"command":"RESET"})"),
      Message("c", R"({"command":"RESET","data":{},"custom":"text"})"),
      Message("c", R"({"command":"RESET","data":7,"custom":12.5})"),
      Message("c", R"({"command":"RESET","custom":{"uuid":"req-9","n":1}})"),
      Message("c", R"({"command":"RESET","custom":{"uuid":9}})"),
      Message("c", R"({"command":5,"custom":[1]})"),
      Message("c", R"("not a dictionary")"),
  });
  const auto replies = Replies(out);
  ASSERT_EQ(replies.size(), 7u);
  EXPECT_EQ(replies[0].dump(), R"({"response":"RESET","error":0,"data":{},"custom":{"$undefined":true}})");
  EXPECT_EQ(replies[1].at("custom"), "text");
  EXPECT_EQ(replies[2].at("custom").dump(), "12.5");
  EXPECT_EQ(replies[3].at("custom").dump(), R"({"uuid":"req-9","n":1})");
  EXPECT_EQ(replies[4].at("custom").dump(), R"({"uuid":9})");
  EXPECT_EQ(replies[5].dump(),
            R"({"response":5,"error":)" + std::to_string(kErrorInvalidCommand) + R"(,"data":{},"custom":[1]})");
  EXPECT_EQ(replies[6].at("response").dump(), R"({"$undefined":true})");
  EXPECT_EQ(replies[6].at("error"), kErrorInvalidCommand);

  const auto incoming = LogTexts(out, "Incoming message");
  ASSERT_EQ(incoming.size(), 7u);
  EXPECT_NE(incoming[0].find("render:3 command:RESET requestId:"), std::string::npos) << incoming[0];
  EXPECT_EQ(incoming[0].substr(incoming[0].size() - 10), "requestId:");
  EXPECT_NE(incoming[3].find("requestId:req-9"), std::string::npos) << "a string uuid is the request id";
  EXPECT_EQ(incoming[4].substr(incoming[4].size() - 10), "requestId:") << "a numeric uuid is not";
}

TEST_F(MediatorInstanceTest, UnknownCommandAnswersInvalidCommandAndLogsIt) {
  EnableLogging();
  const auto out = Do({Create("g", R"([["data-multi",""]])"), Command("g", "reset", R"({"x":1})")});
  const auto replies = Replies(out);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].dump(), R"({"response":"reset","error":)" + std::to_string(kErrorInvalidCommand) +
                                   R"(,"data":{},"custom":{"$undefined":true}})");
  EXPECT_THAT(LogTexts(out, "Goddamit!"), ElementsAre("Goddamit! Command not found - command: reset"));
}

TEST_F(MediatorInstanceTest, OnlyMouseUpIsConsumedAndKeyboardNeverArrives) {
  Do({Create("s"), Create("c", R"([["data-controller",""]])")});
  const auto input = [this](const std::string& id, const std::string& type) {
    const auto out = Do({R"({"op":"input","id":")" + id + R"(","type":")" + type + R"(","x":5,"y":6,"button":0})"});
    const Json line = devhost_test::OfKind(out, "input").at(0);
    return std::make_pair(line.at("delivered").get<bool>(), line.at("handled").get<bool>());
  };
  EXPECT_EQ(input("s", "mousedown"), std::make_pair(true, false));
  EXPECT_EQ(input("s", "mousemove"), std::make_pair(true, false));
  EXPECT_EQ(input("s", "keydown"), std::make_pair(false, false));
  EXPECT_EQ(input("s", "wheel"), std::make_pair(false, false));
  EXPECT_EQ(input("c", "mouseup"), std::make_pair(false, false)) << "a controller requests no input";
  const auto out = Do({R"({"op":"input","id":"s","type":"mouseup","x":5,"y":6,"button":0})"});
  EXPECT_THAT(CommandsTo(out, "s"), ElementsAre("MOUSE_UP"));
  EXPECT_TRUE(devhost_test::OfKind(out, "input").at(0).at("handled").get<bool>());
}

TEST_F(MediatorInstanceTest, ContextLossPostsContextLostWithoutCallingTheRole) {
  EnableLogging();
  const auto out = Do({Create("s"), R"({"op":"contextlost","id":"s"})"});
  const auto posts = PostsTo(out, "s");
  ASSERT_EQ(posts.size(), 2u);
  EXPECT_EQ(posts[1].at("msg").dump(),
            R"({"command":"ERROR","data":{"errorCode":)" + std::to_string(kErrorContextLost) + "}}");
  EXPECT_EQ(LogTexts(out, "Graphics3DContextLost").size(), 1u);
}

TEST_F(MediatorInstanceTest, OnlyTheAttachedRoleIsHeard) {
  // A single-stream instance holds a gallery role too; both beat once a
  // second, but only the attached one reaches the page, and not at
  // construction (it has no instance yet then).
  const auto out = Do({Create("s"), Create("c", R"([["data-controller",""]])"), Run(3500)});
  EXPECT_EQ(Times(PostsTo(out, "s")), (std::vector<int64_t>{0, 1000, 2000, 3000}));
  EXPECT_THAT(CommandsTo(out, "s"), ElementsAre("INSTANCE_LOADED", "PONG", "PONG", "PONG"));
  for (const std::string& command : CommandsTo(out, "c")) EXPECT_NE(command, "PONG");
}

TEST_F(MediatorInstanceTest, DestroyedInstanceRunsNoCallback) {
  // Timers of the destroyed roles stay queued in the host; they must do
  // nothing (under the sanitizers, touching the dead object would fail).
  const auto out = Do({Create("s"), Create("g", R"([["data-multi",""]])"), Run(1500), Destroy("s"), Run(3000)});
  EXPECT_EQ(Times(PostsTo(out, "s")), (std::vector<int64_t>{0, 1000}));
  EXPECT_EQ(Times(PostsTo(out, "g")), (std::vector<int64_t>{0, 1000, 2000, 3000, 4000}));
}

TEST_F(MediatorInstanceTest, ShutdownLeavesNothingAlive) {
  Do({Create("s"), Create("c", R"([["data-controller",""]])"), Command("c", "INIT"), Run(100)});
  const auto out = Do({R"({"op":"shutdown"})"});
  const auto shutdown = devhost_test::OfKind(out, "shutdown");
  ASSERT_EQ(shutdown.size(), 1u);
  EXPECT_EQ(shutdown[0].dump(), R"({"kind":"shutdown","live_vars":0,"live_resources":0})");
}

}  // namespace
}  // namespace module_test
