#include "module/stream_roles.h"

#include <algorithm>
#include <iterator>

namespace module_test {

namespace {

constexpr int32_t kStreamViewWidth = 160;
constexpr int32_t kStreamViewHeight = 90;

}  // namespace

void PrintTo(Role role, std::ostream* out) { *out << (role == Role::kGallery ? "gallery" : "single stream"); }

Json StreamRolePageTest::StreamInit(const std::string& uid) {
  return {{"fps", 1000 / kTickMs}, {"uid", uid}, {"sid", "s-" + uid}, {"renderExceptionThreshold", 1000}, {"dpr", 1}};
}

Json StreamRolePageTest::GalleryInit() {
  Json init = DefaultInit();
  init["fps"] = 1000 / kTickMs;
  init["backgroundColor"] = Json::array({0, 0, 0, 1});
  return init;
}

std::string StreamRolePageTest::View(int32_t width, int32_t height) const {
  return Json{{"op", "view"}, {"id", element_}, {"rect", Json::array({0, 0, width, height})}}.dump();
}

void StreamRolePageTest::ShowOn(Role role, const std::vector<std::string>& uids) {
  role_ = role;
  uids_ = uids;
  if (role == Role::kSingleStream) {
    EXPECT_EQ(uids.size(), 1u) << "a single-stream element shows one user";
    element_ = "v";
    viewWidth_ = kStreamViewWidth;
    viewHeight_ = kStreamViewHeight;
    Do({Create(element_), Command(element_, "INIT", StreamInit(uids.at(0)).dump()), View(viewWidth_, viewHeight_)});
    return;
  }
  element_ = "g";
  viewWidth_ = kGalleryViewWidth;
  viewHeight_ = kGalleryViewHeight;
  Init(GalleryInit(), viewWidth_, viewHeight_);
  std::vector<Tile> tiles;
  double left = 0;
  for (const std::string& uid : uids) {
    const tallwick::frame::FrameGeometry& geometry = Writer(uid).Geometry();
    tiles.push_back({uid, "s-" + uid, left, 0, 2.0 * geometry.width, 2.0 * geometry.height});
    left += 2.0 * geometry.width;
  }
  Do({Layout(tiles)});
}

std::vector<Json> StreamRolePageTest::InitAgain(int32_t viewWidth, int32_t viewHeight) {
  viewWidth_ = viewWidth;
  viewHeight_ = viewHeight;
  const Json init = role_ == Role::kGallery ? GalleryInit() : StreamInit(uids_.at(0));
  return Do({Command(element_, "INIT", init.dump()), View(viewWidth_, viewHeight_), Command(element_, "START_RENDER")});
}

std::array<int, 2> StreamRolePageTest::ElementPoint(const std::string& uid, const std::array<int, 2>& framePoint) {
  const tallwick::frame::FrameGeometry& geometry = Writer(uid).Geometry();
  if (role_ == Role::kSingleStream) {
    // The centre of the frame pixel, scaled to the view.
    return {(2 * framePoint[0] + 1) * viewWidth_ / (2 * geometry.width),
            (2 * framePoint[1] + 1) * viewHeight_ / (2 * geometry.height)};
  }
  const auto tile = static_cast<int>(std::distance(uids_.begin(), std::find(uids_.begin(), uids_.end(), uid)));
  return {2 * tile * geometry.width + 2 * framePoint[0] + 1, 2 * framePoint[1] + 1};
}

std::vector<std::array<int, 4>> StreamRolePageTest::FramePixels(const std::string& uid,
                                                                const std::vector<std::array<int, 2>>& points) {
  std::vector<std::array<int, 2>> elementPoints;
  elementPoints.reserve(points.size());
  for (const auto& point : points) elementPoints.push_back(ElementPoint(uid, point));
  return Pixels(elementPoints, element_);
}

}  // namespace module_test
