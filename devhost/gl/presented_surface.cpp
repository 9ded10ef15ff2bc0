#include "devhost/gl/presented_surface.h"

#include "devhost/gl/read_pixels.h"
#include "devhost/gl/saved_gl_state.h"

namespace pphost {

namespace {

void MakeTexture(GLuint& texture) {
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace

// The texture is bound on whatever unit the module left active; the binding
// goes back afterwards. New storage only when the size changed.
void PresentedSurface::CopyInto(Slot& slot, GLuint framebuffer, int32_t width, int32_t height) {
  const SavedFramebuffer savedFramebuffer;
  const SavedTexture2D savedTexture;
  if (slot.texture == 0) {
    MakeTexture(slot.texture);
  } else {
    glBindTexture(GL_TEXTURE_2D, slot.texture);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  if (slot.width != width || slot.height != height) {
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, width, height, 0);
    slot.width = width;
    slot.height = height;
  } else {
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
  }
}

void PresentedSurface::Stage(GLuint framebuffer, int32_t width, int32_t height) {
  Slot& slot = Staged();
  if (width <= 0 || height <= 0) {
    slot.width = width;
    slot.height = height;
    return;
  }
  CopyInto(slot, framebuffer, width, height);
  glFlush();
}

void PresentedSurface::Show() { shown_ = 1 - shown_; }

PresentedImage PresentedSurface::ReadShown(bool opaque, const PP_Rect& rect) {
  Slot& slot = slots_[shown_];
  if (slot.texture == 0 || rect.size.width <= 0 || rect.size.height <= 0) {
    PresentedImage empty;
    empty.width = rect.size.width;
    empty.height = rect.size.height;
    return empty;
  }
  if (slot.framebuffer == 0) {
    const SavedFramebuffer savedFramebuffer;
    glGenFramebuffers(1, &slot.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, slot.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, slot.texture, 0);
  }
  return ReadFramebuffer(slot.framebuffer, slot.height, rect, opaque);
}

void PresentedSurface::Abandon() { slots_ = {}; }

void PresentedSurface::Delete() {
  for (Slot& slot : slots_) {
    if (slot.framebuffer != 0) glDeleteFramebuffers(1, &slot.framebuffer);
    if (slot.texture != 0) glDeleteTextures(1, &slot.texture);
  }
  Abandon();
}

}  // namespace pphost
