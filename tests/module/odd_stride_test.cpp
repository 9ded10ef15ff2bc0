// Frames whose row strides are not a multiple of four. Each plane is
// uploaded a stride wide from rows that follow each other byte for byte;
// unless GL's unpack alignment is 1, GL takes every row a few bytes further
// on than the one above and the picture shears. Both roles, I420 and NV12:
// on the context the view made before the renderer was initialised, and on
// the one a resize makes after a second "INIT".
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <vector>

#include "module/stream_roles.h"

namespace module_test {
namespace {

using tallwick::frame::FrameGeometry;
using tallwick::frame::MakeGeometry;

struct OddStrides {
  const char* name;
  Role role;
  FrameGeometry geometry;
};

void PrintTo(const OddStrides& strides, std::ostream* out) { *out << strides.name; }

constexpr int32_t kOddWidth = 63;

// I420 rows of 65, 33 and 33 bytes.
FrameGeometry OddI420() {
  FrameGeometry geometry = MakeGeometry(kOddWidth, kFrameHeight, tallwick::frame::kFormatI420);
  geometry.planS0 = 65;
  geometry.planS1 = 33;
  geometry.planS2 = 33;
  return geometry;
}

// NV12 rows of 65 and 66 bytes (interleaved rows hold whole pairs).
FrameGeometry OddNV12() {
  FrameGeometry geometry = MakeGeometry(kOddWidth, kFrameHeight, tallwick::frame::kFormatNV12);
  geometry.planS0 = 65;
  geometry.planS1 = 66;
  return geometry;
}

// Upright bands a third of the width each: green, red, white. Their edges lie
// on even columns, so that the chroma planes have the same bands.
Picture Bands() { return {kRed, {{0, 0, 20, kFrameHeight, kGreen}, {42, 0, kOddWidth - 42, kFrameHeight, kWhite}}}; }

class OddStrideTest : public StreamRolePageTest, public ::testing::WithParamInterface<OddStrides> {
 protected:
  // User u1's bands, in the case's geometry, shown by the case's role.
  void ShowBands() {
    Publish("u1");
    ASSERT_TRUE(Writer("u1").SetGeometry(GetParam().geometry));
    ShowOn(GetParam().role, {"u1"});
    WriteFrame("u1", Bands());
    const auto out = Do({Command(Element(), "START_RENDER"), Run(kTickMs)});
    ASSERT_EQ(Presents(out, Element()), 1u);
  }

  // The middle of every band in the top, middle and bottom rows: in a sheared
  // picture the bands lean further over with every row.
  void ExpectUprightBands() {
    const std::array<Rgb, 3> bands = {kGreen, kRed, kWhite};
    const std::array<int, 3> columns = {10, 31, 52};
    for (const int row : {1, kFrameHeight / 2, kFrameHeight - 2}) {
      const auto pixels = FramePixels("u1", {{columns[0], row}, {columns[1], row}, {columns[2], row}});
      ASSERT_EQ(pixels.size(), bands.size());
      for (size_t band = 0; band < bands.size(); ++band) {
        EXPECT_TRUE(Shows(pixels[band], bands.at(band))) << "frame pixel " << columns.at(band) << "," << row;
      }
    }
  }
};

TEST_P(OddStrideTest, OnTheContextTheViewMadeBeforeTheRendererWasInitialised) {
  ShowBands();
  ExpectUprightBands();
}

TEST_P(OddStrideTest, AfterASecondInitAndAResize) {
  ShowBands();
  const auto again = InitAgain(400, 225);
  WriteFrame("u1", Bands());  // a new frame: drawn by both roles at the next tick
  const auto out = Do({Run(kTickMs)});
  EXPECT_GE(Presents(again, Element()) + Presents(out, Element()), 1u);
  const auto shown = PageHost().LastPresented(Element());
  ASSERT_TRUE(shown.has_value());
  ASSERT_EQ(shown->image.width, 400) << "not a picture of the context the resize made";
  ASSERT_EQ(shown->image.height, 225);
  ExpectUprightBands();
}

INSTANTIATE_TEST_SUITE_P(Roles, OddStrideTest,
                         ::testing::Values(OddStrides{"SingleStreamI420", Role::kSingleStream, OddI420()},
                                           OddStrides{"SingleStreamNV12", Role::kSingleStream, OddNV12()},
                                           OddStrides{"GalleryI420", Role::kGallery, OddI420()},
                                           OddStrides{"GalleryNV12", Role::kGallery, OddNV12()}),
                         [](const ::testing::TestParamInfo<OddStrides>& strides) { return strides.param.name; });

}  // namespace
}  // namespace module_test
