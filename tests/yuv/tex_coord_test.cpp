#include "yuv/tex_coord.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "yuv/shader_texts.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

TEST(ShaderTextsTest, HaveTheirExactLengthsAndEndWithoutLineBreak) {
  EXPECT_EQ(std::strlen(TALLWICK_PP_RENDER::kVertexShaderText), 792U);
  EXPECT_EQ(std::strlen(TALLWICK_PP_RENDER::kFragmentShaderText), 780U);
  for (const char* text :
       {TALLWICK_PP_RENDER::kVertexShaderText, TALLWICK_PP_RENDER::kFragmentShaderText,
        TALLWICK_PP_RENDER::kGalleryVertexShaderText, TALLWICK_PP_RENDER::kGalleryFragmentShaderText}) {
    const std::string s = text;
    EXPECT_EQ(s.substr(s.size() - 2), "} ");
  }
  // The conversion constants are shared by both renderers.
  for (const char* constant : {"1.1643828125", "1.59602734375", "0.87078515625", "0.39176171875", "0.81296875",
                               "0.52959375", "2.017234375", "1.081390625"}) {
    EXPECT_NE(std::strstr(TALLWICK_PP_RENDER::kFragmentShaderText, constant), nullptr) << constant;
    EXPECT_NE(std::strstr(TALLWICK_PP_RENDER::kGalleryFragmentShaderText, constant), nullptr) << constant;
  }
}

TALLWICK_PP_RENDER::TexCoords Cropped(float h, float v, float he, float ve, int rotation) {
  TALLWICK_PP_RENDER::TexCoords out{};
  TALLWICK_PP_RENDER::GenCroppedTexCoord(h, v, he, ve, rotation, out);
  return out;
}

TEST(TexCoordTest, PlainWindowStartsAtTheTopLeftTexel) {
  TALLWICK_PP_RENDER::TexCoords out{};
  TALLWICK_PP_RENDER::GenTexCoord(0.5F, 1.0F, out);
  EXPECT_THAT(out, ElementsAre(0, 0, 0.5F, 0, 0, 1, 0, 1, 0.5F, 0, 0.5F, 1));
  EXPECT_THAT(Cropped(0, 0, 1, 1, 0), ElementsAre(0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1));
}

TEST(TexCoordTest, CroppedWindowTurnsWithEachQuarter) {
  // H = [0.25, 0.75], V = [0.125, 0.625].
  const float h0 = 0.25F, h1 = 0.75F, v0 = 0.125F, v1 = 0.625F;
  EXPECT_THAT(Cropped(h0, v0, 0.5F, 0.5F, 0), ElementsAre(h0, v0, h1, v0, h0, v1, h0, v1, h1, v0, h1, v1));
  EXPECT_THAT(Cropped(h0, v0, 0.5F, 0.5F, 90), ElementsAre(v0, h1, v0, h0, v1, h1, v1, h1, v0, h0, v1, h0));
  EXPECT_THAT(Cropped(h0, v0, 0.5F, 0.5F, 180), ElementsAre(h1, v1, h0, v1, h1, v0, h1, v0, h0, v1, h0, v0));
  EXPECT_THAT(Cropped(h0, v0, 0.5F, 0.5F, 270), ElementsAre(v1, h0, v1, h1, v0, h0, v0, h0, v1, h1, v0, h1));
}

TEST(TexCoordTest, RotationsOtherThanQuarterTurnsDrawUpright) {
  const auto upright = Cropped(0.1F, 0.2F, 0.3F, 0.4F, 0);
  for (int rotation : {-90, 360, 45, 1}) {
    EXPECT_THAT(Cropped(0.1F, 0.2F, 0.3F, 0.4F, rotation), ElementsAreArray(upright)) << rotation;
  }
}

TEST(TexCoordTest, RotatedQuarterTurnKeepsSWithinItsValidWidth) {
  TALLWICK_PP_RENDER::TexCoords out{};
  TALLWICK_PP_RENDER::GenRotatedTexCoord(0.5F, 1.0F, 90, out);
  // Vertices (0,0), (1,0), (0,1), (0,1), (1,0), (1,1): s = 0 on the top row
  // and 0.5 on the bottom row, t = 1 at the left edge and 0 at the right.
  EXPECT_THAT(out, ElementsAre(0, 1, 0, 0, 0.5F, 1, 0.5F, 1, 0, 0, 0.5F, 0));
  TALLWICK_PP_RENDER::GenRotatedTexCoord(0.5F, 1.0F, 270, out);
  EXPECT_THAT(out, ElementsAre(0.5F, 0, 0.5F, 1, 0, 0, 0, 0, 0.5F, 1, 0, 1));
  TALLWICK_PP_RENDER::GenRotatedTexCoord(0.5F, 1.0F, 180, out);
  EXPECT_THAT(out, ElementsAre(0.5F, 1, 0, 1, 0.5F, 0, 0.5F, 0, 0, 1, 0, 0));
}

}  // namespace
