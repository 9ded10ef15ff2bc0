#pragma once

#include <GLES2/gl2.h>

#include <array>
#include <string>
#include <vector>

#include "bare_gl/bare_gl_calls.h"
#include "support/rect.h"
#include "yuv/gallery_draw_item.h"

namespace tallwick_bench {

// The gallery's draw of I420 tiles made with plain GL calls on the current
// context: the program built from the gallery's shader texts (shader objects
// let go once linked), three plane textures shared by every tile, and per
// frame the calls YUV3DGalleryRender::DrawItems makes for tiles that changed,
// in its order: per tile the background uniforms, the three uploads, the
// tile filled in its colour, then the picture drawn over it. The items are
// the module's own draw records, so the rectangles and texture windows are
// the ones it draws.
class BareGalleryDraw {
 public:
  BareGalleryDraw() = default;
  ~BareGalleryDraw();  // deletes the program and the textures
  BareGalleryDraw(const BareGalleryDraw&) = delete;
  BareGalleryDraw& operator=(const BareGalleryDraw&) = delete;

  // The renderer's set-up: program, uniforms, textures, the clear colour
  // and the buffer cleared once. False with the reason when the program
  // does not build.
  bool Init(const TALLWICK_PP_RENDER::TileColor& background, std::string* error);
  // Without `fillBackground` each tile skips its fill and only the picture is
  // drawn: not what the module does, but what its fill costs.
  void Draw(const std::vector<TALLWICK_PP_RENDER::GalleryDrawItem>& items, bool fillBackground = true);

 private:
  void DrawTile(const TALLWICK_PP_RENDER::GalleryDrawItem& item, bool fillBackground);

  GLuint program_ = 0;
  std::array<GLuint, 3> textures_{};
  PlaneUniforms planes_;
  GLint locIsBackground_ = -1;
  GLint locBackgroundData_ = -1;
  GLint locIsMirror_ = -1;
};

// The draw records of `frames` in the tiles of a view of viewWidth x
// viewHeight (CSS pixels at a dpr of 1), made by the module's own function:
// tile i shows frames[i], cropped to fill it, on a black background, as the
// page's layout asks.
std::vector<TALLWICK_PP_RENDER::GalleryDrawItem> CroppedTiles(const std::vector<TALLWICK_PP_RENDER::VideoFrame>& frames,
                                                              const std::vector<Rect>& tiles, int viewWidth,
                                                              int viewHeight);

}  // namespace tallwick_bench
