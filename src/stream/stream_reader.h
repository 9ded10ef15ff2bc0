#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "controller/shared_memory_registry.h"
#include "frame/shm.h"
#include "frame/video_frame.h"
#include "stream/frame_copies.h"

namespace TALLWICK_PP_RENDER {

// What the page was last told about a stream's frames.
enum FrameStatus : int32_t {
  kStatusNone = 0,     // nothing yet
  kStatusNormal = 1,   // frames are arriving ("NORMAL_FRAME", or the role's start event)
  kStatusNoFrame = 2,  // no new frame for the threshold, or no segment ("NO_FRAME")
};

// Reads one stream for a render role: finds the stream's segment in the
// segment registry by its key, maps it read-only, hands out whole frames
// checked against what the mapping still backs and what a texture may hold,
// and keeps the stream's frame status with the frame the role last showed
// and when that changed.
//
// A frame is handed out as a copy of its planes in memory of the reader's
// own, taken while the header said complete and checked again after the
// copy: a frame the writer changed while it was copied is never handed out
// (torn), so whatever a renderer uploads is one whole frame.
//
// The single-stream role holds one; the gallery holds one per tile, and a
// new layout carries a tile's reader over by copy: copies share the mapping.
// The reader neither logs nor posts. What it finds along the way goes to the
// role's Report, which words its own log lines and posts the status events.
// Main thread only, like the registry.
class StreamReader {
 public:
  // The role's side of a read: one call per finding, in the order found.
  class Report {
   public:
    virtual ~Report() = default;

    // The registry holds no record for the key.
    virtual void EntryMissing(const std::string& key) = 0;
    // It holds one: the segment is opened next.
    virtual void EntryFound(const std::string& key, const std::string& path) = 0;
    // The open failed; `reason` is the system's error text, taken at once.
    virtual void OpenFailed(const std::string& key, const std::string& path, uint32_t size,
                            const std::string& reason) = 0;
    virtual void Opened(const std::string& key, const std::string& path, uint32_t size) = 0;
    // Status changes for the page: "NO_FRAME" for a segment that never
    // opened, "NO_FRAME" for frames that stopped, "NORMAL_FRAME" for frames
    // that came back.
    virtual void NoSegment() = 0;
    virtual void FramesStopped() = 0;
    virtual void FramesResumed() = 0;
    // The writer changed the frame while its planes were copied; `tears`
    // counts such reads of this stream so far.
    virtual void FrameTorn(int32_t frameId, uint64_t tears) = 0;
    // The newest frame cannot be drawn (it does not fit its segment, or a
    // plane is larger than a texture may be), after drawable ones or none:
    // once until a drawable frame is read again.
    virtual void FrameUndrawable() = 0;
  };

  // A change of the stream's frame status that a tick found, for the role
  // to tell the page where its own order of events puts it.
  enum class StatusChange {
    kNone,
    kNoSegment,  // Report::NoSegment
    kStopped,    // Report::FramesStopped
    kResumed,    // Report::FramesResumed
  };
  // Hands `change` to the report's call for it.
  static void Tell(StatusChange change, Report& report);

  // What ReadNewest found.
  enum class Read {
    kFrame,       // a whole frame, counted in ReadCount
    kNone,        // no segment, no header, or a frame being written
    kUndrawable,  // a complete frame that cannot be drawn
    kTorn,        // a frame that changed while it was copied
  };

  bool HasSegment() const { return segment_ != nullptr; }
  // The mapped segment's name; "" without one.
  std::string SegmentPath() const;

  // Looks `key` up in `registry` and opens the record's segment, its size
  // taken as the record's low 32 bits. False, and still no segment, when
  // there is no record or the open fails.
  bool OpenShoom(const SharedMemoryRegistry& registry, const std::string& key, Report& report);
  // Drops the mapping; the next OpenShoom looks the key up again.
  void DropSegment() {
    segment_.reset();
    shownFromSegment_ = false;
  }
  // Drops the mapping and forgets the shown frame, so that the next frame
  // read counts as new (the segment was published again, or the role reset).
  void Reset();

  // What a tick asks of the reader.
  struct TickRequest {
    const std::string& sid;      // names the stream in the checks' lines
    int32_t maxTextureSize = 0;  // 0: not known, not checked
    bool drawing = false;        // the role has a swap of this stream in flight
    int64_t timeoutMs = 0;       // frames unchanged this long have stopped
    // Without a new whole frame, hand out the shown frame again (a gallery
    // tile keeps showing its last frame).
    bool reuseShown = false;
  };
  // What one tick's read found: all the role needs to decide whether to
  // draw, and what.
  struct Tick {
    Read read = Read::kNone;
    // The newest whole frame (kFrame) with its planes in the reader's copy,
    // or the shown frame again (reused). Meaningless otherwise.
    VideoFrame frame;
    bool reused = false;
    // Against the frame shown before this tick: another frame id; another
    // width, height or rotation; another flip.
    bool isNew = false;
    bool resized = false;
    bool flipped = false;
    // The status change the read makes; the reader's status already
    // follows it, the page is told by the role (Tell).
    StatusChange status = StatusChange::kNone;
    // Whether the tick has a frame to draw.
    bool HasFrame() const { return read == Read::kFrame || reused; }
  };
  // Reads the newest complete frame, when it fits what the segment still
  // backs and textures of the request's size, into the reader's copy, and
  // weighs it against the shown frame and the frame status. Findings along
  // the way (undrawable, torn) go to `report` as they come.
  Tick ReadTick(const TickRequest& request, Report& report);
  // The shown frame again, from the reader's copy. False without a segment
  // or a shown frame.
  bool ReuseShown(VideoFrame* frame) const;
  uint64_t ReadCount() const { return readCount_; }
  // The last frame read could not be drawn (the page was told).
  bool Undrawable() const { return undrawable_; }
  // Reads that found the frame changed while it was copied.
  uint64_t TearCount() const { return tears_; }

  // Counts the wait for a frame change from now (rendering starts, a tile
  // appears in a layout).
  void StartWait();
  // The segment is still missing: reports NoSegment once, when the page has
  // been told nothing yet, the role is not `drawing` the stream and
  // `timeoutMs` has passed since the wait began.
  void NoteMissingSegment(bool drawing, int64_t timeoutMs, Report& report);
  // The role shows the stream for the first time: frames are arriving.
  void MarkStarted() { status_ = kStatusNormal; }
  // The role draws `frame` (one a tick handed out): it is the shown frame
  // from now on.
  void Shown(const VideoFrame& frame);

  // For tests: `afterCopy` runs in every copy of a new frame's planes, after
  // the planes were copied and before the header is checked again, where a
  // writer that overtakes the reader would strike.
  void SetCopyObserver(std::function<void()> afterCopy) { afterCopy_ = std::move(afterCopy); }

  FrameStatus Status() const { return status_; }
  // The frame last drawn; frameId -1 when none (since the last Reset).
  const VideoFrame& ShownFrame() const { return shown_; }
  // When the shown frame last changed, or the wait began (NowMs).
  int64_t ChangeMs() const { return changeMs_; }

 private:
  Read ReadNewest(VideoFrame* frame, const std::string& sid, int32_t maxTextureSize, Report& report);
  // A frame was read: the shown frame's id for `timeoutMs` while frames were
  // arriving means they stopped; another id after that, that they resumed.
  StatusChange WeighFrame(const VideoFrame& frame, int64_t timeoutMs);
  // No drawable frame this tick (it cannot be drawn): a stream never shown
  // counts as one without a segment, a shown one as frames that stopped.
  StatusChange WeighNoDrawableFrame(bool drawing, int64_t timeoutMs);
  StatusChange WeighMissingSegment(bool drawing, int64_t timeoutMs);
  bool CopyPlanes(VideoFrame* frame);
  bool ShownCopyMatches(const VideoFrame& frame) const;

  std::shared_ptr<shoom::Shm> segment_;
  // Made on the first copy; copies of the reader share it, as the shown
  // frame's planes live there.
  std::shared_ptr<FrameCopies> copies_;
  VideoFrame shown_;
  // shown_ came from the segment mapped now (a dropped segment's frame
  // id says nothing of the next segment's frames).
  bool shownFromSegment_ = false;
  bool undrawable_ = false;
  uint64_t tears_ = 0;
  std::function<void()> afterCopy_;
  FrameStatus status_ = kStatusNone;
  int64_t changeMs_ = 0;
  uint64_t readCount_ = 0;
};

}  // namespace TALLWICK_PP_RENDER
