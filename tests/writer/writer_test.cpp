// The writer's C interface, read back the way the module reads: through a
// read-only mapping, the frame parser and the bounds check.

#include "tallwick_frame_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/frame_layout.h"
#include "frame/frame_test_support.h"
#include "frame/read_only_segment.h"
#include "frame/segment_name.h"
#include "frame/shm.h"
#include "frame/video_frame.h"

namespace {

using tallwick::test::ReadOnlySegment;
using tallwick::test::ScopedSegmentName;
using TALLWICK_PP_RENDER::kVideoFrameOk;
using TALLWICK_PP_RENDER::kVideoFrameUpdating;
using TALLWICK_PP_RENDER::VideoFrame;

// Owns a writer made through the C interface.
struct Writer {
  Writer(const char* name, int32_t maxWidth, int32_t maxHeight) {
    EXPECT_EQ(tallwick_fw_create(name, maxWidth, maxHeight, &writer), TALLWICK_FW_OK);
  }
  ~Writer() { tallwick_fw_close(writer, 0); }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  tallwick_frame_writer* writer = nullptr;
};

// One source plane: `rows` rows of `rowBytes` bytes, `stride` apart, each
// byte a function of plane, row and column; the padding holds 0xee.
struct Plane {
  Plane(int plane, int32_t bytesInRow, int32_t rowCount, int32_t rowStride)
      : rowBytes(bytesInRow),
        rows(rowCount),
        stride(rowStride),
        bytes(static_cast<size_t>(rowStride) * rowCount, 0xee) {
    for (int32_t row = 0; row < rows; ++row) {
      for (int32_t column = 0; column < rowBytes; ++column) {
        bytes[static_cast<size_t>(row) * stride + column] = static_cast<uint8_t>(plane * 71 + row * 13 + column * 7);
      }
    }
  }

  // The rows as the reader sees them at `at`, `readerStride` apart.
  void ExpectAt(const uint8_t* at, int32_t readerStride) const {
    for (int32_t row = 0; row < rows; ++row) {
      ASSERT_EQ(std::memcmp(at + static_cast<size_t>(row) * readerStride, &bytes[static_cast<size_t>(row) * stride],
                            rowBytes),
                0)
          << "row " << row;
    }
  }

  int32_t rowBytes;
  int32_t rows;
  int32_t stride;
  std::vector<uint8_t> bytes;
};

TEST(WriterSizeTest, SegmentSizesFollowTheLayout) {
  uint64_t size = 0;
  ASSERT_EQ(tallwick_fw_frame_size(320, 180, &size), TALLWICK_FW_OK);
  EXPECT_EQ(size, 86452u);
  ASSERT_EQ(tallwick_fw_frame_size(33, 17, &size), TALLWICK_FW_OK);
  EXPECT_EQ(size, 52u + 33 * 17 + 2 * 17 * 8);
  ASSERT_EQ(tallwick_fw_frame_size(1, 1, &size), TALLWICK_FW_OK);
  EXPECT_EQ(size, 53u);

  EXPECT_EQ(tallwick_fw_frame_size(0, 10, &size), TALLWICK_FW_ERROR_BAD_SIZE);
  EXPECT_EQ(tallwick_fw_frame_size(10, -1, &size), TALLWICK_FW_ERROR_BAD_SIZE);
  EXPECT_EQ(tallwick_fw_frame_size(46341, 46341, &size), TALLWICK_FW_ERROR_TOO_LARGE);
  EXPECT_EQ(tallwick_fw_frame_size(INT32_MAX, INT32_MAX, &size), TALLWICK_FW_ERROR_TOO_LARGE);
  EXPECT_EQ(tallwick_fw_frame_size(10, 10, nullptr), TALLWICK_FW_ERROR_NULL_ARGUMENT);

  // The largest frame a reader maps still has a size.
  ASSERT_EQ(tallwick_fw_frame_size(INT32_MAX - 52, 1, &size), TALLWICK_FW_OK);
  EXPECT_EQ(size, uint64_t{INT32_MAX});
  EXPECT_EQ(tallwick_fw_frame_size(INT32_MAX - 51, 1, &size), TALLWICK_FW_ERROR_TOO_LARGE);
}

TEST(WriterCreateTest, RefusedArgumentsCreateNothing) {
  ScopedSegmentName name;
  tallwick_frame_writer* writer = reinterpret_cast<tallwick_frame_writer*>(&name);
  EXPECT_EQ(tallwick_fw_create(nullptr, 16, 16, &writer), TALLWICK_FW_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(tallwick_fw_create(name.CStr(), 16, 16, nullptr), TALLWICK_FW_ERROR_NULL_ARGUMENT);
  EXPECT_EQ(tallwick_fw_create("", 16, 16, &writer), TALLWICK_FW_ERROR_BAD_NAME);
  EXPECT_EQ(writer, nullptr);
  EXPECT_EQ(tallwick_fw_create(std::string(300, 'a').insert(0, "/").c_str(), 16, 16, &writer),
            TALLWICK_FW_ERROR_BAD_NAME);
#ifndef _WIN32
  EXPECT_EQ(tallwick_fw_create("tallwick-no-slash", 16, 16, &writer), TALLWICK_FW_ERROR_BAD_NAME);
  EXPECT_EQ(tallwick_fw_create("/tallwick/nested", 16, 16, &writer), TALLWICK_FW_ERROR_BAD_NAME);
  EXPECT_EQ(tallwick_fw_create("/", 16, 16, &writer), TALLWICK_FW_ERROR_BAD_NAME);
#endif
  EXPECT_EQ(tallwick_fw_create(name.CStr(), 0, 16, &writer), TALLWICK_FW_ERROR_BAD_SIZE);
  EXPECT_EQ(tallwick_fw_create(name.CStr(), 16, -16, &writer), TALLWICK_FW_ERROR_BAD_SIZE);
  EXPECT_EQ(tallwick_fw_create(name.CStr(), 65536, 65536, &writer), TALLWICK_FW_ERROR_TOO_LARGE);
  EXPECT_EQ(tallwick_fw_create_sized(name.CStr(), 51, &writer), TALLWICK_FW_ERROR_BAD_SIZE);
  EXPECT_EQ(tallwick_fw_create_sized(name.CStr(), uint64_t{1} << 31, &writer), TALLWICK_FW_ERROR_TOO_LARGE);
  EXPECT_EQ(writer, nullptr);

  // Nothing of that name exists afterwards.
  shoom::Shm probe(name.Get(), 0);
  EXPECT_NE(probe.Open(), shoom::kOK);
}

TEST(WriterCreateTest, TheSegmentHasTheAskedSizeAndNoCompleteFrame) {
  ScopedSegmentName name;
  Writer sized(name.CStr(), 320, 180);
  ASSERT_NE(sized.writer, nullptr);
  EXPECT_EQ(tallwick_fw_buffer_size(sized.writer), 86452u);
  ReadOnlySegment reader(name.Get());
  VideoFrame frame;
  EXPECT_EQ(reader.Read(&frame), kVideoFrameUpdating);

  ScopedSegmentName other;
  tallwick_frame_writer* bytes = nullptr;
  ASSERT_EQ(tallwick_fw_create_sized(other.CStr(), 100000, &bytes), TALLWICK_FW_OK);
  EXPECT_EQ(tallwick_fw_buffer_size(bytes), 100000u);
  tallwick_fw_close(bytes, 0);
  EXPECT_EQ(tallwick_fw_buffer_size(nullptr), 0u);
  tallwick_fw_close(nullptr, 0);
}

// I420 and NV12 frames from padded source planes, odd sizes among them,
// arrive row for row with the layout's strides and the header's fields.
TEST(WriterWriteTest, FramesReadBackThroughTheParserWithTheirPlanes) {
  struct Case {
    int32_t format;
    int32_t width;
    int32_t height;
    int32_t padding;
  };
  for (const Case& c : {Case{TALLWICK_FW_FORMAT_I420, 64, 36, 0}, Case{TALLWICK_FW_FORMAT_I420, 33, 17, 7},
                        Case{TALLWICK_FW_FORMAT_NV12, 64, 36, 16}, Case{TALLWICK_FW_FORMAT_NV12, 33, 17, 3}}) {
    SCOPED_TRACE(testing::Message() << "format " << c.format << ", " << c.width << "x" << c.height);
    ScopedSegmentName name;
    Writer writer(name.CStr(), 64, 36);
    ASSERT_NE(writer.writer, nullptr);
    ASSERT_EQ(tallwick_fw_set_orientation(writer.writer, 270, 1), TALLWICK_FW_OK);

    const bool nv12 = c.format == TALLWICK_FW_FORMAT_NV12;
    const int32_t chroma = (c.width + 1) / 2;
    const int32_t chromaRow = nv12 ? 2 * chroma : chroma;
    const Plane y(0, c.width, c.height, c.width + c.padding);
    const Plane u(1, chromaRow, c.height / 2, chromaRow + c.padding);
    const Plane v(2, chroma, c.height / 2, chroma + c.padding + 1);
    const tallwick_fw_error written =
        nv12 ? tallwick_fw_write_nv12(writer.writer, 41, c.width, c.height, y.bytes.data(), y.stride, u.bytes.data(),
                                      u.stride)
             : tallwick_fw_write_i420(writer.writer, 41, c.width, c.height, y.bytes.data(), y.stride, u.bytes.data(),
                                      u.stride, v.bytes.data(), v.stride);
    ASSERT_EQ(written, TALLWICK_FW_OK) << tallwick_fw_error_text(written);

    ReadOnlySegment reader(name.Get());
    VideoFrame frame;
    ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
    EXPECT_EQ(frame.frameId, 41);
    const tallwick::frame::FrameGeometry expected{c.width,   c.height,          c.format, c.width,
                                                  chromaRow, nv12 ? 0 : chroma, 270,      true};
    EXPECT_EQ(tallwick::test::GeometryFields(frame), tallwick::test::GeometryFields(expected));
    EXPECT_EQ(frame.plan0, reader.shm.Data() + 52);
    y.ExpectAt(frame.plan0, frame.planS0);
    u.ExpectAt(frame.plan1, frame.planS1);
    if (!nv12) v.ExpectAt(frame.plan2, frame.planS2);
    for (const size_t reserved :
         {tallwick::frame::kOffsetReserved0, tallwick::frame::kOffsetReserved1, tallwick::frame::kOffsetReserved2}) {
      EXPECT_EQ(tallwick::frame::LoadLE32(reader.shm.Data() + reserved), 0u);
    }
  }
}

// The two steps of a write, with the reader looking between them: it sees
// the previous frame until the begin, nothing complete until the commit, and
// the whole new frame after it.
TEST(WriterStepsTest, AReaderNeverTakesAFrameBeingWrittenAsComplete) {
  ScopedSegmentName name;
  Writer writer(name.CStr(), 32, 16);
  ASSERT_NE(writer.writer, nullptr);
  ReadOnlySegment reader(name.Get());
  VideoFrame frame;

  const std::vector<uint8_t> grey(size_t{32} * 16, 0x80);
  ASSERT_EQ(tallwick_fw_write_i420(writer.writer, 1, 32, 16, grey.data(), 32, grey.data(), 16, grey.data(), 16),
            TALLWICK_FW_OK);
  ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
  EXPECT_EQ(frame.frameId, 1);
  EXPECT_EQ(reader.State(), tallwick::frame::kStateComplete);

  // The next frame: NV12, 16x8, a Y plane of 128 bytes and a UV plane of 64.
  constexpr size_t kYBytes = 128;
  constexpr size_t kUVBytes = 64;
  uint8_t* planes[3] = {};
  int32_t strides[3] = {};
  ASSERT_EQ(tallwick_fw_begin(writer.writer, TALLWICK_FW_FORMAT_NV12, 16, 8, planes, strides), TALLWICK_FW_OK);
  EXPECT_NE(reader.State(), tallwick::frame::kStateComplete);
  EXPECT_EQ(reader.Read(&frame), kVideoFrameUpdating);
  EXPECT_EQ(strides[0], 16);
  EXPECT_EQ(planes[1], planes[0] + kYBytes);
  EXPECT_EQ(strides[1], 16);
  EXPECT_EQ(planes[2], nullptr);
  EXPECT_EQ(strides[2], 0);

  std::memset(planes[0], 0x10, kYBytes);
  EXPECT_EQ(reader.Read(&frame), kVideoFrameUpdating);
  std::memset(planes[1], 0xf0, kUVBytes);
  EXPECT_EQ(reader.Read(&frame), kVideoFrameUpdating);
  EXPECT_EQ(frame.frameId, 1);  // the refused reads left the last frame as it was

  ASSERT_EQ(tallwick_fw_commit(writer.writer, 2), TALLWICK_FW_OK);
  ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
  EXPECT_EQ(frame.frameId, 2);
  EXPECT_EQ(frame.format, TALLWICK_FW_FORMAT_NV12);
  EXPECT_EQ(frame.width, 16);
  EXPECT_EQ(frame.plan0[0], 0x10);
  EXPECT_EQ(frame.plan0[kYBytes - 1], 0x10);
  EXPECT_EQ(frame.plan1[0], 0xf0);
  EXPECT_EQ(frame.plan1[kUVBytes - 1], 0xf0);
  EXPECT_EQ(frame.plan1[kUVBytes], 0x80);  // the first frame's bytes after the new one

  // A commit needs its own begin.
  EXPECT_EQ(tallwick_fw_commit(writer.writer, 3), TALLWICK_FW_ERROR_WRONG_STEP);
  EXPECT_EQ(tallwick_fw_commit(nullptr, 3), TALLWICK_FW_ERROR_NULL_ARGUMENT);
  ASSERT_EQ(tallwick_fw_begin(writer.writer, TALLWICK_FW_FORMAT_I420, 16, 8, planes, strides), TALLWICK_FW_OK);
  EXPECT_EQ(tallwick_fw_commit(writer.writer, -1), TALLWICK_FW_ERROR_BAD_FRAME_ID);
  EXPECT_EQ(reader.Read(&frame), kVideoFrameUpdating);
  EXPECT_EQ(tallwick_fw_commit(writer.writer, 3), TALLWICK_FW_OK);
  ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
  EXPECT_EQ(frame.frameId, 3);
}

// Every refused call returns its code and leaves the segment byte for byte
// as it was, the last complete frame included.
TEST(WriterRefusalTest, RefusedFramesWriteNothing) {
  ScopedSegmentName name;
  Writer writer(name.CStr(), 32, 16);
  tallwick_frame_writer* w = writer.writer;
  ASSERT_NE(w, nullptr);
  const std::vector<uint8_t> source(size_t{64} * 64, 0x55);
  const uint8_t* p = source.data();
  ASSERT_EQ(tallwick_fw_write_i420(w, 7, 32, 16, p, 32, p, 16, p, 16), TALLWICK_FW_OK);
  ReadOnlySegment reader(name.Get());
  const std::vector<uint8_t> before = reader.Bytes();

  struct Refusal {
    const char* what;
    tallwick_fw_error got;
    tallwick_fw_error expected;
  };
  uint8_t* planes[3] = {};
  int32_t strides[3] = {};
  const Refusal refusals[] = {
      {"zero width", tallwick_fw_write_i420(w, 8, 0, 16, p, 32, p, 16, p, 16), TALLWICK_FW_ERROR_BAD_SIZE},
      {"zero height", tallwick_fw_write_nv12(w, 8, 32, 0, p, 32, p, 32), TALLWICK_FW_ERROR_BAD_SIZE},
      {"negative width", tallwick_fw_write_i420(w, 8, -32, 16, p, 32, p, 16, p, 16), TALLWICK_FW_ERROR_BAD_SIZE},
      {"negative height", tallwick_fw_write_nv12(w, 8, 32, -2, p, 32, p, 32), TALLWICK_FW_ERROR_BAD_SIZE},
      {"y stride below the width", tallwick_fw_write_i420(w, 8, 32, 16, p, 31, p, 16, p, 16),
       TALLWICK_FW_ERROR_BAD_STRIDE},
      {"negative stride", tallwick_fw_write_i420(w, 8, 32, 16, p, -32, p, 16, p, 16), TALLWICK_FW_ERROR_BAD_STRIDE},
      {"u stride below the chroma width", tallwick_fw_write_i420(w, 8, 31, 16, p, 31, p, 15, p, 16),
       TALLWICK_FW_ERROR_BAD_STRIDE},
      {"v stride below the chroma width", tallwick_fw_write_i420(w, 8, 32, 16, p, 32, p, 16, p, 15),
       TALLWICK_FW_ERROR_BAD_STRIDE},
      {"uv stride below two chroma widths", tallwick_fw_write_nv12(w, 8, 31, 16, p, 31, p, 31),
       TALLWICK_FW_ERROR_BAD_STRIDE},
      {"larger than the segment", tallwick_fw_write_i420(w, 8, 34, 16, p, 34, p, 17, p, 17),
       TALLWICK_FW_ERROR_DOES_NOT_FIT},
      {"taller than the segment", tallwick_fw_write_nv12(w, 8, 32, 18, p, 32, p, 32), TALLWICK_FW_ERROR_DOES_NOT_FIT},
      {"larger than a reader maps", tallwick_fw_write_i420(w, 8, 65536, 65536, p, 65536, p, 32768, p, 32768),
       TALLWICK_FW_ERROR_TOO_LARGE},
      {"null y", tallwick_fw_write_i420(w, 8, 32, 16, nullptr, 32, p, 16, p, 16), TALLWICK_FW_ERROR_NULL_ARGUMENT},
      {"null u", tallwick_fw_write_i420(w, 8, 32, 16, p, 32, nullptr, 16, p, 16), TALLWICK_FW_ERROR_NULL_ARGUMENT},
      {"null v", tallwick_fw_write_i420(w, 8, 32, 16, p, 32, p, 16, nullptr, 16), TALLWICK_FW_ERROR_NULL_ARGUMENT},
      {"null uv", tallwick_fw_write_nv12(w, 8, 32, 16, p, 32, nullptr, 32), TALLWICK_FW_ERROR_NULL_ARGUMENT},
      {"null writer", tallwick_fw_write_i420(nullptr, 8, 32, 16, p, 32, p, 16, p, 16), TALLWICK_FW_ERROR_NULL_ARGUMENT},
      {"frame id -1", tallwick_fw_write_nv12(w, -1, 32, 16, p, 32, p, 32), TALLWICK_FW_ERROR_BAD_FRAME_ID},
      {"unknown format", tallwick_fw_begin(w, 1, 32, 16, planes, strides), TALLWICK_FW_ERROR_BAD_FORMAT},
      {"begin larger than the segment", tallwick_fw_begin(w, TALLWICK_FW_FORMAT_I420, 32, 17, planes, strides),
       TALLWICK_FW_ERROR_DOES_NOT_FIT},
      {"begin without strides", tallwick_fw_begin(w, TALLWICK_FW_FORMAT_I420, 32, 16, planes, nullptr),
       TALLWICK_FW_ERROR_NULL_ARGUMENT},
      {"rotation 45", tallwick_fw_set_orientation(w, 45, 0), TALLWICK_FW_ERROR_BAD_ROTATION},
      {"rotation -90", tallwick_fw_set_orientation(w, -90, 0), TALLWICK_FW_ERROR_BAD_ROTATION},
  };
  for (const Refusal& refusal : refusals) {
    EXPECT_EQ(refusal.got, refusal.expected) << refusal.what << ": " << tallwick_fw_error_text(refusal.got);
  }
  EXPECT_EQ(reader.Bytes(), before);
  VideoFrame frame;
  ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
  EXPECT_EQ(frame.frameId, 7);
  EXPECT_EQ(frame.rotation, 0);

  // The largest frame that fits is still written after all that.
  EXPECT_EQ(tallwick_fw_write_nv12(w, 9, 32, 16, p, 32, p, 32), TALLWICK_FW_OK);
  ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
  EXPECT_EQ(frame.frameId, 9);
}

TEST(WriterErrorTextTest, EveryCodeHasItsOwnText) {
  std::vector<std::string> texts;
  for (int code = TALLWICK_FW_OK; code <= TALLWICK_FW_ERROR_BAD_FORMAT; ++code) {
    const char* text = tallwick_fw_error_text(static_cast<tallwick_fw_error>(code));
    ASSERT_NE(text, nullptr);
    EXPECT_NE(std::string(text), "unknown error code") << code;
    for (const std::string& earlier : texts) EXPECT_NE(earlier, text) << code;
    texts.emplace_back(text);
  }
  EXPECT_STREQ(tallwick_fw_error_text(static_cast<tallwick_fw_error>(99)), "unknown error code");
}

#ifndef _WIN32
// On POSIX the name outlives the writer only when asked to.
TEST(WriterCloseTest, CloseRemovesTheNameUnlessKept) {
  for (const int32_t keep : {0, 1}) {
    ScopedSegmentName name;
    tallwick_frame_writer* writer = nullptr;
    ASSERT_EQ(tallwick_fw_create(name.CStr(), 16, 8, &writer), TALLWICK_FW_OK);
    const std::vector<uint8_t> grey(size_t{16} * 8, 0x80);
    ASSERT_EQ(tallwick_fw_write_i420(writer, 5, 16, 8, grey.data(), 16, grey.data(), 8, grey.data(), 8),
              TALLWICK_FW_OK);
    tallwick_fw_close(writer, keep);
    if (keep == 0) {
      shoom::Shm probe(name.Get(), 0);
      EXPECT_NE(probe.Open(), shoom::kOK);
    } else {
      const ReadOnlySegment kept(name.Get());
      VideoFrame frame;
      EXPECT_EQ(kept.Parse(&frame), kVideoFrameOk);
      EXPECT_EQ(frame.frameId, 5);
    }
  }
}

// A kept segment reused by a new writer shows nothing until its first frame.
TEST(WriterCloseTest, AReusedSegmentHoldsNoCompleteFrame) {
  ScopedSegmentName name;
  tallwick_frame_writer* writer = nullptr;
  ASSERT_EQ(tallwick_fw_create(name.CStr(), 16, 8, &writer), TALLWICK_FW_OK);
  const std::vector<uint8_t> grey(size_t{16} * 8, 0x80);
  ASSERT_EQ(tallwick_fw_write_i420(writer, 5, 16, 8, grey.data(), 16, grey.data(), 8, grey.data(), 8), TALLWICK_FW_OK);
  tallwick_fw_close(writer, 1);

  Writer again(name.CStr(), 16, 8);
  ASSERT_NE(again.writer, nullptr);
  ReadOnlySegment reader(name.Get());
  VideoFrame frame;
  EXPECT_EQ(reader.Read(&frame), kVideoFrameUpdating);
  ASSERT_EQ(tallwick_fw_write_i420(again.writer, 6, 16, 8, grey.data(), 16, grey.data(), 8, grey.data(), 8),
            TALLWICK_FW_OK);
  ASSERT_EQ(reader.Read(&frame), kVideoFrameOk);
  EXPECT_EQ(frame.frameId, 6);
}
#endif

}  // namespace
