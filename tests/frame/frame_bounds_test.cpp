#include "frame/frame_bounds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/log_instance.h"
#include "frame/frame_layout.h"
#include "frame/video_frame.h"
#include "frame_test_support.h"
#include "header_only_memory.h"
#include "support/log_capture.h"
#include "support/manual_clock.h"

namespace {

using tallwick::frame::kFormatNV12;
using tallwick::frame::kHeaderSize;
using tallwick::test::HeaderOnlyMemory;
using tallwick::test::kDefaultFrameBytes;
using tallwick::test::RawHeader;
using TALLWICK_LOG::kLevelWarning;
using TALLWICK_PP_RENDER::CheckVideoFrameBounds;
using TALLWICK_PP_RENDER::CheckVideoFrameTextures;
using TALLWICK_PP_RENDER::kVideoFrameOk;
using TALLWICK_PP_RENDER::kVideoFrameUndrawable;
using TALLWICK_PP_RENDER::ParseVideoFrame;
using TALLWICK_PP_RENDER::VideoFrame;

// Parses `header` from a segment of `mappedSize` bytes whose planes cannot be
// touched, then checks the frame against that size.
int32_t ParseAndCheck(const RawHeader& header, size_t mappedSize) {
  HeaderOnlyMemory memory(mappedSize);
  memory.Write(header);
  VideoFrame frame;
  EXPECT_EQ(ParseVideoFrame(memory.Base(), &frame, "cam"), kVideoFrameOk);
  return CheckVideoFrameBounds(frame, memory.Base(), mappedSize, "cam");
}

RawHeader NV12Header() {
  RawHeader header;
  header.format = kFormatNV12;
  header.planS1 = 640;
  header.planS2 = 0;
  return header;
}

constexpr size_t kNV12Bytes = kHeaderSize + (640 * 360 + 640 * 180);

TEST(CheckVideoFrameBoundsTest, AFrameFillingTheMappingExactlyFits) {
  EXPECT_EQ(ParseAndCheck(RawHeader{}, kDefaultFrameBytes), kVideoFrameOk);
  EXPECT_EQ(ParseAndCheck(RawHeader{}, kDefaultFrameBytes + 4096), kVideoFrameOk);
  EXPECT_EQ(ParseAndCheck(RawHeader{}, kDefaultFrameBytes - 1), kVideoFrameUndrawable);

  RawHeader longerRows;
  longerRows.planS2 = 321;  // plane 2 now ends 180 bytes past the mapping
  EXPECT_EQ(ParseAndCheck(longerRows, kDefaultFrameBytes), kVideoFrameUndrawable);
}

TEST(CheckVideoFrameBoundsTest, NV12HasNoThirdPlane) {
  for (uint32_t planS2 : {0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
    RawHeader header = NV12Header();
    header.planS2 = planS2;
    EXPECT_EQ(ParseAndCheck(header, kNV12Bytes), kVideoFrameOk) << "planS2 " << planS2;
  }
  EXPECT_EQ(ParseAndCheck(NV12Header(), kNV12Bytes - 1), kVideoFrameUndrawable);
}

TEST(CheckVideoFrameBoundsTest, OddWidthsNeedRoundedUpChromaRows) {
  RawHeader i420;
  i420.width = 641;
  i420.planS0 = 641;
  i420.planS1 = i420.planS2 = 321;
  const size_t i420Bytes = kHeaderSize + (641 * 360 + 2 * 321 * 180);
  EXPECT_EQ(ParseAndCheck(i420, i420Bytes), kVideoFrameOk);
  i420.planS2 = 320;
  EXPECT_EQ(ParseAndCheck(i420, i420Bytes), kVideoFrameUndrawable) << "V stride one short of a row";

  RawHeader nv12 = NV12Header();
  nv12.width = 641;
  nv12.planS0 = 641;
  nv12.planS1 = 642;
  const size_t nv12Bytes = kHeaderSize + (641 * 360 + 642 * 180);
  EXPECT_EQ(ParseAndCheck(nv12, nv12Bytes), kVideoFrameOk);
  nv12.planS1 = 641;
  EXPECT_EQ(ParseAndCheck(nv12, nv12Bytes), kVideoFrameUndrawable) << "UV stride one short of a row";
}

TEST(CheckVideoFrameBoundsTest, OneRowHasNoChromaRows) {
  RawHeader header;
  header.height = 1;
  EXPECT_EQ(ParseAndCheck(header, kHeaderSize + 640), kVideoFrameOk);
}

struct HostileCase {
  const char* what;
  RawHeader header;
};

std::vector<HostileCase> HostileHeaders() {
  std::vector<HostileCase> cases;
  auto add = [&cases](const char* what, auto change) {
    RawHeader header;
    change(header);
    cases.push_back({what, header});
  };
  add("zero width", [](RawHeader& h) { h.width = 0; });
  add("negative width", [](RawHeader& h) { h.width = 0xFFFFFD80; });
  add("zero height", [](RawHeader& h) { h.height = 0; });
  add("negative height", [](RawHeader& h) { h.height = 0xFFFFFE98; });
  add("zero Y stride", [](RawHeader& h) { h.planS0 = 0; });
  add("negative Y stride", [](RawHeader& h) { h.planS0 = 0xFFFFFD80; });
  add("zero U stride", [](RawHeader& h) { h.planS1 = 0; });
  add("zero V stride", [](RawHeader& h) { h.planS2 = 0; });
  add("RGBA is laid out as I420", [](RawHeader& h) { h.format = tallwick::frame::kFormatRGBA, h.planS2 = 0; });
  add("Y stride shorter than a row", [](RawHeader& h) { h.planS0 = 639; });
  add("U stride shorter than a row", [](RawHeader& h) { h.planS1 = 319; });
  add("huge Y stride", [](RawHeader& h) { h.planS0 = 0x7FFFFFFF; });
  add("huge stride and height", [](RawHeader& h) { h.planS0 = h.planS1 = h.planS2 = h.height = 0x7FFFFFFF; });
  add("huge chroma strides", [](RawHeader& h) { h.planS1 = h.planS2 = 0x7FFFFFFF; });
  // planS0 * height is exactly 2^32: in 32 bits plane 1 lands back on plane 0.
  add("Y plane size wraps 32 bits", [](RawHeader& h) { h.planS0 = 0x40000000, h.height = 4; });
  add("Y plane size wraps past the header",
      [](RawHeader& h) { h.planS0 = 0x10000, h.height = 0x10001, h.planS1 = h.planS2 = 320; });
  add("plane 2 position wraps", [](RawHeader& h) { h.planS1 = 0x7FFFFFFF, h.height = 4; });
  return cases;
}

TEST(CheckVideoFrameBoundsTest, RefusesHostileHeadersWithoutReadingThePlanes) {
  for (const HostileCase& hostile : HostileHeaders()) {
    EXPECT_EQ(ParseAndCheck(hostile.header, kDefaultFrameBytes), kVideoFrameUndrawable) << hostile.what;
  }
}

TEST(CheckVideoFrameBoundsTest, TinyMappings) {
  RawHeader header;
  header.width = header.height = header.planS0 = header.planS1 = header.planS2 = 1;
  EXPECT_EQ(ParseAndCheck(header, kHeaderSize + 1), kVideoFrameOk) << "one Y byte and no chroma rows";
  EXPECT_EQ(ParseAndCheck(header, kHeaderSize), kVideoFrameUndrawable) << "header only";
  EXPECT_EQ(ParseAndCheck(header, kHeaderSize - 1), kVideoFrameUndrawable) << "not even the header";
  EXPECT_EQ(ParseAndCheck(header, 0), kVideoFrameUndrawable);
}

TEST(CheckVideoFrameBoundsTest, RefusalIsLoggedThroughItsOwnLimiter) {
  tallwick::test::ManualClock clock(tallwick::test::FreshClockStartMs());
  tallwick::test::LogCapture capture;
  for (int call = 0; call < 10; ++call) ParseAndCheck(RawHeader{}, kDefaultFrameBytes - 1);
  ASSERT_EQ(capture.Lines().size(), 1u);
  EXPECT_EQ(capture.Lines()[0].level, kLevelWarning);
  EXPECT_EQ(capture.Lines()[0].text,
            "sid:cam frame cannot be drawn - plane 2 (planS2 x height/2) bytes: needs 345652, mapped 345651 - "
            "width:640 height:360 planS0:640 planS1:320 planS2:320 format:0");
  clock.AdvanceMs(5000);
  ParseAndCheck(RawHeader{}, kDefaultFrameBytes - 1);
  EXPECT_EQ(capture.Lines().size(), 2u);
}

// The line of a refusal names the field that fails and what the frame
// needs of it, so that a writer's developer sees which number is wrong.
TEST(CheckVideoFrameBoundsTest, TheRefusalNamesTheFieldThatFailsAndWhatItNeeds) {
  tallwick::test::ManualClock clock(tallwick::test::FreshClockStartMs());
  tallwick::test::LogCapture capture;
  const auto refusal = [&](const RawHeader& header) {
    clock.AdvanceMs(5000);
    ParseAndCheck(header, kDefaultFrameBytes);
    return capture.Lines().empty() ? std::string() : capture.Lines().back().text;
  };
  RawHeader narrowU;
  narrowU.planS1 = 300;
  EXPECT_NE(refusal(narrowU).find("- planS1: needs 320, has 300 -"), std::string::npos) << refusal(narrowU);
  RawHeader noWidth;
  noWidth.width = 0;
  EXPECT_NE(refusal(noWidth).find("- width: needs 1, has 0 -"), std::string::npos);
  RawHeader tall;
  tall.height = 600;
  EXPECT_NE(refusal(tall).find("- plane 0 (planS0 x height) bytes: needs 384052, mapped 345652 -"), std::string::npos)
      << refusal(tall);
}

TEST(CheckVideoFrameTexturesTest, EveryPlaneTextureSideIsHeldToTheLimit) {
  tallwick::test::ManualClock clock(tallwick::test::FreshClockStartMs());
  tallwick::test::LogCapture capture;
  VideoFrame frame;
  frame.width = 640;
  frame.height = 360;
  frame.planS0 = 700;
  frame.planS1 = frame.planS2 = 350;
  EXPECT_EQ(CheckVideoFrameTextures(frame, 700, "cam"), kVideoFrameOk);
  EXPECT_EQ(CheckVideoFrameTextures(frame, 0, "cam"), kVideoFrameOk) << "no limit known yet";
  EXPECT_EQ(CheckVideoFrameTextures(frame, 699, "cam"), kVideoFrameUndrawable);
  ASSERT_EQ(capture.Lines().size(), 1u);
  EXPECT_NE(capture.Lines()[0].text.find("- planS0 (texture width): needs 700, max texture size 699 -"),
            std::string::npos);
  frame.planS0 = 640;
  EXPECT_EQ(CheckVideoFrameTextures(frame, 359, "cam"), kVideoFrameUndrawable) << "360 rows";
  frame.height = 2;
  frame.planS2 = 400;
  EXPECT_EQ(CheckVideoFrameTextures(frame, 640, "cam"), kVideoFrameOk);
  EXPECT_EQ(CheckVideoFrameTextures(frame, 399, "cam"), kVideoFrameUndrawable) << "the V plane's stride";
  frame.format = kFormatNV12;
  frame.planS1 = 1280;  // 640 Cb/Cr pairs
  EXPECT_EQ(CheckVideoFrameTextures(frame, 640, "cam"), kVideoFrameOk) << "NV12: a texel per pair, no V plane";
  EXPECT_EQ(CheckVideoFrameTextures(frame, 639, "cam"), kVideoFrameUndrawable);
}

}  // namespace
