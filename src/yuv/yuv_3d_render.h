#pragma once

#include <cstdint>

#include "host/gles2/gl2_api.h"
#include "host/graphics_3d.h"
#include "yuv/gl_texture.h"
#include "yuv/i_yuv_render.h"
#include "yuv/tex_coord.h"

namespace TALLWICK_PP_RENDER {

// The single-stream GPU renderer: one 3D context bound to the element, one
// program and three plane textures. Each frame's planes are uploaded at their
// full stride and stretched over the whole view; the texture window hides the
// bytes between picture width and stride.
class YUV3DRender : public IYUVRender {
 public:
  YUV3DRender(pp::Instance* instance, double devicePixelRatio);
  ~YUV3DRender() override;

  int32_t InitYUVRender(const VideoFrame& frame, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) override;
  int32_t ClearBuffer(const pp::CompletionCallback& done) override;
  int32_t RenderFrame(const VideoFrame& frame, const pp::CompletionCallback& done) override;
  int32_t HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) override;

 private:
  int32_t InitGLContext(int32_t width, int32_t height, bool enableHighPerformanceGPU);
  int32_t InitShader();
  void GenTexCoords(const VideoFrame& frame);
  void SetUpVertexAttributes();
  int32_t InitTextures();
  void UploadPlanes(const VideoFrame& frame);
  void MakeCurrent();
  int32_t Swap(const pp::CompletionCallback& done);

  pp::Graphics3D m_context;
  GLuint m_program = 0;
  PlaneTextures m_textures;
  GLint m_locTexY = 0;
  GLint m_locTexU = 0;
  GLint m_locTexV = 0;
  GLint m_locIsNv12 = 0;
  // Rewritten in place only: the attribute pointers address their storage.
  TexCoords m_texCoordY;
  TexCoords m_texCoordUV;
  double m_devicePixelRatio;
  bool m_useRedTextures = false;
  bool m_redSupported = false;
};

}  // namespace TALLWICK_PP_RENDER
