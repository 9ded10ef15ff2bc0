#pragma once

#include <GLES2/gl2.h>

#include <array>
#include <string>

#include "bare_gl/bare_gl_calls.h"
#include "frame/video_frame.h"
#include "yuv/tex_coord.h"

namespace tallwick_bench {

// The module's single-stream draw of an I420 frame made with plain GL calls
// on the current context: the program built from the same shader texts with
// the same attribute locations, the same uniform lookups, texture
// coordinates, client-side vertex arrays and plane textures, and per frame
// the calls YUV3DRender::RenderFrame makes, in its order (clear, unpack
// alignment, a whole-texture glTexImage2D and sampler uniform per plane,
// one draw of six vertices). Luminance textures, as the module uses them
// when the page does not enable red textures.
class BareYuvDraw {
 public:
  BareYuvDraw() = default;
  ~BareYuvDraw();  // deletes the program, its shaders and the textures
  BareYuvDraw(const BareYuvDraw&) = delete;
  BareYuvDraw& operator=(const BareYuvDraw&) = delete;

  // The renderer's set-up for frames of `frame`'s geometry; false with the
  // reason when the program does not build.
  bool Init(const TALLWICK_PP_RENDER::VideoFrame& frame, std::string* error);
  void Draw(const TALLWICK_PP_RENDER::VideoFrame& frame);

 private:
  void SetUpVertexAttributes(const TALLWICK_PP_RENDER::VideoFrame& frame);
  void CreateTextures();

  GLuint program_ = 0;
  GLuint vertexShader_ = 0;
  GLuint fragmentShader_ = 0;
  std::array<GLuint, 3> textures_{};
  PlaneUniforms uniforms_;
  TALLWICK_PP_RENDER::TexCoords texCoordY_{};
  TALLWICK_PP_RENDER::TexCoords texCoordUV_{};
};

}  // namespace tallwick_bench
