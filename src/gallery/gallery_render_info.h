#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "stream/stream_reader.h"
#include "yuv/gallery_draw_item.h"

namespace TALLWICK_PP_RENDER {

// One tile of the gallery layout: where the page places it, and what the
// paint loop has learned about its stream since the tile appeared.
struct GalleryRenderInfo {
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
  // The tile's stream: its segment, the frame last drawn for the tile, its
  // frame status, and (ChangeMs) when the layout that introduced the tile was
  // parsed, later when its frame last changed on screen.
  StreamReader reader;
  bool isPainting = false;  // drawn since it appeared at this index

  TilePlacement Placement() const { return {left, top, width, height, renderMode, isMirror, backgroundColor}; }
  // "GalleryRenderInfo { sid:..., uid:..., index:..., normal read frameCnt:... }"
  std::string Describe() const;
};

// Tiles by key, walked in byte-wise key order, which is also the draw order.
using GalleryRenderInfos = std::map<std::string, GalleryRenderInfo>;

// "[ { key: K, value: <record> }, ... ]"
std::string DescribeRenderInfos(const GalleryRenderInfos& infos);

}  // namespace TALLWICK_PP_RENDER
