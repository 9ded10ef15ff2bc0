#include "bare_gl/bare_yuv_draw.h"

#include "bare_gl/bare_gl_calls.h"
#include "yuv/gl_program.h"
#include "yuv/shader_texts.h"
#include "yuv/tex_coord.h"

namespace tallwick_bench {

namespace {

using TALLWICK_PP_RENDER::VideoFrame;

// The unit square as two triangles, as the module draws it.
constexpr std::array<float, 12> kPositions = {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1};

// The module's texture window: the picture's share of the row, less two
// texels so that filtering never reaches the padding.
float TexWindow(int32_t width, int32_t stride) {
  return static_cast<float>(width) / static_cast<float>(stride) - 2.0F / static_cast<float>(width);
}

}  // namespace

BareYuvDraw::~BareYuvDraw() {
  glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
  if (program_ != 0) glDeleteProgram(program_);
  if (vertexShader_ != 0) glDeleteShader(vertexShader_);
  if (fragmentShader_ != 0) glDeleteShader(fragmentShader_);
}

bool BareYuvDraw::Init(const VideoFrame& frame, std::string* error) {
  program_ = BuildBareProgram(TALLWICK_PP_RENDER::kVertexShaderText, TALLWICK_PP_RENDER::kFragmentShaderText,
                              &vertexShader_, &fragmentShader_, error);
  if (program_ == 0) return false;
  uniforms_ = LookUpPlaneUniforms(program_);
  SetUpVertexAttributes(frame);
  CreateTextures();
  return true;
}

void BareYuvDraw::SetUpVertexAttributes(const VideoFrame& frame) {
  TALLWICK_PP_RENDER::GenTexCoord(TexWindow(frame.width, frame.planS0), 1.0F, texCoordY_);
  TALLWICK_PP_RENDER::GenTexCoord(TexWindow(frame.width / 2, frame.planS1), 1.0F, texCoordUV_);
  glEnableVertexAttribArray(TALLWICK_PP_RENDER::kAttribPosition);
  glEnableVertexAttribArray(TALLWICK_PP_RENDER::kAttribTexCoord);
  glEnableVertexAttribArray(TALLWICK_PP_RENDER::kAttribTexCoordUV);
  glVertexAttribPointer(TALLWICK_PP_RENDER::kAttribPosition, 2, GL_FLOAT, GL_FALSE, 0, kPositions.data());
  glVertexAttribPointer(TALLWICK_PP_RENDER::kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, 0, texCoordY_.data());
  glVertexAttribPointer(TALLWICK_PP_RENDER::kAttribTexCoordUV, 2, GL_FLOAT, GL_FALSE, 0, texCoordUV_.data());
}

void BareYuvDraw::CreateTextures() {
  for (GLuint& texture : textures_) texture = NewPlaneTexture();
}

void BareYuvDraw::Draw(const VideoFrame& frame) {
  glClearColor(0.0F, 0.0F, 0.0F, 0.0F);
  glClear(GL_COLOR_BUFFER_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  UploadI420(frame, textures_.data(), uniforms_);
  glDrawArrays(GL_TRIANGLES, 0, 6);
}

}  // namespace tallwick_bench
