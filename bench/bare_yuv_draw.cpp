#include "bare_yuv_draw.h"

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

GLuint CompiledShader(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  return status == GL_TRUE ? shader : 0;
}

GLuint NewPlaneTexture() {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return texture;
}

void UploadPlane(GLenum unit, GLuint texture, int32_t width, int32_t height, const uint8_t* pixels) {
  glActiveTexture(unit);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, width, height, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, pixels);
}

}  // namespace

BareYuvDraw::~BareYuvDraw() {
  glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
  if (program_ != 0) glDeleteProgram(program_);
  if (vertexShader_ != 0) glDeleteShader(vertexShader_);
  if (fragmentShader_ != 0) glDeleteShader(fragmentShader_);
}

bool BareYuvDraw::Init(const VideoFrame& frame, std::string* error) {
  if (!BuildProgram(error)) return false;
  glUseProgram(program_);
  locTexY_ = glGetUniformLocation(program_, "tex_y");
  locTexU_ = glGetUniformLocation(program_, "tex_u");
  locTexV_ = glGetUniformLocation(program_, "tex_v");
  locIsNv12_ = glGetUniformLocation(program_, "is_nv12");
  SetUpVertexAttributes(frame);
  CreateTextures();
  return true;
}

bool BareYuvDraw::BuildProgram(std::string* error) {
  vertexShader_ = CompiledShader(GL_VERTEX_SHADER, TALLWICK_PP_RENDER::kVertexShaderText);
  fragmentShader_ = CompiledShader(GL_FRAGMENT_SHADER, TALLWICK_PP_RENDER::kFragmentShaderText);
  if (vertexShader_ == 0 || fragmentShader_ == 0) {
    *error = "a shader of the single-stream renderer does not compile";
    return false;
  }
  program_ = glCreateProgram();
  glAttachShader(program_, vertexShader_);
  glAttachShader(program_, fragmentShader_);
  glBindAttribLocation(program_, TALLWICK_PP_RENDER::kAttribPosition, "a_position");
  glBindAttribLocation(program_, TALLWICK_PP_RENDER::kAttribTexCoord, "a_texCoord");
  glBindAttribLocation(program_, TALLWICK_PP_RENDER::kAttribTexCoordUV, "a_texCoordUV");
  glLinkProgram(program_);
  GLint linked = 0;
  glGetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) *error = "the single-stream renderer's program does not link";
  return linked == GL_TRUE;
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
  const int32_t chromaRows = frame.height >> 1;
  UploadPlane(GL_TEXTURE0, textures_[0], frame.planS0, frame.height, frame.plan0);
  glUniform1i(locTexY_, 0);
  glUniform1i(locIsNv12_, 0);
  UploadPlane(GL_TEXTURE1, textures_[1], frame.planS1, chromaRows, frame.plan1);
  glUniform1i(locTexU_, 1);
  UploadPlane(GL_TEXTURE2, textures_[2], frame.planS2, chromaRows, frame.plan2);
  glUniform1i(locTexV_, 2);
  glDrawArrays(GL_TRIANGLES, 0, 6);
}

}  // namespace tallwick_bench
