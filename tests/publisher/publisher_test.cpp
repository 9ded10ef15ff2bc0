#include <gtest/gtest.h>
#include <libyuv/convert_argb.h>
#include <libyuv/convert_from_argb.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "frame/frame_layout.h"
#include "frame/shm.h"
#include "frame/video_frame.h"
#include "publisher/pattern.h"
#include "publisher/stream_publisher.h"
#include "publisher/stream_settings.h"
#include "publisher/y4m_reader.h"

namespace {

using tallwick::publisher::ParseStreamSettings;
using tallwick::publisher::StreamPublisher;
using tallwick::publisher::StreamSettings;
using TALLWICK_PP_RENDER::kVideoFrameUpdating;

std::string UniqueName(const std::string& tag) { return "/tallwick-pub-" + tag + "-" + std::to_string(getpid()); }

StreamSettings Spec(const std::string& text) {
  StreamSettings spec;
  std::string error;
  EXPECT_TRUE(ParseStreamSettings(text, &spec, &error)) << error;
  return spec;
}

// Reads the segment back as the module does; the frame points into `shm`.
int32_t ReadBack(shoom::Shm& shm, TALLWICK_PP_RENDER::VideoFrame* frame) {
  if (shm.Open() != shoom::kOK) return -1;
  return TALLWICK_PP_RENDER::ParseVideoFrame(shm.Data(), frame, shm.Path());
}

const uint8_t* At(const uint8_t* plane, int32_t stride, int x, int y) {
  return plane + static_cast<ptrdiff_t>(y) * stride + x;
}

// A stream published into its own segment, read back as the module reads it.
class PublishedStream {
 public:
  explicit PublishedStream(const std::string& settings)
      : name_(UniqueName("p" + std::to_string(++count_))), publisher_(Spec("name=" + name_ + ";" + settings)) {
    std::string error;
    EXPECT_TRUE(publisher_.Start(&error)) << error;
    EXPECT_EQ(shm_.Open(), shoom::kOK);
  }

  // Publishes frame `frameId`; the result points into the segment.
  const TALLWICK_PP_RENDER::VideoFrame& Frame(int32_t frameId) {
    EXPECT_EQ(publisher_.Publish(frameId, StreamPublisher::Clock::now()), StreamPublisher::Step::kWritten);
    EXPECT_EQ(TALLWICK_PP_RENDER::ParseVideoFrame(shm_.Data(), &frame_, name_), 0);
    return frame_;
  }

  // The luma of rows [y0, y1) and columns [x0, x1) of frame `frameId`.
  std::vector<uint8_t> Luma(int32_t frameId, int x0, int y0, int x1, int y1) {
    const auto& frame = Frame(frameId);
    std::vector<uint8_t> luma;
    for (int y = y0; y < y1; ++y)
      luma.insert(luma.end(), At(frame.plan0, frame.planS0, x0, y), At(frame.plan0, frame.planS0, x1, y));
    return luma;
  }

 private:
  static inline int count_ = 0;
  std::string name_;
  StreamPublisher publisher_;
  shoom::Shm shm_{name_, 0};
  TALLWICK_PP_RENDER::VideoFrame frame_;
};

// RGB of the 2x2 block at (x, y) of an I420 frame, by libyuv's conversion.
std::array<int, 3> RgbAt(const TALLWICK_PP_RENDER::VideoFrame& frame, int x, int y) {
  std::array<uint8_t, 16> bgra{};
  libyuv::I420ToARGB(At(frame.plan0, frame.planS0, x, y), frame.planS0, At(frame.plan1, frame.planS1, x / 2, y / 2),
                     frame.planS1, At(frame.plan2, frame.planS2, x / 2, y / 2), frame.planS2, bgra.data(), 8, 2, 2);
  return {bgra[2], bgra[1], bgra[0]};
}

TEST(StreamSettingsTest, ParsesEverySettingAndRefusesNonsense) {
  const StreamSettings spec = Spec(
      "name=/a;uid=u9;sid=s9;screen=1;width=640;height=361;format=NV12;padding=64;"
      "rotation=90;flip=true;pattern=solid:1,2,3;label=1 ADA;stop-after=5;pause-at=2;pause-ms=300;die-at=9");
  EXPECT_EQ(spec.name, "/a");
  EXPECT_TRUE(spec.isScreen);
  EXPECT_EQ(spec.height, 361);
  EXPECT_EQ(spec.format, tallwick::frame::kFormatNV12);
  EXPECT_EQ(spec.pattern, "solid:1,2,3");
  EXPECT_EQ(spec.label, "1 ADA");
  EXPECT_EQ(spec.pauseMs, 300);
  EXPECT_EQ(spec.dieAt, 9);

  for (const char* bad : {"uid=u1", "name=/a;width=0", "name=/a;width=12x", "name=/a;format=RGBA", "name=/a;colour=1",
                          "name=/a;flip=maybe", "name=/a;novalue", "name=/a;label=1234567890123456789012345"}) {
    StreamSettings ignored;
    std::string error;
    EXPECT_FALSE(ParseStreamSettings(bad, &ignored, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(StreamSettingsTest, ErrorsSayWhatIsAccepted) {
  StreamSettings ignored;
  std::string error;
  EXPECT_TRUE(ParseStreamSettings("name=/a;label=123456789012345678901234", &ignored, &error)) << "24 is allowed";
  EXPECT_FALSE(ParseStreamSettings("name=/a;label=123456789012345678901234X", &ignored, &error));
  EXPECT_NE(error.find("at most 24 characters"), std::string::npos) << error;
  EXPECT_FALSE(ParseStreamSettings("name=/a;colour=1", &ignored, &error));
  EXPECT_NE(error.find("label"), std::string::npos) << "lists the known keys: " << error;
}

// The segment list is JSON: a name, uid or sid it cannot carry is refused
// while parsing, not when the list is printed after the segments exist.
TEST(StreamSettingsTest, ListedTextsMustBeUtf8) {
  for (const char* bad : {"name=/a\xbc",
                          "name=/a;uid=u\xbc"
                          "1",
                          "name=/a;sid=\xc3"}) {
    StreamSettings ignored;
    std::string error;
    EXPECT_FALSE(ParseStreamSettings(bad, &ignored, &error)) << bad;
    EXPECT_NE(error.find("UTF-8"), std::string::npos) << error;
  }
  const StreamSettings spec = Spec("name=/kamera-\xc3\xa4;uid=\xe7\x94\xa8;label=\xbc");
  const std::string diff = tallwick::publisher::StreamPublisher(spec).DiffJson();
  EXPECT_NE(diff.find("\"uid\":\"\xe7\x94\xa8\""), std::string::npos) << "UTF-8 passes through: " << diff;
}

TEST(PatternTest, SolidColoursFollowBt601VideoRange) {
  const auto white = tallwick::publisher::RgbToYuv(255, 255, 255);
  const auto black = tallwick::publisher::RgbToYuv(0, 0, 0);
  const auto red = tallwick::publisher::RgbToYuv(255, 0, 0);
  EXPECT_NEAR(white.y, 235, 1);
  EXPECT_NEAR(black.y, 16, 1);
  EXPECT_NEAR(white.u, 128, 1);
  EXPECT_NEAR(red.y, 82, 1);
  EXPECT_NEAR(red.v, 240, 1);
}

// libyuv's BT.601 values for one colour: a 2x2 block of it converted to I420.
tallwick::publisher::YuvColour LibyuvRgbToYuv(uint8_t red, uint8_t green, uint8_t blue) {
  std::array<uint8_t, 16> argb{};
  for (size_t pixel = 0; pixel < 4; ++pixel) {
    argb[pixel * 4 + 0] = blue;  // libyuv's ARGB is B, G, R, A in memory
    argb[pixel * 4 + 1] = green;
    argb[pixel * 4 + 2] = red;
    argb[pixel * 4 + 3] = 255;
  }
  std::array<uint8_t, 4> y{};
  uint8_t u = 0;
  uint8_t v = 0;
  libyuv::ARGBToI420(argb.data(), 8, y.data(), 2, &u, 1, &v, 1, 2, 2);
  return {y[0], u, v};
}

TEST(PatternTest, ConversionGivesLibyuvsAnswers) {
  for (int r = 0; r < 256; r += 5) {
    for (int g = 0; g < 256; g += 3) {
      for (int b = 0; b < 256; b += 7) {
        const auto expected = LibyuvRgbToYuv(r, g, b);
        const auto got = tallwick::publisher::RgbToYuv(r, g, b);
        ASSERT_TRUE(got.y == expected.y && got.u == expected.u && got.v == expected.v) << r << "," << g << "," << b;
      }
    }
  }
}

TEST(PatternTest, UnknownOrMalformedPatternsAreRefused) {
  const auto geometry = tallwick::frame::MakeGeometry(8, 8, tallwick::frame::kFormatI420);
  for (const char* bad :
       {"plaid", "solid:1,2", "solid:1,2,300", "tile:1,2", "tile:0,0,256", "tile:red", "y4m:/no/such/file.y4m"}) {
    std::string error;
    EXPECT_EQ(tallwick::publisher::MakeSource(bad, geometry, &error), nullptr) << bad;
    EXPECT_FALSE(error.empty());
  }
}

TEST(LabelTest, DrawnLargeAtTheBottomLeftAndTellsStreamsApart) {
  constexpr int kW = 320;
  constexpr int kH = 180;
  const std::string grey = "width=320;height=180;pattern=solid:128,128,128";
  PublishedStream plain(grey);
  PublishedStream ada(grey + ";label=1 ADA");
  EXPECT_EQ(ada.Luma(1, 0, 0, kW, kH / 2), plain.Luma(1, 0, 0, kW, kH / 2)) << "the top half is the pattern's";
  EXPECT_NE(ada.Luma(1, 0, kH / 2, kW / 2, kH), plain.Luma(1, 0, kH / 2, kW / 2, kH));

  // White ink only in the bottom-left quarter, about an eighth of the height.
  const auto& frame = ada.Frame(1);
  int top = kH;
  int bottom = -1;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      if (*At(frame.plan0, frame.planS0, x, y) < 200) continue;
      EXPECT_TRUE(x < kW / 2 && y >= kH / 2) << x << "," << y;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  EXPECT_GE(bottom - top + 1, kH / 10);
  EXPECT_LE(bottom - top + 1, kH / 6);

  PublishedStream ben(grey + ";label=2 BEN");
  PublishedStream lower(grey + ";label=1 ada");
  PublishedStream unknown(grey + ";label=1 AD?");
  const auto corner = [](PublishedStream& s) { return s.Luma(1, 0, kH / 2, kW / 2, kH); };
  EXPECT_NE(corner(ben), corner(ada));
  EXPECT_EQ(corner(lower), corner(ada)) << "lower case draws as upper case";
  EXPECT_NE(corner(unknown), corner(ada)) << "an unknown character still draws (a box)";
}

TEST(TileTest, ShowsItsColourThroughTheGradient) {
  PublishedStream tile("width=320;height=180;pattern=tile:200,60,30");
  // Frame 1's band is at the left edge; the middle of the gradient is the colour.
  const auto rgb = RgbAt(tile.Frame(1), 160, 90);
  EXPECT_NEAR(rgb[0], 200, 8);
  EXPECT_NEAR(rgb[1], 60, 8);
  EXPECT_NEAR(rgb[2], 30, 8);
  const auto& frame = tile.Frame(1);
  EXPECT_GT(*At(frame.plan0, frame.planS0, 300, 40), *At(frame.plan0, frame.planS0, 300, 170)) << "lighter at the top";
}

TEST(TileTest, MovesEveryFrame) {
  PublishedStream tile("width=64;height=36;pattern=tile:20,160,90");
  std::vector<uint8_t> previous = tile.Luma(1, 0, 18, 64, 19);
  for (int32_t frameId = 2; frameId < 80; ++frameId) {  // past a wrap-around
    std::vector<uint8_t> middleRow = tile.Luma(frameId, 0, 18, 64, 19);
    EXPECT_NE(middleRow, previous) << "frame " << frameId;
    previous = std::move(middleRow);
  }
}

TEST(TileTest, Nv12WithPaddingKeepsColourAndLeavesPaddingAlone) {
  PublishedStream tile("width=64;height=36;format=NV12;padding=6;pattern=tile:0,0,255;label=X");
  const auto& frame = tile.Frame(3);
  ASSERT_EQ(frame.planS0, 70);
  ASSERT_EQ(frame.planS1, 70);
  for (int y = 0; y < 36; ++y) {
    for (int x = 64; x < 70; ++x) EXPECT_EQ(frame.plan0[y * 70 + x], 0) << "luma padding, row " << y;
  }
  for (int y = 0; y < 18; ++y) {
    for (int x = 64; x < 70; ++x) EXPECT_EQ(frame.plan1[y * 70 + x], 0) << "chroma padding, row " << y;
  }
  const auto blue = tallwick::publisher::RgbToYuv(0, 0, 255);
  EXPECT_EQ(frame.plan1[9 * 70 + 2 * 20], blue.u);
  EXPECT_EQ(frame.plan1[9 * 70 + 2 * 20 + 1], blue.v);
  EXPECT_NEAR(frame.plan0[18 * 70 + 40], blue.y, 12);
}

TEST(StreamPublisherTest, SolidNv12FrameWithPaddingReadsBackExactly) {
  const std::string name = UniqueName("nv12");
  StreamPublisher publisher(Spec("name=" + name + ";width=6;height=4;format=NV12;padding=2;pattern=solid:255,0,0"));
  std::string error;
  ASSERT_TRUE(publisher.Start(&error)) << error;
  ASSERT_EQ(publisher.Publish(1, StreamPublisher::Clock::now()), StreamPublisher::Step::kWritten);

  shoom::Shm shm(name, 0);
  TALLWICK_PP_RENDER::VideoFrame frame;
  ASSERT_EQ(ReadBack(shm, &frame), 0);
  EXPECT_EQ(frame.frameId, 1);
  EXPECT_EQ(frame.planS0, 8);
  EXPECT_EQ(frame.planS1, 8);
  const auto red = tallwick::publisher::RgbToYuv(255, 0, 0);
  for (int row = 0; row < 4; ++row) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(frame.plan0[row * 8 + x], red.y);
    EXPECT_EQ(frame.plan0[row * 8 + 6], 0) << "padding is left alone";
  }
  for (int row = 0; row < 2; ++row) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(frame.plan1[row * 8 + 2 * x], red.u);
      EXPECT_EQ(frame.plan1[row * 8 + 2 * x + 1], red.v);
    }
  }
}

TEST(StreamPublisherTest, FaultPlanStopsPausesAndDiesMidFrame) {
  const std::string name = UniqueName("faults");
  StreamPublisher publisher(Spec("name=" + name + ";width=16;height=8;stop-after=4;pause-at=2;pause-ms=100;die-at=9"));
  std::string error;
  ASSERT_TRUE(publisher.Start(&error)) << error;
  const auto t0 = StreamPublisher::Clock::now();
  using Step = StreamPublisher::Step;
  EXPECT_EQ(publisher.Publish(1, t0), Step::kWritten);
  EXPECT_EQ(publisher.Publish(2, t0), Step::kSkipped) << "the pause starts";
  EXPECT_EQ(publisher.Publish(3, t0 + std::chrono::milliseconds(99)), Step::kSkipped);
  EXPECT_EQ(publisher.Publish(4, t0 + std::chrono::milliseconds(100)), Step::kWritten);
  EXPECT_EQ(publisher.Publish(5, t0 + std::chrono::milliseconds(200)), Step::kSkipped) << "stopped after 4";
  EXPECT_EQ(publisher.FramesWritten(), 2);

  const std::string dying = UniqueName("dying");
  StreamPublisher crash(Spec("name=" + dying + ";width=16;height=8;die-at=2"));
  ASSERT_TRUE(crash.Start(&error)) << error;
  EXPECT_EQ(crash.Publish(1, t0), Step::kWritten);
  EXPECT_EQ(crash.Publish(2, t0), Step::kDied);
  shoom::Shm shm(dying, 0);
  TALLWICK_PP_RENDER::VideoFrame frame;
  EXPECT_EQ(ReadBack(shm, &frame), kVideoFrameUpdating) << "the frame is left incomplete";
}

TEST(StreamPublisherTest, DiffDescribesTheSegment) {
  StreamPublisher publisher(Spec("name=/x;uid=u5;sid=s5;screen=1;width=640;height=360;format=I420"));
  EXPECT_EQ(publisher.DiffJson(),
            R"({"path":"/x","uid":"u5","sid":"s5","bufferSize":345652,"bufferNumber":1,"isScreen":true,)"
            R"("isMerge":false,"frameFormat":0})");
}

class Y4mTest : public ::testing::Test {
 protected:
  void SetUp() override { path_ = ::testing::TempDir() + "tallwick-" + std::to_string(getpid()) + ".y4m"; }
  void TearDown() override { std::remove(path_.c_str()); }

  // Two 4x2 frames: luma 10+i / 20+i, chroma 2x1 per plane.
  void WriteFile(const std::string& header) {
    std::ofstream out(path_, std::ios::binary);
    out << header << "\n";
    for (uint8_t f = 0; f < 2; ++f) {
      out << "FRAME\n";
      for (uint8_t i = 0; i < 8; ++i) out.put(static_cast<char>(10 * (f + 1) + i));
      for (uint8_t i = 0; i < 4; ++i) out.put(static_cast<char>(100 + f * 10 + i));
    }
  }
  std::string path_;
};

TEST_F(Y4mTest, ReadsFramesAndStartsOver) {
  WriteFile("YUV4MPEG2 W4 H2 F30:1 Ip A1:1 C420jpeg");
  tallwick::publisher::Y4mReader reader;
  std::string error;
  ASSERT_TRUE(reader.Open(path_, &error)) << error;
  std::vector<uint8_t> planes;
  ASSERT_TRUE(reader.NextFrame(&planes));
  EXPECT_EQ(planes.size(), 12u);
  EXPECT_EQ(planes[0], 10);
  ASSERT_TRUE(reader.NextFrame(&planes));
  EXPECT_EQ(planes[0], 20);
  ASSERT_TRUE(reader.NextFrame(&planes));
  EXPECT_EQ(planes[0], 10) << "back to the first frame";
}

TEST_F(Y4mTest, RefusesOtherSubsamplingAndMismatchedSizes) {
  WriteFile("YUV4MPEG2 W4 H2 C444");
  tallwick::publisher::Y4mReader reader;
  std::string error;
  EXPECT_FALSE(reader.Open(path_, &error));
  WriteFile("YUV4MPEG2 W4 H2");
  std::string sizeError;
  const auto geometry = tallwick::frame::MakeGeometry(8, 2, tallwick::frame::kFormatI420);
  EXPECT_EQ(tallwick::publisher::MakeY4mSource(path_, geometry, &sizeError), nullptr);
  EXPECT_NE(sizeError.find("width=4;height=2"), std::string::npos) << sizeError;
}

// The header's size decides how much is allocated per frame: sizes beyond
// what a stream may have, or numbers that are not numbers, are refused.
TEST_F(Y4mTest, RefusesSizesNoStreamCanHave) {
  for (const char* header : {"YUV4MPEG2 W99999 H99999", "YUV4MPEG2 W2147483647 H1", "YUV4MPEG2 W4 H99999999999",
                             "YUV4MPEG2 W8193 H2", "YUV4MPEG2 W-4 H2", "YUV4MPEG2 W4x H2"}) {
    WriteFile(header);
    tallwick::publisher::Y4mReader reader;
    std::string error;
    EXPECT_FALSE(reader.Open(path_, &error)) << header;
    EXPECT_NE(error.find("up to 8192"), std::string::npos) << error;
  }
  WriteFile("YUV4MPEG2 W8192 H2");
  tallwick::publisher::Y4mReader reader;
  std::string error;
  EXPECT_TRUE(reader.Open(path_, &error)) << "the largest side is allowed: " << error;
}

}  // namespace
