#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "frame/frame_bounds.h"
#include "frame/shm.h"
#include "frame/video_frame.h"
#include "segment_name.h"
#include "writer/frame_writer.h"

namespace {

using tallwick::frame::FrameGeometry;
using tallwick::frame::FrameWriter;
using tallwick::frame::PlaneSize;
using TALLWICK_PP_RENDER::CheckVideoFrameBounds;
using TALLWICK_PP_RENDER::ParseVideoFrame;
using TALLWICK_PP_RENDER::VideoFrame;

constexpr int32_t kMaxWrittenFrames = 5000000;
constexpr int kWantedFrames = 100;
// Only bounds the test on a starved machine; it normally ends within milliseconds.
constexpr auto kGiveUpAfter = std::chrono::seconds(20);

FrameGeometry Geometry() {
  FrameGeometry geometry = tallwick::frame::MakeGeometry(160, 90, tallwick::frame::kFormatI420, 8);
  geometry.rotation = 180;
  geometry.flip = true;
  return geometry;
}

uint8_t FillValue(int32_t frameId) { return static_cast<uint8_t>(frameId * 7 + 1); }

// The writer process: creates the segment, reports whether that worked, then
// rewrites frames until it is killed or its parent is gone.
[[noreturn]] void RunWriter(const std::string& name, int readyFd) {
  const FrameGeometry geometry = Geometry();
  FrameWriter writer(name, geometry);
  const char created = writer.Create() == shoom::kOK ? 1 : 0;
  (void)!write(readyFd, &created, 1);
  close(readyFd);
  const pid_t parent = getppid();
  for (int32_t frameId = 0; created && frameId < kMaxWrittenFrames && getppid() == parent; ++frameId) {
    writer.BeginFrame();
    for (int plane = 0; plane < 3; ++plane) {
      std::memset(writer.Plane(plane), FillValue(frameId), PlaneSize(geometry, plane));
    }
    writer.EndFrame(frameId);
    // Leave the frame complete for a moment, as a paced publisher would.
    for (volatile int spin = 0; spin < 20000; spin = spin + 1) {
    }
  }
  _exit(0);
}

// Kills and reaps the writer whatever happens to the test.
struct ChildProcess {
  pid_t pid;
  ~ChildProcess() {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
};

struct Tally {
  int complete = 0;
  int distinctFrames = 0;
  int badHeaders = 0;
  int tornPlanes = 0;
  int32_t lastFrameId = -1;
  std::string firstBadHeader;
};

bool HeaderIsConsistent(const VideoFrame& frame, const shoom::Shm& shm, const Tally& tally) {
  const FrameGeometry geometry = Geometry();
  const uint8_t* base = shm.Data();
  return frame.frameId >= tally.lastFrameId && frame.width == geometry.width && frame.height == geometry.height &&
         frame.planS0 == geometry.planS0 && frame.planS1 == geometry.planS1 && frame.planS2 == geometry.planS2 &&
         frame.rotation == geometry.rotation && frame.flip == geometry.flip && frame.format == geometry.format &&
         frame.plan0 == base + 52 && frame.plan1 == frame.plan0 + PlaneSize(geometry, 0) &&
         frame.plan2 == frame.plan1 + PlaneSize(geometry, 1) &&
         CheckVideoFrameBounds(frame, base, shm.Size(), "exchange") == 0;
}

// First, middle and last byte of every plane carry the frame's fill value,
// unless the writer has moved on meanwhile (allowed: planes may tear).
bool PlanesMatch(const VideoFrame& frame) {
  const FrameGeometry geometry = Geometry();
  const uint8_t* planes[3] = {frame.plan0, frame.plan1, frame.plan2};
  const uint8_t expected = FillValue(frame.frameId);
  for (int plane = 0; plane < 3; ++plane) {
    const uint64_t size = PlaneSize(geometry, plane);
    if (planes[plane][0] != expected || planes[plane][size / 2] != expected || planes[plane][size - 1] != expected) {
      return false;
    }
  }
  return true;
}

void Record(const VideoFrame& frame, const shoom::Shm& shm, Tally* tally) {
  ++tally->complete;
  if (!HeaderIsConsistent(frame, shm, *tally)) {
    if (tally->badHeaders++ == 0) {
      tally->firstBadHeader = "frameId " + std::to_string(frame.frameId) + " after " +
                              std::to_string(tally->lastFrameId) + ", width " + std::to_string(frame.width);
    }
    return;
  }
  if (frame.frameId != tally->lastFrameId) ++tally->distinctFrames;
  tally->lastFrameId = frame.frameId;
  if (!PlanesMatch(frame)) ++tally->tornPlanes;
}

TEST(FrameExchangeTest, HeadersStayConsistentWhileAnotherProcessRewritesFrames) {
  tallwick::test::ScopedSegmentName name;
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(ready[0]);
    RunWriter(name.Get(), ready[1]);
  }
  ChildProcess writer{pid};
  close(ready[1]);
  char created = 0;
  ASSERT_EQ(read(ready[0], &created, 1), 1);
  close(ready[0]);
  ASSERT_EQ(created, 1) << "the writer could not create " << name.Get();

  shoom::Shm shm(name.Get(), 0);
  ASSERT_EQ(shm.Open(), shoom::kOK);
  Tally tally;
  const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
  while (tally.distinctFrames < kWantedFrames && std::chrono::steady_clock::now() < giveUp) {
    VideoFrame frame;
    if (ParseVideoFrame(shm.Data(), &frame, "exchange") == 0) Record(frame, shm, &tally);
  }

  EXPECT_EQ(tally.badHeaders, 0) << "first: " << tally.firstBadHeader;
  EXPECT_GE(tally.distinctFrames, 2) << "the writer made progress";
  RecordProperty("complete_parses", tally.complete);
  RecordProperty("distinct_frames", tally.distinctFrames);
  RecordProperty("torn_plane_reads", tally.tornPlanes);
  std::printf("complete parses %d, distinct frames %d, torn plane reads %d\n", tally.complete, tally.distinctFrames,
              tally.tornPlanes);
}

}  // namespace
