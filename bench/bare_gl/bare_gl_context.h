#pragma once

#include <EGL/egl.h>
#include <GLES2/gl2.h>

#include <cstdint>
#include <string>

namespace tallwick_bench {

// A program's own OpenGL ES 2 context on Mesa's surfaceless EGL platform,
// with no plug-in host in between: current on the calling thread, drawing
// into a framebuffer object with an RGBA8 colour renderbuffer of the given
// size (what the host's drawing buffer is) and the viewport set to it.
// Only one may be alive at a time, and none while a pphost::Host has a 3D
// context: both would share the EGL display's current context.
class BareGlContext {
 public:
  BareGlContext() = default;
  ~BareGlContext();  // deletes the target, releases and destroys the context
  BareGlContext(const BareGlContext&) = delete;
  BareGlContext& operator=(const BareGlContext&) = delete;

  // False with the reason when EGL or the framebuffer cannot be made.
  bool Start(int32_t width, int32_t height, std::string* error);

  // What the in-process host's swap adds on the GPU side: the framebuffer
  // copied into a texture of its size (made at the first copy), then a
  // flush. The framebuffer stays bound.
  void CopyAsHostSwaps();

 private:
  bool CreateContext(std::string* error);
  bool CreateTarget(int32_t width, int32_t height, std::string* error);

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  GLuint framebuffer_ = 0;
  GLuint colour_ = 0;
  GLuint shown_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

}  // namespace tallwick_bench
