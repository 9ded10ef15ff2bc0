#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "module/module_page.h"
#include "writer/frame_writer.h"

namespace module_test {

// An RGB colour as the page and the publisher see it, 0..255 per channel.
struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kWhite{255, 255, 255};

// A rectangle of one colour inside a frame, in luma pixels.
struct Patch {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  Rgb colour;
};

// What a frame shows: one colour, with patches painted over it.
struct Picture {
  Rgb colour;
  std::vector<Patch> patches;
};

inline Picture Solid(const Rgb& colour) { return {colour, {}}; }

// One item of an "UPDATE_MULTI_INFOS" list.
struct Tile {
  std::string uid;
  std::string sid;
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  int renderMode = 1;  // 1 crop, anything else fit
  bool mirror = false;
  Json colour = Json::array({0, 0, 0, 1});
  std::string streamType = "CAMERA";
};

// The gallery element's view unless a test gives another.
inline constexpr int32_t kGalleryViewWidth = 320;
inline constexpr int32_t kGalleryViewHeight = 180;

// The frame sizes the tests publish: 16:9, with bytes beyond each row.
inline constexpr int32_t kFrameWidth = 64;
inline constexpr int32_t kFrameHeight = 36;
inline constexpr int32_t kRowPadding = 16;

// A page with a controller "c" and a gallery element "g", the module linked
// in and its log lines among the output. Users' camera segments are
// published by writers the test drives between runs of the page's clock.
class GalleryPageTest : public ModulePageTest {
 protected:
  GalleryPageTest();
  explicit GalleryPageTest(const pphost::EntryPoints& module);

  // "INIT" for the gallery with these data fields, then its view (the
  // renderer is made by INIT; the view gives it its context).
  std::vector<Json> Init(const Json& data, int32_t viewWidth = kGalleryViewWidth,
                         int32_t viewHeight = kGalleryViewHeight);
  static Json DefaultInit();  // 20 fps, threshold 1000, dpr 1, blue background

  // The "UPDATE_MULTI_INFOS" command for these tiles.
  static std::string Layout(const std::vector<Tile>& tiles, const std::string& id = "g");
  static Json TileJson(const Tile& tile);

  // Creates a segment for uid's camera, for frames of the test size, and
  // registers it with the controller (which re-publishes the key to every
  // element). The segment has room for frames of four times the area, so
  // that the geometry may change, or `room` bytes when that is more.
  std::vector<Json> Publish(const std::string& uid, const std::string& suffix = "", int32_t rowPadding = kRowPadding,
                            uint64_t room = 0);
  // Publish(uid), then a first frame of one colour in the new segment.
  void PublishSolid(const std::string& uid, const Rgb& colour);
  tallwick::frame::FrameWriter& Writer(const std::string& uid) { return *writers_.at(uid); }
  std::string SegmentName(const std::string& uid, const std::string& suffix = "") const;
  // A new, empty segment under the name and with the geometry of uid's
  // current one, and no word to the controller: only a reader that opens the
  // name again sees its frames; one that keeps the old mapping never does.
  void Replace(const std::string& uid);
  // The page withdraws uid's segment from the controller and resets its key
  // in the element: the tile stays in the layout with nothing to read, so
  // what it last drew stays on screen until the element is cleared.
  void Withdraw(const std::string& uid, const std::string& id = "g");

  // Publishes a complete frame with a new id.
  void WriteFrame(const std::string& uid, const Picture& picture);
  void WriteFrame(const std::string& uid) { WriteFrame(uid, pictures_[uid]); }
  // Runs the clock for ms in steps, with a new frame for every user before
  // each step.
  std::vector<Json> RunFeeding(const std::vector<std::string>& uids, int ms, int step = 10);

  // The RGBA values of the element's last presented image at those points.
  std::vector<std::array<int, 4>> Pixels(const std::vector<std::array<int, 2>>& points, const std::string& id = "g");

  // The reply data of a command.
  Json Ask(const std::string& command, const std::string& dataJson = "{}", const std::string& id = "g");
  int ErrorOf(const std::string& command, const std::string& dataJson = "{}", const std::string& id = "g");

  // Events of the element without heartbeats and replies:
  // "COMMAND[ streamId][ frameStatus]@t".
  static std::vector<std::string> Events(const std::vector<Json>& out, const std::string& id = "g");
  static std::vector<int64_t> PresentTimes(const std::vector<Json>& out, const std::string& id = "g");
  static size_t Presents(const std::vector<Json>& out, const std::string& id = "g") {
    return PresentTimes(out, id).size();
  }
  static size_t Count(const std::vector<Json>& out, const std::string& needle) { return LogTexts(out, needle).size(); }

 private:
  void CreateWriter(const std::string& uid, const std::string& path, const tallwick::frame::FrameGeometry& geometry,
                    uint64_t room = 0);
  void OpenPage();

  std::map<std::string, std::unique_ptr<tallwick::frame::FrameWriter>> writers_;
  std::map<std::string, Picture> pictures_;
  std::map<std::string, int32_t> frameIds_;
};

// The colour of a pixel is within a few steps of the expected one, opaque.
::testing::AssertionResult Shows(const std::array<int, 4>& rgba, const Rgb& want);
// Every pixel shows the same one colour of `palette` (Shows' tolerance): a
// picture of one frame of those colours. A failure lists the pixels, for a
// picture made of parts of two frames, or of none.
::testing::AssertionResult ShowsOneOf(const std::vector<std::array<int, 4>>& pixels, const std::vector<Rgb>& palette);
// A GL colour (0..1 per channel) as the pixels show it.
Rgb FromGl(double r, double g, double b);

}  // namespace module_test
