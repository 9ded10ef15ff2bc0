#include "yuv/gl_texture.h"

#include "host/gles2/gles2_binding.h"

namespace TALLWICK_PP_RENDER {

using namespace TALLWICK_GLES2;  // NOLINT(google-build-using-namespace): the gl* entry points

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

void DeleteTexture(GLuint& texture) {
  if (texture != 0) glDeleteTextures(1, &texture);
  texture = 0;
}

void UploadPlane(GLenum unit, GLuint texture, GLenum format, int32_t width, int32_t height, const uint8_t* pixels) {
  glActiveTexture(unit);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
}

bool PlaneTextures::Recreate() {
  DeleteTexture(y);
  DeleteTexture(u);
  DeleteTexture(v);
  y = NewPlaneTexture();
  u = NewPlaneTexture();
  v = NewPlaneTexture();
  return y != 0 && u != 0 && v != 0;
}

}  // namespace TALLWICK_PP_RENDER
