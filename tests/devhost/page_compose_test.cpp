// Composing the page picture from the instances' images: canvas, placement,
// nearest-pixel scaling, drawing order, alpha and clipping.
#include "devhost/page/page_compose.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace devhost_test {
namespace {

using pphost::ComposePage;
using pphost::PageCanvas;
using pphost::PageComposition;
using pphost::PageLayer;
using pphost::PresentedImage;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using Pixel = std::vector<int>;

const Pixel kRed{255, 0, 0, 255};
const Pixel kGreen{0, 255, 0, 255};
const Pixel kBlue{0, 0, 255, 255};
const Pixel kWhite{255, 255, 255, 255};
const pphost::Rgb kGrey{50, 50, 50};
const Pixel kGreyPixel{50, 50, 50, 255};

// An image of `width` x rows, row by row from the top.
PresentedImage Image(int32_t width, const std::vector<Pixel>& pixels) {
  PresentedImage image;
  image.width = width;
  image.height = static_cast<int32_t>(pixels.size()) / width;
  for (const Pixel& pixel : pixels) {
    for (const int channel : pixel) image.rgba.push_back(static_cast<uint8_t>(channel));
  }
  return image;
}

PresentedImage Solid(int32_t width, int32_t height, const Pixel& pixel) {
  return Image(width, std::vector<Pixel>(static_cast<size_t>(width) * static_cast<size_t>(height), pixel));
}

Pixel At(const PresentedImage& image, int32_t x, int32_t y) {
  const uint8_t* rgba = image.At(x, y);
  return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

// One row of the picture.
std::vector<Pixel> Row(const PresentedImage& image, int32_t y) {
  std::vector<Pixel> row;
  row.reserve(static_cast<size_t>(image.width));
  for (int32_t x = 0; x < image.width; ++x) row.push_back(At(image, x, y));
  return row;
}

PageComposition Compose(const std::vector<PageLayer>& layers, pphost::Rgb background = kGrey) {
  return ComposePage(layers, PageCanvas(layers), background);
}

TEST(PageCompose, TheCanvasReachesTheFurthestEdgeAndEachImageSitsAtItsRectangle) {
  const PresentedImage red = Solid(2, 2, kRed);
  const PresentedImage green = Solid(1, 1, kGreen);
  const std::vector<PageLayer> layers = {{&red, PP_MakeRectFromXYWH(3, 1, 2, 2)},
                                         {&green, PP_MakeRectFromXYWH(0, 3, 1, 1)}};
  const PageComposition page = Compose(layers);
  ASSERT_EQ(page.picture.width, 5);
  ASSERT_EQ(page.picture.height, 4);
  EXPECT_THAT(Row(page.picture, 0), ElementsAre(kGreyPixel, kGreyPixel, kGreyPixel, kGreyPixel, kGreyPixel));
  EXPECT_THAT(Row(page.picture, 1), ElementsAre(kGreyPixel, kGreyPixel, kGreyPixel, kRed, kRed));
  EXPECT_THAT(Row(page.picture, 2), ElementsAre(kGreyPixel, kGreyPixel, kGreyPixel, kRed, kRed));
  EXPECT_THAT(Row(page.picture, 3), ElementsAre(kGreen, kGreyPixel, kGreyPixel, kGreyPixel, kGreyPixel));
  EXPECT_THAT(page.drawn, ElementsAre(0, 1));
}

TEST(PageCompose, AnImageOfAnotherSizeIsScaledToItsRectangleByTheNearestPixel) {
  const PresentedImage two = Image(2, {kRed, kGreen, kBlue, kWhite});
  const PresentedImage four = Image(4, {kRed, kGreen, kBlue, kWhite});
  // Twice as large: each pixel becomes a 2x2 block.
  PageComposition page = Compose({{&two, PP_MakeRectFromXYWH(0, 0, 4, 4)}});
  EXPECT_THAT(Row(page.picture, 0), ElementsAre(kRed, kRed, kGreen, kGreen));
  EXPECT_THAT(Row(page.picture, 1), ElementsAre(kRed, kRed, kGreen, kGreen));
  EXPECT_THAT(Row(page.picture, 3), ElementsAre(kBlue, kBlue, kWhite, kWhite));
  // Half as wide, three times as tall: every other column, each row thrice.
  page = Compose({{&four, PP_MakeRectFromXYWH(0, 0, 2, 3)}});
  for (int32_t y = 0; y < 3; ++y) EXPECT_THAT(Row(page.picture, y), ElementsAre(kGreen, kWhite)) << y;
}

TEST(PageCompose, LaterLayersGoOnTopAndBlendByTheirAlphaOverWhatIsBelow) {
  const PresentedImage red = Solid(4, 1, kRed);
  const PresentedImage green = Solid(2, 1, kGreen);
  const PresentedImage halfBlue = Solid(2, 1, {0, 0, 255, 128});
  const PresentedImage clear = Solid(1, 1, {255, 255, 255, 0});
  const PageComposition page = Compose({{&red, PP_MakeRectFromXYWH(0, 0, 4, 1)},
                                        {&green, PP_MakeRectFromXYWH(1, 0, 2, 1)},
                                        {&halfBlue, PP_MakeRectFromXYWH(2, 0, 2, 1)},
                                        {&clear, PP_MakeRectFromXYWH(4, 0, 1, 1)}});
  // 128/255 of blue over green, over red, and a clear pixel over the background.
  EXPECT_THAT(Row(page.picture, 0),
              ElementsAre(kRed, kGreen, Pixel{0, 127, 128, 255}, Pixel{127, 0, 128, 255}, kGreyPixel));
  EXPECT_THAT(page.drawn, ElementsAre(0, 1, 2, 3));
}

TEST(PageCompose, WhatFallsOutsideTheCanvasIsCutOff) {
  const PresentedImage row = Image(4, {kRed, kGreen, kBlue, kWhite});
  const PresentedImage green = Solid(1, 1, kGreen);
  // Two columns left of the page: the right half shows at x 0 and 1. The
  // layer wholly above the page neither shows nor widens it.
  const std::vector<PageLayer> layers = {{&row, PP_MakeRectFromXYWH(-2, 0, 4, 1)},
                                         {&green, PP_MakeRectFromXYWH(0, -5, 9, 5)}};
  const PageComposition page = Compose(layers);
  ASSERT_EQ(page.picture.width, 2);
  ASSERT_EQ(page.picture.height, 1);
  EXPECT_THAT(Row(page.picture, 0), ElementsAre(kBlue, kWhite));
  EXPECT_THAT(page.drawn, ElementsAre(0));
}

TEST(PageCompose, NothingToDrawLeavesAnEmptyCanvas) {
  const PresentedImage red = Solid(2, 2, kRed);
  EXPECT_TRUE(PageCanvas({}).Empty());
  EXPECT_TRUE(PageCanvas({{&red, PP_MakeRectFromXYWH(5, 5, 0, 3)}, {&red, PP_MakeRectFromXYWH(5, 5, 3, -1)}}).Empty());
  EXPECT_TRUE(PageCanvas({{&red, PP_MakeRectFromXYWH(-4, 0, 4, 4)}}).Empty());
  // A layer of no size, on a canvas another one makes, is not drawn.
  const PageComposition page =
      Compose({{&red, PP_MakeRectFromXYWH(3, 3, 0, 0)}, {&red, PP_MakeRectFromXYWH(0, 0, 1, 1)}});
  EXPECT_THAT(page.drawn, ElementsAre(1));
  EXPECT_EQ(page.picture.width, 1);
  const PageComposition blank = ComposePage({}, pphost::PageSize{1, 1}, kGrey);
  EXPECT_THAT(blank.drawn, IsEmpty());
  EXPECT_THAT(Row(blank.picture, 0), ElementsAre(kGreyPixel));
}

}  // namespace
}  // namespace devhost_test
