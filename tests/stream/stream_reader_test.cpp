// The stream reader on its own: a registry and segments made by the test,
// frames written by the frame writer, time from a manual clock.
#include "stream/stream_reader.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/rate_limiter.h"
#include "frame/segment_name.h"
#include "support/log_capture.h"
#include "support/manual_clock.h"
#include "writer/frame_writer.h"

namespace {

using tallwick::frame::FrameWriter;
using tallwick::frame::MakeGeometry;
using TALLWICK_PP_RENDER::kStatusNoFrame;
using TALLWICK_PP_RENDER::kStatusNone;
using TALLWICK_PP_RENDER::kStatusNormal;
using TALLWICK_PP_RENDER::SharedMemoryRegistry;
using TALLWICK_PP_RENDER::ShareMemoryDiff;
using TALLWICK_PP_RENDER::StreamReader;
using TALLWICK_PP_RENDER::VideoFrame;
using Read = TALLWICK_PP_RENDER::StreamReader::Read;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int64_t kTimeoutMs = 2000;
const std::string kKey = "u1_CAMERA";
const std::string kSid = "s1";

// Every finding as one line, in the order the reader reports them.
class RecordingReport : public StreamReader::Report {
 public:
  void EntryMissing(const std::string& key) override { lines.push_back("missing " + key); }
  void EntryFound(const std::string& key, const std::string& path) override {
    lines.push_back("found " + key + " " + path);
  }
  void OpenFailed(const std::string& key, const std::string& path, uint32_t size, const std::string& reason) override {
    lines.push_back("failed " + key + " " + path + " " + std::to_string(size) + (reason.empty() ? "" : " with reason"));
  }
  void Opened(const std::string& key, const std::string& path, uint32_t size) override {
    lines.push_back("opened " + key + " " + path + " " + std::to_string(size));
  }
  void NoSegment() override { lines.push_back("NO_FRAME no segment"); }
  void FramesStopped() override { lines.push_back("NO_FRAME stopped"); }
  void FramesResumed() override { lines.push_back("NORMAL_FRAME"); }
  void FrameTorn(int32_t frameId, uint64_t tears) override {
    lines.push_back("torn " + std::to_string(frameId) + " " + std::to_string(tears));
  }
  void FrameUndrawable() override { lines.push_back("undrawable"); }

  // The lines since the last call.
  std::vector<std::string> Take() { return std::exchange(lines, {}); }

  std::vector<std::string> lines;
};

// User u1's camera: a 64 x 36 I420 segment written by the test, and a
// registry record for it.
class StreamReaderTest : public ::testing::Test {
 protected:
  StreamReaderTest() : writer_(name_.Get(), MakeGeometry(64, 36, tallwick::frame::kFormatI420, 16)) {
    EXPECT_EQ(writer_.Create(), shoom::kOK);
  }

  // Registers the segment under u1's camera key with `size` bytes (default:
  // what the segment holds).
  void Register(int64_t size = -1, const std::string& path = "") {
    ShareMemoryDiff diff;
    diff.path = path.empty() ? name_.Get() : path;
    diff.uid = "u1";
    diff.sid = "s1";
    diff.bufferSize = size >= 0 ? size : SegmentSize();
    registry_.Add(diff);
  }

  int64_t SegmentSize() const { return static_cast<int64_t>(writer_.Segment().Size()); }

  void Write(int32_t frameId) {
    writer_.BeginFrame();
    writer_.EndFrame(frameId);
  }

  // A frame whose every plane byte is `value`.
  void WriteFlat(int32_t frameId, uint8_t value) {
    writer_.BeginFrame();
    for (int plane = 0; plane < 3; ++plane) {
      std::memset(writer_.Plane(plane), value, tallwick::frame::PlaneSize(writer_.Geometry(), plane));
    }
    writer_.EndFrame(frameId);
  }

  // A tick's read, its status change told to the report as the roles do.
  StreamReader::Tick ReadTick(StreamReader& reader, int32_t maxTextureSize = 0, bool reuseShown = false) {
    StreamReader::Tick tick = reader.ReadTick({kSid, maxTextureSize, false, kTimeoutMs, reuseShown}, report_);
    StreamReader::Tell(tick.status, report_);
    return tick;
  }

  // What a tick's read found, its status change left untold.
  Read ReadNewest(StreamReader& reader, VideoFrame* frame, int32_t maxTextureSize = 0) {
    const StreamReader::Tick tick = reader.ReadTick({kSid, maxTextureSize, false, kTimeoutMs}, report_);
    *frame = tick.frame;
    return tick.read;
  }

  // A reader with the segment open, the report's lines taken.
  StreamReader OpenReader() {
    Register();
    StreamReader reader;
    EXPECT_TRUE(reader.OpenShoom(registry_, kKey, report_));
    report_.Take();
    return reader;
  }

  // The reader reads the newest frame and shows it.
  VideoFrame ReadAndShow(StreamReader& reader) {
    VideoFrame frame;
    EXPECT_EQ(ReadNewest(reader, &frame), Read::kFrame);
    reader.Shown(frame);
    return frame;
  }

  tallwick::test::ManualClock clock_;
  tallwick::test::ScopedSegmentName name_;
  FrameWriter writer_;
  SharedMemoryRegistry registry_{[](const std::string&) {}};
  RecordingReport report_;
};

TEST_F(StreamReaderTest, OpensTheSegmentTheRegistryNamesForTheKey) {
  StreamReader reader;
  EXPECT_FALSE(reader.OpenShoom(registry_, kKey, report_));
  EXPECT_THAT(report_.Take(), ElementsAre("missing u1_CAMERA"));
  EXPECT_FALSE(reader.HasSegment());

  Register(SegmentSize(), "/tallwick-stream-test-nothing-here");
  EXPECT_FALSE(reader.OpenShoom(registry_, kKey, report_));
  const std::string size = std::to_string(SegmentSize());
  EXPECT_THAT(report_.Take(),
              ElementsAre("found u1_CAMERA /tallwick-stream-test-nothing-here",
                          "failed u1_CAMERA /tallwick-stream-test-nothing-here " + size + " with reason"));
  EXPECT_FALSE(reader.HasSegment()) << "a failed open leaves no segment: the next tick looks the key up again";
  EXPECT_EQ(reader.SegmentPath(), "");

  Register();
  EXPECT_TRUE(reader.OpenShoom(registry_, kKey, report_));
  EXPECT_THAT(report_.Take(),
              ElementsAre("found u1_CAMERA " + name_.Get(), "opened u1_CAMERA " + name_.Get() + " " + size));
  EXPECT_EQ(reader.SegmentPath(), name_.Get());
}

// Beside the roles' lines with the bare error number, one warning of the
// reader's own says why, in words, at most once per interval.
TEST_F(StreamReaderTest, AFailedOpenSaysWhyInWordsOncePerInterval) {
  tallwick::test::LogCapture log;
  clock_.AdvanceMs(TALLWICK_COMMON::kLogRateLimitMs);  // past whatever an earlier test wrote
  StreamReader reader;
  const std::string holds = std::to_string(SegmentSize()), asked = std::to_string(SegmentSize() + 4096);
  Register(SegmentSize() + 4096);
  EXPECT_FALSE(reader.OpenShoom(registry_, kKey, report_));
  Register(SegmentSize(), "/tallwick-stream-test-nothing-here");
  EXPECT_FALSE(reader.OpenShoom(registry_, kKey, report_));
  clock_.AdvanceMs(TALLWICK_COMMON::kLogRateLimitMs);
  EXPECT_FALSE(reader.OpenShoom(registry_, kKey, report_));
  EXPECT_THAT(
      log.Matching("[StreamReader]"),
      ElementsAre(HasSubstr("key: u1_CAMERA, segment \"" + name_.Get() + "\" cannot be opened: the segment holds " +
                            holds + " bytes, fewer than the registration's bufferSize " + asked),
                  HasSubstr("segment \"/tallwick-stream-test-nothing-here\" cannot be opened: "
                            "No such file or directory (2)")));
}

TEST_F(StreamReaderTest, TheRegisteredSizeCountsByItsLow32Bits) {
  StreamReader reader;
  Register((int64_t{1} << 32) + SegmentSize());
  EXPECT_TRUE(reader.OpenShoom(registry_, kKey, report_));
  EXPECT_EQ(report_.Take().back(), "opened u1_CAMERA " + name_.Get() + " " + std::to_string(SegmentSize()));

  // Low bits larger than the segment ask for more than it holds.
  StreamReader other;
  Register((int64_t{1} << 32) - 16);
  EXPECT_FALSE(other.OpenShoom(registry_, kKey, report_));
  EXPECT_EQ(report_.Take().back(), "failed u1_CAMERA " + name_.Get() + " 4294967280 with reason");
}

TEST_F(StreamReaderTest, HandsOutOnlyCompleteFramesThatFitTheMapping) {
  StreamReader none;
  VideoFrame frame;
  EXPECT_EQ(ReadNewest(none, &frame), Read::kNone) << "no segment";

  StreamReader reader = OpenReader();
  EXPECT_EQ(ReadNewest(reader, &frame), Read::kNone) << "nothing written yet";
  Write(7);
  ASSERT_EQ(ReadNewest(reader, &frame), Read::kFrame);
  EXPECT_EQ(frame.frameId, 7);
  EXPECT_EQ(frame.width, 64);
  EXPECT_EQ(frame.height, 36);
  EXPECT_EQ(frame.planS0, 80);
  writer_.BeginFrame();  // and the writer stops there
  EXPECT_EQ(ReadNewest(reader, &frame), Read::kNone);
  writer_.EndFrame(8);
  EXPECT_EQ(ReadNewest(reader, &frame), Read::kFrame);
  EXPECT_EQ(reader.ReadCount(), 2u) << "only frames handed out count";
  EXPECT_THAT(report_.Take(), IsEmpty());

  // Registered smaller than the frame: the mapping ends inside the planes.
  Register(SegmentSize() / 2);
  StreamReader small;
  ASSERT_TRUE(small.OpenShoom(registry_, kKey, report_));
  report_.Take();
  EXPECT_EQ(ReadNewest(small, &frame), Read::kUndrawable);
  EXPECT_EQ(ReadNewest(small, &frame), Read::kUndrawable);
  EXPECT_THAT(report_.Take(), ElementsAre("undrawable")) << "once, not on every read";
  Register(16);
  StreamReader headerless;
  ASSERT_TRUE(headerless.OpenShoom(registry_, kKey, report_));
  EXPECT_EQ(ReadNewest(headerless, &frame), Read::kNone) << "not even the header is mapped";
  EXPECT_EQ(small.ReadCount() + headerless.ReadCount(), 0u);
}

// The 64 x 36 frame's Y texture is 80 texels wide (its stride) and 36 high.
TEST_F(StreamReaderTest, FramesLargerThanATextureAreUndrawableUntilADrawableOneComes) {
  StreamReader reader = OpenReader();
  VideoFrame frame;
  Write(1);
  EXPECT_EQ(ReadNewest(reader, &frame, 79), Read::kUndrawable) << "the stride, not the width, is the texture's width";
  EXPECT_EQ(ReadNewest(reader, &frame, 79), Read::kUndrawable);
  EXPECT_THAT(report_.Take(), ElementsAre("undrawable"));
  EXPECT_EQ(ReadNewest(reader, &frame, 80), Read::kFrame);
  EXPECT_EQ(ReadNewest(reader, &frame, 0), Read::kFrame) << "a limit not known yet";
  EXPECT_EQ(ReadNewest(reader, &frame, 35), Read::kUndrawable) << "36 rows";
  EXPECT_THAT(report_.Take(), ElementsAre("undrawable")) << "again after a drawable frame";
}

// What the reader hands out lives in its own memory: the writer may rewrite
// the segment at once, the frame's planes keep what was read.
TEST_F(StreamReaderTest, FramesAreHandedOutAsCopiesThatTheWriterCannotChange) {
  StreamReader reader = OpenReader();
  WriteFlat(1, 10);
  const VideoFrame shown = ReadAndShow(reader);
  WriteFlat(2, 20);
  VideoFrame next;
  ASSERT_EQ(ReadNewest(reader, &next), Read::kFrame);
  WriteFlat(3, 30);
  EXPECT_EQ(shown.plan0[0], 10);
  EXPECT_EQ(shown.plan2[17 * 40 - 1], 10) << "the last byte of the V plane";
  EXPECT_EQ(next.plan0[0], 20);
  EXPECT_EQ(next.plan1[5], 20);

  // A new read does not overwrite the shown frame, which a clear may draw again.
  ASSERT_EQ(ReadNewest(reader, &next), Read::kFrame);
  EXPECT_EQ(next.plan0[0], 30);
  writer_.BeginFrame();
  VideoFrame again;
  EXPECT_EQ(ReadNewest(reader, &again), Read::kNone);
  ASSERT_TRUE(reader.ReuseShown(&again));
  EXPECT_EQ(again.frameId, 1);
  EXPECT_EQ(again.plan0[0], 10);
  EXPECT_EQ(reader.ReadCount(), 3u) << "the stored frame is not a read";

  // The writer shrinks its segment below the frame's planes: the copy stays.
  const int fd = shm_open(name_.Get().c_str(), O_RDWR, 0);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(ftruncate(fd, static_cast<off_t>(SegmentSize() / 2)), 0);
  close(fd);
  ASSERT_TRUE(reader.ReuseShown(&again));
  EXPECT_EQ(again.plan1[0], 10);
}

// A writer that overtakes the reader: between the copy of the planes and the
// second look at the header it starts, or finishes, the next frame.
TEST_F(StreamReaderTest, AFrameChangedWhileItIsCopiedIsNeverHandedOut) {
  StreamReader reader = OpenReader();
  WriteFlat(1, 10);
  ReadAndShow(reader);
  WriteFlat(2, 20);
  int strikes = 0;
  reader.SetCopyObserver([&] {
    if (strikes++ == 0) WriteFlat(3, 30);    // a whole next frame
    if (strikes == 2) writer_.BeginFrame();  // the next one begun
  });
  VideoFrame frame;
  EXPECT_EQ(ReadNewest(reader, &frame), Read::kTorn);
  EXPECT_EQ(ReadNewest(reader, &frame), Read::kTorn);
  EXPECT_THAT(report_.Take(), ElementsAre("torn 2 1", "torn 3 2"));
  EXPECT_EQ(reader.TearCount(), 2u);
  EXPECT_EQ(reader.ReadCount(), 1u);
  ASSERT_TRUE(reader.ReuseShown(&frame));
  EXPECT_EQ(frame.plan0[0], 10) << "the shown frame's copy is untouched by the torn reads";

  writer_.EndFrame(4);
  ASSERT_EQ(ReadNewest(reader, &frame), Read::kFrame) << "read again at the next tick";
  EXPECT_EQ(frame.frameId, 4);
  EXPECT_EQ(strikes, 3);
  EXPECT_EQ(ReadNewest(reader, &frame), Read::kFrame);
  EXPECT_EQ(strikes, 4) << "an unshown frame is copied again";
  reader.Shown(frame);
  EXPECT_EQ(ReadNewest(reader, &frame), Read::kFrame);
  EXPECT_EQ(strikes, 4) << "the shown frame is not copied again";
}

TEST_F(StreamReaderTest, ResetDropsTheMappingAndTheShownFrameButCopiesKeepTheirs) {
  StreamReader reader = OpenReader();
  WriteFlat(1, 10);
  ReadAndShow(reader);
  const StreamReader carried = reader;  // as a new layout carries a tile over

  reader.DropSegment();
  EXPECT_FALSE(reader.HasSegment());
  EXPECT_EQ(reader.ShownFrame().frameId, 1) << "dropping the mapping alone keeps the shown frame";
  reader.Reset();
  VideoFrame frame;
  EXPECT_FALSE(reader.HasSegment());
  EXPECT_EQ(reader.ShownFrame().frameId, -1) << "the next frame counts as new";
  EXPECT_FALSE(reader.ReuseShown(&frame));

  EXPECT_TRUE(carried.HasSegment());
  EXPECT_EQ(carried.ShownFrame().frameId, 1);
  ASSERT_TRUE(carried.ReuseShown(&frame));
  EXPECT_EQ(frame.plan0[0], 10);
}

// After the mapping was dropped (a local preview following a new key), a
// frame of the shown id is another segment's: it is copied, not taken for
// the shown one.
TEST_F(StreamReaderTest, AReopenedSegmentsFrameIsCopiedEvenUnderTheShownId) {
  StreamReader reader = OpenReader();
  WriteFlat(1, 10);
  ReadAndShow(reader);
  reader.DropSegment();
  WriteFlat(1, 50);
  ASSERT_TRUE(reader.OpenShoom(registry_, kKey, report_));
  VideoFrame frame;
  ASSERT_EQ(ReadNewest(reader, &frame), Read::kFrame);
  EXPECT_EQ(frame.plan0[0], 50);
}

// The page hears of a missing segment once, when nothing was reported
// before, nothing is being drawn and the wait is long enough.
TEST_F(StreamReaderTest, AMissingSegmentIsReportedOnceAfterTheTimeout) {
  StreamReader reader;
  reader.StartWait();
  clock_.AdvanceMs(kTimeoutMs - 1);
  reader.NoteMissingSegment(false, kTimeoutMs, report_);
  EXPECT_THAT(report_.Take(), IsEmpty());
  clock_.AdvanceMs(1);
  reader.NoteMissingSegment(true, kTimeoutMs, report_);
  EXPECT_THAT(report_.Take(), IsEmpty()) << "not while drawing";
  reader.NoteMissingSegment(false, kTimeoutMs, report_);
  EXPECT_THAT(report_.Take(), ElementsAre("NO_FRAME no segment"));
  EXPECT_EQ(reader.Status(), kStatusNoFrame);
  clock_.AdvanceMs(kTimeoutMs);
  reader.NoteMissingSegment(false, kTimeoutMs, report_);
  EXPECT_THAT(report_.Take(), IsEmpty());

  StreamReader started;
  started.StartWait();
  started.MarkStarted();
  clock_.AdvanceMs(kTimeoutMs);
  started.NoteMissingSegment(false, kTimeoutMs, report_);
  EXPECT_THAT(report_.Take(), IsEmpty()) << "a stream once shown stays silent when its segment goes";
}

TEST_F(StreamReaderTest, FramesThatStopAndComeBackAreReportedOnceEach) {
  StreamReader reader = OpenReader();
  Write(1);
  StreamReader::Tick tick = ReadTick(reader);
  ASSERT_EQ(tick.read, Read::kFrame);
  EXPECT_EQ(reader.Status(), kStatusNone) << "the role reports the first frame shown";
  reader.MarkStarted();
  reader.Shown(tick.frame);

  clock_.AdvanceMs(kTimeoutMs - 1);
  EXPECT_FALSE(ReadTick(reader).isNew);
  EXPECT_THAT(report_.Take(), IsEmpty());
  clock_.AdvanceMs(1);
  EXPECT_EQ(ReadTick(reader).status, StreamReader::StatusChange::kStopped);
  ReadTick(reader);
  EXPECT_THAT(report_.Take(), ElementsAre("NO_FRAME stopped"));
  EXPECT_EQ(reader.Status(), kStatusNoFrame);

  Write(2);
  tick = ReadTick(reader);
  EXPECT_TRUE(tick.isNew);
  EXPECT_THAT(report_.Take(), ElementsAre("NORMAL_FRAME"));
  EXPECT_EQ(reader.Status(), kStatusNormal);
  reader.Shown(tick.frame);
  EXPECT_EQ(reader.ChangeMs(), clock_.WallMs()) << "the wait counts from the frame last shown";
  clock_.AdvanceMs(kTimeoutMs);
  ReadTick(reader);
  EXPECT_THAT(report_.Take(), ElementsAre("NO_FRAME stopped"));
}

TEST_F(StreamReaderTest, FramesAfterAMissingSegmentAreReportedAsResumed) {
  StreamReader reader;
  reader.StartWait();
  clock_.AdvanceMs(kTimeoutMs);
  ASSERT_FALSE(reader.OpenShoom(registry_, kKey, report_));
  reader.NoteMissingSegment(false, kTimeoutMs, report_);
  Register();
  ASSERT_TRUE(reader.OpenShoom(registry_, kKey, report_));
  Write(1);
  ASSERT_EQ(ReadTick(reader).read, Read::kFrame);
  EXPECT_THAT(report_.Take(),
              ElementsAre("missing u1_CAMERA", "NO_FRAME no segment", "found u1_CAMERA " + name_.Get(),
                          "opened u1_CAMERA " + name_.Get() + " " + std::to_string(SegmentSize()), "NORMAL_FRAME"));
}

// Frames that cannot be drawn (here: wider than a texture of 8 may be)
// count as no frames: NO_FRAME after the timeout, as for a missing segment
// when nothing was shown yet.
TEST_F(StreamReaderTest, UndrawableFramesAreReportedAsNoFramesAfterTheTimeout) {
  constexpr int32_t kSmallTexture = 8;
  StreamReader never = OpenReader();
  never.StartWait();
  Write(1);
  clock_.AdvanceMs(kTimeoutMs - 1);
  EXPECT_EQ(ReadTick(never, kSmallTexture).read, Read::kUndrawable);
  EXPECT_THAT(report_.Take(), ElementsAre("undrawable"));
  clock_.AdvanceMs(1);
  ReadTick(never, kSmallTexture);
  ReadTick(never, kSmallTexture);
  EXPECT_THAT(report_.Take(), ElementsAre("NO_FRAME no segment"));

  StreamReader shown = OpenReader();
  shown.MarkStarted();
  ReadAndShow(shown);
  clock_.AdvanceMs(kTimeoutMs);
  ReadTick(shown, kSmallTexture);
  ReadTick(shown, kSmallTexture);
  EXPECT_THAT(report_.Take(), ElementsAre("undrawable", "NO_FRAME stopped"));
}

// What a tick weighs against the shown frame: another id, size or flip; a
// gallery tile without a new whole frame gets the shown one again.
TEST_F(StreamReaderTest, ATickWeighsTheFrameAgainstTheShownOne) {
  StreamReader reader = OpenReader();
  Write(1);
  StreamReader::Tick first = ReadTick(reader);
  EXPECT_TRUE(first.isNew);
  EXPECT_TRUE(first.resized) << "nothing was shown";
  reader.Shown(first.frame);
  const StreamReader::Tick same = ReadTick(reader);
  EXPECT_FALSE(same.isNew || same.resized || same.flipped);

  writer_.SetGeometry([] {
    auto flipped = MakeGeometry(64, 36, tallwick::frame::kFormatI420, 16);
    flipped.flip = true;
    return flipped;
  }());
  Write(2);
  const StreamReader::Tick next = ReadTick(reader);
  EXPECT_TRUE(next.isNew && next.flipped);
  EXPECT_FALSE(next.resized);

  writer_.BeginFrame();  // being written: no whole frame
  EXPECT_FALSE(ReadTick(reader).HasFrame());
  const StreamReader::Tick reused = ReadTick(reader, 0, true);
  EXPECT_TRUE(reused.reused);
  EXPECT_FALSE(reused.isNew);
  EXPECT_EQ(reused.frame.frameId, 1);
}

}  // namespace
