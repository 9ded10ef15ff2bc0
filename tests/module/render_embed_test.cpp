#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "embed/protocol.h"
#include "module/module_page.h"

namespace module_test {
namespace {

using TALLWICK_PP_RENDER::kErrorNone;
using TALLWICK_PP_RENDER::kErrorNotInited;
using TALLWICK_PP_RENDER::kErrorRenderingStopped;
using TALLWICK_PP_RENDER::kErrorSetCursor;
using ::testing::ElementsAre;

class RenderEmbedTest : public ModulePageTest {
 protected:
  RenderEmbedTest() { Do({Create("v")}); }

  int Error(const std::string& command, const std::string& data = "{}") {
    return Replies(Do({Command("v", command, data)})).at(0).at("error").get<int>();
  }

  static std::vector<Json> StatusChanges(const std::vector<Json>& out) {
    std::vector<Json> statuses;
    for (const Json& post : PostsTo(out, "v")) {
      if (post.at("msg").value("command", "") == "RENDER_FRAME_STATUS_CHANGE") statuses.push_back(post);
    }
    return statuses;
  }

  // The key of the "GET_FRAME_COUNT" reply: uid + "_" + stream kind.
  std::string FrameCountKey() {
    const Json data = Replies(Do({Command("v", "GET_FRAME_COUNT")})).at(0).at("data");
    return data.begin().key();
  }
};

TEST_F(RenderEmbedTest, InitDecidesTheStreamKind) {
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1","sid":"s1"})")});
  EXPECT_EQ(FrameCountKey(), "u1_CAMERA");
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1","sid":"s1","isPreview":true})")});
  EXPECT_EQ(FrameCountKey(), "u1_PREVIEW");
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1","sid":"s1","isMerge":true})")});
  EXPECT_EQ(FrameCountKey(), "merge_MERGE") << "a merged stream ignores sid and uid";
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1","isPreview":true,"isMerge":true,"isScreen":true})")});
  EXPECT_EQ(FrameCountKey(), "merge_SCREEN");
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1","isScreen":true,"isLocalScreen":true})")});
  EXPECT_EQ(FrameCountKey(), "u1_LOCAL_SCREEN");
  Do({Command("v", "RESET")});
  EXPECT_EQ(FrameCountKey(), "u1_CAMERA") << "RESET puts the kind back";
}

TEST_F(RenderEmbedTest, StartAndStopFollowTheirState) {
  EXPECT_EQ(Error("STOP_RENDER"), kErrorRenderingStopped);
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1"})")});
  EXPECT_EQ(Error("START_RENDER"), kErrorNone);
  EXPECT_EQ(Error("START_RENDER"), kErrorNone) << "a second start only logs";
  const auto stop = Do({Command("v", "STOP_RENDER")});
  EXPECT_THAT(CommandsTo(stop, "v"), ElementsAre("RENDER_STOPPED", "reply STOP_RENDER"));
  EXPECT_EQ(Error("STOP_RENDER"), kErrorRenderingStopped);
  EXPECT_EQ(Error("START_RENDER"), kErrorNone);
  EXPECT_EQ(Error("RESET"), kErrorNone);
  EXPECT_EQ(Error("START_RENDER"), kErrorNone) << "RESET cleared started";
  EXPECT_EQ(Error("3D_CONTEXT_LOST"), kErrorNone);
}

TEST_F(RenderEmbedTest, CursorTypesOutsideTheRangeBecomeThePointer) {
  // The type the host was asked for, and the reply's code.
  const auto cursor = [this](const std::string& command, const std::string& data) {
    const auto out = Do({Command("v", command, data)});
    const auto cursors = devhost_test::OfKind(out, "cursor");
    EXPECT_EQ(cursors.size(), 1u);
    return std::make_pair(cursors.at(0).at("type").get<int>(), Replies(out).at(0).at("error").get<int>());
  };
  EXPECT_EQ(cursor("HIDE_CURSOR", "{}"), (std::pair<int, int>(37, kErrorNone)));
  EXPECT_EQ(cursor("SHOW_CURSOR", R"({"cursorType":42})"), (std::pair<int, int>(42, kErrorNone)));
  EXPECT_EQ(cursor("SHOW_CURSOR", R"({"cursorType":43})"), (std::pair<int, int>(0, kErrorNone)));
  EXPECT_EQ(cursor("SHOW_CURSOR", R"({"cursorType":-2})"), (std::pair<int, int>(0, kErrorNone)));
  // -1 (custom) is in range and passed on; without an image the host refuses it.
  EXPECT_EQ(cursor("SHOW_CURSOR", R"({"cursorType":-1})"), (std::pair<int, int>(-1, kErrorSetCursor)));
  Do({R"({"op":"cursor-refuse","refuse":true})"});
  EXPECT_EQ(Error("HIDE_CURSOR"), kErrorSetCursor);
  EXPECT_EQ(Error("SHOW_CURSOR", R"({"cursorType":2})"), kErrorSetCursor);
}

TEST_F(RenderEmbedTest, ResetShoomForTheOwnKeyWithoutSegmentLogsADash) {
  EnableLogging();
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1","sid":"s1"})")});
  const auto own = Do({Command("v", "RESET_SHOOM", R"({"stream_key":"u1_CAMERA"})")});
  EXPECT_EQ(Replies(own).at(0).at("error"), kErrorNone);
  EXPECT_THAT(LogTexts(own, "HandleResetShoom"),
              ElementsAre("[RenderEmbed] uuid: HandleResetShoom - sid: s1, m_shm path:  -  "));
  const auto other = Do({Command("v", "RESET_SHOOM", R"({"stream_key":"u2_CAMERA"})")});
  EXPECT_EQ(LogTexts(other, "no need to reset this shoom").size(), 1u);
}

TEST_F(RenderEmbedTest, FrameCountBeforeAnyFrame) {
  const Json data = Replies(Do({Command("v", "GET_FRAME_COUNT")})).at(0).at("data");
  EXPECT_EQ(data.dump(),
            R"({"_CAMERA":{"width":0,"height":0,"viewWidth":0,"viewHeight":0,"frameCount":0,"timestamp":0}})");
}

// The stored size is the rectangle times the integer part of the host's scale,
// saturated however large the scale (1.2e10 came from the pphost_line
// fuzzer), and a page's dpr of any size only sizes the buffer.
TEST_F(RenderEmbedTest, ViewSizeUsesTheScalesIntegerPartAndSaturates) {
  const auto viewSize = [this](double scale) {
    const Json view = {{"op", "view"}, {"id", "v"}, {"rect", {0, 0, 160, 90}}, {"scale", scale}};
    Do({view.dump()});
    const Json counts = Replies(Do({Command("v", "GET_FRAME_COUNT")})).at(0).at("data").begin().value();
    return std::make_pair(counts.at("viewWidth").get<double>(), counts.at("viewHeight").get<double>());
  };
  EXPECT_EQ(viewSize(2.7), std::make_pair(320.0, 180.0));
  EXPECT_EQ(viewSize(1.2e10), std::make_pair(2147483647.0, 2147483647.0));
  EXPECT_EQ(viewSize(0.5), std::make_pair(0.0, 0.0));
  // No buffer that large is made, so the renderer keeps the size it had.
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1","dpr":1e30})")});
  EXPECT_EQ(viewSize(1), std::make_pair(0.0, 0.0));
  EXPECT_EQ(Error("START_RENDER"), kErrorNone);
}

TEST_F(RenderEmbedTest, ClearBufferWithoutRendererOrContextIsNotInited) {
  EXPECT_EQ(Error("CLEAR_BUFFER"), kErrorNotInited) << "no renderer before INIT";
  Do({Command("v", "INIT", R"({"fps":25,"uid":"u1"})")});
  EXPECT_EQ(Error("CLEAR_BUFFER"), kErrorNotInited) << "the renderer has no context yet";
}

TEST_F(RenderEmbedTest, MissingSegmentIsReportedOnceAfterTheThreshold) {
  // fps 25: ticks every 40 ms from the start, so the first tick at or past
  // the 2000 ms threshold is exactly at 2000.
  const auto out = Do({Command("v", "INIT", R"({"fps":25,"uid":"u1","sid":"s1","renderExceptionThreshold":2000})"),
                       Command("v", "START_RENDER"), Run(6000)});
  const auto statuses = StatusChanges(out);
  ASSERT_EQ(statuses.size(), 1u);
  EXPECT_EQ(statuses[0].at("t"), 2000);
  EXPECT_EQ(statuses[0].at("msg").at("data").dump(), R"({"streamId":"s1","userId":"u1","frameStatus":"NO_FRAME"})");
}

TEST_F(RenderEmbedTest, ThirtyFramesASecondTickEveryThirtyThreeMilliseconds) {
  const auto out = Do({Command("v", "INIT", R"({"fps":30,"uid":"u1","renderExceptionThreshold":2000})"),
                       Command("v", "START_RENDER"), Run(3000)});
  const auto statuses = StatusChanges(out);
  ASSERT_EQ(statuses.size(), 1u);
  EXPECT_EQ(statuses[0].at("t"), 2013);
}

TEST_F(RenderEmbedTest, PongEverySecondBeforeInitAndAfterStop) {
  const auto before = Do({Run(2500)});
  EXPECT_EQ(Times(PostsTo(before, "v")), (std::vector<int64_t>{1000, 2000}));
  const auto after =
      Do({Command("v", "INIT", R"({"fps":25})"), Command("v", "START_RENDER"), Command("v", "STOP_RENDER"), Run(1000)});
  EXPECT_EQ(CommandsTo(after, "v").back(), "PONG");
  EXPECT_EQ(PostsTo(after, "v").back().at("t"), 3000);
}

}  // namespace
}  // namespace module_test
