#include "frame/video_frame.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "common/log_instance.h"
#include "frame/frame_layout.h"
#include "frame_test_support.h"
#include "header_only_memory.h"
#include "support/log_capture.h"
#include "support/manual_clock.h"

namespace {

using tallwick::frame::kStateComplete;
using tallwick::frame::kStateWriting;
using tallwick::test::Fields;
using tallwick::test::HeaderOnlyMemory;
using tallwick::test::RawHeader;
using TALLWICK_LOG::kLevelError;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_PP_RENDER::kVideoFrameDataNull;
using TALLWICK_PP_RENDER::kVideoFrameOk;
using TALLWICK_PP_RENDER::kVideoFrameUpdating;
using TALLWICK_PP_RENDER::ParseVideoFrame;
using TALLWICK_PP_RENDER::VideoFrame;

TEST(ParseVideoFrameTest, LocatesPlanesOfAnEvenHeight) {
  HeaderOnlyMemory memory;
  memory.Write(RawHeader{});
  VideoFrame frame;
  ASSERT_EQ(ParseVideoFrame(memory.Base(), &frame, "cam"), kVideoFrameOk);
  const uint8_t* base = memory.Base();
  EXPECT_EQ(frame.plan0, base + 52);
  EXPECT_EQ(frame.plan1, base + 52 + 230400);
  EXPECT_EQ(frame.plan2, base + 52 + 230400 + 57600);
}

TEST(ParseVideoFrameTest, ChromaRowsOfAnOddHeightRoundDown) {
  HeaderOnlyMemory memory;
  RawHeader header;
  header.height = 361;
  memory.Write(header);
  VideoFrame frame;
  ASSERT_EQ(ParseVideoFrame(memory.Base(), &frame, "cam"), kVideoFrameOk);
  constexpr ptrdiff_t kYBytes = ptrdiff_t{640} * 361;
  constexpr ptrdiff_t kUBytes = ptrdiff_t{320} * 180;
  EXPECT_EQ(frame.plan1, frame.plan0 + kYBytes);
  EXPECT_EQ(frame.plan2, frame.plan1 + kUBytes);
}

TEST(ParseVideoFrameTest, ReadsEachFieldFromItsOwnLittleEndianWordAtAnyAlignment) {
  // Distinct byte patterns per word catch swapped offsets and byte order.
  const uint8_t words[13][4] = {
      {0x04, 0x03, 0x02, 0x01},  // frameId
      {2, 0, 0, 0},              // state
      {0, 0, 0, 0},              // reserved
      {0x11, 0x01, 0, 0},        // width 0x111
      {0x22, 0, 0, 0},           // height 0x22
      {0x33, 0x01, 0, 0},        // planS0 0x133
      {0x44, 0, 0, 0},           // planS1 0x44
      {0x55, 0, 0, 0},           // planS2 0x55
      {0x0e, 0x01, 0, 0},        // rotation 270
      {0, 0, 0, 0x80},           // flip, high byte only
      {0, 0, 0, 0},              // reserved
      {2, 0, 0, 0},              // format NV12
      {0, 0, 0, 0},              // reserved
  };
  std::vector<uint8_t> bytes(1 + sizeof(words));
  const uint8_t* base = bytes.data() + 1;
  for (size_t i = 0; i < sizeof(words); ++i) bytes[1 + i] = words[i / 4][i % 4];

  VideoFrame frame;
  ASSERT_EQ(ParseVideoFrame(base, &frame, "cam"), kVideoFrameOk);
  EXPECT_EQ(frame.frameId, 0x01020304);
  EXPECT_EQ(frame.width, 0x111);
  EXPECT_EQ(frame.height, 0x22);
  EXPECT_EQ(frame.planS0, 0x133);
  EXPECT_EQ(frame.planS1, 0x44);
  EXPECT_EQ(frame.planS2, 0x55);
  EXPECT_EQ(frame.rotation, 270);
  EXPECT_TRUE(frame.flip);
  EXPECT_EQ(frame.format, 2);
}

TEST(ParseVideoFrameTest, FlipIsAnyNonZeroWord) {
  HeaderOnlyMemory memory;
  RawHeader header;
  for (uint32_t flip : {0u, 1u, 7u, 0xFFFFFFFFu}) {
    header.flip = flip;
    memory.Write(header);
    VideoFrame frame;
    ASSERT_EQ(ParseVideoFrame(memory.Base(), &frame, "cam"), kVideoFrameOk);
    EXPECT_EQ(frame.flip, flip != 0) << "flip word " << flip;
  }
}

TEST(ParseVideoFrameTest, ReservedWordsAreIgnored) {
  HeaderOnlyMemory memory;
  RawHeader header;
  memory.Write(header);
  VideoFrame plain;
  ASSERT_EQ(ParseVideoFrame(memory.Base(), &plain, "cam"), kVideoFrameOk);

  header.reserved0 = header.reserved1 = header.reserved2 = 0xFFFFFFFF;
  memory.Write(header);
  VideoFrame noisy;
  ASSERT_EQ(ParseVideoFrame(memory.Base(), &noisy, "cam"), kVideoFrameOk);
  EXPECT_EQ(Fields(noisy), Fields(plain));
}

TEST(ParseVideoFrameTest, PlaneOffsetsWrapAt32Bits) {
  HeaderOnlyMemory memory;
  RawHeader header;
  header.planS0 = 0x40000000;
  header.height = 4;  // plane 0 claims exactly 2^32 bytes
  memory.Write(header);
  VideoFrame frame;
  ASSERT_EQ(ParseVideoFrame(memory.Base(), &frame, "cam"), kVideoFrameOk);
  EXPECT_EQ(frame.plan1, frame.plan0);
}

TEST(ParseVideoFrameTest, IncompleteFrameLeavesTheRecordUntouched) {
  HeaderOnlyMemory memory;
  RawHeader header;
  header.frameId = 42;
  for (uint32_t state : {0u, kStateWriting, 3u, 0xFFFFFFFFu}) {
    header.state = state;
    memory.Write(header);
    VideoFrame fresh;
    EXPECT_EQ(ParseVideoFrame(memory.Base(), &fresh, "cam"), kVideoFrameUpdating) << "state " << state;
    EXPECT_EQ(Fields(fresh), Fields(VideoFrame{})) << "a fresh record keeps frameId -1";
  }

  header.state = kStateComplete;
  header.frameId = 7;
  memory.Write(header);
  VideoFrame last;
  ASSERT_EQ(ParseVideoFrame(memory.Base(), &last, "cam"), kVideoFrameOk);
  const VideoFrame kept = last;
  header.state = kStateWriting;
  header.frameId = 8;
  header.width = 1280;
  memory.Write(header);
  EXPECT_EQ(ParseVideoFrame(memory.Base(), &last, "cam"), kVideoFrameUpdating);
  EXPECT_EQ(Fields(last), Fields(kept));
}

TEST(ParseVideoFrameTest, NullDataLeavesTheRecordUntouched) {
  VideoFrame frame;
  frame.frameId = 5;
  const VideoFrame kept = frame;
  EXPECT_EQ(ParseVideoFrame(nullptr, &frame, "cam"), kVideoFrameDataNull);
  EXPECT_EQ(Fields(frame), Fields(kept));
}

// The two log lines, on a hand-moved clock.
class ParseVideoFrameLogTest : public ::testing::Test {
 protected:
  tallwick::test::ManualClock clock_{tallwick::test::FreshClockStartMs()};
  tallwick::test::LogCapture capture_;
};

TEST_F(ParseVideoFrameLogTest, NullDataLineIsWrittenOncePerInterval) {
  VideoFrame frame;
  for (int call = 0; call < 50; ++call) {
    EXPECT_EQ(ParseVideoFrame(nullptr, &frame, "cam-1"), kVideoFrameDataNull);
    clock_.AdvanceMs(20);
  }
  ASSERT_EQ(capture_.Lines().size(), 1u) << "fifty calls within one second";
  EXPECT_EQ(capture_.Lines()[0].text, "sid:cam-1 ParseVideoFrame - data nullptr");
  EXPECT_EQ(capture_.Lines()[0].level, kLevelError);

  // 1000 ms have passed; the line stays quiet until 5000 ms after it was written.
  clock_.AdvanceMs(3999);
  for (int call = 0; call < 50; ++call) ParseVideoFrame(nullptr, &frame, "cam-1");
  EXPECT_EQ(capture_.Lines().size(), 1u);
  clock_.AdvanceMs(1);
  ParseVideoFrame(nullptr, &frame, "cam-1");
  EXPECT_EQ(capture_.Lines().size(), 2u);
}

TEST_F(ParseVideoFrameLogTest, UpdatingLineHasItsOwnLimiter) {
  HeaderOnlyMemory memory;
  RawHeader header;
  header.state = kStateWriting;
  header.frameId = 42;
  memory.Write(header);
  VideoFrame frame;
  ParseVideoFrame(nullptr, &frame, "cam-2");
  for (int call = 0; call < 50; ++call) ParseVideoFrame(memory.Base(), &frame, "cam-2");

  const auto updating = capture_.Matching("is updating");
  ASSERT_EQ(updating.size(), 1u);
  EXPECT_EQ(updating[0], "sid:cam-2 ParseVideoFrame is updating - frameId: 42");
  EXPECT_EQ(capture_.Lines().back().level, kLevelInfo);
  EXPECT_EQ(capture_.Matching("data nullptr").size(), 1u);
}

}  // namespace
