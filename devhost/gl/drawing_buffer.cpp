#include "devhost/gl/drawing_buffer.h"

#include <algorithm>
#include <array>

#include "devhost/gl/saved_gl_state.h"

namespace pphost {

namespace {

// The storage formats, named as OpenGL ES 2.0 extensions (OES_rgb8_rgba8,
// OES_packed_depth_stencil) and by desktop OpenGL alike, with one value.
constexpr GLenum kRgba8 = 0x8058;
constexpr GLenum kDepth24Stencil8 = 0x88F0;

void SetEnabled(GLenum capability, bool enabled) {
  if (enabled) {
    glEnable(capability);
  } else {
    glDisable(capability);
  }
}

// Everything of the module's state that a full clear touches.
class SavedClearState {
 public:
  SavedClearState() {
    scissor_ = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    glGetBooleanv(GL_COLOR_WRITEMASK, colourMask_.data());
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour_.data());
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask_);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth_);
    stencilMask_ = GlInteger(GL_STENCIL_WRITEMASK);
    stencilBackMask_ = GlInteger(GL_STENCIL_BACK_WRITEMASK);
    clearStencil_ = GlInteger(GL_STENCIL_CLEAR_VALUE);
  }
  ~SavedClearState() {
    SetEnabled(GL_SCISSOR_TEST, scissor_);
    glColorMask(colourMask_[0], colourMask_[1], colourMask_[2], colourMask_[3]);
    glClearColor(clearColour_[0], clearColour_[1], clearColour_[2], clearColour_[3]);
    glDepthMask(depthMask_);
    glClearDepthf(clearDepth_);
    glStencilMaskSeparate(GL_FRONT, static_cast<GLuint>(stencilMask_));
    glStencilMaskSeparate(GL_BACK, static_cast<GLuint>(stencilBackMask_));
    glClearStencil(clearStencil_);
  }
  SavedClearState(const SavedClearState&) = delete;
  SavedClearState& operator=(const SavedClearState&) = delete;

 private:
  bool scissor_ = false;
  std::array<GLboolean, 4> colourMask_{};
  std::array<GLfloat, 4> clearColour_{};
  GLboolean depthMask_ = GL_TRUE;
  GLfloat clearDepth_ = 1.0f;
  GLint stencilMask_ = 0;
  GLint stencilBackMask_ = 0;
  GLint clearStencil_ = 0;
};

}  // namespace

bool DrawingBuffer::Create(int32_t width, int32_t height) {
  glGenFramebuffers(1, &framebuffer_);
  glGenRenderbuffers(1, &colour_);
  if (format_.depth || format_.stencil) glGenRenderbuffers(1, &depthStencil_);
  width_ = width;
  height_ = height;
  AllocateStorage();
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  if (depthStencil_ != 0) {
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthStencil_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil_);
  }
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
  Clear();
  return true;
}

bool DrawingBuffer::Resize(int32_t width, int32_t height) {
  width_ = width;
  height_ = height;
  AllocateStorage();
  if (!Complete()) return false;
  Clear();
  return true;
}

// Checked without glGetError, which would take the module's own errors.
bool DrawingBuffer::Complete() const {
  const SavedFramebuffer framebuffer;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// A buffer of no pixels still gets one, so the framebuffer stays complete
// and the module's draws stay legal.
void DrawingBuffer::AllocateStorage() {
  const GLint saved = GlInteger(GL_RENDERBUFFER_BINDING);
  const GLsizei width = std::max(width_, 1);
  const GLsizei height = std::max(height_, 1);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_);
  glRenderbufferStorage(GL_RENDERBUFFER, kRgba8, width, height);
  if (depthStencil_ != 0) {
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil_);
    glRenderbufferStorage(GL_RENDERBUFFER, kDepth24Stencil8, width, height);
  }
  glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(saved));
}

void DrawingBuffer::Clear() {
  const SavedFramebuffer framebuffer;
  const SavedClearState state;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  GLbitfield mask = GL_COLOR_BUFFER_BIT;
  if (depthStencil_ != 0) {
    glDepthMask(GL_TRUE);
    glClearDepthf(1.0f);
    glStencilMask(0xffffffffu);
    glClearStencil(0);
    mask |= GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
  }
  glClear(mask);
}

void DrawingBuffer::Delete() {
  if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
  if (colour_ != 0) glDeleteRenderbuffers(1, &colour_);
  if (depthStencil_ != 0) glDeleteRenderbuffers(1, &depthStencil_);
  Abandon();
}

}  // namespace pphost
