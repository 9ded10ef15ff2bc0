// The gallery renderer on the host's real GL (EGL on Mesa), in process: a
// 2 x 2 gallery of colour-bar tiles compared with libyuv's CPU conversion
// placed by the tile rules (fit, crop, rotation, mirror, partial redraws).
#include <gtest/gtest.h>
#include <libyuv.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "devhost/host.h"
#include "devhost/scripted_host.h"
#include "frame/frame_layout.h"
#include "yuv/colour_bar_plugin.h"
#include "yuv/gallery_plugin.h"

namespace {

using TALLWICK_PP_RENDER::TileColor;
using yuv_test::ColourBarFrame;
using yuv_test::GalleryScene;
using yuv_test::GalleryTile;
using yuv_test::GridTile;
using yuv_test::kGalleryViewHeight;
using yuv_test::kGalleryViewWidth;

constexpr int kTolerance = 4;  // per channel, 0..255
constexpr int kMargin = 3;     // samples this close (px) to a change of colour are skipped
constexpr int kStep = 4;       // sample grid spacing (px)
constexpr int kPadding = 64;   // bytes beyond the picture in each row
constexpr TileColor kElementColour = {0.2F, 0.2F, 0.6F, 1.0F};
constexpr std::array<TileColor, 4> kTileColours = {
    {{1.0F, 0.5F, 0.0F, 1.0F}, {0.0F, 0.5F, 1.0F, 1.0F}, {0.5F, 1.0F, 0.0F, 1.0F}, {1.0F, 0.0F, 0.5F, 1.0F}}};

struct Rgb {
  int r = 0;
  int g = 0;
  int b = 0;
  bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
  bool operator!=(const Rgb& other) const { return !(*this == other); }
};

Rgb FromColour(const TileColor& c) {
  const auto byte = [](float f) { return static_cast<int>(std::lround(f * 255.0F)); };
  return {byte(c[0]), byte(c[1]), byte(c[2])};
}

bool Near(const uint8_t* got, const Rgb& want) {
  return std::abs(got[0] - want.r) <= kTolerance && std::abs(got[1] - want.g) <= kTolerance &&
         std::abs(got[2] - want.b) <= kTolerance && got[3] == 255;
}

std::string Describe(const uint8_t* got) {
  return std::to_string(got[0]) + "," + std::to_string(got[1]) + "," + std::to_string(got[2]) + "," +
         std::to_string(got[3]);
}

// Colour bars with the top-left quarter of the picture (320 x 180) in a
// colour found nowhere else, to tell which way a tile turns and mirrors.
ColourBarFrame MarkedBars(int32_t padding) {
  ColourBarFrame f = yuv_test::MakeColourBars(1280, 720, padding, tallwick::frame::kFormatI420);
  constexpr uint8_t kY = 145;
  constexpr uint8_t kU = 54;
  constexpr uint8_t kV = 34;
  for (std::ptrdiff_t row = 0; row < f.height / 4; ++row) {
    std::fill_n(f.y.begin() + row * f.strideY, f.width / 4, kY);
  }
  for (std::ptrdiff_t row = 0; row < f.height / 8; ++row) {
    std::fill_n(f.u.begin() + row * f.strideUV, f.width / 8, kU);
    std::fill_n(f.v.begin() + row * f.strideUV, f.width / 8, kV);
  }
  return f;
}

// A frame as libyuv converts it on the CPU (BT.601 video range).
class Picture {
 public:
  explicit Picture(const ColourBarFrame& f)
      : width_(f.width), height_(f.height), bgra_(static_cast<size_t>(f.width) * f.height * 4) {
    libyuv::I420ToARGB(f.y.data(), f.strideY, f.u.data(), f.strideUV, f.v.data(), f.strideUV, bgra_.data(), f.width * 4,
                       f.width, f.height);
  }

  // The colour at (fx, fy), fractions of the picture from its top-left corner.
  Rgb At(double fx, double fy) const {
    const int x = std::clamp(static_cast<int>(fx * width_), 0, width_ - 1);
    const int y = std::clamp(static_cast<int>(fy * height_), 0, height_ - 1);
    const uint8_t* p = bgra_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
    return {p[2], p[1], p[0]};
  }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> bgra_;
};

struct Box {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  bool Contains(double x, double y) const { return x >= left && y >= top && x < left + width && y < top + height; }
};

enum class Corner { kNone, kTopLeft, kTopRight, kBottomLeft, kBottomRight };

// What one tile must show: the picture turned clockwise by the rotation,
// scaled to fit inside the tile (bars in the tile colour) or to cover it
// (cut evenly), centred. Mirroring flips the frame's own rows, so a turned
// picture is mirrored before it is turned.
class TileModel {
 public:
  TileModel(const GalleryTile& tile, const Picture& picture)
      : tile_{tile.placement.left, tile.placement.top, tile.placement.width, tile.placement.height},
        colour_(FromColour(tile.placement.backgroundColor)),
        rotation_(tile.rotation),
        mirror_(tile.flip || tile.placement.isMirror),
        picture_(&picture) {
    const bool turned = rotation_ == 90 || rotation_ == 270;
    const double aspect = turned ? static_cast<double>(tile.frame->height) / tile.frame->width
                                 : static_cast<double>(tile.frame->width) / tile.frame->height;
    const bool crop = tile.placement.renderMode == TALLWICK_PP_RENDER::kRenderModeCrop;
    const bool heightBound = (tile_.width / tile_.height > aspect) != crop;
    const double width = heightBound ? tile_.height * aspect : tile_.width;
    const double height = heightBound ? tile_.height : tile_.width / aspect;
    shown_ = {tile_.left + (tile_.width - width) / 2, tile_.top + (tile_.height - height) / 2, width, height};
  }

  const Box& Tile() const { return tile_; }

  Rgb At(double x, double y) const {
    if (!shown_.Contains(x, y)) return colour_;
    const double u = (x - shown_.left) / shown_.width;
    const double v = (y - shown_.top) / shown_.height;
    double fx = u;
    double fy = v;
    if (rotation_ == 90) {
      fx = v;
      fy = 1 - u;
    } else if (rotation_ == 180) {
      fx = 1 - u;
      fy = 1 - v;
    } else if (rotation_ == 270) {
      fx = 1 - v;
      fy = u;
    }
    return picture_->At(mirror_ ? 1 - fx : fx, fy);
  }

  // The corner of the visible picture showing `marker`, probed a few pixels
  // in from each corner.
  Corner CornerShowing(const pphost::PresentedImage& image, const Rgb& marker) const {
    constexpr int kInset = 6;
    const int left = static_cast<int>(std::max(shown_.left, tile_.left)) + kInset;
    const int top = static_cast<int>(std::max(shown_.top, tile_.top)) + kInset;
    const int right = static_cast<int>(std::min(shown_.left + shown_.width, tile_.left + tile_.width)) - 1 - kInset;
    const int bottom = static_cast<int>(std::min(shown_.top + shown_.height, tile_.top + tile_.height)) - 1 - kInset;
    const std::array<std::pair<Corner, std::array<int, 2>>, 4> probes = {{{Corner::kTopLeft, {left, top}},
                                                                          {Corner::kTopRight, {right, top}},
                                                                          {Corner::kBottomLeft, {left, bottom}},
                                                                          {Corner::kBottomRight, {right, bottom}}}};
    Corner found = Corner::kNone;
    for (const auto& [corner, at] : probes) {
      if (!Near(image.At(at[0], at[1]), marker)) continue;
      if (found != Corner::kNone) return Corner::kNone;  // more than one: no single marked corner
      found = corner;
    }
    return found;
  }

 private:
  Box tile_;
  Box shown_;
  Rgb colour_;
  int32_t rotation_;
  bool mirror_;
  const Picture* picture_;
};

// The element after drawing a scene over a clear: the last tile that covers
// a point decides its colour, the element colour shows elsewhere.
class SceneModel {
 public:
  explicit SceneModel(const GalleryScene& scene) : background_(FromColour(scene.background)) {
    for (const GalleryTile& tile : scene.tiles) {
      const auto found = pictures_.try_emplace(tile.frame, *tile.frame).first;
      tiles_.emplace_back(tile, found->second);
    }
  }
  SceneModel(const SceneModel&) = delete;
  SceneModel& operator=(const SceneModel&) = delete;

  const TileModel& Tile(size_t index) const { return tiles_.at(index); }

  Rgb At(double x, double y) const {
    for (auto tile = tiles_.rbegin(); tile != tiles_.rend(); ++tile) {
      if (tile->Tile().Contains(x, y)) return tile->At(x, y);
    }
    return background_;
  }

  // Whether every point within `margin` of (x, y) has the same colour.
  bool Uniform(double x, double y, double margin) const {
    const Rgb centre = At(x, y);
    for (const double dx : {-margin, 0.0, margin}) {
      for (const double dy : {-margin, 0.0, margin}) {
        if (At(x + dx, y + dy) != centre) return false;
      }
    }
    return true;
  }

 private:
  Rgb background_;
  std::map<const ColourBarFrame*, Picture> pictures_;
  std::vector<TileModel> tiles_;
};

const Box kWholeView = {0, 0, kGalleryViewWidth, kGalleryViewHeight};

// Compares `image` with `model` on a grid over `region`, away from every
// change of colour (bar and tile edges, where filtering blends).
void ExpectMatches(const pphost::PresentedImage& image, const SceneModel& model, const Box& region = kWholeView) {
  ASSERT_EQ(image.width, kGalleryViewWidth);
  ASSERT_EQ(image.height, kGalleryViewHeight);
  int checked = 0;
  int failures = 0;
  for (int y = static_cast<int>(region.top); y < region.top + region.height; y += kStep) {
    for (int x = static_cast<int>(region.left); x < region.left + region.width; x += kStep) {
      const double cx = x + 0.5;
      const double cy = y + 0.5;
      if (!kWholeView.Contains(cx - kMargin, cy - kMargin) || !kWholeView.Contains(cx + kMargin, cy + kMargin) ||
          !model.Uniform(cx, cy, kMargin)) {
        continue;
      }
      ++checked;
      const Rgb want = model.At(cx, cy);
      if (Near(image.At(x, y), want)) continue;
      if (++failures <= 10) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << Describe(image.At(x, y)) << ", want " << want.r
                      << "," << want.g << "," << want.b << ",255";
      }
    }
  }
  EXPECT_EQ(failures, 0) << "of " << checked << " samples";
  EXPECT_GT(checked, 100);
}

// All four grid tiles showing `frame` the same way.
GalleryScene GridScene(const ColourBarFrame& frame, bool crop) {
  GalleryScene scene;
  scene.background = kElementColour;
  for (int i = 0; i < 4; ++i) scene.tiles.push_back({GridTile(i, kTileColours.at(i), crop), &frame, 0, false});
  return scene;
}

// An in-process host with one gallery element of 640 x 360.
class GalleryPage {
 public:
  explicit GalleryPage(pphost::GlMode gl = pphost::GlMode::kDefault) : page_(Options(gl), Entry()) {
    page_.Execute({R"({"op":"create","id":"g","attrs":[]})", R"({"op":"view","id":"g","rect":[0,0,640,360]})"});
  }

  // Draws `scene` and returns what the element shows afterwards.
  std::optional<pphost::Presentation> Draw(const GalleryScene& scene) {
    yuv_test::SetGalleryScene(&scene);
    const auto out = page_.Execute({R"({"op":"message","id":"g","msg":"draw"})", R"({"op":"run","ms":0})"});
    yuv_test::SetGalleryScene(nullptr);
    EXPECT_TRUE(devhost_test::OfKind(out, "error").empty());
    return page_.Host().LastPresented(devhost_test::Json("g"));
  }

 private:
  static pphost::HostOptions Options(pphost::GlMode gl) {
    pphost::HostOptions options = devhost_test::VirtualClock();
    options.gl = gl;
    return options;
  }
  static pphost::EntryPoints Entry() { return yuv_test::GalleryPluginEntryPoints(); }

  devhost_test::ScriptedHost page_;
};

class GalleryFitTest : public ::testing::TestWithParam<pphost::GlMode> {};

TEST_P(GalleryFitTest, FitShowsTheWholePictureBetweenBarsInTheTileColour) {
  const ColourBarFrame frame = yuv_test::MakeColourBars(1280, 720, kPadding, tallwick::frame::kFormatI420);
  const GalleryScene scene = GridScene(frame, false);
  GalleryPage page(GetParam());
  const auto shown = page.Draw(scene);
  ASSERT_TRUE(shown.has_value());
  ASSERT_EQ(shown->swaps, 1);
  // A 16:9 picture in a 240 x 180 tile is 135 high: bars of 22.5 above and below.
  for (int i = 0; i < 4; ++i) {
    const auto& tile = scene.tiles.at(static_cast<size_t>(i)).placement;
    const int x = static_cast<int>(tile.left + tile.width / 2);
    const Rgb colour = FromColour(kTileColours.at(static_cast<size_t>(i)));
    EXPECT_TRUE(Near(shown->image.At(x, static_cast<int>(tile.top) + 10), colour)) << "tile " << i;
    EXPECT_TRUE(Near(shown->image.At(x, static_cast<int>(tile.top + tile.height) - 10), colour)) << "tile " << i;
  }
  ExpectMatches(shown->image, SceneModel(scene));
}

INSTANTIATE_TEST_SUITE_P(GlModes, GalleryFitTest,
                         ::testing::Values(pphost::GlMode::kDefault, pphost::GlMode::kStrictEs2),
                         [](const auto& tested) {
                           return std::string(tested.param == pphost::GlMode::kStrictEs2 ? "StrictEs2" : "Default");
                         });

TEST(GalleryPixelsTest, CropCoversTheTileCuttingBothSidesEvenly) {
  const ColourBarFrame frame = yuv_test::MakeColourBars(1280, 720, kPadding, tallwick::frame::kFormatI420);
  const GalleryScene scene = GridScene(frame, true);
  GalleryPage page;
  const auto shown = page.Draw(scene);
  ASSERT_TRUE(shown.has_value());
  // 4:3 out of 16:9 keeps the middle three quarters: 1.5 of 8 bars are cut
  // from each side, so every tile starts in the yellow bar and ends in blue.
  ExpectMatches(shown->image, SceneModel(scene));
}

struct TurnCase {
  int32_t rotation;
  bool tileMirror;
  bool frameFlip;
  bool crop;
  Corner marked;  // where the picture's top-left corner must show
};

TEST(GalleryPixelsTest, RotationAndMirrorPutTheMarkedCornerWhereTheTileRulesSay) {
  // Mirroring flips whole texture rows, padding included: unpadded frames.
  const ColourBarFrame frame = MarkedBars(0);
  const Rgb marker = Picture(frame).At(0, 0);
  const std::array<std::array<TurnCase, 4>, 2> scenes = {{
      {{{90, false, false, false, Corner::kTopRight},
        {0, true, false, false, Corner::kTopRight},
        {180, false, false, false, Corner::kBottomRight},
        {270, false, false, false, Corner::kBottomLeft}}},
      // The mirror flips the frame before it is turned; a flipped frame
      // mirrors like a mirrored tile. Turned and cropped, the marked
      // quarter lies in the part cut away.
      {{{90, false, true, false, Corner::kBottomRight},
        {0, false, true, false, Corner::kTopRight},
        {0, true, false, true, Corner::kTopRight},
        {90, false, false, true, Corner::kNone}}},
  }};
  for (const auto& cases : scenes) {
    GalleryScene scene;
    scene.background = kElementColour;
    for (size_t i = 0; i < cases.size(); ++i) {
      yuv_test::GalleryTile tile{GridTile(static_cast<int>(i), kTileColours.at(i), cases.at(i).crop), &frame,
                                 cases.at(i).rotation, cases.at(i).frameFlip};
      tile.placement.isMirror = cases.at(i).tileMirror;
      scene.tiles.push_back(tile);
    }
    GalleryPage page;
    const auto shown = page.Draw(scene);
    ASSERT_TRUE(shown.has_value());
    const SceneModel model(scene);
    for (size_t i = 0; i < cases.size(); ++i) {
      EXPECT_EQ(model.Tile(i).CornerShowing(shown->image, marker), cases.at(i).marked)
          << "rotation " << cases.at(i).rotation << ", tile " << i;
    }
    ExpectMatches(shown->image, model);
  }
}

TEST(GalleryPixelsTest, TilesLeftOutOfALaterDrawKeepTheirPixelsUnlessItClears) {
  const ColourBarFrame bars = yuv_test::MakeColourBars(1280, 720, kPadding, tallwick::frame::kFormatI420);
  const ColourBarFrame marked = MarkedBars(kPadding);
  GalleryPage page;
  const auto first = page.Draw(GridScene(bars, false));
  ASSERT_TRUE(first.has_value());

  // Only the first tile, turned and in another colour, without a clear.
  GalleryScene onlyFirst;
  onlyFirst.background = kElementColour;
  onlyFirst.needClear = false;
  onlyFirst.tiles.push_back({GridTile(0, kTileColours[3]), &marked, 180, false});
  const auto second = page.Draw(onlyFirst);
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->swaps, first->swaps + 1);
  const SceneModel redrawn(onlyFirst);
  const Box& tile = redrawn.Tile(0).Tile();
  ExpectMatches(second->image, redrawn, tile);
  int changed = 0;
  for (int y = 0; y < kGalleryViewHeight; ++y) {
    for (int x = 0; x < kGalleryViewWidth; ++x) {
      if (tile.Contains(x + 0.5, y + 0.5)) continue;
      if (!std::equal(first->image.At(x, y), first->image.At(x, y) + 4, second->image.At(x, y))) ++changed;
    }
  }
  EXPECT_EQ(changed, 0) << "pixels outside the redrawn tile changed";

  // The same with a clear: the other tiles are gone.
  onlyFirst.needClear = true;
  const auto third = page.Draw(onlyFirst);
  ASSERT_TRUE(third.has_value());
  ExpectMatches(third->image, redrawn);
}

}  // namespace
