#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "embed/i_embed.h"
#include "embed/paint_ticker.h"
#include "embed/pong_heartbeat.h"
#include "gallery/gallery_render_info.h"
#include "host/completion_callback_factory.h"
#include "yuv/gallery_draw_item.h"
#include "yuv/yuv_3d_gallery_render.h"

namespace TALLWICK_PP_RENDER {

// The role of an element that shows many streams as tiles laid out by the
// page ("UPDATE_MULTI_INFOS"), all drawn into one 3D context.
//
// Owns its renderer (made by "INIT") and, through the tile records, the open
// segments. Everything runs on the host's main thread: commands, view changes
// and the paint loop, whose timer and swap callbacks come from the role's own
// callback factory and do nothing once the role is gone. Every renderer call
// makes the renderer's context current first; the role never touches GL.
//
// Its code is in three files: gallery_render_embed.cpp (construction,
// commands, view changes), gallery_layout.cpp (a new layout replacing the
// current one) and gallery_paint.cpp (the paint loop, with TileReport).
class GalleryRenderEmbed : public IEmbed {
 public:
  GalleryRenderEmbed();
  ~GalleryRenderEmbed() override;

  void DidChangeView(const pp::View& view) override;

 private:
  // Streams drawn for the first time in a tick: sid -> (uid, streamType).
  using StartedStreams = std::map<std::string, std::pair<std::string, std::string>>;
  // A tile with a frame to draw in this tick, and what its read found.
  struct TileRead {
    GalleryRenderInfo* info;
    StreamReader::Tick tick;
  };
  // What a tile's stream reader finds, in this role's log lines and events.
  class TileReport;

  // Commands.
  void RegisterCommands();
  int32_t HandleInit(const pp::VarDictionary& data);
  void ReadBackgroundColor(const pp::VarDictionary& data);
  int32_t StartRender(const pp::VarDictionary& data);
  int32_t InitRenderer();
  void PrepareRenderer();
  int32_t StopRender(const pp::VarDictionary& data);
  int32_t HandleHideCursor(const pp::VarDictionary& data);
  int32_t HandleShowCursor(const pp::VarDictionary& data);
  int32_t HandleResetShoom(const pp::VarDictionary& data);
  MessageHandleResult HandleGetFrameCount(const pp::VarDictionary& data);

  // Layout changes.
  int32_t HandleUpdateMultiInfos(const pp::VarDictionary& data);
  void ParseRenderInfo(const pp::VarArray& items);
  GalleryRenderInfo ReadRenderInfo(const pp::Var& item, int32_t index) const;
  void ApplyPendingRenderInfos();
  void RestoreTilesWithoutState();
  bool CheckNeedClearScreen() const;
  bool TileChanged(const std::string& key, const GalleryRenderInfo& old, const GalleryRenderInfo& now) const;

  // The paint loop.
  void PaintGallery(int32_t result);
  void PaintWhileSwapPending(bool needClear);
  void PaintEmptyLayout();
  void DrawChangedTiles(bool needClear);
  void OnPaintDone(int32_t result);
  void ScheduleNextPaint();
  void ReadShareMemoryData(bool* needClear);
  bool OpenTileSegment(const std::string& key, GalleryRenderInfo& info);
  bool ReadTileFrame(GalleryRenderInfo& info, StreamReader::Tick* tick);
  void BuildDrawItem(const std::string& sid, GalleryRenderInfo& info, const VideoFrame& frame,
                     StartedStreams* firstShown, std::vector<GalleryDrawItem>* items);
  void PostMultiRenderStarted(StartedStreams* firstShown);
  void PostFrameStatusChange(const std::string& sid, const std::string& uid, const char* status);
  // Presents through the renderer; without one (no "INIT" yet) the tick
  // simply re-arms, as no swap will complete.
  void ClearBKColor();
  void DrawItems(bool needClear, const std::vector<GalleryDrawItem>& items);

  std::string uuid;
  int64_t renderExceptionThreshold = 2000;
  TileColor backgroundColor{};
  double frameInterval = 50.0;
  PaintTicker ticker_;
  pp::View view;
  int32_t viewWidth_ = 0;
  int32_t viewHeight_ = 0;
  bool is_view_visible = true;
  GalleryRenderInfos renderinfos_;
  GalleryRenderInfos pendingRenderInfos;
  // pendingRenderInfos holds a layout not yet applied to renderinfos_.
  bool layoutPending_ = false;
  // Scratch of the paint tick, kept to reuse their storage: the tiles read
  // (pointing into renderinfos_, valid during the tick only) and the tiles
  // to draw.
  std::vector<TileRead> tileReads_;
  std::vector<GalleryDrawItem> drawItems_;
  // Between "START_RENDER" and "STOP_RENDER": the paint chain goes on.
  bool started = false;
  bool is_painting_ = false;
  bool renderInfosEmpty = false;
  bool needClearScreen = false;
  std::unique_ptr<YUV3DGalleryRender> renderer;
  // The renderer's last InitYUVRender failed (no 3D context, for one): the
  // next view change that succeeds runs it again.
  bool rendererInitFailed_ = false;
  pp::CompletionCallbackFactory<GalleryRenderEmbed> callbackFactory{this};
  uint64_t frameCnt = 0;
  bool enableHighPerformanceGPU = false;
  bool enablePPAPIRedExt = false;

  PongHeartbeat pong_{this};
};

}  // namespace TALLWICK_PP_RENDER
