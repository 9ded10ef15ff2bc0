#pragma once

#include <EGL/egl.h>
#include <GLES2/gl2.h>

#include <cstdint>

#include "devhost/gl/drawing_buffer.h"
#include "devhost/gl/gl_display.h"
#include "devhost/gl/presented_surface.h"
#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// The largest drawing buffer side the host hands out.
constexpr int32_t kMaxDrawingBufferSide = 16384;

struct ContextAttributes {
  int32_t width = 0;
  int32_t height = 0;
  int32_t alphaSize = 8;
  int32_t depthSize = 0;
  int32_t stencilSize = 0;
  int32_t gpuPreference = 0;
};

// One PPB_Graphics3D resource: an EGL context, its drawing buffer, which
// stands in for the window's framebuffer 0, and the presented side a swap
// copies it to. A lost context keeps its
// attributes but has no EGL context left; every GL call on it does nothing.
class GlContext {
 public:
  GlContext(GlDisplay& display, PP_Instance instance, const ContextAttributes& attributes, bool strictEs2);
  ~GlContext();
  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  // Creates the EGL context (sharing with `share` when given) and the
  // drawing buffer. False, with nothing left behind, on failure.
  bool Start(const GlContext* share);

  // Makes the context current for a GL call; false when it is lost.
  bool MakeCurrent();
  bool Lost() const { return context_ == EGL_NO_CONTEXT; }
  // Destroys the EGL context; the next GetError answers GL_CONTEXT_LOST.
  void Lose();

  // PP_OK, PP_ERROR_BADARGUMENT or PP_ERROR_CONTEXT_LOST.
  int32_t Resize(int32_t width, int32_t height);
  // A swap: the drawing buffer's content is copied on the GPU to the staged
  // side and submitted; false when the context is lost.
  bool StageSwap();
  // The swap completed: what it staged is now shown.
  void ShowStaged() { presented_.Show(); }
  // `rect` of the shown picture (rows from the top, on the picture), read
  // back to the CPU; empty when the context is lost.
  PresentedImage ReadShown(const PP_Rect& rect);
  int32_t ShownWidth() const { return presented_.ShownWidth(); }
  int32_t ShownHeight() const { return presented_.ShownHeight(); }

  // The framebuffer that plays framebuffer 0.
  GLuint DefaultFramebuffer() const { return buffer_.Framebuffer(); }
  const ContextAttributes& Attributes() const { return attributes_; }
  PP_Instance Instance() const { return instance_; }
  bool StrictEs2() const { return strictEs2_; }

  // An error the host raised itself, answered by GetError before GL's own.
  void RaiseError(GLenum error);
  GLenum TakeError();

  bool swapPending = false;

 private:
  void Destroy();

  GlDisplay& display_;
  PP_Instance instance_;
  ContextAttributes attributes_;
  bool strictEs2_;
  EGLContext context_ = EGL_NO_CONTEXT;
  DrawingBuffer buffer_;
  PresentedSurface presented_;
  GLenum pendingError_ = GL_NO_ERROR;
};

}  // namespace pphost
