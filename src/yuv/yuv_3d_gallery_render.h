#pragma once

#include <cstdint>
#include <vector>

#include "embed/protocol.h"
#include "host/gles2/gl2_api.h"
#include "yuv/gallery_draw_item.h"
#include "yuv/i_yuv_render.h"
#include "yuv/yuv_gl_core.h"

namespace TALLWICK_PP_RENDER {

// The gallery's GPU renderer: one 3D context for the element (with alpha),
// one program and three plane textures shared by every tile, held by its GL
// core. Each tile re-uploads its planes just before its draw; the element is
// presented with one swap.
//
// Owned by the gallery role, which calls it on the main thread only; it
// borrows the instance. Every operation makes this renderer's context
// current before its first GL call (several elements share the thread) and
// leaves it current. The context is made by the first HandleChangeView or
// InitYUVRender and only resized afterwards. ClearBKColor and DrawItems
// presume InitYUVRender succeeded (they do not test the context); their
// callback goes to the host's swap and runs once, when the presentation
// completes (a swap the host refuses at once runs it later on the main thread
// with the host's error).
//
// It fills the renderer interface slot for slot as the single-stream renderer
// does: the interface is kept whole rather than split into a shared base and
// a single-stream part, so that both renderers keep the one slot layout. The
// gallery role reaches only HandleChangeView through it and draws through the
// operations of its own below; the three single-stream slots do nothing,
// answer kErrorNone and never run `done`.
class YUV3DGalleryRender : public IYUVRender {
 public:
  YUV3DGalleryRender(pp::Instance* instance, double dpr);
  ~YUV3DGalleryRender() override;

  int32_t InitYUVRender(const VideoFrame& /*frame*/, bool /*enableHighPerformanceGPU*/,
                        bool /*enablePPAPIRedExt*/) override {
    return kErrorNone;
  }
  int32_t ClearBuffer(const pp::CompletionCallback& /*done*/) override { return kErrorNone; }
  int32_t RenderFrame(const VideoFrame& /*frame*/, const pp::CompletionCallback& /*done*/) override {
    return kErrorNone;
  }
  // Also clears the buffer to the background colour, without presenting.
  int32_t HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) override;
  int32_t MaxTextureSize() const override { return gl_.MaxTextureSize(); }

  // Creates the context when needed (width, height in view units), the
  // textures and the clear colour.
  int32_t InitYUVRender(const TileColor& background, int32_t width, int32_t height, bool enableHighPerformanceGPU,
                        bool enablePPAPIRedExt);
  // Clears the element to the background colour and presents it.
  void ClearBKColor(const pp::CompletionCallback& callback);
  // Draws the tiles in list order over what the buffer holds (after a full
  // clear when `needClear`) and presents the element.
  void DrawItems(bool needClear, const std::vector<GalleryDrawItem>& items, const pp::CompletionCallback& callback);

 private:
  void ProgramBuilt(int32_t result);
  void DrawTile(const GalleryDrawItem& item, bool fillBackground);

  YuvGlCore gl_;
  // The per-tile uniforms, looked up once the program is linked; -1 (what a
  // lookup answers without a linked program) until then.
  GLint locIsBackground_ = -1;
  GLint locBackgroundData_ = -1;
  GLint locIsMirror_ = -1;
  TileColor backgroundColor{};
};

}  // namespace TALLWICK_PP_RENDER
