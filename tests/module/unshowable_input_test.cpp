// Input no real page or media process should send, but some will: frames
// that cannot be drawn, and frame rates and thresholds out of any range.
// The element must never show another stream's picture, never spin, never
// freeze, and tell the page what it can.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <limits>
#include <string>
#include <vector>

#include "embed/paint_schedule.h"
#include "embed/protocol.h"
#include "module/gallery_page.h"
#include "module/tick_count.h"
#include "writer/frame_writer.h"

namespace module_test {
namespace {

using tallwick::frame::FrameSegmentSize;
using tallwick::frame::kFormatI420;
using tallwick::frame::MakeGeometry;
using TALLWICK_PP_RENDER::kErrorFrameUndrawable;
using ::testing::ElementsAre;

// Wider than any texture a context offers (llvmpipe: 16384), yet a few
// hundred kilobytes: it fits a segment.
const tallwick::frame::FrameGeometry kWide = MakeGeometry(40000, 2, kFormatI420);

Tile Crop(const std::string& uid, double left, double top) { return {uid, "s-" + uid, left, top, 160, 90}; }

// A busy loop ends here instead of holding the virtual clock for ever.
constexpr int64_t kTickCap = 200000;

class GalleryUndrawableTest : public GalleryPageTest {
 protected:
  // The "ERROR" events the element got: their data.
  static std::vector<Json> Errors(const std::vector<Json>& out, const std::string& id) {
    std::vector<Json> errors;
    for (const Json& post : PostsTo(out, id)) {
      const Json& msg = post.at("msg");
      if (msg.value("command", "") == "ERROR") errors.push_back(msg.at("data"));
    }
    return errors;
  }
};

// A tile whose stream publishes a frame too wide for a texture used to show
// the tile drawn before it: the textures are shared, and the failed upload
// left them with that tile's planes.
TEST_F(GalleryUndrawableTest, ATileTooWideForATextureNeverShowsAnotherStream) {
  Init(DefaultInit());
  Publish("u1");
  Publish("u2", "", kRowPadding, FrameSegmentSize(kWide));
  WriteFrame("u1", Solid(kRed));
  ASSERT_TRUE(Writer("u2").SetGeometry(kWide));
  WriteFrame("u2", Solid(kGreen));
  auto out = Do({Layout({Crop("u1", 0, 0), Crop("u2", 160, 0)}), Command("g", "START_RENDER"), Run(10)});
  const auto pixels = Pixels({{80, 45}, {240, 45}});
  EXPECT_TRUE(Shows(pixels[0], kRed));
  EXPECT_TRUE(Shows(pixels[1], kBlue)) << "the element's background, not u1's red";
  EXPECT_THAT(Errors(out, "g"), ElementsAre(Json{{"errorCode", kErrorFrameUndrawable}, {"streamId", "s-u2"}}));

  out = RunFeeding({"u1", "u2"}, 1500);
  EXPECT_TRUE(Errors(out, "g").empty()) << "one ERROR while the frames stay undrawable";
  EXPECT_THAT(Events(out), ElementsAre("MULTI_FRAME_STATUS_CHANGE s-u2 NO_FRAME@1000"));
  EXPECT_TRUE(Shows(Pixels({{240, 45}})[0], kBlue));

  ASSERT_TRUE(Writer("u2").SetGeometry(MakeGeometry(kFrameWidth, kFrameHeight, kFormatI420, kRowPadding)));
  WriteFrame("u2", Solid(kGreen));
  out = Do({Run(60)});
  EXPECT_THAT(Events(out), ElementsAre(testing::StartsWith("MULTI_FRAME_STATUS_CHANGE s-u2 NORMAL_FRAME@"),
                                       testing::StartsWith("MULTI_RENDER_STARTED s-u2@")));
  EXPECT_TRUE(Shows(Pixels({{240, 45}})[0], kGreen)) << "drawn again as soon as a drawable frame comes";
}

// A shown tile whose frames become undrawable keeps its own last picture,
// even when a clear makes every tile draw again.
TEST_F(GalleryUndrawableTest, AShownTileKeepsItsOwnPictureThroughAClear) {
  Init(DefaultInit());
  Publish("u1");
  Publish("u2", "", kRowPadding, FrameSegmentSize(kWide));
  WriteFrame("u1", Solid(kRed));
  WriteFrame("u2", Solid(kGreen));
  Do({Layout({Crop("u1", 0, 0), Crop("u2", 160, 0)}), Command("g", "START_RENDER"), Run(10)});
  ASSERT_TRUE(Writer("u2").SetGeometry(kWide));
  WriteFrame("u2", Solid(kWhite));
  auto out = Do({Run(100), Layout({Crop("u1", 0, 90), Crop("u2", 160, 0)}), Run(100)});
  const auto pixels = Pixels({{80, 135}, {240, 45}, {80, 45}});
  EXPECT_TRUE(Shows(pixels[0], kRed));
  EXPECT_TRUE(Shows(pixels[1], kGreen)) << "u2's last drawable frame, from the element's own copy";
  EXPECT_TRUE(Shows(pixels[2], kBlue)) << "the clear went through";
  EXPECT_EQ(Errors(out, "g").size(), 1u);
}

// The rates a gallery is told: each gives a bounded number of ticks, and
// frames keep being drawn.
class HostileRateTest : public GalleryPageTest {
 protected:
  HostileRateTest() : GalleryPageTest(TickCountingEntryPoints(kTickCap)) {}

  // Ticks armed, and frames presented, over `ms` of frames every 10 ms.
  std::pair<int64_t, size_t> TicksAndPresents(int ms) {
    const int64_t before = TicksArmed();
    const auto out = RunFeeding({"u1"}, ms);
    return {TicksArmed() - before, Presents(out)};
  }

  void StartWith(const Json& fps) {
    Json init = DefaultInit();
    init["fps"] = fps;
    Init(init);
    PublishSolid("u1", kRed);
    Do({Layout({Crop("u1", 0, 0)}), Command("g", "START_RENDER"), Run(100)});
  }
};

TEST_F(HostileRateTest, ANegativeRatePollsAtTheDefaultRateAndNeverFreezes) {
  StartWith(-10);
  // Each tick's delay used to be 100 ms shorter than the one before: a
  // busy loop, then a wrap of the 32-bit delay into a wait of weeks.
  const auto [ticks, presents] = TicksAndPresents(2000);
  EXPECT_LE(ticks, 2 * 2000 / 50 + 2) << "a tick and a swap's re-arm per 50 ms at most";
  EXPECT_GE(presents, 30u) << "frames keep coming every 50 ms";
  WriteFrame("u1", Solid(kGreen));
  Do({Run(100)});
  EXPECT_TRUE(Shows(Pixels({{80, 45}})[0], kGreen));
}

TEST_F(HostileRateTest, RatesBeyondADisplaysArePolledAt120PerSecond) {
  for (const Json& fps : {Json(1e9), Json(std::numeric_limits<int32_t>::max())}) {
    StartWith(fps);
    const auto [ticks, presents] = TicksAndPresents(1000);
    EXPECT_LE(ticks, 2 * 1000 / 8 + 2) << fps;
    EXPECT_GE(presents, 90u) << "every frame of a 100 fps writer";
    Do({Command("g", "STOP_RENDER"), Run(100)});
  }
}

TEST_F(HostileRateTest, RatesThatAreNoNumberKeepTheDefault) {
  StartWith("fast");
  const auto [ticks, presents] = TicksAndPresents(1000);
  EXPECT_LE(ticks, 2 * 1000 / 50 + 2);
  EXPECT_GE(presents, 15u);
}

// The single-stream element, told the same rates.
class SingleStreamHostileRateTest : public ModulePageTest {
 protected:
  SingleStreamHostileRateTest()
      : ModulePageTest(TickCountingEntryPoints(kTickCap)),
        writer_("/tallwick-hostile-" + std::to_string(getpid()), MakeGeometry(64, 36, kFormatI420)) {
    EXPECT_EQ(writer_.Create(), shoom::kOK);
    Do({Create("c", R"([["data-controller",""]])"), Create("v")});
    const Json diff = {{"path", writer_.Segment().Path()},
                       {"uid", "u1"},
                       {"sid", "s1"},
                       {"bufferSize", FrameSegmentSize(writer_.Geometry())}};
    Do({Command("c", "DO_UPDATE_SHARED_MEMORY", Json{{"op", 0}, {"diffs", Json::array({diff})}}.dump())});
  }

  // Ticks armed over a second of frames every 10 ms, from INIT with `data`.
  int64_t TicksInASecond(const Json& data) {
    Do({Command("v", "INIT", data.dump()), R"({"op":"view","id":"v","rect":[0,0,160,90]})",
        Command("v", "START_RENDER")});
    const int64_t before = TicksArmed();
    for (int32_t frameId = 1; frameId <= 100; ++frameId) {
      writer_.BeginFrame();
      writer_.EndFrame(frameId);
      Do({Run(10)});
    }
    return TicksArmed() - before;
  }

  tallwick::frame::FrameWriter writer_;
};

TEST_F(SingleStreamHostileRateTest, RatesBeyondADisplaysArePolledAt120PerSecond) {
  EXPECT_LE(TicksInASecond({{"uid", "u1"}, {"sid", "s1"}, {"fps", 1e9}, {"renderExceptionThreshold", 2000}}),
            2 * 1000 / 8 + 2);
}

TEST_F(SingleStreamHostileRateTest, ANegativeThresholdCountsAsZero) {
  EXPECT_LE(TicksInASecond({{"uid", "u1"}, {"sid", "s1"}, {"fps", -5}, {"renderExceptionThreshold", -1000000}}),
            2 * 1000 / 50 + 2);
}

TEST(PaintScheduleTest, TheDelaySaturatesInsteadOfWrapping) {
  using TALLWICK_PP_RENDER::NextPaintDelay;
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(NextPaintDelay(50, 80, 50), 20) << "a late tick pulls the next one in";
  EXPECT_EQ(NextPaintDelay(50, 1000, kMin + 100), kMin);
  EXPECT_EQ(NextPaintDelay(50, -1000, kMax - 100), kMax);
  EXPECT_EQ(TALLWICK_PP_RENDER::FrameIntervalForFps(-10, 50), 50);
  EXPECT_EQ(TALLWICK_PP_RENDER::FrameStatusTimeoutMs(-5), 0);
}

}  // namespace
}  // namespace module_test
