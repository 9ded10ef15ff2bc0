#include "module/gallery_page.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "publisher/pattern.h"

namespace module_test {

using tallwick::frame::FrameWriter;
using tallwick::frame::MakeGeometry;

namespace {

constexpr int kTolerance = 6;  // per channel: YUV round trip and filtering

uint8_t Channel(int value) { return static_cast<uint8_t>(value); }

tallwick::publisher::YuvColour ToYuv(const Rgb& colour) {
  return tallwick::publisher::RgbToYuv(Channel(colour.r), Channel(colour.g), Channel(colour.b));
}

// Every segment has room for frames of four times the test area.
uint64_t SegmentRoom() {
  return tallwick::frame::FrameSegmentSize(
      MakeGeometry(kFrameWidth * 2, kFrameHeight * 2, tallwick::frame::kFormatI420, kRowPadding));
}

}  // namespace

GalleryPageTest::GalleryPageTest() { OpenPage(); }

GalleryPageTest::GalleryPageTest(const pphost::EntryPoints& module) : ModulePageTest(module) { OpenPage(); }

void GalleryPageTest::OpenPage() {
  EnableLogging();
  Do({Create("c", R"([["data-controller",""]])"), Create("g", R"([["data-multi",""]])")});
}

Json GalleryPageTest::DefaultInit() {
  return {{"uuid", "g1"},
          {"fps", 20},
          {"renderExceptionThreshold", 1000},
          {"dpr", 1},
          {"backgroundColor", Json::array({0, 0, 1, 1})}};
}

std::vector<Json> GalleryPageTest::Init(const Json& data, int32_t viewWidth, int32_t viewHeight) {
  const Json view = {{"op", "view"}, {"id", "g"}, {"rect", Json::array({0, 0, viewWidth, viewHeight})}};
  return Do({Command("g", "INIT", data.dump()), view.dump()});
}

Json GalleryPageTest::TileJson(const Tile& tile) {
  const Json config = {{"isMirror", tile.mirror},       {"top", tile.top},       {"left", tile.left},
                       {"width", tile.width},           {"height", tile.height}, {"renderMode", tile.renderMode},
                       {"backgroundColor", tile.colour}};
  return {{"streamId", tile.sid},
          {"userId", tile.uid},
          {"isSelf", false},
          {"streamType", tile.streamType},
          {"renderConfig", config}};
}

std::string GalleryPageTest::Layout(const std::vector<Tile>& tiles, const std::string& id) {
  Json items = Json::array();
  for (const Tile& tile : tiles) items.push_back(TileJson(tile));
  return Command(id, "UPDATE_MULTI_INFOS", Json{{"renderInfos", items}}.dump());
}

std::string GalleryPageTest::SegmentName(const std::string& uid, const std::string& suffix) const {
  return "/tallwick-gallery-" + std::to_string(getpid()) + "-" + uid + suffix;
}

void GalleryPageTest::CreateWriter(const std::string& uid, const std::string& path,
                                   const tallwick::frame::FrameGeometry& geometry, uint64_t room) {
  writers_.erase(uid);  // the old segment's name goes before a new one of that name is made
  auto writer = std::make_unique<FrameWriter>(path, geometry, std::max(room, SegmentRoom()));
  EXPECT_EQ(writer->Create(), shoom::kOK);
  writers_[uid] = std::move(writer);
}

std::vector<Json> GalleryPageTest::Publish(const std::string& uid, const std::string& suffix, int32_t rowPadding,
                                           uint64_t room) {
  CreateWriter(uid, SegmentName(uid, suffix),
               MakeGeometry(kFrameWidth, kFrameHeight, tallwick::frame::kFormatI420, rowPadding), room);
  const Json diff = {{"path", SegmentName(uid, suffix)},
                     {"uid", uid},
                     {"sid", "s-" + uid},
                     {"bufferSize", std::max(room, SegmentRoom())},
                     {"bufferNumber", 1},
                     {"isScreen", false},
                     {"isMerge", false},
                     {"frameFormat", 0}};
  const Json data = {{"op", 0}, {"diffs", Json::array({diff})}};
  return Do({Command("c", "DO_UPDATE_SHARED_MEMORY", data.dump())});
}

void GalleryPageTest::PublishSolid(const std::string& uid, const Rgb& colour) {
  Publish(uid);
  WriteFrame(uid, Solid(colour));
}

void GalleryPageTest::Replace(const std::string& uid) {
  const std::string path = Writer(uid).Segment().Path();
  const tallwick::frame::FrameGeometry geometry = Writer(uid).Geometry();
  CreateWriter(uid, path, geometry);
}

void GalleryPageTest::Withdraw(const std::string& uid, const std::string& id) {
  Do({Command("c", "DO_UPDATE_SHARED_MEMORY", Json{{"op", 1}, {"diffs", Json::array({{{"uid", uid}}})}}.dump()),
      Command(id, "RESET_SHOOM", Json{{"stream_key", uid + "_CAMERA"}}.dump())});
}

void GalleryPageTest::WriteFrame(const std::string& uid, const Picture& picture) {
  pictures_[uid] = picture;
  const int32_t frameId = ++frameIds_[uid];
  FrameWriter& writer = Writer(uid);
  writer.BeginFrame();
  tallwick::publisher::MakeSolidColour(Channel(picture.colour.r), Channel(picture.colour.g), Channel(picture.colour.b))
      ->Fill(writer, frameId);
  for (const Patch& patch : picture.patches) {
    tallwick::publisher::FillRect(writer, patch.x, patch.y, patch.width, patch.height, ToYuv(patch.colour));
  }
  writer.EndFrame(frameId);
}

std::vector<Json> GalleryPageTest::RunFeeding(const std::vector<std::string>& uids, int ms, int step) {
  std::vector<Json> out;
  for (int done = 0; done < ms; done += step) {
    for (const std::string& uid : uids) WriteFrame(uid);
    const auto lines = Do({Run(step)});
    out.insert(out.end(), lines.begin(), lines.end());
  }
  return out;
}

std::vector<std::array<int, 4>> GalleryPageTest::Pixels(const std::vector<std::array<int, 2>>& points,
                                                        const std::string& id) {
  const Json line = {{"op", "pixels"}, {"id", id}, {"points", points}};
  const auto found = devhost_test::OfKind(Do({line.dump()}), "pixels");
  std::vector<std::array<int, 4>> values;
  if (found.size() != 1) {
    ADD_FAILURE() << "no pixels for " << id;
    return values;
  }
  for (const Json& rgba : found[0].at("values")) values.push_back(rgba.get<std::array<int, 4>>());
  return values;
}

Json GalleryPageTest::Ask(const std::string& command, const std::string& dataJson, const std::string& id) {
  for (const Json& post : PostsTo(Do({Command(id, command, dataJson)}), id)) {
    const Json& msg = post.at("msg");
    if (msg.value("response", "") == command) return msg;
  }
  ADD_FAILURE() << "no reply to " << command;
  return Json::object();
}

int GalleryPageTest::ErrorOf(const std::string& command, const std::string& dataJson, const std::string& id) {
  return Ask(command, dataJson, id).value("error", -1);
}

std::vector<std::string> GalleryPageTest::Events(const std::vector<Json>& out, const std::string& id) {
  std::vector<std::string> events;
  for (const Json& post : PostsTo(out, id)) {
    const Json& msg = post.at("msg");
    if (!msg.contains("command") || msg.at("command") == "PONG") continue;
    std::string event = msg.at("command").get<std::string>();
    const Json data = msg.value("data", Json::object());
    if (data.contains("streamId")) event += " " + data.at("streamId").get<std::string>();
    if (data.contains("frameStatus")) event += " " + data.at("frameStatus").get<std::string>();
    events.push_back(event + "@" + std::to_string(post.at("t").get<int64_t>()));
  }
  return events;
}

std::vector<int64_t> GalleryPageTest::PresentTimes(const std::vector<Json>& out, const std::string& id) {
  std::vector<int64_t> times;
  for (const Json& line : devhost_test::OfKind(out, "present")) {
    if (line.at("id") == id) times.push_back(line.at("t").get<int64_t>());
  }
  return times;
}

::testing::AssertionResult Shows(const std::array<int, 4>& rgba, const Rgb& want) {
  const bool near = std::abs(rgba[0] - want.r) <= kTolerance && std::abs(rgba[1] - want.g) <= kTolerance &&
                    std::abs(rgba[2] - want.b) <= kTolerance && rgba[3] == 255;
  if (near) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << rgba[0] << "," << rgba[1] << "," << rgba[2] << "," << rgba[3]
                                       << " want " << want.r << "," << want.g << "," << want.b << ",255";
}

::testing::AssertionResult ShowsOneOf(const std::vector<std::array<int, 4>>& pixels, const std::vector<Rgb>& palette) {
  for (const Rgb& colour : palette) {
    const auto shows = [&colour](const std::array<int, 4>& rgba) { return static_cast<bool>(Shows(rgba, colour)); };
    if (!pixels.empty() && std::all_of(pixels.begin(), pixels.end(), shows)) return ::testing::AssertionSuccess();
  }
  ::testing::AssertionResult failure = ::testing::AssertionFailure() << "not all one colour of the palette:";
  for (const auto& rgba : pixels) failure << " " << rgba[0] << "," << rgba[1] << "," << rgba[2] << "," << rgba[3];
  return failure;
}

Rgb FromGl(double r, double g, double b) {
  const auto byte = [](double c) { return static_cast<int>(std::lround(c * 255.0)); };
  return {byte(r), byte(g), byte(b)};
}

}  // namespace module_test
