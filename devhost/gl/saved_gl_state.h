#pragma once

#include "devhost/gl/gl_api.h"

namespace pphost {

// The host works in the module's contexts between the module's own calls:
// what it changes of the GL state, it puts back. These keep one piece each.

inline GLint GlInteger(GLenum name) {
  GLint value = 0;
  glGetIntegerv(name, &value);
  return value;
}

// The framebuffer binding.
class SavedFramebuffer {
 public:
  SavedFramebuffer() : binding_(static_cast<GLuint>(GlInteger(GL_FRAMEBUFFER_BINDING))) {}
  ~SavedFramebuffer() { glBindFramebuffer(GL_FRAMEBUFFER, binding_); }
  SavedFramebuffer(const SavedFramebuffer&) = delete;
  SavedFramebuffer& operator=(const SavedFramebuffer&) = delete;

 private:
  GLuint binding_;
};

// The 2D texture bound to the active unit.
class SavedTexture2D {
 public:
  SavedTexture2D() : binding_(static_cast<GLuint>(GlInteger(GL_TEXTURE_BINDING_2D))) {}
  ~SavedTexture2D() { glBindTexture(GL_TEXTURE_2D, binding_); }
  SavedTexture2D(const SavedTexture2D&) = delete;
  SavedTexture2D& operator=(const SavedTexture2D&) = delete;

 private:
  GLuint binding_;
};

}  // namespace pphost
