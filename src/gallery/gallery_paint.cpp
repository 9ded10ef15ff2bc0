// The gallery paint loop: poll every tile's segment on the frame interval,
// draw only the tiles whose frame changed (all of them after a clear), and
// tell the page per stream when it is first shown, stops and resumes.
#include "common/clock.h"
#include "common/last_error.h"
#include "common/log_instance.h"
#include "controller/controller_embed.h"
#include "embed/protocol.h"
#include "frame/frame_bounds.h"
#include "frame/frame_layout.h"
#include "gallery/gallery_render_embed.h"
#include "host/module.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::kLogRateLimitMs;
using TALLWICK_COMMON::NowMs;
using TALLWICK_COMMON::RateLimiter;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::LogAt;
using TALLWICK_LOG::LogLimited;
using TALLWICK_LOG::ObjectAddress;

void GalleryRenderEmbed::ScheduleNextPaint() {
  ticker.Schedule(frameInterval, [this] { return callbackFactory.NewCallback(&GalleryRenderEmbed::PaintGallery); });
}

void GalleryRenderEmbed::OnPaintDone(int32_t /*result*/) {
  ++frameCnt;
  static RateLimiter limiter(kLogRateLimitMs);
  LogLimited(limiter, kLevelInfo, "[GalleryRenderEmbed] uuid:{} this[{:#08x}] PaintGallery normal frameCnt:{}", uuid,
             ObjectAddress(this), frameCnt);
  is_painting_ = false;
  // Stopped: the chain ends with this swap.
  if (!stopped) ScheduleNextPaint();
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
    static RateLimiter limiter(kLogRateLimitMs);
    LogLimited(limiter, kLevelInfo, "[GalleryRenderEmbed] uuid:{} view is not visible, but we make a decision", uuid);
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
  static RateLimiter limiter(kLogRateLimitMs);
  LogLimited(limiter, kLevelInfo, "[GalleryRenderEmbed] uuid:{} this[{:#08x}] is painting, is_painting_ = {}", uuid,
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
  static RateLimiter limiter(kLogRateLimitMs);
  LogLimited(limiter, kLevelInfo, "[GalleryRenderEmbed] uuid:{} renderinfos_ is null, continue next paint loop", uuid);
  ScheduleNextPaint();
}

void GalleryRenderEmbed::DrawChangedTiles(bool needClear) {
  ReadShareMemoryData(&needClear);
  static RateLimiter dumpLimiter(kLogRateLimitMs);
  // The dump is long: it is built only for a line that is written.
  if (dumpLimiter.Allow() && TALLWICK_LOG::LogInstance::GetInstance()->IsEnabled()) {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} render_infos: {}", uuid, DescribeRenderInfos(renderinfos_));
  }
  StartedStreams startedStreams;
  drawItems.clear();
  for (const TileRead& read : tileReads) {
    GalleryRenderInfo& info = *read.info;
    if (!needClear && info.frame.frameId == read.frame.frameId) continue;
    info.frame = read.frame;
    info.tick = NowMs();
    BuildDrawItem(info.sid, info, &startedStreams, &drawItems);
  }
  if (drawItems.empty()) {
    if (needClear) {
      LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} renderdata is null, clear gallery bkcolor once", uuid);
      ClearBKColor();
    } else {
      ScheduleNextPaint();
    }
    return;
  }
  if (!startedStreams.empty()) PostMultiRenderStarted(&startedStreams);
  DrawItems(needClear, drawItems);
}

// Fills tileReads in key order, the order the tiles are drawn in.
void GalleryRenderEmbed::ReadShareMemoryData(bool* needClear) {
  tileReads.clear();
  for (auto& [key, info] : renderinfos_) {
    // Read in place: the frame is not copied again.
    VideoFrame& frame = tileReads.emplace_back(TileRead{&info, VideoFrame()}).frame;
    if (!ReadTileFrame(key, info, &frame)) {
      tileReads.pop_back();
      continue;
    }
    UpdateTileStatus(info, frame);
    if (!*needClear && (frame.width != info.frame.width || frame.height != info.frame.height ||
                        frame.rotation != info.frame.rotation)) {
      LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} need clear screen because of frame changed", uuid);
      *needClear = true;
    }
  }
}

// The tile's newest frame, or its stored one when the segment holds no
// complete frame that fits what the segment still backs. The stored one may
// be drawn again (a clear redraws every tile), so it is checked as well: a
// segment its writer shrank may no longer hold it. False when there is
// neither.
bool GalleryRenderEmbed::ReadTileFrame(const std::string& key, GalleryRenderInfo& info, VideoFrame* frame) {
  if (info.segment == nullptr && !OpenShm(key, &info.segment)) {
    static RateLimiter limiter(kLogRateLimitMs);
    LogLimited(limiter, kLevelInfo,
               "[GalleryRenderEmbed] uuid:{} shm is nullptr, ReadShareMemoryData failed, continue next one sid = {}",
               uuid, info.sid);
    if (!info.isPainting && info.frameStatus == GalleryRenderInfo::kStatusNone &&
        NowMs() - info.tick >= renderExceptionThreshold) {
      PostFrameStatusChange(info.sid, info.uid, kFrameStatusNone);
      LogAt(kLevelInfo,
            "[GalleryRenderEmbed] uuid:{} post render exception massage, shm is null, is not painting -  sid = {}, "
            "timeout = {}",
            uuid, info.sid, renderExceptionThreshold);
      info.frameStatus = GalleryRenderInfo::kStatusNoFrame;
    }
    return false;
  }
  const uint8_t* data = info.segment->Data();
  const size_t backed = info.segment->BackedSize();
  int32_t rc = backed < tallwick::frame::kHeaderSize ? kVideoFrameUpdating : kVideoFrameOk;
  if (rc == kVideoFrameOk) rc = ParseVideoFrame(data, frame, info.sid);
  if (rc == kVideoFrameOk) rc = CheckVideoFrameBounds(*frame, data, backed, info.sid);
  if (rc == kVideoFrameOk) {
    ++info.readCount;
    return true;
  }
  if (info.frame.frameId != -1 && CheckVideoFrameBounds(info.frame, data, backed, info.sid) == kVideoFrameOk) {
    *frame = info.frame;
    return true;
  }
  static RateLimiter limiter(kLogRateLimitMs);
  LogLimited(limiter, kLevelInfo, "[GalleryRenderEmbed] uuid:{} ParseVideoFrame failed, continue next one sid = {}",
             uuid, info.sid);
  return false;
}

void GalleryRenderEmbed::UpdateTileStatus(GalleryRenderInfo& info, const VideoFrame& frame) {
  const bool sameFrame = info.frame.frameId == frame.frameId;
  if (info.frameStatus == GalleryRenderInfo::kStatusNormal && sameFrame &&
      NowMs() - info.tick >= renderExceptionThreshold) {
    PostFrameStatusChange(info.sid, info.uid, kFrameStatusNone);
    LogAt(kLevelInfo,
          "[GalleryRenderEmbed] uuid:{} post render exception massage, frameid not change -  sid = {}, timeout = {}",
          uuid, info.sid, renderExceptionThreshold);
    info.frameStatus = GalleryRenderInfo::kStatusNoFrame;
  } else if (info.frameStatus == GalleryRenderInfo::kStatusNoFrame && !sameFrame) {
    PostFrameStatusChange(info.sid, info.uid, kFrameStatusNormal);
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} post render normal massage, frameid  changed -  sid = {}", uuid,
          info.sid);
    info.frameStatus = GalleryRenderInfo::kStatusNormal;
  }
}

bool GalleryRenderEmbed::OpenShm(const std::string& key, std::shared_ptr<shoom::Shm>* segment) {
  ControllerEmbed* controller = ControllerEmbed::GetInstance();
  ShareMemoryDiff entry;
  if (!controller->GetShareMemoryDiff(key, &entry)) {
    static RateLimiter limiter(kLogRateLimitMs);
    LogLimited(limiter, kLevelInfo, "[GalleryRenderEmbed] uuid:{} diff is not found, key: {}, conroller starttick:{}",
               uuid, key, controller->GetStartTick());
    return false;
  }
  return CreateShoom(key, entry.path, static_cast<int32_t>(entry.bufferSize), segment) == kErrorNone;
}

// The size is the registry's low 32 bits; as an unsigned mapping size a
// negative value asks for more than any segment holds, and the open fails.
int32_t GalleryRenderEmbed::CreateShoom(const std::string& key, const std::string& path, int32_t size,
                                        std::shared_ptr<shoom::Shm>* segment) {
  auto shm = std::make_shared<shoom::Shm>(path, static_cast<uint32_t>(size));
  if (shm->Open() != shoom::kOK) {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} createShoom failed - sid: {}, path: {}, size: {}, msg: {}", uuid,
          key, path, size, TALLWICK_COMMON::LastErrorString());
    return kErrorOpenShoom;
  }
  *segment = std::move(shm);
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} createShoom success - sid: {}, path: {}, size: {}", uuid, key, path,
        size);
  return kErrorNone;
}

void GalleryRenderEmbed::BuildDrawItem(const std::string& sid, GalleryRenderInfo& info, StartedStreams* firstShown,
                                       std::vector<GalleryDrawItem>* items) {
  items->push_back(
      MakeGalleryDrawItem(info.Placement(), info.frame, static_cast<float>(viewWidth), static_cast<float>(viewHeight)));
  if (info.isPainting) return;
  firstShown->emplace(sid, std::make_pair(info.uid, info.streamType));
  info.isPainting = true;
  info.frameStatus = GalleryRenderInfo::kStatusNormal;
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} start render tick = {}, sid = {}, index = {}", uuid, info.tick, sid,
        info.index);
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
  pp::VarDictionary data;
  data.Set(kKeyStreamId, sid);
  data.Set(kKeyUserId, uid);
  data.Set(kKeyFrameStatus, status);
  PostEvent(kEvtMultiFrameStatusChange, data);
}

}  // namespace TALLWICK_PP_RENDER
