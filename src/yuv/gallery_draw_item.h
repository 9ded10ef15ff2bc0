#pragma once

#include <array>
#include <cstdint>

#include "frame/video_frame.h"
#include "yuv/tex_coord.h"

namespace TALLWICK_PP_RENDER {

using TileColor = std::array<float, 4>;  // r, g, b, a in [0, 1]
using TileVertices = TexCoords;          // six (x, y) or (s, t) pairs

// One tile for the gallery renderer. Positions are fractions of the view
// (x from the left edge, y from the top edge) for the six vertices of the
// two triangles; texture coordinates follow the same vertex order.
struct GalleryDrawItem {
  TileVertices positions{};
  TileVertices texCoordsY{};
  TileVertices texCoordsUV{};
  VideoFrame frame;
  bool mirror = false;
  TileColor backgroundColor{};
  TileVertices tilePositions{};
};

// Where and how the layout places a tile, in view units.
struct TilePlacement {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
  int32_t renderMode = 0;  // 1 crop (fill the tile), anything else fit (whole picture)
  bool isMirror = false;
  TileColor backgroundColor{};
};

inline constexpr int32_t kRenderModeCrop = 1;

// The draw record of `frame` placed by `tile` in a view of
// viewWidth x viewHeight: fitted (centred, bars in the tile colour) or
// cropped evenly on one axis, turned by the frame's rotation, mirrored when
// the frame is flipped or the tile asks for it.
GalleryDrawItem MakeGalleryDrawItem(const TilePlacement& tile, const VideoFrame& frame, float viewWidth,
                                    float viewHeight);

}  // namespace TALLWICK_PP_RENDER
