#pragma once

#include <cstdint>
#include <vector>

#include "host/gles2/gl2_api.h"
#include "host/graphics_3d.h"
#include "yuv/gallery_draw_item.h"
#include "yuv/gl_texture.h"
#include "yuv/i_yuv_render.h"

namespace TALLWICK_PP_RENDER {

// The gallery's GPU renderer: one 3D context for the element, one program
// and three plane textures shared by every tile. Each tile re-uploads its
// planes just before its draw; the element is presented with one swap.
// Only HandleChangeView is reached through the renderer interface.
class YUV3DGalleryRender : public IYUVRender {
 public:
  YUV3DGalleryRender(pp::Instance* instance, double dpr);
  ~YUV3DGalleryRender() override;

  // The gallery draws through its own operations below.
  int32_t InitYUVRender(const VideoFrame& /*frame*/, bool /*enableHighPerformanceGPU*/,
                        bool /*enablePPAPIRedExt*/) override {
    return 0;
  }
  int32_t ClearBuffer(const pp::CompletionCallback& /*done*/) override { return 0; }
  int32_t RenderFrame(const VideoFrame& /*frame*/, const pp::CompletionCallback& /*done*/) override { return 0; }
  int32_t HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) override;

  // Creates the context when needed (width, height in view units), the
  // textures and the clear colour.
  int32_t InitYUVRender(const TileColor& backgroundColor, int32_t width, int32_t height, bool enableHighPerformanceGPU,
                        bool enablePPAPIRedExt);
  // Clears the element to the background colour and presents it.
  void ClearBKColor(const pp::CompletionCallback& callback);
  // Draws the tiles in list order over what the buffer holds (after a full
  // clear when `needClear`) and presents the element.
  void DrawItems(bool needClear, const std::vector<GalleryDrawItem>& items, const pp::CompletionCallback& callback);

 private:
  int32_t InitGLContext(int32_t width, int32_t height, bool enableHighPerformanceGPU);
  int32_t InitShader();
  int32_t InitTextures();
  void DrawTile(const GalleryDrawItem& item, bool fillBackground);
  void UploadPlanes(const VideoFrame& frame);
  void ClearToBackground();
  void MakeCurrent();
  int32_t Swap(const pp::CompletionCallback& callback);

  pp::Graphics3D m_context;
  GLuint m_program = 0;
  PlaneTextures m_textures;
  GLint m_locTexY = 0;
  GLint m_locTexU = 0;
  GLint m_locTexV = 0;
  GLint m_locIsNv12 = 0;
  // The per-tile uniforms, looked up once the program is linked; -1 (what a
  // lookup answers without a linked program) until then.
  GLint m_locIsBackground = -1;
  GLint m_locBackgroundData = -1;
  GLint m_locIsMirror = -1;
  TileColor m_backgroundColor{};
  bool m_useRed = false;
  bool m_redSupported = false;
  double m_dpr;
};

}  // namespace TALLWICK_PP_RENDER
