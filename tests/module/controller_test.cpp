#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "controller/controller_embed.h"
#include "controller/crash_manager.h"
#include "embed/protocol.h"
#include "module/module_page.h"

namespace module_test {
namespace {

using TALLWICK_PP_RENDER::ControllerEmbed;
using TALLWICK_PP_RENDER::CrashManager;
using TALLWICK_PP_RENDER::kErrorNone;
using ::testing::ElementsAre;

const std::string kController = R"([["data-controller",""]])";

std::vector<int64_t> Expected(int64_t first, int64_t step, int64_t last) {
  std::vector<int64_t> times;
  for (int64_t t = first; t <= last; t += step) times.push_back(t);
  return times;
}

// Posts of the controller's handshake (its own INSTANCE_LOADED at creation excluded).
std::vector<int64_t> HandshakeTimes(const std::vector<Json>& posts) {
  std::vector<int64_t> times;
  for (const Json& post : posts) {
    if (post.at("msg").value("command", "") == "INSTANCE_LOADED" && post.at("t") > 0) {
      times.push_back(post.at("t").get<int64_t>());
    }
  }
  return times;
}

using ControllerHandshakeTest = ModulePageTest;

TEST_F(ControllerHandshakeTest, SilentPageGetsTwentyFiveAnnouncementsThenOneFailureLine) {
  EnableLogging();
  const auto out = Do({Create("c", kController), Run(8000)});
  EXPECT_EQ(HandshakeTimes(PostsTo(out, "c")), Expected(100, 200, 4900));
  EXPECT_EQ(PostsTo(out, "c").size(), 26u) << "plus the instance's own announcement";
  const auto failed = LogTexts(out, "didn't got his instance-load ack");
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_NE(failed[0].find("elapsed:5100"), std::string::npos) << failed[0];
  EXPECT_EQ(LogTexts(out, "instance's waiting his instance-load ack").size(), 25u);
}

TEST_F(ControllerHandshakeTest, AnyMessageWithinTheFirstTickStopsTheChain) {
  EnableLogging();
  const auto out = Do({Create("c", kController), Run(50), Command("c", "NO_SUCH_COMMAND"), Run(5000)});
  EXPECT_TRUE(HandshakeTimes(PostsTo(out, "c")).empty());
  EXPECT_EQ(LogTexts(out, "stop retry to check connectivity").size(), 1u);
}

TEST_F(ControllerHandshakeTest, TwoElementsShareEveryPostAndOneAnswerStopsBoth) {
  const auto out =
      Do({Create("a", kController), Run(200), Create("b", kController), Run(400), Command("b", "RESET"), Run(2000)});
  // "b" restarted the start tick and added a second chain; both chains post
  // to both elements ("b" also announces itself once at 200).
  EXPECT_EQ(HandshakeTimes(PostsTo(out, "a")), (std::vector<int64_t>{100, 300, 300, 500, 500}));
  EXPECT_EQ(HandshakeTimes(PostsTo(out, "b")), (std::vector<int64_t>{200, 300, 300, 500, 500}));
}

TEST_F(ControllerHandshakeTest, ClockSetBackKeepsTheChainPosting) {
  const auto out = Do({Create("c", kController), Run(50), R"({"op":"clock","wall_ms":1767225590000})", Run(20000)});
  // The wall clock now reads 10 s less than at the start: elapsed is negative
  // for 10 s and exceeds 5000 only after 15 s of monotonic time.
  const auto times = HandshakeTimes(PostsTo(out, "c"));
  EXPECT_EQ(times.front(), 100);
  EXPECT_EQ(times.back(), 14900);
  EXPECT_EQ(times.size(), 75u);
}

TEST_F(ControllerHandshakeTest, DestroyedElementIsNeverPostedTo) {
  const auto out = Do({Create("a", kController), Create("b", kController), Run(150), Destroy("a"), Run(600)});
  EXPECT_EQ(HandshakeTimes(PostsTo(out, "a")), (std::vector<int64_t>{100, 100}));
  EXPECT_EQ(HandshakeTimes(PostsTo(out, "b")), (std::vector<int64_t>{100, 100, 300, 300, 500, 500, 700, 700}));
}

using ControllerCommandTest = ModulePageTest;

TEST_F(ControllerCommandTest, InitAndMeetingInfoSetTheSelfKeys) {
  Do({Create("c", kController)});
  auto* controller = ControllerEmbed::GetInstance();
  const auto init = Do({Command("c", "INIT", R"({"logPath":"","logVersion":3})")});
  EXPECT_EQ(Replies(init).at(0).at("error"), kErrorNone);
  EXPECT_EQ(controller->GetSelfCameraKey(), "_CAMERA");
  EXPECT_EQ(controller->GetSelfScreenKey(), "_SCREEN");
  EXPECT_THAT(LogTexts(init, "SetSelf"), ElementsAre("[ControllerEmbed] SetSelfCameraKey: ->_CAMERA ",
                                                     "[ControllerEmbed] SetSelfScreenKey: ->_SCREEN"));
  EXPECT_EQ(LogTexts(init, "Instance Inited").at(0),
            "[ControllerEmbed] >>>>>>> Instance Inited <<<<<<<<<, logVersion: 3");
  EXPECT_TRUE(CrashManager::GetInstance()->IsInited());

  Do({Command("c", "SET_MEETING_INFO", R"({"selfSid":"s9","selfUid":"u9"})")});
  EXPECT_EQ(controller->GetSelfCameraKey(), "u9_CAMERA");
  EXPECT_EQ(controller->GetSelfScreenKey(), "u9_SCREEN");
  Do({Command("c", "INIT")});
  EXPECT_EQ(controller->GetSelfCameraKey(), "u9_CAMERA") << "a second INIT keeps the keys";
  Do({Command("c", "SET_MEETING_INFO")});
  EXPECT_EQ(controller->GetSelfCameraKey(), "_CAMERA") << "a missing uid reads as empty";
}

TEST_F(ControllerCommandTest, ProcessCommandsAlwaysSucceed) {
  const std::string title(10000, 'T');
  const auto out = Do({Create("a", kController), Create("b", kController), Command("a", "GET_PID"),
                       Command("b", "GET_PID"), Command("a", "SET_PROCESS_TITLE", R"({"title":")" + title + R"("})"),
                       Command("a", "SET_FRAME_INFO_INTERVAL", R"({"interval":5})"), Command("a", "RESET")});
  const auto replies = Replies(out);
  ASSERT_EQ(replies.size(), 5u);
  EXPECT_EQ(replies[0].at("data").dump(), R"({"pid":)" + std::to_string(getpid()) + "}");
  EXPECT_EQ(replies[1].at("data"), replies[0].at("data"));
  for (size_t i = 2; i < replies.size(); ++i) {
    EXPECT_EQ(replies[i].at("error"), kErrorNone);
    EXPECT_EQ(replies[i].at("data").dump(), "{}");
  }
}

TEST_F(ControllerCommandTest, ShutdownUninitialisesAndDestroysTheCrashHook) {
  Do({Create("c", kController), Command("c", "INIT"), Command("c", "INIT")});
  EXPECT_TRUE(CrashManager::GetInstance()->IsInited());
  Do({R"({"op":"shutdown"})"});
  EXPECT_FALSE(CrashManager::HasInstance());
}

}  // namespace
}  // namespace module_test
