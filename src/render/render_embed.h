#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "embed/i_embed.h"
#include "embed/paint_ticker.h"
#include "embed/pong_heartbeat.h"
#include "frame/video_frame.h"
#include "host/completion_callback_factory.h"
#include "stream/stream_reader.h"
#include "yuv/i_yuv_render.h"

namespace TALLWICK_PP_RENDER {

// The role of an element that shows one stream: its settings from "INIT",
// its renderer and segment, and the paint loop that polls the segment.
//
// Owned by the element's instance, which picks this role when the element
// has neither the controller's nor the gallery's attribute and hands it the
// page's commands and view changes. Owns its renderer (made by "INIT") and
// the mapping of the stream's segment, found through the controller's
// registry by stream key and dropped on "RESET", "RESET_SHOOM" for its key
// and destruction. Everything runs on the host's main thread; the paint
// loop's timer and swap callbacks come from the role's own callback factory,
// so none of them runs once the role is gone. At most one swap is pending:
// a tick that finds one still pending draws nothing. The role never touches
// GL itself; the renderer makes its context current for every call.
//
// Its code is in two files: render_embed.cpp (construction, commands, view
// changes) and render_paint.cpp (the paint loop, with ReadReport).
class RenderEmbed : public IEmbed {
 public:
  RenderEmbed();
  ~RenderEmbed() override;

  void DidChangeView(const pp::View& view) override;

 private:
  // What the stream reader finds, in this role's log lines and events.
  class ReadReport;

  // Commands.
  int32_t HandleInit(const pp::VarDictionary& data);
  int32_t HandleReset(const pp::VarDictionary& data);
  int32_t StartRender(const pp::VarDictionary& data);
  int32_t StopRender(const pp::VarDictionary& data);
  int32_t HandleClearBuffer(const pp::VarDictionary& data);
  int32_t HideCursor(const pp::VarDictionary& data);
  int32_t HandleCursorTypeSet(const pp::VarDictionary& data);
  int32_t HandleResetShoom(const pp::VarDictionary& data);
  int32_t HandleContextLost(const pp::VarDictionary& data);
  MessageHandleResult HandleGetFrameCount(const pp::VarDictionary& data);

  void RegisterCommands();
  void ReadStreamSettings(const pp::VarDictionary& data);

  // The paint loop.
  void Paint(int32_t result);
  void OnPaintDone(int32_t result);
  void ScheduleNextPaint();
  void FollowSelfKeys();
  void FollowSelfKey(const std::string& selfKey, const char* kind);
  bool EnsureSegment();
  void AdoptSelfKeys();
  StreamReader::Tick ReadFrame(ReadReport& report);
  void DrawFrame(const VideoFrame& frame);
  void FrameResized(const VideoFrame& frame);
  int32_t InitRenderer(const VideoFrame& frame);
  void PostFrameStatus(const char* status);
  pp::CompletionCallback PaintDoneCallback();

  pp::View view;
  std::string sid;
  std::string key;
  std::string uid;
  bool isScreen = false;
  bool isMerge = false;
  std::string type;
  bool isPreview = false;
  bool enableHighPerformanceGPU = false;
  bool enablePPAPIRedExt = false;
  bool isLocalScreen = false;
  bool isSelf = false;
  std::string uuid;
  std::unique_ptr<IYUVRender> renderer;
  // Between "START_RENDER" and "STOP_RENDER": the paint chain goes on.
  bool started = false;
  bool visible = true;
  bool isPainting = false;
  double frameInterval = 50.0;
  PaintTicker ticker_;
  int32_t viewWidth_ = 0;
  int32_t viewHeight_ = 0;
  // The stream's segment, the last frame drawn (its geometry is what frames
  // are compared with for "NEED_RESIZE") and the frame status.
  StreamReader reader_;
  // The renderer's last InitYUVRender failed (no 3D context, for one): the
  // next view change that succeeds runs it again for the last frame drawn,
  // since frames of an unchanged geometry never would.
  bool rendererInitFailed_ = false;
  std::function<void()> pendingClear;
  int64_t timeout = 2000;
  bool renderStartedPosted = false;
  uint64_t frameCnt = 0;

  pp::CompletionCallbackFactory<RenderEmbed> callbackFactory{this};
  PongHeartbeat pong_{this};
};

}  // namespace TALLWICK_PP_RENDER
