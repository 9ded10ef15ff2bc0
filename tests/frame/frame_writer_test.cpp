#include "writer/frame_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "frame/video_frame.h"
#include "frame_test_support.h"
#include "read_only_segment.h"
#include "segment_name.h"

namespace {

using tallwick::frame::FrameGeometry;
using tallwick::frame::FrameSegmentSize;
using tallwick::frame::FrameWriter;
using tallwick::frame::kFormatI420;
using tallwick::frame::kFormatNV12;
using tallwick::frame::MakeGeometry;
using tallwick::frame::PlaneSize;
using tallwick::test::GeometryFields;
using tallwick::test::ReadOnlySegment;
using tallwick::test::ScopedSegmentName;
using TALLWICK_PP_RENDER::kVideoFrameOk;
using TALLWICK_PP_RENDER::kVideoFrameUpdating;
using TALLWICK_PP_RENDER::VideoFrame;

TEST(FrameGeometryTest, DefaultStridesHoldARowPlusPadding) {
  const FrameGeometry i420 = MakeGeometry(641, 361, kFormatI420);
  EXPECT_EQ(i420.planS0, 641);
  EXPECT_EQ(i420.planS1, 321);
  EXPECT_EQ(i420.planS2, 321);
  EXPECT_EQ(FrameSegmentSize(i420), 52u + 641 * 361 + 2 * 321 * 180);

  const FrameGeometry nv12 = MakeGeometry(641, 361, kFormatNV12, 3);
  EXPECT_EQ(nv12.planS0, 644);
  EXPECT_EQ(nv12.planS1, 645);
  EXPECT_EQ(nv12.planS2, 0);
  EXPECT_EQ(FrameSegmentSize(nv12), 52u + 644 * 361 + 645 * 180);
}

std::vector<uint8_t> Filled(uint64_t bytes, uint8_t value) { return std::vector<uint8_t>(bytes, value); }

TEST(FrameWriterTest, AWrittenFrameParsesFitsAndCarriesThePlanes) {
  for (int32_t format : {kFormatI420, kFormatNV12}) {
    SCOPED_TRACE(format);
    ScopedSegmentName name;
    FrameGeometry geometry = MakeGeometry(33, 17, format, 5);
    geometry.rotation = 90;
    geometry.flip = true;
    FrameWriter writer(name.Get(), geometry);
    ASSERT_EQ(writer.Create(), shoom::kOK);
    const auto y = Filled(PlaneSize(geometry, 0), 0x10);
    const auto u = Filled(PlaneSize(geometry, 1), 0x80);
    const auto v = Filled(PlaneSize(geometry, 2), 0xf0);
    writer.WriteFrame(9, y.data(), u.data(), v.data());

    ReadOnlySegment reader(name.Get());
    VideoFrame frame;
    ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
    EXPECT_EQ(frame.frameId, 9);
    EXPECT_EQ(GeometryFields(frame), GeometryFields(geometry));
    EXPECT_EQ(std::memcmp(frame.plan0, y.data(), y.size()), 0);
    EXPECT_EQ(std::memcmp(frame.plan1, u.data(), u.size()), 0);
    if (format == kFormatI420) {
      EXPECT_EQ(std::memcmp(frame.plan2, v.data(), v.size()), 0);
    }
  }
}

TEST(FrameWriterTest, AFrameBeingWrittenReadsAsUpdating) {
  ScopedSegmentName name;
  const FrameGeometry geometry = MakeGeometry(16, 8, kFormatI420);
  FrameWriter writer(name.Get(), geometry);
  ASSERT_EQ(writer.Create(), shoom::kOK);
  ReadOnlySegment reader(name.Get());
  VideoFrame frame;
  EXPECT_EQ(reader.Parse(&frame), kVideoFrameUpdating) << "a new segment holds no frame";

  writer.WriteFrame(1, nullptr, nullptr, nullptr);
  ASSERT_EQ(reader.Parse(&frame), 0);
  const VideoFrame first = frame;

  writer.BeginFrame();
  std::memset(writer.Plane(0), 0xff, PlaneSize(geometry, 0));
  EXPECT_EQ(reader.Parse(&frame), kVideoFrameUpdating);
  EXPECT_EQ(tallwick::test::Fields(frame), tallwick::test::Fields(first));

  writer.EndFrame(2);
  ASSERT_EQ(reader.Parse(&frame), 0);
  EXPECT_EQ(frame.frameId, 2);
  EXPECT_EQ(frame.plan0[0], 0xff);
}

TEST(FrameWriterTest, GeometryChangesWithinTheSegment) {
  ScopedSegmentName name;
  const FrameGeometry small = MakeGeometry(16, 8, kFormatI420);
  const FrameGeometry large = MakeGeometry(32, 16, kFormatI420);
  FrameWriter writer(name.Get(), small, FrameSegmentSize(large));
  ASSERT_EQ(writer.Create(), shoom::kOK);
  EXPECT_EQ(writer.Segment().Size(), FrameSegmentSize(large));

  EXPECT_FALSE(writer.SetGeometry(MakeGeometry(33, 16, kFormatI420)));
  ASSERT_TRUE(writer.SetGeometry(large));
  writer.WriteFrame(3, nullptr, nullptr, nullptr);
  ReadOnlySegment reader(name.Get());
  VideoFrame frame;
  ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
  EXPECT_EQ(frame.width, 32);
  EXPECT_EQ(frame.plan1, reader.shm.Data() + (writer.Plane(1) - writer.Segment().Data()));
}

TEST(FrameWriterTest, TheWriterRemovesItsSegmentName) {
  ScopedSegmentName name;
  {
    FrameWriter writer(name.Get(), MakeGeometry(16, 8, kFormatI420));
    ASSERT_EQ(writer.Create(), shoom::kOK);
  }
  shoom::Shm late(name.Get(), 0);
  EXPECT_EQ(late.Open(), shoom::kErrorOpeningFailed);
}

}  // namespace
