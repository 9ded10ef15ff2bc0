#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "frame/shm.h"
#include "frame/video_frame.h"
#include "yuv/gallery_draw_item.h"

namespace TALLWICK_PP_RENDER {

// One tile of the gallery layout: where the page places it, and what the
// paint loop has learned about its stream since the tile appeared.
struct GalleryRenderInfo {
  enum FrameStatus : int32_t { kStatusNone = 0, kStatusNormal = 1, kStatusNoFrame = 2 };

  std::string uid;
  std::string sid;
  std::string streamType;  // "SCREEN" marks a screen share; anything else is a camera
  bool isSelf = false;     // stored only
  bool isMirror = false;
  float top = 0;
  float left = 0;
  float width = 0;
  float height = 0;
  int32_t renderMode = 0;  // kRenderModeCrop, or fit
  TileColor backgroundColor{};
  int32_t index = -1;  // place in the page's list
  int64_t readCount = 0;
  std::shared_ptr<shoom::Shm> segment;
  VideoFrame frame;         // the last frame read and stored for the tile
  bool isPainting = false;  // drawn since it appeared at this index
  int64_t tick = 0;         // ms: when parsed, later when its frame last changed on screen
  int32_t frameStatus = kStatusNone;

  TilePlacement Placement() const { return {left, top, width, height, renderMode, isMirror, backgroundColor}; }
  // "GalleryRenderInfo { sid:..., uid:..., index:..., normal read frameCnt:... }"
  std::string Describe() const;
};

// Tiles by key, walked in byte-wise key order, which is also the draw order.
using GalleryRenderInfos = std::map<std::string, GalleryRenderInfo>;

// "[ { key: K, value: <record> }, ... ]"
std::string DescribeRenderInfos(const GalleryRenderInfos& infos);

}  // namespace TALLWICK_PP_RENDER
