#include "yuv/gl_program.h"

#include <array>

#include "common/log_instance.h"
#include "embed/protocol.h"

namespace TALLWICK_PP_RENDER {

using namespace TALLWICK_GLES2;  // NOLINT(google-build-using-namespace): the gl* entry points

namespace {

constexpr GLsizei kInfoLogSize = 4096;

}  // namespace

int32_t CompileShader(GLenum type, const char* source, GLuint* shader) {
  *shader = glCreateShader(type);
  glShaderSource(*shader, 1, &source, nullptr);
  glCompileShader(*shader);
  GLint status = 0;
  glGetShaderiv(*shader, GL_COMPILE_STATUS, &status);
  if (status == 1) {
    return kErrorNone;
  }
  std::array<char, kInfoLogSize> log{};
  glGetShaderInfoLog(*shader, kInfoLogSize, nullptr, log.data());
  log.back() = '\0';
  TALLWICK_LOG::LogAt(TALLWICK_LOG::kLevelError, "CompileShaderError - log: {} ", log.data());
  return kErrorCompileShader;
}

int32_t LinkProgram(GLuint program) {
  glLinkProgram(program);
  GLint status = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &status);
  if (status == 1) {
    return kErrorNone;
  }
  std::array<char, kInfoLogSize> log{};
  glGetProgramInfoLog(program, kInfoLogSize, nullptr, log.data());
  log.back() = '\0';
  TALLWICK_LOG::LogAt(TALLWICK_LOG::kLevelError, "LinkProgramError - log: {} ", log.data());
  return kErrorLinkShader;
}

int32_t BuildShaderProgram(const char* vertexSource, const char* fragmentSource, ShaderProgram* out) {
  int32_t result = CompileShader(GL_VERTEX_SHADER, vertexSource, &out->vertexShader);
  if (result != kErrorNone) return result;
  result = CompileShader(GL_FRAGMENT_SHADER, fragmentSource, &out->fragmentShader);
  if (result != kErrorNone) return result;
  out->program = glCreateProgram();
  glAttachShader(out->program, out->vertexShader);
  glAttachShader(out->program, out->fragmentShader);
  glBindAttribLocation(out->program, kAttribPosition, "a_position");
  glBindAttribLocation(out->program, kAttribTexCoord, "a_texCoord");
  glBindAttribLocation(out->program, kAttribTexCoordUV, "a_texCoordUV");
  return LinkProgram(out->program);
}

bool IsGLRedSupported() {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  const uint8_t pixel = 0;
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, 1, 1, 0, GL_RED, GL_UNSIGNED_BYTE, &pixel);
  glDeleteTextures(1, &texture);
  const GLenum error = glGetError();
  if (error == GL_NO_ERROR) {
    return true;
  }
  TALLWICK_LOG::LogAt(TALLWICK_LOG::kLevelWarning, "GL_RED is not supported, err:{:#08x}", error);
  return false;
}

}  // namespace TALLWICK_PP_RENDER
