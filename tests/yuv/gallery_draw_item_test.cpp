#include "yuv/gallery_draw_item.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "frame/frame_layout.h"
#include "yuv/strided_frame.h"

namespace {

using tallwick::frame::kFormatI420;
using TALLWICK_PP_RENDER::GalleryDrawItem;
using TALLWICK_PP_RENDER::MakeGalleryDrawItem;
using TALLWICK_PP_RENDER::TilePlacement;
using TALLWICK_PP_RENDER::TileVertices;
using TALLWICK_PP_RENDER::VideoFrame;
using ::testing::ElementsAre;
using ::testing::FloatNear;
using ::testing::Pointwise;
using yuv_test::StridedFrame;

constexpr float kTol = 1e-5F;

// An I420 frame turned by `rotation`.
VideoFrame Frame(int width, int height, int rotation, int strideY, int strideUV) {
  VideoFrame frame = StridedFrame(width, height, kFormatI420, strideY, strideUV);
  frame.rotation = rotation;
  return frame;
}

TilePlacement Tile(float left, float top, float width, float height, int mode) {
  TilePlacement tile;
  tile.left = left;
  tile.top = top;
  tile.width = width;
  tile.height = height;
  tile.renderMode = mode;
  return tile;
}

TileVertices Quad(float x0, float y0, float x1, float y1) { return {x0, y0, x1, y0, x0, y1, x0, y1, x1, y0, x1, y1}; }

MATCHER_P(NearQuad, expected, "") { return ::testing::Value(arg, Pointwise(FloatNear(kTol), expected)); }

// A 1280 x 720 frame in a 400 x 400 tile at the origin of an 800 x 600 view.
TEST(GalleryDrawItemTest, FitLetterboxesAWideFrameInASquareTile) {
  const GalleryDrawItem item = MakeGalleryDrawItem(Tile(0, 0, 400, 400, 0), Frame(1280, 720, 0, 1280, 640), 800, 600);
  EXPECT_THAT(item.tilePositions, NearQuad(Quad(0, 0, 0.5F, 400.0F / 600)));
  EXPECT_THAT(item.positions, NearQuad(Quad(0, 87.5F / 600, 0.5F, 312.5F / 600)));
  const float sMaxY = 1 - 2.0F / 1280;
  EXPECT_THAT(item.texCoordsY, NearQuad(Quad(0, 0, sMaxY, 1)));
  const float sMaxUV = 1 - 2.0F / 640;
  EXPECT_THAT(item.texCoordsUV, NearQuad(Quad(0, 0, sMaxUV, 1)));
}

TEST(GalleryDrawItemTest, CropCutsLeftAndRightEvenly) {
  const GalleryDrawItem item = MakeGalleryDrawItem(Tile(0, 0, 400, 400, 1), Frame(1280, 720, 0, 1280, 640), 800, 600);
  EXPECT_THAT(item.positions, NearQuad(item.tilePositions));
  EXPECT_THAT(item.texCoordsY, NearQuad(Quad(0.21841F, 0, 0.78003F, 1)));
  EXPECT_NEAR(item.texCoordsY[0], 0.21875F * (1 - 2.0F / 1280), kTol);
  EXPECT_NEAR(item.texCoordsY[2], (0.21875F + 0.5625F) * (1 - 2.0F / 1280), kTol);
}

TEST(GalleryDrawItemTest, CropCutsTopAndBottomOfATallTile) {
  // Tile aspect 4 > 16:9: scaled = 800 / 1.7778 = 450; frac = 200 / 450; off = 125 / 450.
  const GalleryDrawItem item = MakeGalleryDrawItem(Tile(0, 0, 800, 200, 1), Frame(1280, 720, 0, 1280, 640), 800, 600);
  const float off = 125.0F / 450;
  const float frac = 200.0F / 450;
  EXPECT_THAT(item.texCoordsY, NearQuad(Quad(0, off, 1 - 2.0F / 1280, off + frac)));
}

TEST(GalleryDrawItemTest, EqualAspectShowsTheWholeValidPictureInBothModes) {
  const VideoFrame frame = Frame(640, 360, 0, 704, 352);
  const float sMaxY = 640.0F / 704 - 2.0F / 640;
  for (int mode : {0, 1}) {
    const GalleryDrawItem item = MakeGalleryDrawItem(Tile(160, 90, 320, 180, mode), frame, 640, 360);
    EXPECT_THAT(item.positions, NearQuad(Quad(0.25F, 0.25F, 0.75F, 0.75F))) << mode;
    EXPECT_THAT(item.texCoordsY, NearQuad(Quad(0, 0, sMaxY, 1))) << mode;
  }
}

TEST(GalleryDrawItemTest, QuarterTurnsUseTheFrameHeightAsDisplayedWidth) {
  // 1280 x 720 turned shows 720 x 1280 (aspect 0.5625) in a 400 x 400 tile:
  // fit draws 225 wide, centred.
  for (int rotation : {90, 270}) {
    const GalleryDrawItem fit =
        MakeGalleryDrawItem(Tile(0, 0, 400, 400, 0), Frame(1280, 720, rotation, 1280, 640), 800, 600);
    EXPECT_THAT(fit.positions, NearQuad(Quad(87.5F / 800, 0, 312.5F / 800, 400.0F / 600))) << rotation;
  }
  // Crop cuts top and bottom of the turned picture; the window's vertical
  // extent runs along the texture rows, so it is scaled by sMax.
  const float sMaxY = 1 - 2.0F / 1280;
  const float off = (400.0F / 0.5625F - 400) / (2 * 400.0F / 0.5625F);
  const float frac = 400 / (400.0F / 0.5625F);
  const GalleryDrawItem crop = MakeGalleryDrawItem(Tile(0, 0, 400, 400, 1), Frame(1280, 720, 90, 1280, 640), 800, 600);
  const float v0 = off * sMaxY;
  const float v1 = v0 + frac * sMaxY;
  EXPECT_THAT(crop.texCoordsY, NearQuad(TileVertices{v0, 1, v0, 0, v1, 1, v1, 1, v0, 0, v1, 0}));
}

TEST(GalleryDrawItemTest, HalfTurnAndOddRotationsKeepTheUprightGeometry) {
  const VideoFrame upright = Frame(1280, 720, 0, 1280, 640);
  const GalleryDrawItem base = MakeGalleryDrawItem(Tile(0, 0, 400, 400, 1), upright, 800, 600);
  VideoFrame turned = upright;
  turned.rotation = 180;
  const GalleryDrawItem half = MakeGalleryDrawItem(Tile(0, 0, 400, 400, 1), turned, 800, 600);
  EXPECT_THAT(half.positions, NearQuad(base.positions));
  // Same window, read from the opposite corner.
  EXPECT_NEAR(half.texCoordsY[0], base.texCoordsY[10], kTol);
  EXPECT_NEAR(half.texCoordsY[1], base.texCoordsY[11], kTol);
  // Any other value counts as turned for the picture's shape, yet the
  // texture is read upright.
  VideoFrame quarter = upright;
  quarter.rotation = 90;
  const GalleryDrawItem turnedFit = MakeGalleryDrawItem(Tile(0, 0, 400, 400, 0), quarter, 800, 600);
  const GalleryDrawItem uprightFit = MakeGalleryDrawItem(Tile(0, 0, 400, 400, 0), upright, 800, 600);
  for (int odd : {-90, 360, 45}) {
    turned.rotation = odd;
    const GalleryDrawItem item = MakeGalleryDrawItem(Tile(0, 0, 400, 400, 0), turned, 800, 600);
    EXPECT_THAT(item.positions, NearQuad(turnedFit.positions)) << odd;
    EXPECT_THAT(item.texCoordsY, NearQuad(uprightFit.texCoordsY)) << odd;
  }
}

TEST(GalleryDrawItemTest, MirrorsWhenTheFrameIsFlippedOrTheTileAsks) {
  VideoFrame frame = Frame(640, 480, 0, 640, 320);
  TilePlacement tile = Tile(0, 0, 100, 100, 0);
  tile.backgroundColor = {0.1F, 0.2F, 0.3F, 1.0F};
  EXPECT_FALSE(MakeGalleryDrawItem(tile, frame, 200, 200).mirror);
  tile.isMirror = true;
  EXPECT_TRUE(MakeGalleryDrawItem(tile, frame, 200, 200).mirror);
  tile.isMirror = false;
  frame.flip = true;
  const GalleryDrawItem item = MakeGalleryDrawItem(tile, frame, 200, 200);
  EXPECT_TRUE(item.mirror);
  EXPECT_THAT(item.backgroundColor, ElementsAre(0.1F, 0.2F, 0.3F, 1.0F));
  EXPECT_TRUE(item.frame.flip);
}

}  // namespace
