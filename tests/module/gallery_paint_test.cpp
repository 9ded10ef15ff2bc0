// What the gallery element shows on the host's real GL, when it clears, how
// it lives with other elements and dies with work pending, and layouts that
// make no sense.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "embed/protocol.h"
#include "module/gallery_page.h"

namespace module_test {
namespace {

using TALLWICK_PP_RENDER::kErrorNone;
using TALLWICK_PP_RENDER::kErrorRenderingStarted;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

Tile Crop(const std::string& uid, double left, double top, double width, double height) {
  return {uid, "s-" + uid, left, top, width, height};
}

Tile Fit(const std::string& uid, double left, double top, double width, double height, const Json& colour) {
  return {uid, "s-" + uid, left, top, width, height, 0, false, colour};
}

using GalleryPaintTest = GalleryPageTest;

TEST_F(GalleryPaintTest, TilesSitInTheirRectanglesOverTheElementColour) {
  Init(DefaultInit());
  PublishSolid("u1", kRed);
  PublishSolid("u2", kGreen);
  Do({Layout({Crop("u1", 0, 0, 160, 90), Crop("u2", 160, 0, 160, 90)}), Command("g", "START_RENDER"), Run(10)});
  const auto pixels = Pixels({{80, 45}, {5, 5}, {155, 85}, {240, 45}, {165, 5}, {80, 135}, {240, 135}, {319, 179}});
  EXPECT_TRUE(Shows(pixels[0], kRed));
  EXPECT_TRUE(Shows(pixels[1], kRed));
  EXPECT_TRUE(Shows(pixels[2], kRed));
  EXPECT_TRUE(Shows(pixels[3], kGreen));
  EXPECT_TRUE(Shows(pixels[4], kGreen));
  for (size_t i = 5; i < pixels.size(); ++i) EXPECT_TRUE(Shows(pixels[i], kBlue)) << "no tile at point " << i;

  const auto folder = std::filesystem::temp_directory_path() / "tallwick-gallery-tests";
  std::filesystem::create_directories(folder);
  const auto png = folder / ("tiles-" + std::to_string(getpid()) + ".png");
  const Json snapshot = {{"op", "snapshot"}, {"id", "g"}, {"png", png.string()}};
  const auto written = devhost_test::OfKind(Do({snapshot.dump()}), "snapshot");
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0].at("width"), 320);
  EXPECT_EQ(written[0].at("height"), 180);
  std::ifstream file(png, std::ios::binary);
  const std::string head(std::istreambuf_iterator<char>(file), {});
  ASSERT_GT(head.size(), 8u);
  EXPECT_EQ(head.substr(1, 3), "PNG");
}

// Frames with a green left quarter, a red middle and a white right quarter.
Picture ThreeBands() { return {kRed, {{0, 0, 16, kFrameHeight, kGreen}, {48, 0, 16, kFrameHeight, kWhite}}}; }

TEST_F(GalleryPaintTest, FitLetterboxesInTheTileColourAndCropCutsTheSides) {
  Init(DefaultInit());
  for (const char* uid : {"u1", "u2", "u3"}) {
    Publish(uid);
    WriteFrame(uid, ThreeBands());
  }
  // 80 x 90 tiles for a 16:9 picture: fitted it is 80 x 45 at 22.5 from
  // the top; cropped only its middle half shows.
  Do({Layout({Fit("u1", 0, 0, 80, 90, Json::array({1, 1, 0, 1})), Crop("u2", 100, 0, 80, 90),
              Fit("u3", 200, 0, 80, 90, Json::array({1, 1, 0}))}),
      Command("g", "START_RENDER"), Run(10)});
  const auto fit = Pixels({{40, 10}, {40, 80}, {8, 45}, {40, 45}, {74, 45}});
  const Rgb yellow{255, 255, 0};
  EXPECT_TRUE(Shows(fit[0], yellow)) << "bar above";
  EXPECT_TRUE(Shows(fit[1], yellow)) << "bar below";
  EXPECT_TRUE(Shows(fit[2], kGreen));
  EXPECT_TRUE(Shows(fit[3], kRed));
  EXPECT_TRUE(Shows(fit[4], kWhite));

  for (const auto& rgba : Pixels({{110, 5}, {140, 45}, {174, 85}, {110, 85}})) EXPECT_TRUE(Shows(rgba, kRed));

  const auto threeComponents = Pixels({{240, 10}, {240, 45}});
  EXPECT_EQ(threeComponents[0], (std::array<int, 4>{0, 0, 0, 0})) << "not four numbers: transparent black";
  EXPECT_TRUE(Shows(threeComponents[1], kRed));
}

// Frames with a red left half and a green right half, rows without padding
// (a mirrored tile samples the texture's full width).
Picture Halves() { return {kRed, {{32, 0, 32, kFrameHeight, kGreen}}}; }

TEST_F(GalleryPaintTest, MirroredAndTurnedTiles) {
  Init(DefaultInit());
  Publish("u1", "", 0);
  Publish("u2", "", 0);
  WriteFrame("u1", Halves());
  WriteFrame("u2", Halves());
  // Turned a quarter clockwise, a red top half ends up on the right.
  Publish("u3");
  auto turned = Writer("u3").Geometry();
  turned.rotation = 90;
  ASSERT_TRUE(Writer("u3").SetGeometry(turned));
  WriteFrame("u3", {kRed, {{0, kFrameHeight / 2, kFrameWidth, kFrameHeight / 2, kGreen}}});

  Tile mirrored = Crop("u1", 0, 0, 160, 90);
  mirrored.mirror = true;
  Do({Layout({mirrored, Crop("u2", 160, 0, 160, 90), Fit("u3", 0, 90, 90, 90, Json::array({1, 1, 1, 1}))}),
      Command("g", "START_RENDER"), Run(10)});
  const auto flat = Pixels({{20, 45}, {140, 45}, {180, 45}, {300, 45}});
  EXPECT_TRUE(Shows(flat[0], kGreen)) << "mirrored";
  EXPECT_TRUE(Shows(flat[1], kRed)) << "mirrored";
  EXPECT_TRUE(Shows(flat[2], kRed));
  EXPECT_TRUE(Shows(flat[3], kGreen));

  // Turned, the 64 x 36 picture is 36 wide and 64 high: fitted into 90 x 90
  // it is 50.6 wide, with bars of 19.7 on both sides.
  const auto upright = Pixels({{8, 135}, {30, 135}, {60, 135}, {82, 135}});
  EXPECT_TRUE(Shows(upright[0], kWhite));
  EXPECT_TRUE(Shows(upright[1], kGreen));
  EXPECT_TRUE(Shows(upright[2], kRed));
  EXPECT_TRUE(Shows(upright[3], kWhite));
}

TEST_F(GalleryPaintTest, TilesAreDrawnInByteOrderOfTheirKeysNotInListOrder) {
  Init(DefaultInit());
  PublishSolid("amy", kGreen);
  PublishSolid("Zed", kRed);
  // "Zed_CAMERA" sorts before "amy_CAMERA" byte-wise: amy is drawn last and
  // covers the overlap, although the page lists her first.
  Do({Layout({Crop("amy", 0, 0, 200, 180), Crop("Zed", 120, 0, 200, 180)}), Command("g", "START_RENDER"), Run(10)});
  const auto pixels = Pixels({{60, 90}, {160, 90}, {280, 90}});
  EXPECT_TRUE(Shows(pixels[0], kGreen));
  EXPECT_TRUE(Shows(pixels[1], kGreen)) << "overlap";
  EXPECT_TRUE(Shows(pixels[2], kRed));
}

class GalleryRedrawTest : public GalleryPageTest {
 protected:
  // u1 red on the left, u2 green on the right, u3 below u1 without a
  // segment and u9 white below u2, whose segment is then withdrawn; u1 and
  // u2 drawn at 0, u9 at 50, the clock at 100.
  void ShowTwo() {
    Init(DefaultInit());
    PublishSolid("u1", kRed);
    PublishSolid("u2", kGreen);
    Do({Layout(Tiles()), Command("g", "START_RENDER")});
    LeaveStale();
    Do({Run(50)});
  }

  static std::vector<Tile> Tiles() {
    return {Crop("u1", 0, 0, 160, 90), Crop("u2", 160, 0, 160, 90), Crop("u3", 0, 90, 160, 90),
            Crop("u9", 160, 90, 160, 90)};
  }

  // Draws u9 white (a new segment each time) at the next tick and withdraws
  // it: what stays on screen there shows whether the element was cleared.
  void LeaveStale() {
    Publish("u9", "-" + std::to_string(++staleSegments_));
    WriteFrame("u9", Solid(kWhite));
    Do({Run(50)});
    EXPECT_TRUE(Shows(Pixels({{240, 135}})[0], kWhite));
    Withdraw("u9");
  }

  // Colours at the centres of u1, u2 and u3.
  void ExpectShown(const Rgb& u1, const Rgb& u2, const Rgb& u3 = kBlue) {
    const auto pixels = Pixels({{80, 45}, {240, 45}, {80, 135}});
    EXPECT_TRUE(Shows(pixels[0], u1));
    EXPECT_TRUE(Shows(pixels[1], u2));
    EXPECT_TRUE(Shows(pixels[2], u3));
  }

  // u9's tile: still white, or the element colour once the element was cleared.
  void ExpectCleared(bool cleared) {
    EXPECT_TRUE(Shows(Pixels({{240, 135}})[0], cleared ? kBlue : kWhite)) << (cleared ? "not cleared" : "cleared");
  }

 private:
  int staleSegments_ = 0;
};

TEST_F(GalleryRedrawTest, AnUnchangedTileKeepsItsPixelsWhileItsNeighbourChanges) {
  ShowTwo();
  WriteFrame("u2", Solid(kWhite));
  const auto out = Do({Run(50)});
  EXPECT_EQ(Presents(out), 1u);
  ExpectCleared(false);
  ExpectShown(kRed, kWhite);
}

// A tile whose frame changes size or rotation, and then again a frame of
// the same geometry.
struct GeometryChange {
  const char* name;
  const char* uid;
  tallwick::frame::FrameGeometry geometry;
};

void PrintTo(const GeometryChange& change, std::ostream* out) { *out << change.name << " of " << change.uid; }

tallwick::frame::FrameGeometry Turned(int rotation) {
  auto geometry = tallwick::frame::MakeGeometry(kFrameWidth, kFrameHeight, tallwick::frame::kFormatI420, kRowPadding);
  geometry.rotation = rotation;
  return geometry;
}

class GalleryGeometryTest : public GalleryRedrawTest, public ::testing::WithParamInterface<GeometryChange> {};

TEST_P(GalleryGeometryTest, ANewFrameSizeOrRotationClearsAndRedrawsEveryTileWithAFrame) {
  ShowTwo();
  const GeometryChange& change = GetParam();
  const bool first = std::string(change.uid) == "u1";
  ASSERT_TRUE(Writer(change.uid).SetGeometry(change.geometry));
  WriteFrame(change.uid, Solid(kWhite));
  const auto changed = Do({Run(50)});
  EXPECT_EQ(Presents(changed), 1u);
  EXPECT_THAT(Events(changed), IsEmpty());
  ExpectCleared(true);
  ExpectShown(first ? kWhite : kRed, first ? kGreen : kWhite);  // the unchanged tile drawn again

  LeaveStale();
  WriteFrame(change.uid, Solid(kRed));
  EXPECT_EQ(Presents(Do({Run(50)})), 1u);
  ExpectCleared(false);
  ExpectShown(kRed, first ? kGreen : kRed);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, GalleryGeometryTest,
    ::testing::Values(GeometryChange{"Narrower", "u1",
                                     tallwick::frame::MakeGeometry(48, 36, tallwick::frame::kFormatI420, kRowPadding)},
                      GeometryChange{"UpsideDown", "u2", Turned(180)}),
    [](const ::testing::TestParamInfo<GeometryChange>& change) { return change.param.name; });

TEST_F(GalleryRedrawTest, AnEmptyLayoutClearsOnceAndTheStreamsStartAfreshWhenTheyReturn) {
  ShowTwo();
  const auto out = Do({Layout({}), Run(50)});
  EXPECT_THAT(PresentTimes(out), ElementsAre(150));
  ExpectShown(kBlue, kBlue);
  ExpectCleared(true);
  EXPECT_EQ(Presents(RunFeeding({"u1", "u2"}, 1000)), 0u) << "no tiles, nothing to draw";

  const auto back = Do({Layout(Tiles()), Run(50)});
  EXPECT_THAT(Events(back), ElementsAre("MULTI_RENDER_STARTED s-u1@1200", "MULTI_RENDER_STARTED s-u2@1200"));
  ExpectShown(kRed, kGreen);
}

TEST_F(GalleryRedrawTest, AHiddenElementKeepsDrawingAndClearsForALayoutChange) {
  ShowTwo();
  Do({R"({"op":"view","id":"g","rect":[0,0,320,180],"visible":false})"});
  WriteFrame("u1", Solid(kWhite));
  EXPECT_EQ(Presents(Do({Run(50)})), 1u);
  ExpectShown(kWhite, kGreen);
  ExpectCleared(false);

  // Hidden, a layout change only clears; the tiles come back with their
  // next frames.
  std::vector<Tile> moved = Tiles();
  moved[0].top = 90;
  moved[2].top = 0;
  const auto cleared = Do({Layout(moved), Run(50)});
  EXPECT_EQ(Presents(cleared), 1u);
  ExpectShown(kBlue, kBlue);
  ExpectCleared(true);
  WriteFrame("u1");
  WriteFrame("u2");
  EXPECT_EQ(Presents(Do({Run(50)})), 1u);
  ExpectShown(kBlue, kGreen, kWhite);
}

TEST_F(GalleryRedrawTest, ARepublishedSegmentIsReopenedAndItsFrameDrawnAsNew) {
  ShowTwo();
  // The first segment keeps its red frame for a reader that still maps it.
  Publish("u1", "-b");
  WriteFrame("u1", Solid(kWhite));
  const auto reopened = Do({Run(50)});
  EXPECT_EQ(Presents(reopened), 1u);
  ExpectShown(kWhite, kGreen);

  // The page may reset a key itself: the same segment is opened again and
  // its frame, though not new, is drawn again.
  EXPECT_EQ(ErrorOf("RESET_SHOOM", R"({"stream_key":"u1_CAMERA"})"), kErrorNone);
  const auto again = Do({Run(50)});
  EXPECT_EQ(Presents(again), 1u);
  EXPECT_THAT(Events(again), IsEmpty());
}

TEST_F(GalleryPaintTest, ASecondInitWhileRenderingDrawsOnWithTheNewRenderer) {
  Init(DefaultInit());
  PublishSolid("u1", kRed);
  Do({Layout({Crop("u1", 0, 0, 160, 90)}), Command("g", "START_RENDER"), Run(100)});
  // No START_RENDER will come to prepare the new renderer: INIT does.
  Do({Command("g", "INIT", DefaultInit().dump())});
  EXPECT_EQ(ErrorOf("START_RENDER"), kErrorRenderingStarted);
  EXPECT_GE(Presents(RunFeeding({"u1"}, 200)), 1u) << "the loop is still alive";
  Do({R"({"op":"view","id":"g","rect":[0,0,320,160]})"});
  WriteFrame("u1", Solid(kGreen));
  Do({Run(100)});
  auto pixels = Pixels({{80, 40}, {240, 120}});
  EXPECT_TRUE(Shows(pixels[0], kGreen));
  EXPECT_TRUE(Shows(pixels[1], kBlue));
  // A restart changes nothing of that.
  EXPECT_EQ(ErrorOf("STOP_RENDER"), kErrorNone);
  EXPECT_EQ(ErrorOf("START_RENDER"), kErrorNone);
  WriteFrame("u1", Solid(kRed));
  Do({Run(100)});
  EXPECT_TRUE(Shows(Pixels({{80, 40}})[0], kRed));
}

// The page hears of a new renderer that cannot be prepared as it does when
// START_RENDER prepares it: a negative dpr gives it no drawing buffer.
TEST_F(GalleryPaintTest, ASecondInitWhileRenderingWhoseRendererFailsTellsThePage) {
  Init(DefaultInit());
  Do({Command("g", "START_RENDER"), Run(100)});
  Json broken = DefaultInit();
  broken["dpr"] = -1;
  const auto out = Do({Command("g", "INIT", broken.dump())});
  EXPECT_THAT(Events(out), ElementsAre("ERROR@100"));
}

TEST_F(GalleryPaintTest, DestroyedWithATickAndASwapPendingLeavesNothingBehind) {
  Init(DefaultInit());
  PublishSolid("u1", kRed);
  Do({Layout({Crop("u1", 0, 0, 160, 90)}), Command("g", "START_RENDER"), Destroy("g"), Run(500)});
  const auto out = Do({R"({"op":"shutdown"})"});
  EXPECT_EQ(devhost_test::OfKind(out, "shutdown").at(0).dump(),
            R"({"kind":"shutdown","live_vars":0,"live_resources":0})");
}

TEST_F(GalleryPaintTest, AGalleryAndASingleStreamElementShareOneSegment) {
  Init(DefaultInit());
  Do({Create("v"), Command("v", "INIT", R"({"fps":25,"uid":"u1","sid":"s1","renderExceptionThreshold":2000,"dpr":1})"),
      R"({"op":"view","id":"v","rect":[0,0,160,90]})"});
  PublishSolid("u1", kRed);
  const auto start =
      Do({Layout({Crop("u1", 0, 0, 160, 90)}), Command("g", "START_RENDER"), Command("v", "START_RENDER"), Run(50)});
  EXPECT_EQ(Presents(start, "g"), 1u);
  EXPECT_GE(Presents(start, "v"), 1u);
  EXPECT_TRUE(Shows(Pixels({{80, 45}}, "g")[0], kRed));
  EXPECT_TRUE(Shows(Pixels({{80, 45}}, "v")[0], kRed));

  // Both elements reopen the new segment: the old one keeps its red frame.
  Publish("u1", "-b");
  WriteFrame("u1", Solid(kGreen));
  const auto out = Do({Run(100)});
  EXPECT_GE(Presents(out, "g"), 1u);
  EXPECT_GE(Presents(out, "v"), 1u);
  EXPECT_TRUE(Shows(Pixels({{80, 45}}, "g")[0], kGreen));
  EXPECT_TRUE(Shows(Pixels({{80, 45}}, "v")[0], kGreen));

  Do({Destroy("v")});
  WriteFrame("u1", Solid(kWhite));
  EXPECT_EQ(Presents(Do({Run(50)}), "g"), 1u) << "the gallery's mapping is its own";
  EXPECT_TRUE(Shows(Pixels({{80, 45}}, "g")[0], kWhite));
}

// Layouts that make no sense are taken as they come; the element must keep
// drawing and answering, and the page end cleanly.
class GalleryHostileLayoutTest : public GalleryPageTest {
 protected:
  GalleryHostileLayoutTest() {
    Init(DefaultInit());
    Publish("u1");
    Publish("");  // the key of items without a user: "_CAMERA"
    WriteFrame("u1", Solid(kRed));
    WriteFrame("", Solid(kGreen));
    Do({Command("g", "START_RENDER")});
  }

  // The update is accepted, ticks with new frames run, and the element
  // still answers; returns the tile keys it reports.
  std::vector<std::string> Survives(const std::string& dataJson) {
    EXPECT_EQ(ErrorOf("UPDATE_MULTI_INFOS", dataJson), kErrorNone) << dataJson;
    RunFeeding({"u1", ""}, 100, 25);
    const Json reply = Ask("GET_FRAME_COUNT");
    EXPECT_EQ(reply.value("error", -1), 0) << dataJson;
    const Json data = reply.value("data", Json::object());
    std::vector<std::string> keys;
    for (const auto& [key, value] : data.items()) keys.push_back(key);
    return keys;
  }

  static std::string Items(const std::string& itemsJson) { return R"({"renderInfos":)" + itemsJson + "}"; }
  static std::string WithConfig(const std::string& configJson) {
    return Items(R"([{"streamId":"s1","userId":"u1","renderConfig":)" + configJson + "}]");
  }
  static std::string Sized(const std::string& left, const std::string& top, const std::string& width,
                           const std::string& height, int renderMode) {
    return WithConfig(R"({"left":)" + left + R"(,"top":)" + top + R"(,"width":)" + width + R"(,"height":)" + height +
                      R"(,"renderMode":)" + std::to_string(renderMode) + R"(,"backgroundColor":[1,1,1,1]})");
  }

  void ExpectCleanEnd() {
    const auto out = Do({R"({"op":"shutdown"})"});
    EXPECT_EQ(devhost_test::OfKind(out, "shutdown").at(0).dump(),
              R"({"kind":"shutdown","live_vars":0,"live_resources":0})");
    EXPECT_TRUE(devhost_test::OfKind(out, "error").empty());
  }
};

TEST_F(GalleryHostileLayoutTest, ListsAndItemsOfTheWrongType) {
  for (const char* data : {"{}", R"({"renderInfos":"x"})", R"({"renderInfos":{"a":1}})", R"({"renderInfos":7})",
                           R"({"renderInfos":null})"}) {
    EXPECT_THAT(Survives(data), IsEmpty()) << data;
  }
  EXPECT_THAT(Survives(Items(R"([1,"x",null,[1,2],true,{}])")), ElementsAre("_CAMERA"));
  for (const char* config : {R"("x")", "5", "[]", "null", R"({"backgroundColor":"red","renderMode":"crop"})"}) {
    EXPECT_THAT(Survives(WithConfig(config)), ElementsAre("u1_CAMERA")) << config;
  }
  ExpectCleanEnd();
}

TEST_F(GalleryHostileLayoutTest, SizesZeroNegativeAndOverflowing) {
  for (const int mode : {0, 1}) {
    EXPECT_THAT(Survives(Sized("0", "0", "0", "0", mode)), ElementsAre("u1_CAMERA"));
    EXPECT_THAT(Survives(Sized("-10", "-10", "-80", "-45", mode)), ElementsAre("u1_CAMERA"));
    EXPECT_THAT(Survives(Sized("0", "0", "1e39", "90", mode)), ElementsAre("u1_CAMERA")) << "inf as float";
    EXPECT_THAT(Survives(Sized("0", "0", "1e39", "1e39", mode)), ElementsAre("u1_CAMERA")) << "inf / inf";
    EXPECT_THAT(Survives(Sized("-1e39", "1e39", "-1e39", "-1e39", mode)), ElementsAre("u1_CAMERA"));
    EXPECT_THAT(Survives(Sized("1e300", "-1e300", "160", "0", mode)), ElementsAre("u1_CAMERA"));
  }
  ExpectCleanEnd();
}

TEST_F(GalleryHostileLayoutTest, AViewOfNoSize) {
  Do({R"({"op":"view","id":"g","rect":[0,0,0,0]})"});
  EXPECT_THAT(Survives(Sized("0", "0", "160", "90", 1)), ElementsAre("u1_CAMERA"));
  Do({R"({"op":"view","id":"g","rect":[0,0,320,180]})"});
  EXPECT_THAT(Survives(Sized("0", "0", "160", "90", 1)), ElementsAre("u1_CAMERA"));
  ExpectCleanEnd();
}

TEST_F(GalleryHostileLayoutTest, TenThousandTiles) {
  Json items = Json::array();
  for (int i = 0; i < 10000; ++i) {
    items.push_back(
        TileJson(Crop(i == 0 ? "u1" : "user" + std::to_string(i), i % 100 * 3.2, (i - i % 100) * 0.018, 3.2, 1.8)));
  }
  EXPECT_EQ(Survives(Json{{"renderInfos", items}}.dump()).size(), 10000u);
  EXPECT_THAT(Survives(Items("[]")), IsEmpty());
  ExpectCleanEnd();
}

}  // namespace
}  // namespace module_test
