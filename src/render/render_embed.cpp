#include "render/render_embed.h"

#include "common/debug_trace.h"
#include "common/log_instance.h"
#include "common/saturating.h"
#include "common/scope_timer.h"
#include "controller/controller_embed.h"
#include "controller/crash_manager.h"
#include "controller/process_info.h"
#include "embed/element_cursor.h"
#include "embed/frame_count_entry.h"
#include "embed/paint_schedule.h"
#include "embed/protocol.h"
#include "yuv/yuv_3d_render.h"

namespace TALLWICK_PP_RENDER {

using TALLWICK_COMMON::ScopeTimer;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kModuleTag;
using TALLWICK_LOG::LogAt;

namespace {

constexpr int32_t kCursorTypeMin = -1;
constexpr int32_t kCursorTypeMax = 42;

}  // namespace

RenderEmbed::RenderEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::RenderEmbed::RenderEmbed");
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[RenderEmbed] uuid:{} this[{:#08x}] render instance construct", uuid,
        TALLWICK_LOG::ObjectAddress(this));
  TALLWICK_LOG::DebugTrace(L"render instance construct...%08x",
                           static_cast<unsigned>(TALLWICK_LOG::ObjectAddress(this)));
  HandleReset(pp::VarDictionary());
  RegisterCommands();
  pong_.PostPong(kPongIntervalMs);
}

RenderEmbed::~RenderEmbed() {
  ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::RenderEmbed::~RenderEmbed");
  LogAt(kLevelInfo,
        "[RenderEmbed] uuid:{} this[{:#08x}] >>>>>>> RenderEmbed destroyed <<<<<<< - sid: {}, isPreview: {}, "
        "isScreen: {}, isSelf: {} uuid: {}",
        uuid, TALLWICK_LOG::ObjectAddress(this), sid, isPreview, isScreen, isSelf, uuid);
  HandleReset(pp::VarDictionary());
  LogAt(TALLWICK_LOG::kLevelLifecycle, "[RenderEmbed] uuid:{} this[{:#08x}] render instance destroyed", uuid,
        TALLWICK_LOG::ObjectAddress(this));
  pong_.Stop();
  callbackFactory.CancelAll();
}

void RenderEmbed::RegisterCommands() {
  RegisterCode(kCmdInit, &RenderEmbed::HandleInit);
  RegisterCode(kCmdReset, &RenderEmbed::HandleReset);
  RegisterCode(kCmdStartRender, &RenderEmbed::StartRender);
  RegisterCode(kCmdStopRender, &RenderEmbed::StopRender);
  RegisterCode(kCmdClearBuffer, &RenderEmbed::HandleClearBuffer);
  RegisterCode(kCmdHideCursor, &RenderEmbed::HideCursor);
  RegisterCode(kCmdShowCursor, &RenderEmbed::HandleCursorTypeSet);
  RegisterCode(kCmdResetShoom, &RenderEmbed::HandleResetShoom);
  RegisterCode(kCmd3DContextLost, &RenderEmbed::HandleContextLost);
  RegisterResult(kCmdGetFrameCount, &RenderEmbed::HandleGetFrameCount);
}

int32_t RenderEmbed::HandleInit(const pp::VarDictionary& data) {
  HandleReset(data);
  const std::string logPath = data.Get(kKeyLogPath).AsString();
  const int32_t logVersion = data.Get(kKeyLogVersion).AsInt();
  const int32_t fps = data.Get(kKeyFps).AsInt();
  const double dpr = data.Get(kKeyDpr).AsDouble();
  renderer = std::make_unique<YUV3DRender>(OwnerInstance(), dpr);
  rendererInitFailed_ = false;
  TALLWICK_LOG::LogInstance::GetInstance()->Create(logVersion, logPath, kModuleTag, kModuleTag);
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} init ppapi render - process id:{}", uuid, CurrentProcessId());
  {
    ScopeTimer timer(kModuleTag, "TALLWICK_PP_RENDER::CrashManager::Init");
    CrashManager::GetInstance()->Init("", logPath, logPath, logVersion);
  }
  uuid = data.Get(kKeyUuid).AsString();
  ReadStreamSettings(data);
  renderer->SetSid(sid);
  frameInterval = FrameIntervalForFps(fps, frameInterval);
  HandleClearBuffer(data);
  LogAt(kLevelInfo,
        "[RenderEmbed] uuid:{} this[{:#08x}] >>>>>>> InstanceInited <<<<<<<< - render type, fps: {}, logVersion: {}, "
        "isSelf: {}, isPreview: {}, isLocalScreen: {} sid: {}, uid:{}, isScreen: {}, isMerge: {}, timeout: {}, dpr: "
        "{}, uuid: {}, key: {}, enableHighPerformanceGPU: {}, enablePPAPIRedExt: {}",
        uuid, TALLWICK_LOG::ObjectAddress(this), fps, logVersion, isSelf, isPreview, isLocalScreen, sid, uid, isScreen,
        isMerge, timeout, dpr, uuid, key, enableHighPerformanceGPU, enablePPAPIRedExt);
  return kErrorNone;
}

// The stream's identity and kind: a merged stream ignores sid and uid, and
// the kind is decided by the last rule that applies.
void RenderEmbed::ReadStreamSettings(const pp::VarDictionary& data) {
  enableHighPerformanceGPU = data.Get(kKeyEnableHighPerformanceGPU).AsBool();
  enablePPAPIRedExt = data.Get(kKeyEnablePPAPIRedExt).AsBool();
  isMerge = data.Get(kKeyIsMerge).AsBool();
  sid = isMerge ? "merge" : data.Get(kKeySid).AsString();
  uid = isMerge ? "merge" : data.Get(kKeyUid).AsString();
  isPreview = data.Get(kKeyIsPreview).AsBool();
  isLocalScreen = data.Get(kKeyIsLocalScreen).AsBool();
  isScreen = data.Get(kKeyIsScreen).AsBool();
  isSelf = data.Get(kKeyIsSelf).AsBool();
  timeout = FrameStatusTimeoutMs(data.Get(kKeyRenderExceptionThreshold).AsInt());
  if (isPreview) type = kStreamPreview;
  if (isMerge) type = kStreamMerge;
  if (isScreen) type = isLocalScreen ? kStreamLocalScreen : kStreamScreen;
  key = MakeStreamKey(uid, isScreen, isMerge);
}

int32_t RenderEmbed::HandleReset(const pp::VarDictionary& /*data*/) {
  started = false;
  visible = true;
  frameInterval = 50.0;
  reader_.Reset();
  type = kStreamCamera;
  uuid.clear();
  return kErrorNone;
}

int32_t RenderEmbed::StartRender(const pp::VarDictionary& /*data*/) {
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} this[{:#08x}] StartRender - sid: {}", uuid,
        TALLWICK_LOG::ObjectAddress(this), sid);
  if (started) {
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} StartRender - render has been started\xEF\xBC\x8C sid: {}", uuid, sid);
    return kErrorNone;
  }
  started = true;
  reader_.StartWait();
  frameCnt = 0;
  Paint(0);
  return kErrorNone;
}

int32_t RenderEmbed::StopRender(const pp::VarDictionary& /*data*/) {
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} this[{:#08x}] StopRender - sid: {}", uuid, TALLWICK_LOG::ObjectAddress(this),
        sid);
  if (!started) {
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} StopRender - render has been stopped, sid: {}", uuid, sid);
    return kErrorRenderingStopped;
  }
  started = false;
  PostEvent(kEvtRenderStopped);
  return kErrorNone;
}

// Before the first "INIT" there is no renderer to clear: the element is told
// it is not initialised.
int32_t RenderEmbed::HandleClearBuffer(const pp::VarDictionary& /*data*/) {
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} HandleClearBuffer - isPainting: {}, sid: {}", uuid, isPainting, sid);
  if (renderer == nullptr) return kErrorNotInited;
  if (!isPainting) {
    const int32_t result = renderer->ClearBuffer(PaintDoneCallback());
    isPainting = (result == kErrorNone);
    return result;
  }
  pendingClear = [this] {
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} HandleClearBuffer - triggered, sid: {}", uuid, sid);
    renderer->ClearBuffer(PaintDoneCallback());
    isPainting = true;
  };
  return kErrorNone;
}

int32_t RenderEmbed::HideCursor(const pp::VarDictionary& /*data*/) {
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} HideCursor - sid: {}", uuid, sid);
  return SetElementCursor(OwnerInstance(), PP_MOUSECURSOR_TYPE_NONE);
}

int32_t RenderEmbed::HandleCursorTypeSet(const pp::VarDictionary& data) {
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} HandleCursorTypeSet - sid: {}", uuid, sid);
  int32_t cursorType = data.Get(kKeyCursorType).AsInt();
  if (cursorType < kCursorTypeMin || cursorType > kCursorTypeMax) cursorType = PP_MOUSECURSOR_TYPE_POINTER;
  return SetElementCursor(OwnerInstance(), cursorType);
}

int32_t RenderEmbed::HandleResetShoom(const pp::VarDictionary& data) {
  if (data.Get(kKeyStreamKey).AsString() != key) {
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} no need to reset this shoom - sid: {}", uuid, sid);
    return kErrorNone;
  }
  LogAt(kLevelInfo, "[RenderEmbed] uuid:{} HandleResetShoom - sid: {}, m_shm path: {} ", uuid, sid,
        reader_.HasSegment() ? reader_.SegmentPath() : std::string(" - "));
  reader_.Reset();
  return kErrorNone;
}

int32_t RenderEmbed::HandleContextLost(const pp::VarDictionary& /*data*/) { return kErrorNone; }

MessageHandleResult RenderEmbed::HandleGetFrameCount(const pp::VarDictionary& /*data*/) {
  const VideoFrame& shown = reader_.ShownFrame();
  MessageHandleResult result;
  result.data.Set(uid + "_" + type, FrameCountEntry(shown.width, shown.height, viewWidth_, viewHeight_, frameCnt));
  return result;
}

void RenderEmbed::DidChangeView(const pp::View& newView) {
  view = newView;
  // The host's scale and rectangle are taken as they come, whatever their size.
  const int32_t scale = tallwick::TruncateToInt32(view.GetDeviceScale());
  const PP_Rect rect = view.GetRect();
  const int32_t width = tallwick::SaturatingMultiply(rect.size.width, scale);
  const int32_t height = tallwick::SaturatingMultiply(rect.size.height, scale);
  visible = view.IsVisible();
  if (width == viewWidth_ && height == viewHeight_) {
    LogAt(kLevelInfo,
          "[RenderEmbed] uuid:{} this[{:#08x}] DidChangeView - not changed, newWidth: {}, newHeight: {}, visible: "
          "{},sid: {}",
          uuid, TALLWICK_LOG::ObjectAddress(this), width, height, visible, sid);
    return;
  }
  if (!RendererTookView(renderer.get(), view, enableHighPerformanceGPU, enablePPAPIRedExt)) return;
  LogAt(kLevelInfo,
        "[RenderEmbed] uuid:{} this[{:#08x}] DidChangeView changed and done - newWidth: {}, newHeight: {}, visible: "
        "{}, sid: {}",
        uuid, TALLWICK_LOG::ObjectAddress(this), width, height, visible, sid);
  viewWidth_ = width;
  viewHeight_ = height;
  // The view gave the renderer the context a frame's initialisation lacked.
  if (renderer != nullptr && rendererInitFailed_ && reader_.ShownFrame().frameId != -1) {
    LogAt(kLevelInfo, "[RenderEmbed] uuid:{} DidChangeView - init yuv render again, sid: {}", uuid, sid);
    InitRenderer(reader_.ShownFrame());
  }
}

}  // namespace TALLWICK_PP_RENDER
