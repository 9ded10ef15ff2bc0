// GalleryRenderEmbed's paint loop (the class is in gallery_render_embed.h):
// poll every tile's segment on the frame interval, draw only the tiles whose
// frame changed (all of them after a clear), and tell the page per stream
// when it is first shown, stops and resumes.
#include "common/log_instance.h"
#include "controller/controller_embed.h"
#include "embed/frame_status_event.h"
#include "embed/protocol.h"
#include "gallery/gallery_render_embed.h"
#include "host/module.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::LimitedLine;
using TALLWICK_LOG::LogAt;
using TALLWICK_LOG::ObjectAddress;

// What a tile's stream reader finds, in the gallery's log lines and
// frame-status events. Lives for one read of one tile.
class GalleryRenderEmbed::TileReport : public StreamReader::Report {
 public:
  TileReport(GalleryRenderEmbed& gallery, const GalleryRenderInfo& tile) : gallery_(gallery), tile_(tile) {}

  void EntryMissing(const std::string& key) override {
    static LimitedLine line;
    line.Log(kLevelInfo, "[GalleryRenderEmbed] uuid:{} diff is not found, key: {}, conroller starttick:{}",
             gallery_.uuid, key, ControllerEmbed::GetInstance()->GetStartTick());
  }

  // The gallery says nothing before the open's outcome.
  void EntryFound(const std::string& /*key*/, const std::string& /*path*/) override {}

  // The size is written as the signed 32-bit number it was taken as.
  void OpenFailed(const std::string& key, const std::string& path, uint32_t size, const std::string& reason) override {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} createShoom failed - sid: {}, path: {}, size: {}, msg: {}",
          gallery_.uuid, key, path, static_cast<int32_t>(size), reason);
  }

  void Opened(const std::string& key, const std::string& path, uint32_t size) override {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} createShoom success - sid: {}, path: {}, size: {}", gallery_.uuid,
          key, path, static_cast<int32_t>(size));
  }

  void NoSegment() override {
    gallery_.PostFrameStatusChange(tile_.sid, tile_.uid, kFrameStatusNone);
    LogAt(kLevelInfo,
          "[GalleryRenderEmbed] uuid:{} post render exception massage, shm is null, is not painting -  sid = {}, "
          "timeout = {}",
          gallery_.uuid, tile_.sid, gallery_.renderExceptionThreshold);
  }

  void FramesStopped() override {
    gallery_.PostFrameStatusChange(tile_.sid, tile_.uid, kFrameStatusNone);
    LogAt(kLevelInfo,
          "[GalleryRenderEmbed] uuid:{} post render exception massage, frameid not change -  sid = {}, timeout = {}",
          gallery_.uuid, tile_.sid, gallery_.renderExceptionThreshold);
  }

  void FramesResumed() override {
    gallery_.PostFrameStatusChange(tile_.sid, tile_.uid, kFrameStatusNormal);
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} post render normal massage, frameid  changed -  sid = {}",
          gallery_.uuid, tile_.sid);
  }

  void FrameTorn(int32_t frameId, uint64_t tears) override {
    static LimitedLine line;
    line.Log(TALLWICK_LOG::kLevelWarning,
             "[GalleryRenderEmbed] uuid:{} frame changed while it was read, not shown - sid = {}, frameId: {}, "
             "tears: {}",
             gallery_.uuid, tile_.sid, frameId, tears);
  }

  void FrameUndrawable() override {
    gallery_.PostEvent(kEvtError, FrameErrorData(kErrorFrameUndrawable, tile_.sid));
    LogAt(TALLWICK_LOG::kLevelWarning,
          "[GalleryRenderEmbed] uuid:{} post error massage, frame cannot be drawn - sid = {}", gallery_.uuid,
          tile_.sid);
  }

 private:
  GalleryRenderEmbed& gallery_;
  const GalleryRenderInfo& tile_;
};

void GalleryRenderEmbed::ScheduleNextPaint() {
  ticker_.Schedule(frameInterval, [this] { return callbackFactory.NewCallback(&GalleryRenderEmbed::PaintGallery); });
}

void GalleryRenderEmbed::OnPaintDone(int32_t /*result*/) {
  ++frameCnt;
  static LimitedLine line;
  line.Log(kLevelInfo, "[GalleryRenderEmbed] uuid:{} this[{:#08x}] PaintGallery normal frameCnt:{}", uuid,
           ObjectAddress(this), frameCnt);
  is_painting_ = false;
  // Stopped: the chain ends with this swap.
  if (started) ScheduleNextPaint();
}

void GalleryRenderEmbed::ClearBKColor() {
  if (renderer == nullptr) {
    ScheduleNextPaint();
    return;
  }
  renderer->ClearBKColor(callbackFactory.NewCallback(&GalleryRenderEmbed::OnPaintDone));
}

void GalleryRenderEmbed::DrawItems(bool needClear, const std::vector<GalleryDrawItem>& items) {
  if (renderer == nullptr) {
    ScheduleNextPaint();
    return;
  }
  renderer->DrawItems(needClear, items, callbackFactory.NewCallback(&GalleryRenderEmbed::OnPaintDone));
  is_painting_ = true;
}

void GalleryRenderEmbed::PaintGallery(int32_t /*result*/) {
  const bool needClear = CheckNeedClearScreen() || needClearScreen;
  if (is_painting_) {
    PaintWhileSwapPending(needClear);
    return;
  }
  needClearScreen = false;
  ApplyPendingRenderInfos();
  if (renderinfos_.empty()) {
    PaintEmptyLayout();
    return;
  }
  if (!is_view_visible) {
    if (needClear) {
      LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} view is not visible, clear gallery bkcolor once", uuid);
      ClearBKColor();
      return;
    }
    static LimitedLine line;
    line.Log(kLevelInfo, "[GalleryRenderEmbed] uuid:{} view is not visible, but we make a decision", uuid);
  }
  DrawChangedTiles(needClear);
}

// A swap is still in flight: only a pending clear is worth presenting now.
void GalleryRenderEmbed::PaintWhileSwapPending(bool needClear) {
  if (needClear) {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} is painting, clear gallery bkcolor once", uuid);
    ClearBKColor();
    return;
  }
  static LimitedLine line;
  line.Log(kLevelInfo, "[GalleryRenderEmbed] uuid:{} this[{:#08x}] is painting, is_painting_ = {}", uuid,
           ObjectAddress(this), is_painting_);
  ScheduleNextPaint();
}

// The layout went empty: clear once, then idle on the interval.
void GalleryRenderEmbed::PaintEmptyLayout() {
  if (renderInfosEmpty) {
    is_painting_ = renderer != nullptr;
    renderInfosEmpty = false;
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} renderinfos_ is null, clear gallery bkcolor once", uuid);
    ClearBKColor();
    return;
  }
  static LimitedLine line;
  line.Log(kLevelInfo, "[GalleryRenderEmbed] uuid:{} renderinfos_ is null, continue next paint loop", uuid);
  ScheduleNextPaint();
}

void GalleryRenderEmbed::DrawChangedTiles(bool needClear) {
  ReadShareMemoryData(&needClear);
  static LimitedLine dumpLine;
  // The dump is long: it is built only for a line that is written.
  if (dumpLine.Allow() && TALLWICK_LOG::LogInstance::GetInstance()->IsEnabled()) {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} render_infos: {}", uuid, DescribeRenderInfos(renderinfos_));
  }
  StartedStreams startedStreams;
  drawItems_.clear();
  for (const TileRead& read : tileReads_) {
    GalleryRenderInfo& info = *read.info;
    if (!needClear && !read.tick.isNew) continue;
    info.reader.Shown(read.tick.frame);
    BuildDrawItem(info.sid, info, read.tick.frame, &startedStreams, &drawItems_);
  }
  if (drawItems_.empty()) {
    if (needClear) {
      LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} renderdata is null, clear gallery bkcolor once", uuid);
      ClearBKColor();
    } else {
      ScheduleNextPaint();
    }
    return;
  }
  if (!startedStreams.empty()) PostMultiRenderStarted(&startedStreams);
  DrawItems(needClear, drawItems_);
}

// Fills tileReads_ in key order, the order the tiles are drawn in.
void GalleryRenderEmbed::ReadShareMemoryData(bool* needClear) {
  tileReads_.clear();
  for (auto& [key, info] : renderinfos_) {
    if (!OpenTileSegment(key, info)) continue;
    // Read in place: the frame is not copied again.
    StreamReader::Tick& tick = tileReads_.emplace_back(TileRead{&info, {}}).tick;
    if (!ReadTileFrame(info, &tick)) {
      tileReads_.pop_back();
      continue;
    }
    if (!*needClear && tick.resized) {
      LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} need clear screen because of frame changed", uuid);
      *needClear = true;
    }
  }
}

// Opens the tile's segment when it has none. A tile never drawn whose
// segment stays missing for the threshold since the layout brought it is
// reported once as "NO_FRAME".
bool GalleryRenderEmbed::OpenTileSegment(const std::string& key, GalleryRenderInfo& info) {
  if (info.reader.HasSegment()) return true;
  TileReport report(*this, info);
  if (info.reader.OpenShoom(ControllerEmbed::GetInstance()->Registry(), key, report)) return true;
  static LimitedLine line;
  line.Log(kLevelInfo,
           "[GalleryRenderEmbed] uuid:{} shm is nullptr, ReadShareMemoryData failed, continue next one sid = {}", uuid,
           info.sid);
  info.reader.NoteMissingSegment(info.isPainting, renderExceptionThreshold, report);
  return false;
}

// The tile's one read this tick: its newest frame, or its stored one (the
// reader's copy of the frame last drawn) when the segment holds no whole
// frame that can be drawn. False when there is neither; a tile never drawn
// whose frames cannot be drawn counts as one without a segment.
bool GalleryRenderEmbed::ReadTileFrame(GalleryRenderInfo& info, StreamReader::Tick* tick) {
  TileReport report(*this, info);
  const int32_t maxTextureSize = renderer != nullptr ? renderer->MaxTextureSize() : 0;
  *tick = info.reader.ReadTick({info.sid, maxTextureSize, info.isPainting, renderExceptionThreshold, true}, report);
  StreamReader::Tell(tick->status, report);
  if (tick->HasFrame()) return true;
  static LimitedLine line;
  line.Log(kLevelInfo, "[GalleryRenderEmbed] uuid:{} ParseVideoFrame failed, continue next one sid = {}", uuid,
           info.sid);
  return false;
}

void GalleryRenderEmbed::BuildDrawItem(const std::string& sid, GalleryRenderInfo& info, const VideoFrame& frame,
                                       StartedStreams* firstShown, std::vector<GalleryDrawItem>* items) {
  items->push_back(
      MakeGalleryDrawItem(info.Placement(), frame, static_cast<float>(viewWidth_), static_cast<float>(viewHeight_)));
  if (info.isPainting) return;
  firstShown->emplace(sid, std::make_pair(info.uid, info.streamType));
  info.isPainting = true;
  info.reader.MarkStarted();
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} start render tick = {}, sid = {}, index = {}", uuid,
        info.reader.ChangeMs(), sid, info.index);
}

void GalleryRenderEmbed::PostMultiRenderStarted(StartedStreams* firstShown) {
  for (const auto& [sid, stream] : *firstShown) {
    pp::VarDictionary data;
    data.Set(kKeyStreamId, sid);
    data.Set(kKeyUserId, stream.first);
    data.Set(kKeyIsScreen, stream.second == kStreamScreen);
    PostEvent(kEvtMultiRenderStarted, data);
    LogAt(kLevelInfo,
          "[GalleryRenderEmbed] uuid:{} post startrender success massage -  sid: {}, uid: {}, streamType: {}", uuid,
          sid, stream.first, stream.second);
  }
  firstShown->clear();
}

void GalleryRenderEmbed::PostFrameStatusChange(const std::string& sid, const std::string& uid, const char* status) {
  PostEvent(kEvtMultiFrameStatusChange, FrameStatusData(sid, uid, status));
}

}  // namespace TALLWICK_PP_RENDER
