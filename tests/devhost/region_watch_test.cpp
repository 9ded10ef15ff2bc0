// Counting content changes per region of the presented images.
#include "devhost/runtime/region_watch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace devhost_test {
namespace {

using pphost::PresentedImage;
using pphost::RegionChanges;
using pphost::RegionWatch;
using ::testing::ElementsAre;

PresentedImage Blank(int32_t width, int32_t height) {
  PresentedImage image;
  image.width = width;
  image.height = height;
  image.rgba.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  return image;
}

void Paint(PresentedImage& image, int32_t x, int32_t y, uint8_t value) {
  image.rgba[(static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 4 + 1] = value;
}

// "name:changes@first-last" for each region, "-" for a time not yet seen.
std::vector<std::string> Summary(const RegionWatch& watch) {
  const auto ms = [](const std::optional<int64_t>& t) { return t ? std::to_string(*t) : std::string("-"); };
  std::vector<std::string> lines;
  for (const RegionChanges& region : watch.Changes()) {
    lines.push_back(region.name + ":" + std::to_string(region.changes) + "@" + ms(region.firstMs) + "-" +
                    ms(region.lastMs));
  }
  return lines;
}

// Two side-by-side 2x2 tiles of a 4x2 image.
RegionWatch Tiles() {
  return RegionWatch({{"left", PP_MakeRectFromXYWH(0, 0, 2, 2)}, {"right", PP_MakeRectFromXYWH(2, 0, 2, 2)}});
}

TEST(RegionWatch, CountsTheFirstImageAndThenOnlyChangesInsideEachRegion) {
  RegionWatch watch = Tiles();
  EXPECT_THAT(Summary(watch), ElementsAre("left:0@---", "right:0@---"));
  PresentedImage image = Blank(4, 2);
  watch.Notice(image, 10);
  watch.Notice(image, 20);  // the same picture again
  EXPECT_THAT(Summary(watch), ElementsAre("left:1@10-10", "right:1@10-10"));
  Paint(image, 3, 1, 9);  // bottom-right corner: only the right tile
  watch.Notice(image, 30);
  Paint(image, 3, 1, 7);
  watch.Notice(image, 45);
  EXPECT_THAT(Summary(watch), ElementsAre("left:1@10-10", "right:3@10-45"));
  Paint(image, 3, 1, 9);  // back to a content seen two images ago: a change all the same
  watch.Notice(image, 50);
  EXPECT_THAT(Summary(watch), ElementsAre("left:1@10-10", "right:4@10-50"));
}

TEST(RegionWatch, ARegionCountsOnlyWhatLiesOnTheImage) {
  RegionWatch watch({{"edge", PP_MakeRectFromXYWH(-1, -1, 3, 3)},
                     {"outside", PP_MakeRectFromXYWH(4, 0, 2, 2)},
                     {"empty", PP_MakeRectFromXYWH(0, 0, 0, 2)}});
  PresentedImage image = Blank(4, 2);
  watch.Notice(image, 1);
  Paint(image, 1, 1, 5);  // inside the clipped edge region
  watch.Notice(image, 2);
  Paint(image, 2, 0, 5);  // beside it
  watch.Notice(image, 3);
  EXPECT_THAT(Summary(watch), ElementsAre("edge:2@1-2", "outside:0@---", "empty:0@---"));
  // A larger image brings the region onto it; it counts from then on.
  watch.Notice(Blank(6, 2), 4);
  watch.Notice(Blank(6, 2), 5);
  EXPECT_EQ(Summary(watch)[1], "outside:1@4-4");
  // An empty image shows no region, and counts no change.
  watch.Notice(PresentedImage{}, 6);
  EXPECT_THAT(Summary(watch), ElementsAre("edge:3@1-4", "outside:1@4-4", "empty:0@---"));
}

TEST(RegionWatch, TheSameBytesInAnotherShapeAreAChange) {
  // A 4x1 image and a 2x2 one: equal bytes, but the clipped region differs.
  RegionWatch watch({{"all", PP_MakeRectFromXYWH(0, 0, 4, 4)}});
  watch.Notice(Blank(4, 1), 1);
  watch.Notice(Blank(2, 2), 2);
  EXPECT_THAT(Summary(watch), ElementsAre("all:2@1-2"));
  EXPECT_EQ(pphost::HashRegion(Blank(4, 1), PP_MakeRectFromXYWH(0, 0, 4, 4)),
            pphost::HashRegion(Blank(4, 3), PP_MakeRectFromXYWH(0, 0, 4, 1)));
}

}  // namespace
}  // namespace devhost_test
