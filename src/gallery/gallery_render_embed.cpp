#include "gallery/gallery_render_embed.h"

#include "common/clock.h"
#include "common/debug_trace.h"
#include "common/log_instance.h"
#include "common/scope_timer.h"
#include "controller/crash_manager.h"
#include "controller/process_info.h"
#include "embed/element_cursor.h"
#include "embed/frame_count_entry.h"
#include "embed/paint_schedule.h"
#include "embed/protocol.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::ScopeTimer;
using TALLWICK_LOG::kLevelError;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kModuleTag;
using TALLWICK_LOG::LogAt;
using TALLWICK_LOG::ObjectAddress;

namespace {

constexpr uint32_t kColorComponents = 4;

}  // namespace

GalleryRenderEmbed::GalleryRenderEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::GalleryRenderEmbed::GalleryRenderEmbed");
  RegisterCommands();
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[GalleryRenderEmbed] uuid:{} this[{:#08x}] gallery instance construct", uuid,
        ObjectAddress(this));
  TALLWICK_LOG::DebugTrace(L"GalleryRenderEmbed instance construct...%08x", static_cast<unsigned>(ObjectAddress(this)));
  pong_.PostPong(kPongIntervalMs);
}

GalleryRenderEmbed::~GalleryRenderEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::GalleryRenderEmbed::~GalleryRenderEmbed");
  LogAt(TALLWICK_LOG::kLevelLifecycle,
        "[GalleryRenderEmbed] uuid:{} this[{:#08x}] gallery instance destroyed, uuid: {}", uuid, ObjectAddress(this),
        uuid);
  renderExceptionThreshold = 2000;
  backgroundColor = {};
  renderinfos_.clear();
  pendingRenderInfos.clear();
  uuid.clear();
  started = false;
  is_view_visible = true;
  is_painting_ = false;
  frameInterval = 50.0;
  viewWidth_ = 0;
  viewHeight_ = 0;
  pong_.Stop();
  callbackFactory.CancelAll();
  renderer.reset();
}

void GalleryRenderEmbed::RegisterCommands() {
  RegisterCode(kCmdInit, &GalleryRenderEmbed::HandleInit);
  RegisterCode(kCmdStartRender, &GalleryRenderEmbed::StartRender);
  RegisterCode(kCmdStopRender, &GalleryRenderEmbed::StopRender);
  RegisterCode(kCmdHideCursor, &GalleryRenderEmbed::HandleHideCursor);
  RegisterCode(kCmdShowCursor, &GalleryRenderEmbed::HandleShowCursor);
  RegisterCode(kCmdResetShoom, &GalleryRenderEmbed::HandleResetShoom);
  RegisterCode(kCmdUpdateMultiInfos, &GalleryRenderEmbed::HandleUpdateMultiInfos);
  RegisterResult(kCmdGetFrameCount, &GalleryRenderEmbed::HandleGetFrameCount);
}

int32_t GalleryRenderEmbed::HandleInit(const pp::VarDictionary& data) {
  const std::string logPath = data.Get(kKeyLogPath).AsString();
  uuid = data.Get(kKeyUuid).AsString();
  const int32_t logVersion = data.Get(kKeyLogVersion).AsInt();
  const int32_t fps = data.Get(kKeyFps).AsInt();
  const double dpr = data.Get(kKeyDpr).AsDouble();
  frameInterval = FrameIntervalForFps(fps, frameInterval);
  renderExceptionThreshold = FrameStatusTimeoutMs(data.Get(kKeyRenderExceptionThreshold).AsInt());
  enableHighPerformanceGPU = data.Get(kKeyEnableHighPerformanceGPU).AsBool();
  enablePPAPIRedExt = data.Get(kKeyEnablePPAPIRedExt).AsBool();
  ReadBackgroundColor(data);
  TALLWICK_LOG::LogInstance::GetInstance()->Create(logVersion, logPath, kModuleTag, kModuleTag);
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} init ppapi GalleryRenderEmbed - process id:{}", uuid,
        CurrentProcessId());
  {
    ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::CrashManager::Init");
    CrashManager::GetInstance()->Init("", logPath, logPath, logVersion);
  }
  LogAt(kLevelInfo,
        "[GalleryRenderEmbed] uuid:{} this[{:#08x}] GalleryRenderEmbed handleinit fps = {}, logVersion = {}, uuid = "
        "{}, enableHighPerformanceGPU = {}, enablePPAPIRedExt = {}, dpr = {}",
        uuid, ObjectAddress(this), fps, logVersion, uuid, enableHighPerformanceGPU, enablePPAPIRedExt, dpr);
  renderer = std::make_unique<YUV3DGalleryRender>(OwnerInstance(), dpr);
  rendererInitFailed_ = false;
  renderer->SetSid(uuid);
  // While rendering, no START_RENDER will come to prepare the new renderer
  // (its textures, samplers and background) before the next tick draws with it.
  if (started) PrepareRenderer();
  return kErrorNone;
}

// Only a list of exactly four components replaces the colour.
void GalleryRenderEmbed::ReadBackgroundColor(const pp::VarDictionary& data) {
  const pp::VarArray color(data.Get(kKeyBackgroundColor));
  if (color.GetLength() == kColorComponents) {
    for (uint32_t i = 0; i < kColorComponents; ++i) backgroundColor.at(i) = static_cast<float>(color.Get(i).AsDouble());
  }
  LogAt(kLevelInfo, "[GalleryRenderEmbed] get background color:{},{},{},{}", backgroundColor[0], backgroundColor[1],
        backgroundColor[2], backgroundColor[3]);
}

// Without "INIT" there is no renderer to start: the page is told so and
// nothing starts.
int32_t GalleryRenderEmbed::StartRender(const pp::VarDictionary& /*data*/) {
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} this[{:#08x}] StartRender", uuid, ObjectAddress(this));
  if (started) {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} StartRender - render has been started", uuid);
    return kErrorRenderingStarted;
  }
  if (renderer == nullptr) return kErrorNotInited;
  started = true;
  PrepareRenderer();
  frameCnt = 0;
  PaintGallery(0);
  PostEvent(kEvtRenderStarted);
  return kErrorNone;
}

int32_t GalleryRenderEmbed::StopRender(const pp::VarDictionary& /*data*/) {
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} this[{:#08x}] StopRender", uuid, ObjectAddress(this));
  if (!started) {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} StopRender - render has been stopped", uuid);
    return kErrorRenderingStopped;
  }
  started = false;
  PostEvent(kEvtRenderStopped);
  return kErrorNone;
}

int32_t GalleryRenderEmbed::HandleHideCursor(const pp::VarDictionary& /*data*/) {
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} HideCursor command", uuid);
  return SetElementCursor(OwnerInstance(), PP_MOUSECURSOR_TYPE_NONE);
}

int32_t GalleryRenderEmbed::HandleShowCursor(const pp::VarDictionary& /*data*/) {
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} ShowCursor command", uuid);
  return SetElementCursor(OwnerInstance(), PP_MOUSECURSOR_TYPE_POINTER);
}

// The controller re-published the stream: the next tick reopens it.
int32_t GalleryRenderEmbed::HandleResetShoom(const pp::VarDictionary& data) {
  const std::string key = data.Get(kKeyStreamKey).AsString();
  auto found = renderinfos_.find(key);
  if (found == renderinfos_.end()) return kErrorNone;
  GalleryRenderInfo& info = found->second;
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} Handle native message ResetShoom - sid: {}, shm path: {} ", uuid, key,
        info.reader.HasSegment() ? info.reader.SegmentPath() : std::string(" - "));
  info.reader.Reset();
  return kErrorNone;
}

int32_t GalleryRenderEmbed::HandleUpdateMultiInfos(const pp::VarDictionary& data) {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::GalleryRenderEmbed::HandleUpdateMultiInfos");
  ParseRenderInfo(pp::VarArray(data.Get(kKeyRenderInfos)));
  renderInfosEmpty = pendingRenderInfos.empty();
  LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} HandleUpdateMultiInfos, size = {}", uuid, pendingRenderInfos.size());
  for (const auto& [key, info] : pendingRenderInfos) {
    LogAt(kLevelInfo,
          "[GalleryRenderEmbed] uuid:{} HandleUpdateMultiInfos item index:{} key:{} uid:{} sid:{} left:{} top:{} "
          "width:{} height:{} isMirror:{}",
          uuid, info.index, key, info.uid, info.sid, info.left, info.top, info.width, info.height, info.isMirror);
  }
  // The comparison always runs (and logs), whatever is already pending.
  const bool layoutChanged = CheckNeedClearScreen();
  needClearScreen = layoutChanged || needClearScreen;
  ApplyPendingRenderInfos();
  return kErrorNone;
}

MessageHandleResult GalleryRenderEmbed::HandleGetFrameCount(const pp::VarDictionary& /*data*/) {
  MessageHandleResult result;
  for (const auto& [key, info] : renderinfos_) {
    const VideoFrame& shown = info.reader.ShownFrame();
    result.data.Set(key, FrameCountEntry(shown.width, shown.height, static_cast<double>(info.width),
                                         static_cast<double>(info.height), frameCnt));
  }
  return result;
}

// A change of visibility alone never reaches the renderer; the paint loop
// reads it.
void GalleryRenderEmbed::DidChangeView(const pp::View& newView) {
  view = newView;
  const PP_Rect rect = view.GetRect();
  const int32_t newWidth = rect.size.width;
  const int32_t newHeight = rect.size.height;
  is_view_visible = view.IsVisible();
  if (newWidth == viewWidth_ && newHeight == viewHeight_) {
    LogAt(kLevelInfo,
          "[GalleryRenderEmbed] uuid:{} this[{:#08x}] DidChangeView - not changed, newWidth: {}, newHeight: {}, "
          "is_view_visible: {}",
          uuid, ObjectAddress(this), newWidth, newHeight, is_view_visible);
    return;
  }
  if (!RendererTookView(renderer.get(), view, enableHighPerformanceGPU, enablePPAPIRedExt)) return;
  LogAt(kLevelInfo,
        "[GalleryRenderEmbed] uuid:{} this[{:#08x}] DidChangeView changed and done - newWidth: {}, newHeight: {}, "
        "is_view_visible: {}",
        uuid, ObjectAddress(this), newWidth, newHeight, is_view_visible);
  viewWidth_ = newWidth;
  viewHeight_ = newHeight;
  // The view gave the renderer the context that START_RENDER's initialisation lacked.
  if (renderer != nullptr && rendererInitFailed_) {
    LogAt(kLevelInfo, "[GalleryRenderEmbed] uuid:{} DidChangeView - init yuv render again", uuid);
    InitRenderer();
  }
}

// A renderer that cannot be prepared is told to the page with an ERROR
// event, whether START_RENDER or an INIT while rendering prepared it.
void GalleryRenderEmbed::PrepareRenderer() {
  const int32_t err = InitRenderer();
  if (err == kErrorNone) return;
  pp::VarDictionary error;
  error.Set(kKeyErrorCode, err);
  PostEvent(kEvtError, error);
  LogAt(kLevelError, "[GalleryRenderEmbed] uuid:{} InitYUVRender failed - err: {}", uuid, err);
}

int32_t GalleryRenderEmbed::InitRenderer() {
  const int32_t result =
      renderer->InitYUVRender(backgroundColor, viewWidth_, viewHeight_, enableHighPerformanceGPU, enablePPAPIRedExt);
  rendererInitFailed_ = result != kErrorNone;
  return result;
}

}  // namespace TALLWICK_PP_RENDER
