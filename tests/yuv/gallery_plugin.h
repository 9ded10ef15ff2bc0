#pragma once

#include <cstdint>
#include <vector>

#include "devhost/entry_points.h"
#include "yuv/colour_bar_plugin.h"
#include "yuv/gallery_draw_item.h"

namespace yuv_test {

// One tile to draw: where it goes, and the frame shown in it.
struct GalleryTile {
  TALLWICK_PP_RENDER::TilePlacement placement;
  const ColourBarFrame* frame = nullptr;
  int32_t rotation = 0;
  bool flip = false;
};

// What the next draw of the gallery plug-in shows.
struct GalleryScene {
  TALLWICK_PP_RENDER::TileColor background{};  // the element's clear colour
  bool needClear = true;
  std::vector<GalleryTile> tiles;
};

// The test galleries' layout in a 640 x 360 element: a 2 x 2 grid of
// 240 x 180 tiles (4:3, so 16:9 pictures fit with bars and crop at the
// sides), centred with the element's background left and right.
inline constexpr int32_t kGalleryViewWidth = 640;
inline constexpr int32_t kGalleryViewHeight = 360;
TALLWICK_PP_RENDER::TilePlacement GridTile(int index, const TALLWICK_PP_RENDER::TileColor& colour, bool crop = false);

// A plug-in for the in-process host whose every instance owns a
// YUV3DGalleryRender: a view change resizes it, any page message draws the
// scene given to SetGalleryScene (setting the renderer up on the first one)
// and presents it.
pphost::EntryPoints GalleryPluginEntryPoints();
void SetGalleryScene(const GalleryScene* scene);

}  // namespace yuv_test
