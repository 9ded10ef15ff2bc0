#include <gtest/gtest.h>
#include <libyuv.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "devhost/host.h"
#include "devhost/scripted_host.h"
#include "frame/frame_layout.h"
#include "yuv/colour_bar_plugin.h"

namespace {

using tallwick::frame::kFormatI420;
using tallwick::frame::kFormatNV12;
using yuv_test::ColourBarFrame;

constexpr int kViewWidth = 640;
constexpr int kViewHeight = 360;
constexpr int kTolerance = 3;  // per channel, 0..255

struct Case {
  int format;  // kFormatNV12 or kFormatI420
  pphost::GlMode gl;
};

// The picture the GPU path must show, as RGBA: libyuv's BT.601 video-range
// conversion of the same frame.
std::vector<uint8_t> Reference(const ColourBarFrame& f) {
  std::vector<uint8_t> bgra(static_cast<size_t>(f.width) * f.height * 4);
  if (f.format == kFormatNV12) {
    libyuv::NV12ToARGB(f.y.data(), f.strideY, f.u.data(), f.strideUV, bgra.data(), f.width * 4, f.width, f.height);
  } else {
    libyuv::I420ToARGB(f.y.data(), f.strideY, f.u.data(), f.strideUV, f.v.data(), f.strideUV, bgra.data(), f.width * 4,
                       f.width, f.height);
  }
  return bgra;
}

class YuvPixelsTest : public ::testing::TestWithParam<Case> {};

TEST_P(YuvPixelsTest, ColourBarsMatchTheCpuConversionAndHideThePadding) {
  const ColourBarFrame frame = yuv_test::MakeColourBars(1280, 720, 64, GetParam().format);
  yuv_test::SetFrame(&frame);
  pphost::HostOptions options = devhost_test::VirtualClock();
  options.gl = GetParam().gl;
  devhost_test::ScriptedHost page(options, yuv_test::ColourBarPluginEntryPoints());
  page.Execute({R"({"op":"create","id":"bars","attrs":[]})", R"({"op":"view","id":"bars","rect":[0,0,640,360]})",
                R"({"op":"message","id":"bars","msg":"draw"})", R"({"op":"run","ms":100})"});
  const auto shown = page.Host().LastPresented(devhost_test::Json("bars"));
  yuv_test::SetFrame(nullptr);
  ASSERT_TRUE(shown.has_value());
  ASSERT_GE(shown->swaps, 1);
  const pphost::PresentedImage& image = shown->image;
  ASSERT_EQ(image.width, kViewWidth);
  ASSERT_EQ(image.height, kViewHeight);

  const std::vector<uint8_t> reference = Reference(frame);
  // Bar centres and both outer columns, on several rows; the last column
  // would pick up the padding colour if the window reached it.
  std::vector<int> columns = {0, kViewWidth - 1};
  for (int bar = 0; bar < 8; ++bar) columns.push_back(bar * kViewWidth / 8 + kViewWidth / 16);
  for (int y : {0, kViewHeight / 2, kViewHeight - 1}) {
    for (int x : columns) {
      const uint8_t* got = image.At(x, y);
      const int sx = x * frame.width / kViewWidth;
      const int sy = y * frame.height / kViewHeight;
      const uint8_t* want = reference.data() + (static_cast<size_t>(sy) * frame.width + sx) * 4;
      for (int c = 0; c < 3; ++c) {
        EXPECT_LE(std::abs(got[c] - want[2 - c]), kTolerance)
            << "pixel (" << x << ", " << y << ") channel " << c << ": " << int(got[c]) << " vs " << int(want[2 - c]);
      }
      EXPECT_EQ(got[3], 255);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, YuvPixelsTest,
                         ::testing::Values(Case{kFormatI420, pphost::GlMode::kDefault},
                                           Case{kFormatNV12, pphost::GlMode::kDefault},
                                           Case{kFormatI420, pphost::GlMode::kStrictEs2},
                                           Case{kFormatNV12, pphost::GlMode::kStrictEs2}),
                         [](const auto& tested) {
                           return std::string(tested.param.format == kFormatNV12 ? "Nv12" : "I420") +
                                  (tested.param.gl == pphost::GlMode::kStrictEs2 ? "StrictEs2" : "Default");
                         });

}  // namespace
