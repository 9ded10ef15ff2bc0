#include "yuv/gallery_draw_item.h"

#include "yuv/tex_coord.h"

namespace TALLWICK_PP_RENDER {

namespace {

struct Rect {
  float left;
  float top;
  float width;
  float height;
};

struct Window {
  float hOffset;
  float vOffset;
  float hExtent;
  float vExtent;
};

bool IsUpright(int32_t rotation) { return rotation == 0 || rotation == 180; }

TileVertices RectVertices(const Rect& r, float viewWidth, float viewHeight) {
  const float x0 = r.left / viewWidth;
  const float y0 = r.top / viewHeight;
  const float x1 = x0 + r.width / viewWidth;
  const float y1 = y0 + r.height / viewHeight;
  return {x0, y0, x1, y0, x0, y1, x0, y1, x1, y0, x1, y1};
}

// The fitted picture inside the tile, centred on the axis with room to spare.
Rect FitRect(const TilePlacement& tile, float frameAspect) {
  if (tile.width / tile.height > frameAspect) {
    const float drawnWidth = tile.height * frameAspect;
    return {tile.left + (tile.width - drawnWidth) * 0.5F, tile.top, drawnWidth, tile.height};
  }
  const float drawnHeight = tile.width / frameAspect;
  return {tile.left, tile.top + (tile.height - drawnHeight) * 0.5F, tile.width, drawnHeight};
}

// The texture window that fills the tile, cut evenly on one screen axis.
// `sMax` is the valid part of a texture row, which lies along the screen's
// horizontal axis when upright and along its vertical axis when turned.
Window CropWindow(const TilePlacement& tile, float frameAspect, int32_t rotation, float sMax) {
  const bool upright = IsUpright(rotation);
  if (tile.width / tile.height > frameAspect) {
    const float scaled = tile.width / frameAspect;
    const float frac = tile.height / scaled;
    const float off = (scaled - tile.height) / (2 * scaled);
    return upright ? Window{0, off, sMax, frac} : Window{0, off * sMax, 1, frac * sMax};
  }
  const float scaled = tile.height * frameAspect;
  const float frac = tile.width / scaled;
  const float off = (scaled - tile.width) / (2 * scaled);
  return upright ? Window{off * sMax, 0, frac * sMax, 1} : Window{off, 0, frac, sMax};
}

TileVertices CroppedCoords(const Window& w, int32_t rotation) {
  TileVertices coords{};
  GenCroppedTexCoord(w.hOffset, w.vOffset, w.hExtent, w.vExtent, rotation, coords);
  return coords;
}

TileVertices RotatedCoords(float sMax, int32_t rotation) {
  TileVertices coords{};
  GenRotatedTexCoord(sMax, 1.0F, rotation, coords);
  return coords;
}

}  // namespace

GalleryDrawItem MakeGalleryDrawItem(const TilePlacement& tile, const VideoFrame& frame, float viewWidth,
                                    float viewHeight) {
  const int32_t rotation = frame.rotation;
  const auto width = static_cast<float>(frame.width);
  const auto height = static_cast<float>(frame.height);
  const float frameAspect = IsUpright(rotation) ? width / height : height / width;
  // Chroma width in whole texels, as the planes are laid out.
  const int32_t chromaWidth = frame.width / 2;
  const auto halfWidth = static_cast<float>(chromaWidth);
  const float sMaxY = width / static_cast<float>(frame.planS0) - 2.0F / width;
  const float sMaxUV = halfWidth / static_cast<float>(frame.planS1) - 2.0F / halfWidth;

  GalleryDrawItem item;
  item.tilePositions = RectVertices({tile.left, tile.top, tile.width, tile.height}, viewWidth, viewHeight);
  if (tile.renderMode == kRenderModeCrop) {
    item.positions = item.tilePositions;
    item.texCoordsY = CroppedCoords(CropWindow(tile, frameAspect, rotation, sMaxY), rotation);
    item.texCoordsUV = CroppedCoords(CropWindow(tile, frameAspect, rotation, sMaxUV), rotation);
  } else {
    item.positions = RectVertices(FitRect(tile, frameAspect), viewWidth, viewHeight);
    item.texCoordsY = RotatedCoords(sMaxY, rotation);
    item.texCoordsUV = RotatedCoords(sMaxUV, rotation);
  }
  item.mirror = frame.flip || tile.isMirror;
  item.backgroundColor = tile.backgroundColor;
  item.frame = frame;
  return item;
}

}  // namespace TALLWICK_PP_RENDER
