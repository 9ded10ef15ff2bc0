// The tear benchmark's reader: a picture whose rows or planes come from
// different palette frames must read as torn, one frame as whole, and the
// way back through the screen (rounding to 8-bit RGB) must not move a value
// to another entry. A reader that misses tears would let the benchmark and
// the real-host test report zero for a module that tears.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "publisher/pattern.h"
#include "realhost/tear/picture_match.h"

namespace tallwick_tear {
namespace {

constexpr double kTolerance = 5.0;
constexpr double kFlatness = 6.0;

std::vector<Yuv> Palette() {
  std::vector<Yuv> palette;
  palette.reserve(tallwick::publisher::kFramePalette.size());
  for (const auto& entry : tallwick::publisher::kFramePalette)
    palette.push_back({1.0 * entry.y, 1.0 * entry.u, 1.0 * entry.v});
  return palette;
}

// An image whose pixel (x, y) is what the module's shader makes of
// colour(x, y), rounded to 8 bits as a read-back gives it.
Image Picture(int width, int height, const std::function<Yuv(int, int)>& colour) {
  Image image{width, height, std::vector<uint8_t>(static_cast<size_t>(width * height * 4), 255)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto rgb = ModuleYuvToRgb(colour(x, y));
      for (size_t c = 0; c < 3; ++c) {
        image.rgba[static_cast<size_t>((y * width + x) * 4) + c] =
            static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, rgb[c]))));
      }
    }
  }
  return image;
}

Yuv Mix(int yFrom, int uFrom, int vFrom) {
  const auto& p = tallwick::publisher::kFramePalette;
  return {1.0 * p[static_cast<size_t>(yFrom)].y, 1.0 * p[static_cast<size_t>(uFrom)].u,
          1.0 * p[static_cast<size_t>(vFrom)].v};
}

TEST(PaletteReaderTest, ThePublishersPaletteReadsBackAndTheShadersStillConvertAsTheReaderInverts) {
  EXPECT_EQ(CheckShaderCoefficients(), "");
  EXPECT_EQ(PaletteReader(Palette(), kTolerance, kFlatness).CheckPalette(), "");
  // Entries closer than twice the tolerance could be taken for each other.
  std::vector<Yuv> close = Palette();
  close[1].u = close[0].u + 2 * kTolerance;
  EXPECT_NE(PaletteReader(close, kTolerance, kFlatness).CheckPalette(), "");
}

TEST(PaletteReaderTest, TellsWholeFromTornEmptyAndUnreadable) {
  const PaletteReader reader(Palette(), kTolerance, kFlatness);
  const Rect all{0, 0, 40, 30};

  const RegionReading whole = reader.Read(Picture(40, 30, [](int, int) { return Mix(2, 2, 2); }), all);
  EXPECT_EQ(whole.verdict, Verdict::kWhole);
  EXPECT_EQ(whole.entry, 2);
  EXPECT_EQ(whole.matchedRows, 30);
  for (const double distance : whole.largestDistance) EXPECT_LT(distance, 1.0);

  // Rows 0-9 of one frame, the rest of the next.
  const RegionReading rows =
      reader.Read(Picture(40, 30, [](int, int y) { return y < 10 ? Mix(3, 3, 3) : Mix(4, 4, 4); }), all);
  EXPECT_EQ(rows.verdict, Verdict::kTorn);
  EXPECT_EQ(rows.description, "rows 0-9 Y,U,V #3; rows 10-29 Y,U,V #4");

  // Every row alike, but V from the next frame: a colour no frame had.
  const RegionReading planes = reader.Read(Picture(40, 30, [](int, int) { return Mix(3, 3, 4); }), all);
  EXPECT_EQ(planes.verdict, Verdict::kTorn);
  EXPECT_EQ(planes.description, "Y,U from #3, V from #4");
  EXPECT_EQ(reader.Read(Picture(40, 30, [](int, int) { return Mix(5, 0, 0); }), all).description,
            "Y from #5, U,V from #0");

  // Black (Y 16) is no entry's: a tile not drawn yet.
  EXPECT_EQ(reader.Read(Picture(40, 30, [](int, int) { return Yuv{16, 128, 128}; }), all).verdict, Verdict::kEmpty);

  // One frame where rows match, but a row that is two colours side by side.
  const RegionReading split =
      reader.Read(Picture(40, 30, [](int x, int y) { return y == 7 && x >= 20 ? Mix(1, 1, 1) : Mix(0, 0, 0); }), all);
  EXPECT_EQ(split.verdict, Verdict::kUnreadable);
  EXPECT_EQ(split.matchedRows, 29);
}

TEST(PaletteReaderTest, ReadsOnlyTheRegionClippedToTheImage) {
  const PaletteReader reader(Palette(), kTolerance, kFlatness);
  // Left half one frame, right half another: each half alone is whole.
  const Image image = Picture(40, 30, [](int x, int) { return x < 20 ? Mix(1, 1, 1) : Mix(2, 2, 2); });
  EXPECT_EQ(reader.Read(image, {0, 0, 20, 30}).entry, 1);
  const RegionReading right = reader.Read(image, {20, -5, 100, 100});
  EXPECT_EQ(right.verdict, Verdict::kWhole);
  EXPECT_EQ(right.entry, 2);
  EXPECT_EQ(right.rows, 30);
  EXPECT_EQ(reader.Read(image, {50, 0, 10, 10}).verdict, Verdict::kEmpty);
}

TEST(PlacedTest, APictureStretchedFromAnOlderBufferSizeIsNotWhereTheLayoutPutsItsTiles) {
  // Two 20x10 tiles side by side with 6 px of black around and between them.
  const auto tiles = [](int x, int y) {
    const bool inTile = y >= 6 && y < 16 && ((x >= 6 && x < 26) || (x >= 32 && x < 52));
    return inTile ? Mix(x < 30 ? 1 : 2, x < 30 ? 1 : 2, x < 30 ? 1 : 2) : Yuv{16, 128, 128};
  };
  const Image laidOut = Picture(58, 22, tiles);
  EXPECT_TRUE(Placed(laidOut, {6, 6, 20, 10}, 6));
  EXPECT_TRUE(Placed(laidOut, {32, 6, 20, 10}, 6));
  // The same picture shown at twice its size from the top-left: the second
  // tile's region now holds the first tile's pixels and the gap.
  const Image stretched = Picture(58, 22, [&](int x, int y) { return tiles(x / 2, y / 2); });
  EXPECT_FALSE(Placed(stretched, {6, 6, 20, 10}, 6));
  EXPECT_FALSE(Placed(stretched, {32, 6, 20, 10}, 6));
  // Nothing around a region that fills its image: only its inside counts.
  EXPECT_TRUE(Placed(Picture(20, 10, [](int, int) { return Mix(3, 3, 3); }), {0, 0, 20, 10}, 10));
}

}  // namespace
}  // namespace tallwick_tear
