// The gallery element's commands, how a new layout replaces the current one,
// and when each tile reports its stream's status, on the page's virtual clock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "embed/protocol.h"
#include "module/gallery_page.h"

namespace module_test {
namespace {

using TALLWICK_PP_RENDER::kErrorNone;
using TALLWICK_PP_RENDER::kErrorRenderingStarted;
using TALLWICK_PP_RENDER::kErrorRenderingStopped;
using TALLWICK_PP_RENDER::kErrorSetCursor;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// Two tiles side by side in the top half of the 320 x 180 element.
Tile Left(const std::string& uid, const std::string& sid) { return {uid, sid, 0, 0, 160, 90}; }
Tile Right(const std::string& uid, const std::string& sid) { return {uid, sid, 160, 0, 160, 90}; }

Json WithInit(std::initializer_list<std::pair<const std::string, Json>> fields) {
  Json data = {{"uuid", "g1"}, {"dpr", 1}};
  for (const auto& [key, value] : fields) data[key] = value;
  return data;
}

using GalleryEmbedTest = GalleryPageTest;

TEST_F(GalleryEmbedTest, StartAndStopAnswerByStateAndTheFirstTickPrecedesRenderStarted) {
  Init(DefaultInit());
  EXPECT_EQ(ErrorOf("STOP_RENDER"), kErrorRenderingStopped) << "never started";
  PublishSolid("u1", kRed);
  Do({Layout({Left("u1", "s1")})});

  const auto start = Do({Command("g", "START_RENDER")});
  EXPECT_EQ(Replies(start).at(0).at("error"), kErrorNone);
  EXPECT_THAT(Events(start), ElementsAre("MULTI_RENDER_STARTED s1@0", "RENDER_STARTED@0"));
  EXPECT_EQ(ErrorOf("START_RENDER"), kErrorRenderingStarted);

  const auto stop = Do({Command("g", "STOP_RENDER")});
  EXPECT_EQ(Replies(stop).at(0).at("error"), kErrorNone);
  EXPECT_THAT(Events(stop), ElementsAre("RENDER_STOPPED@0"));
  EXPECT_EQ(ErrorOf("STOP_RENDER"), kErrorRenderingStopped);
  EXPECT_EQ(ErrorOf("START_RENDER"), kErrorNone) << "a stopped gallery starts again";
}

TEST_F(GalleryEmbedTest, CursorCommandsReportARefusingHost) {
  Init(DefaultInit());
  const auto hide = Do({Command("g", "HIDE_CURSOR")});
  EXPECT_EQ(Replies(hide).at(0).at("error"), kErrorNone);
  ASSERT_EQ(devhost_test::OfKind(hide, "cursor").size(), 1u);
  EXPECT_EQ(devhost_test::OfKind(hide, "cursor")[0].at("type"), 37);
  Do({R"({"op":"cursor-refuse","refuse":true})"});
  EXPECT_EQ(ErrorOf("SHOW_CURSOR"), kErrorSetCursor);
}

// The tick rhythm, seen through the swaps of a stream with a new frame
// before every tick.
struct Rhythm {
  std::vector<int> fps;  // one INIT per rate, in order
  int periodMs;
};

void PrintTo(const Rhythm& rhythm, std::ostream* out) {
  for (const int fps : rhythm.fps) *out << "INIT fps " << fps << ", ";
  *out << "a tick every " << rhythm.periodMs << " ms";
}

class GalleryRhythmTest : public GalleryPageTest, public ::testing::WithParamInterface<Rhythm> {};

TEST_P(GalleryRhythmTest, TicksFollowTheLastNonZeroRate) {
  for (const int fps : GetParam().fps) Init(WithInit({{"fps", fps}, {"renderExceptionThreshold", 5000}}));
  PublishSolid("u1", kRed);
  Do({Layout({Left("u1", "s1")}), Command("g", "START_RENDER")});
  std::vector<int64_t> expected;
  for (int t = 0; t <= 300; t += GetParam().periodMs) expected.push_back(t);
  EXPECT_THAT(PresentTimes(RunFeeding({"u1"}, 300)), ElementsAreArray(expected));
}

INSTANTIATE_TEST_SUITE_P(Rates, GalleryRhythmTest,
                         ::testing::Values(Rhythm{{20}, 50}, Rhythm{{30}, 33}, Rhythm{{25}, 40}, Rhythm{{0}, 50},
                                           Rhythm{{25, 0}, 40}),
                         [](const ::testing::TestParamInfo<Rhythm>& rates) {
                           std::string name = "Fps";
                           for (const int fps : rates.param.fps)
                             name += (name.size() > 3 ? "Then" : "") + std::to_string(fps);
                           return name;
                         });

TEST_F(GalleryEmbedTest, InitWithoutThresholdReportsAtTheFirstCheck) {
  Init(WithInit({{"fps", 20}}));
  PublishSolid("u2", kGreen);
  Do({Layout({Left("u1", "s1"), Right("u2", "s2")})});
  // u1 has no segment: reported by the very first tick. u2 is drawn then,
  // and its unchanged frame is late by the next tick already.
  EXPECT_THAT(Events(Do({Command("g", "START_RENDER"), Run(60)})),
              ElementsAre("MULTI_FRAME_STATUS_CHANGE s1 NO_FRAME@0", "MULTI_RENDER_STARTED s2@0", "RENDER_STARTED@0",
                          "MULTI_FRAME_STATUS_CHANGE s2 NO_FRAME@50"));
  WriteFrame("u2");
  EXPECT_THAT(Events(Do({Run(50)})), ElementsAre("MULTI_FRAME_STATUS_CHANGE s2 NORMAL_FRAME@100"));
  EXPECT_THAT(Events(Do({Run(50)})), ElementsAre("MULTI_FRAME_STATUS_CHANGE s2 NO_FRAME@150"));
}

// A later INIT's "backgroundColor", and the colour the element then shows
// where no tile is.
struct LaterColour {
  const char* name;
  const char* json;  // empty: no key at all
  Rgb shown;
};

void PrintTo(const LaterColour& colour, std::ostream* out) { *out << colour.name; }

class GalleryBackgroundTest : public GalleryPageTest, public ::testing::WithParamInterface<LaterColour> {};

TEST_P(GalleryBackgroundTest, OnlyAFourElementBackgroundColourReplacesTheElementColour) {
  Init(DefaultInit());
  Json later = WithInit({{"fps", 20}});
  if (*GetParam().json != '\0') later["backgroundColor"] = Json::parse(GetParam().json);
  Do({Command("g", "INIT", later.dump())});
  PublishSolid("u1", kRed);
  Do({Layout({Left("u1", "s1")}), Command("g", "START_RENDER"), Run(10)});
  const auto pixels = Pixels({{80, 45}, {240, 135}});
  EXPECT_TRUE(Shows(pixels[0], kRed));
  EXPECT_TRUE(Shows(pixels[1], GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(LaterInit, GalleryBackgroundTest,
                         ::testing::Values(LaterColour{"FourNumbers", "[0,1,0,1]", kGreen},
                                           LaterColour{"ThreeNumbers", "[1,0,0]", kBlue},
                                           LaterColour{"FiveNumbers", "[0,1,0,1,1]", kBlue},
                                           LaterColour{"AString", R"("red")", kBlue},
                                           LaterColour{"AnObject", "{}", kBlue}, LaterColour{"NoKey", "", kBlue}),
                         [](const ::testing::TestParamInfo<LaterColour>& colour) { return colour.param.name; });

TEST_F(GalleryEmbedTest, FrameCountIsKeyedByCameraKeyWithStoredFrameAndTileSizes) {
  Init(DefaultInit());
  const Json empty = Ask("GET_FRAME_COUNT");
  EXPECT_EQ(empty.at("error"), kErrorNone);
  EXPECT_EQ(empty.at("data"), Json::object());

  PublishSolid("u1", kRed);
  Tile screen = Left("u1", "s1");
  screen.streamType = "SCREEN";  // still the user's camera segment
  Do({Layout({screen, {"u2", "s2", 160, 0, 100.5, 50.25}})});
  const auto start = Do({Command("g", "START_RENDER")});
  const auto started = devhost_test::Posted(start);
  ASSERT_FALSE(started.empty());
  EXPECT_EQ(started[0].dump(),
            R"({"command":"MULTI_RENDER_STARTED","data":{"streamId":"s1","userId":"u1","isScreen":true}})");
  const auto presents = Presents(RunFeeding({"u1"}, 100)) + Presents(Do({Run(100)}));

  const Json data = Ask("GET_FRAME_COUNT").at("data");
  ASSERT_EQ(data.size(), 2u) << data.dump();
  const Json& u1 = data.at("u1_CAMERA");
  EXPECT_EQ(u1.at("width"), kFrameWidth);
  EXPECT_EQ(u1.at("height"), kFrameHeight);
  EXPECT_EQ(u1.at("viewWidth"), 160.0);
  EXPECT_EQ(u1.at("viewHeight"), 90.0);
  EXPECT_EQ(u1.at("frameCount"), static_cast<int>(presents)) << "every completed swap";
  const Json& u2 = data.at("u2_CAMERA");
  EXPECT_EQ(u2.at("width"), 0) << "no frame stored";
  EXPECT_EQ(u2.at("height"), 0);
  EXPECT_EQ(u2.at("viewWidth"), 100.5);
  EXPECT_EQ(u2.at("viewHeight"), 50.25);
  EXPECT_EQ(u2.at("frameCount"), u1.at("frameCount"));
  EXPECT_TRUE(u2.at("timestamp").is_number_integer());

  Do({Layout({})});
  EXPECT_EQ(Ask("GET_FRAME_COUNT").at("data"), Json::object());
}

TEST_F(GalleryEmbedTest, TwoItemsForOneUserMakeOneTileWhereTheLaterOneSays) {
  Init(DefaultInit());
  PublishSolid("u1", kRed);
  Do({Layout({{"u1", "first", 0, 0, 100, 90}, Right("u2", "s2"), {"u1", "second", 0, 90, 120, 60}})});

  EXPECT_THAT(Events(Do({Command("g", "START_RENDER"), Run(10)})),
              ElementsAre("MULTI_RENDER_STARTED second@0", "RENDER_STARTED@0"));
  const Json tiles = Ask("GET_FRAME_COUNT").at("data");
  std::vector<std::string> keys;
  for (const auto& [key, counts] : tiles.items()) keys.push_back(key);
  EXPECT_THAT(keys, ElementsAre("u1_CAMERA", "u2_CAMERA"));
  const Json& u1 = tiles.at("u1_CAMERA");
  EXPECT_EQ(u1.at("viewWidth"), 120.0);
  EXPECT_EQ(u1.at("viewHeight"), 60.0);
  const auto pixels = Pixels({{60, 120}, {50, 45}});
  EXPECT_TRUE(Shows(pixels[0], kRed)) << "drawn at the later item's place";
  EXPECT_TRUE(Shows(pixels[1], kBlue)) << "not at the earlier one";
}

class GalleryLayoutTest : public GalleryPageTest {
 protected:
  // u1 red on the left, u2 green on the right and u9 white below u2, drawn
  // at 0; then u9's segment is withdrawn, so that its white stays only until
  // the element is cleared. The clock at 100.
  void ShowTwo() {
    Init(DefaultInit());
    for (const char* uid : {"u1", "u2", "u9"}) Publish(uid);
    WriteFrame("u1", Solid(kRed));
    WriteFrame("u2", Solid(kGreen));
    WriteFrame("u9", Solid(kWhite));
    Do({Layout({Left("u1", "s1"), Right("u2", "s2"), Stale()}), Command("g", "START_RENDER"), Run(100)});
    Withdraw("u9");
  }

  static Tile Stale() { return {"u9", "s9", 160, 90, 160, 90}; }

  void ExpectBothShown() {
    const auto pixels = Pixels({{80, 45}, {240, 45}});
    EXPECT_TRUE(Shows(pixels[0], kRed));
    EXPECT_TRUE(Shows(pixels[1], kGreen));
  }

  // What u9's tile shows: the element colour once the element was cleared.
  void ExpectCleared(bool cleared) {
    EXPECT_TRUE(Shows(Pixels({{240, 135}})[0], cleared ? kBlue : kWhite)) << (cleared ? "not cleared" : "cleared");
  }
};

TEST_F(GalleryLayoutTest, ReorderingTheListClearsRedrawsAndRestartsTheMovedStreams) {
  ShowTwo();
  Do({Layout({Right("u2", "s2"), Left("u1", "s1"), Stale()})});
  const auto out = Do({Run(50)});
  EXPECT_THAT(Events(out), ElementsAre("MULTI_RENDER_STARTED s1@150", "MULTI_RENDER_STARTED s2@150"));
  EXPECT_THAT(PresentTimes(out), ElementsAre(150));
  ExpectCleared(true);
  ExpectBothShown();
}

TEST_F(GalleryLayoutTest, AddingATileClearsAndRedrawsButRestartsNobody) {
  ShowTwo();
  Do({Layout({Left("u1", "s1"), Right("u2", "s2"), Stale(), {"u3", "s3", 0, 90, 160, 90}})});
  const auto out = Do({Run(50)});
  EXPECT_THAT(Events(out), IsEmpty()) << "u1 and u2 kept their places";
  EXPECT_THAT(PresentTimes(out), ElementsAre(150));
  ExpectCleared(true);
  ExpectBothShown();
}

TEST_F(GalleryLayoutTest, ModeColourTypeOrStreamIdChangesWaitForTheNextFrame) {
  ShowTwo();
  Tile fit = Left("u1", "s1-new");
  fit.renderMode = 0;
  fit.colour = Json::array({1, 1, 1, 1});
  fit.streamType = "SCREEN";
  Do({Layout({fit, Right("u2", "s2"), Stale()})});
  const auto idle = Do({Run(100)});
  EXPECT_THAT(Events(idle), IsEmpty());
  EXPECT_EQ(Presents(idle), 0u) << "nothing to draw";
  WriteFrame("u1");
  const auto next = Do({Run(50)});
  EXPECT_EQ(Presents(next), 1u);
  EXPECT_THAT(Events(next), IsEmpty()) << "the stream kept its place: not started again";
  ExpectCleared(false);
  ExpectBothShown();
}

TEST_F(GalleryLayoutTest, FitModeFromALaterLayoutShowsTheTileColourInItsBars) {
  ShowTwo();
  Tile tall{"u1", "s1", 0, 0, 160, 90, 0, false, Json::array({1, 1, 1, 1})};
  Do({Layout({tall, Right("u2", "s2"), Stale()})});
  WriteFrame("u1");
  Do({Run(50)});
  // Only the colour and mode changed: the same rectangle, no clear.
  EXPECT_TRUE(Shows(Pixels({{80, 45}})[0], kRed));
  ExpectCleared(false);

  tall.height = 180;  // now the fitted picture leaves 45 px bars above and below
  Do({Layout({tall, Right("u2", "s2"), Stale()}), Run(50)});
  const auto pixels = Pixels({{80, 20}, {80, 90}, {80, 160}});
  EXPECT_TRUE(Shows(pixels[0], kWhite));
  EXPECT_TRUE(Shows(pixels[1], kRed));
  EXPECT_TRUE(Shows(pixels[2], kWhite));
}

TEST_F(GalleryLayoutTest, ResetForAnUnknownKeyChangesNothing) {
  ShowTwo();
  EXPECT_EQ(ErrorOf("RESET_SHOOM", R"({"stream_key":"u7_CAMERA"})"), kErrorNone);
  EXPECT_EQ(ErrorOf("RESET_SHOOM", "{}"), kErrorNone);
  EXPECT_EQ(Presents(Do({Run(200)})), 0u);
}

// Status events per tile with a 300 ms threshold at 20 fps.
class GalleryStatusTest : public GalleryPageTest {
 protected:
  GalleryStatusTest() { Init(WithInit({{"fps", 20}, {"renderExceptionThreshold", 300}})); }
};

TEST_F(GalleryStatusTest, EachTileReportsStallsAndResumptionsAtItsOwnTime) {
  PublishSolid("u1", kRed);
  PublishSolid("u2", kGreen);
  Do({Layout({Left("u1", "s1"), Right("u2", "s2"), {"u3", "s3", 0, 90, 160, 90}}), Command("g", "START_RENDER")});

  // u1 gets new frames until 190 (last drawn at the tick of 200); u2 stays
  // at its first frame; u3 has no segment at all.
  auto out = RunFeeding({"u1"}, 200);
  const auto rest = Do({Run(400)});
  out.insert(out.end(), rest.begin(), rest.end());
  EXPECT_THAT(Events(out),
              ElementsAre("MULTI_FRAME_STATUS_CHANGE s2 NO_FRAME@300", "MULTI_FRAME_STATUS_CHANGE s3 NO_FRAME@300",
                          "MULTI_FRAME_STATUS_CHANGE s1 NO_FRAME@500"));
  const auto posts = devhost_test::Posted(out);
  const auto first = std::find_if(posts.begin(), posts.end(), [](const Json& msg) { return msg.contains("data"); });
  ASSERT_NE(first, posts.end());
  EXPECT_EQ(
      first->dump(),
      R"({"command":"MULTI_FRAME_STATUS_CHANGE","data":{"streamId":"s2","userId":"u2","frameStatus":"NO_FRAME"}})");

  // u3's segment appears and u2 moves again: both resume at the next tick;
  // u3, never drawn before, is then reported as started.
  PublishSolid("u3", kWhite);
  WriteFrame("u2");
  EXPECT_THAT(Events(Do({Run(50)})),
              ElementsAre("MULTI_FRAME_STATUS_CHANGE s2 NORMAL_FRAME@650",
                          "MULTI_FRAME_STATUS_CHANGE s3 NORMAL_FRAME@650", "MULTI_RENDER_STARTED s3@650"));
  // The first frame of u3 cleared and redrew every tile at 650; u1, already
  // reported, stays silent.
  EXPECT_THAT(Events(Do({Run(1000)})),
              ElementsAre("MULTI_FRAME_STATUS_CHANGE s2 NO_FRAME@950", "MULTI_FRAME_STATUS_CHANGE s3 NO_FRAME@950"));
}

TEST_F(GalleryStatusTest, ATileWithoutSegmentCountsFromTheLayoutThatAddedIt) {
  PublishSolid("u1", kRed);
  Do({Layout({Left("u1", "s1")}), Command("g", "START_RENDER"), Run(120)});
  // The added tile clears the element; the redraw at 150 restarts u1's
  // timing, u4's runs from the layout at 120.
  Do({Layout({Left("u1", "s1"), {"u4", "s4", 0, 90, 160, 90}})});
  EXPECT_THAT(Events(Do({Run(400)})),
              ElementsAre("MULTI_FRAME_STATUS_CHANGE s1 NO_FRAME@450", "MULTI_FRAME_STATUS_CHANGE s4 NO_FRAME@450"));
}

TEST_F(GalleryStatusTest, AFrameThatCannotBeReadCountsAsTheStoredOne) {
  PublishSolid("u1", kRed);
  Do({Layout({Left("u1", "s1")}), Command("g", "START_RENDER"), Run(100)});
  Writer("u1").BeginFrame();  // and leaves it unfinished
  const auto stuck = Do({Run(400)});
  EXPECT_THAT(Events(stuck), ElementsAre("MULTI_FRAME_STATUS_CHANGE s1 NO_FRAME@300"));
  EXPECT_EQ(Presents(stuck), 0u) << "the stored frame is not drawn again";
  WriteFrame("u1");
  const auto back = Do({Run(50)});
  EXPECT_THAT(Events(back), ElementsAre("MULTI_FRAME_STATUS_CHANGE s1 NORMAL_FRAME@550"));
  EXPECT_EQ(Presents(back), 1u);
}

// Every tick applies the layout again: a tile that was never drawn and has
// reported nothing loses what it learned, so its segment is opened anew at
// each tick until its first frame is drawn; from then on it is kept open.
// A segment made anew under the same name, which the controller never hears
// of, shows which: only a reader that opens the name again sees its frames.
TEST_F(GalleryStatusTest, ATileWaitingForItsFirstFrameOpensItsSegmentAtEveryTick) {
  Publish("u1");
  Writer("u1").BeginFrame();  // nothing complete to read yet
  const auto waiting = Do({Layout({Left("u1", "s1")}), Command("g", "START_RENDER"), Run(400)});
  EXPECT_THAT(Events(waiting), ElementsAre("RENDER_STARTED@0")) << "a segment without a frame is no missing segment";

  Replace("u1");
  WriteFrame("u1", Solid(kRed));
  const auto first = Do({Run(50)});
  EXPECT_THAT(Events(first), ElementsAre("MULTI_RENDER_STARTED s1@450")) << "opened again at the next tick";
  EXPECT_THAT(PresentTimes(first), ElementsAre(450));
  EXPECT_TRUE(Shows(Pixels({{80, 45}})[0], kRed));

  Replace("u1");
  WriteFrame("u1", Solid(kGreen));
  const auto kept = RunFeeding({"u1"}, 200);
  EXPECT_THAT(PresentTimes(kept), IsEmpty()) << "a drawn tile keeps the segment it has";
  EXPECT_TRUE(Shows(Pixels({{80, 45}})[0], kRed));
}

TEST_F(GalleryStatusTest, ADrawnTileWhoseSegmentGoesAwayStaysSilent) {
  PublishSolid("u1", kRed);
  Do({Layout({Left("u1", "s1")}), Command("g", "START_RENDER"), Run(100)});
  // The page withdraws the segment and resets the key: nothing to open.
  Withdraw("u1");
  const auto gone = Do({Run(2000)});
  EXPECT_THAT(Events(gone), IsEmpty()) << "only a tile never drawn reports a missing segment";
  EXPECT_EQ(Presents(gone), 0u);

  Publish("u1", "-again");
  WriteFrame("u1", Solid(kGreen));
  const auto back = Do({Run(50)});
  EXPECT_THAT(Events(back), IsEmpty()) << "still counted as shown";
  EXPECT_EQ(Presents(back), 1u);
}

TEST_F(GalleryEmbedTest, PongEverySecondWhateverTheState) {
  auto out = Do({Run(1500)});
  Init(DefaultInit());
  PublishSolid("u1", kRed);
  const auto later = Do({Layout({Left("u1", "s1")}), Command("g", "START_RENDER"), Run(2000)});
  out.insert(out.end(), later.begin(), later.end());
  std::vector<Json> pongs;
  for (const Json& post : PostsTo(out, "g")) {
    if (post.at("msg").value("command", "") == "PONG") pongs.push_back(post);
  }
  EXPECT_THAT(Times(pongs), ElementsAre(1000, 2000, 3000));
}

TEST_F(GalleryStatusTest, StopKeepsTickingUntilASwapCompletesThenTheChainEnds) {
  PublishSolid("u1", kRed);
  Do({Layout({Left("u1", "s1")}), Command("g", "START_RENDER"), Run(100)});
  EXPECT_THAT(Events(Do({Command("g", "STOP_RENDER"), Run(400)})),
              ElementsAre("RENDER_STOPPED@100", "MULTI_FRAME_STATUS_CHANGE s1 NO_FRAME@300"))
      << "ticks that draw nothing go on after the stop";
  WriteFrame("u1");
  const auto last = Do({Run(50)});
  EXPECT_THAT(Events(last), ElementsAre("MULTI_FRAME_STATUS_CHANGE s1 NORMAL_FRAME@550"));
  EXPECT_THAT(PresentTimes(last), ElementsAre(550));
  WriteFrame("u1");
  const auto after = Do({Run(2000)});
  EXPECT_THAT(Events(after), IsEmpty()) << "no tick after the swap that completed while stopped";
  EXPECT_EQ(Presents(after), 0u);

  const auto again = Do({Command("g", "START_RENDER"), Run(1000)});
  EXPECT_THAT(PresentTimes(again), ElementsAre(2550)) << "the waiting frame, drawn at once";
  const auto events = Events(again);
  ASSERT_EQ(events.size(), 2u) << ::testing::PrintToString(events);
  EXPECT_EQ(events[0], "RENDER_STARTED@2550");
  EXPECT_EQ(events[1].rfind("MULTI_FRAME_STATUS_CHANGE s1 NO_FRAME@", 0), 0u) << "a new chain ticks again";
}

}  // namespace
}  // namespace module_test
