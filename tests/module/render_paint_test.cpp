#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <memory>

#include "embed/paint_schedule.h"
#include "module/module_page.h"
#include "publisher/pattern.h"
#include "writer/frame_writer.h"

namespace module_test {
namespace {

using tallwick::frame::FrameWriter;
using tallwick::frame::MakeGeometry;
using ::testing::ElementsAre;

// A single-stream element showing user u1's camera, fed by a writer the test
// drives between runs of the page's clock.
class RenderPaintTest : public ModulePageTest {
 protected:
  RenderPaintTest() : name_("/tallwick-paint-" + std::to_string(getpid())) {
    EnableLogging();
    // The view comes after "INIT", so that the new renderer sizes its buffer from it.
    Do({Create("c", R"([["data-controller",""]])"), Create("v"),
        Command("v", "INIT", R"({"fps":25,"uid":"u1","sid":"s1","renderExceptionThreshold":2000,"dpr":1})"),
        R"({"op":"view","id":"v","rect":[0,0,160,90]})"});
  }

  // Creates (or recreates) the segment and registers it with the controller.
  void Publish(int32_t width, int32_t height, int32_t format = tallwick::frame::kFormatI420,
               const std::string& suffix = "", int64_t registeredSize = -1) {
    const auto geometry = MakeGeometry(width, height, format, 16);
    // Room for a larger registration than the frame needs.
    const auto room = static_cast<size_t>(std::max<int64_t>(registeredSize, 0));
    writer_ = std::make_unique<FrameWriter>(name_ + suffix, geometry, room);
    ASSERT_EQ(writer_->Create(), shoom::kOK);
    const int64_t size =
        registeredSize >= 0 ? registeredSize : static_cast<int64_t>(tallwick::frame::FrameSegmentSize(geometry));
    Do({Command("c", "DO_UPDATE_SHARED_MEMORY",
                R"({"op":0,"diffs":[{"path":")" + name_ + suffix + R"(","uid":"u1","sid":"s1","bufferSize":)" +
                    std::to_string(size) + R"(,"frameFormat":)" + std::to_string(format) + "}]}")});
  }

  void WriteFrame(int32_t frameId, uint8_t red = 255, uint8_t green = 0, uint8_t blue = 0) {
    writer_->BeginFrame();
    tallwick::publisher::MakeSolidColour(red, green, blue)->Fill(*writer_, frameId);
    writer_->EndFrame(frameId);
  }

  // The events the element got, without heartbeats and replies.
  static std::vector<std::string> Events(const std::vector<Json>& out) {
    std::vector<std::string> events;
    for (const Json& post : PostsTo(out, "v")) {
      const Json& msg = post.at("msg");
      if (!msg.contains("command") || msg.at("command") == "PONG") continue;
      std::string event = msg.at("command").get<std::string>();
      if (msg.contains("data") && msg.at("data").contains("frameStatus")) {
        event += " " + msg.at("data").at("frameStatus").get<std::string>();
      }
      events.push_back(event + "@" + std::to_string(post.at("t").get<int64_t>()));
    }
    return events;
  }

  static size_t Presents(const std::vector<Json>& out) { return devhost_test::OfKind(out, "present").size(); }

  // An opaque pixel within a few steps of `rgb` (YUV round trip).
  static bool Near(const Json& rgba, const std::array<int, 3>& rgb) {
    for (size_t channel = 0; channel < rgb.size(); ++channel) {
      if (std::abs(rgba.at(channel).get<int>() - rgb.at(channel)) > 4) return false;
    }
    return rgba.at(3) == 255;
  }

  // The data of the "ERROR" events the element got.
  static std::vector<Json> ErrorData(const std::vector<Json>& out) {
    std::vector<Json> errors;
    for (const Json& post : PostsTo(out, "v")) {
      if (post.at("msg").value("command", "") == "ERROR") errors.push_back(post.at("msg").at("data"));
    }
    return errors;
  }

  // The element's pixel at the middle of its 160x90 view, as [r, g, b, a].
  Json MiddlePixel() {
    const auto pixels = devhost_test::OfKind(Do({R"({"op":"pixels","id":"v","points":[[80,45]]})"}), "pixels");
    return pixels.at(0).at("values").at(0);
  }

  std::string name_;
  std::unique_ptr<FrameWriter> writer_;
};

TEST_F(RenderPaintTest, FirstFrameStartsRenderingThenStallAndResumeAreReported) {
  Publish(64, 36);
  WriteFrame(1);
  // The clock stands at 0 (nothing has run it yet): the tick START_RENDER
  // runs at once finds frame 1.
  const auto start = Do({Command("v", "START_RENDER"), Run(100)});
  EXPECT_THAT(Events(start), ElementsAre("NEED_RESIZE@0", "RENDER_STARTED@0"));
  EXPECT_EQ(Presents(start), 1u) << "an unchanged frame is drawn once";

  // No new frame: NO_FRAME on the first tick at least 2000 ms after the
  // last drawn frame; then a new frame is reported and drawn in that tick.
  // 25 fps ticks every 1000 / 25 = 40 ms from 0, where frame 1 was drawn;
  // 2000 ms of threshold after it is the tick 50 x 40 ms.
  const auto stall = Do({Run(2500)});
  EXPECT_THAT(Events(stall), ElementsAre("RENDER_FRAME_STATUS_CHANGE NO_FRAME@2000"));
  WriteFrame(2);
  const auto resume = Do({Run(40)});
  // The clock stands at 100 + 2500 = 2600, whose tick ran before the frame
  // was written; the next tick, 40 ms on, finds it: 2640.
  EXPECT_THAT(Events(resume), ElementsAre("RENDER_FRAME_STATUS_CHANGE NORMAL_FRAME@2640"));
  EXPECT_EQ(Presents(resume), 1u);
}

TEST_F(RenderPaintTest, PictureMatchesThePublishedColour) {
  Publish(64, 36);
  WriteFrame(1, 0, 0, 255);
  Do({Command("v", "START_RENDER"), Run(100)});
  const auto out = Do({R"({"op":"pixels","id":"v","points":[[5,5],[80,45],[150,80]]})"});
  const auto pixels = devhost_test::OfKind(out, "pixels");
  ASSERT_EQ(pixels.size(), 1u);
  for (const Json& rgba : pixels[0].at("values")) {
    EXPECT_NEAR(rgba[0].get<int>(), 0, 4) << rgba.dump();
    EXPECT_NEAR(rgba[1].get<int>(), 0, 4) << rgba.dump();
    EXPECT_NEAR(rgba[2].get<int>(), 255, 4) << rgba.dump();
  }
}

TEST_F(RenderPaintTest, ResetShoomReopensTheSegmentAsANewFrame) {
  Publish(64, 36);
  WriteFrame(1);
  Do({Command("v", "START_RENDER"), Run(100)});
  // Same size, other format: a new segment under the same key, whose
  // registration drops the element's mapping. The old segment keeps its red
  // frame 1 for a reader that still has it mapped; the new one gets green.
  Publish(64, 36, tallwick::frame::kFormatNV12, "-nv12");
  WriteFrame(7, 0, 255, 0);
  const auto out = Do({Run(100)});
  // The reset frame counts as new and as a geometry change. Ticks every 40 ms
  // from 0; the clock stood at 100 after the first run, so the next is 120.
  EXPECT_THAT(Events(out), ElementsAre("NEED_RESIZE@120"));
  EXPECT_EQ(Presents(out), 1u);
  EXPECT_NEAR(MiddlePixel()[1].get<int>(), 255, 4) << "drawn from the new segment";

  WriteFrame(8);  // same segment, format unchanged, new id: no resize
  EXPECT_TRUE(Events(Do({Run(100)})).empty());
}

TEST_F(RenderPaintTest, FormatChangeAloneIsNoResize) {
  Publish(64, 36);
  WriteFrame(1);
  Do({Command("v", "START_RENDER"), Run(100)});
  // Same segment, same size, NV12 instead of I420.
  ASSERT_TRUE(writer_->SetGeometry(MakeGeometry(64, 36, tallwick::frame::kFormatNV12, 16)));
  WriteFrame(2, 0, 255, 0);
  const auto out = Do({Run(40)});
  EXPECT_TRUE(Events(out).empty());
  EXPECT_EQ(Presents(out), 1u);
  EXPECT_NEAR(MiddlePixel()[1].get<int>(), 255, 4) << "drawn as NV12";
}

TEST(PaintScheduleTest, LateTicksShortenTheNextDelay) {
  EXPECT_EQ(TALLWICK_PP_RENDER::NextPaintDelay(50.0, 80, 50), 20);
  EXPECT_EQ(TALLWICK_PP_RENDER::NextPaintDelay(40.0, 40, 40), 40) << "on time keeps the rhythm";
  EXPECT_EQ(TALLWICK_PP_RENDER::NextPaintDelay(33.3, 200, 33), -134) << "not clamped";
}

TEST_F(RenderPaintTest, WriterThatDiesMidFrameIsNeverRead) {
  Publish(64, 36);
  WriteFrame(1);
  Do({Command("v", "START_RENDER"), Run(100)});
  // The writer begins frame 2 and dies before it ends it: the header already
  // carries the new id, which a reader that ignored the state word would draw.
  writer_->BeginFrame();
  tallwick::frame::StoreLE32(writer_->Segment().Data() + tallwick::frame::kOffsetFrameId, 2);
  // A frame being written ends each tick before the status check, so the
  // element stays silent: nothing is drawn and nothing is reported.
  const auto out = Do({Run(3000)});
  EXPECT_TRUE(Events(out).empty());
  EXPECT_EQ(Presents(out), 0u);
  WriteFrame(3);  // the writer comes back: its next frame is simply drawn
  const auto back = Do({Run(40)});
  EXPECT_TRUE(Events(back).empty());
  EXPECT_EQ(Presents(back), 1u);
}

// A frame that cannot be drawn is never read or uploaded; the page hears
// "ERROR" 24 once, "NO_FRAME" after the threshold, and the element draws
// again as soon as a drawable frame comes.
TEST_F(RenderPaintTest, HeaderClaimingMoreThanWasMappedIsReportedAndNeverRead) {
  // The page registers a size smaller than the frame: the mapping ends
  // inside the planes, so the frame must be refused, not read.
  const auto geometry = MakeGeometry(64, 36, tallwick::frame::kFormatI420, 16);
  Publish(64, 36, tallwick::frame::kFormatI420, "",
          static_cast<int64_t>(tallwick::frame::FrameSegmentSize(geometry)) / 2);
  WriteFrame(1);
  const auto out = Do({Command("v", "START_RENDER"), Run(3000)});
  EXPECT_EQ(Presents(out), 0u);
  EXPECT_THAT(Events(out), ElementsAre("ERROR@0", "RENDER_FRAME_STATUS_CHANGE NO_FRAME@2000"));
  EXPECT_THAT(ErrorData(out), ElementsAre(Json{{"errorCode", 24}, {"streamId", "s1"}}));
}

TEST_F(RenderPaintTest, FrameWiderThanATextureKeepsTheLastPictureUntilADrawableOneComes) {
  const auto wide = MakeGeometry(40000, 2, tallwick::frame::kFormatI420);
  Publish(64, 36, tallwick::frame::kFormatI420, "", static_cast<int64_t>(tallwick::frame::FrameSegmentSize(wide)));
  WriteFrame(1, 255, 0, 0);
  Do({Command("v", "START_RENDER"), Run(100)});
  ASSERT_TRUE(writer_->SetGeometry(wide));
  WriteFrame(2, 0, 255, 0);
  auto out = Do({Run(2500)});
  EXPECT_EQ(Presents(out), 0u);
  // NO_FRAME counts from the last frame drawn, at the start.
  EXPECT_THAT(Events(out), ElementsAre("ERROR@120", "RENDER_FRAME_STATUS_CHANGE NO_FRAME@2000"));
  EXPECT_TRUE(Near(MiddlePixel(), {255, 0, 0})) << "the stream's own last picture";

  ASSERT_TRUE(writer_->SetGeometry(MakeGeometry(64, 36, tallwick::frame::kFormatI420, 16)));
  WriteFrame(3, 0, 0, 255);
  out = Do({Run(100)});
  EXPECT_EQ(Presents(out), 1u);
  EXPECT_THAT(Events(out), ElementsAre(::testing::StartsWith("RENDER_FRAME_STATUS_CHANGE NORMAL_FRAME@")));
  EXPECT_TRUE(Near(MiddlePixel(), {0, 0, 255}));
}

TEST_F(RenderPaintTest, DestroyedWhileTickAndSwapArePendingRunsNothing) {
  Publish(64, 36);
  WriteFrame(1);
  // The swap of the first frame and the next tick are queued when the
  // element goes; under the sanitizers any late callback on it would fail.
  Do({Command("v", "START_RENDER"), Destroy("v"), Run(500)});
  const auto out = Do({R"({"op":"shutdown"})"});
  EXPECT_EQ(devhost_test::OfKind(out, "shutdown").at(0).dump(),
            R"({"kind":"shutdown","live_vars":0,"live_resources":0})");
}

TEST_F(RenderPaintTest, LocalPreviewFollowsTheControllersSelfKey) {
  Do({Command("v", "INIT", R"({"fps":25,"uid":"me","sid":"s1","isPreview":true,"dpr":1})"),
      Command("c", "SET_MEETING_INFO", R"({"selfUid":"u1"})")});
  Publish(64, 36);
  WriteFrame(1);
  const auto out = Do({Command("v", "START_RENDER"), Run(100)});
  EXPECT_EQ(Presents(out), 1u) << "the preview shows u1_CAMERA, the controller's self key";
}

}  // namespace
}  // namespace module_test
