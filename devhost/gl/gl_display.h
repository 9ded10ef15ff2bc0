#pragma once

#include <cstdint>

namespace pphost {

// Where the host's 3D contexts live: the native context API of a platform
// (EGL, egl_display.h; WGL, wgl_display.h). It makes, shares, switches and
// ends the contexts; what is drawn in them is the same everywhere
// (gl_context.h).
class GlDisplay {
 public:
  // A native context (an EGLContext, an HGLRC); null for none.
  using NativeContext = void*;
  // A fence behind GL work already submitted; null for none.
  using Fence = void*;

  GlDisplay() = default;
  virtual ~GlDisplay() = default;
  GlDisplay(const GlDisplay&) = delete;
  GlDisplay& operator=(const GlDisplay&) = delete;

  // True when contexts can be made (starting the platform on the first
  // call). When it cannot start, says why on standard error, once.
  virtual bool Open() = 0;
  // A context sharing objects with `share` (may be null); null on failure.
  virtual NativeContext CreateContext(NativeContext share) = 0;
  virtual void DestroyContext(NativeContext context) = 0;
  // Makes `context` current on this thread unless it already is.
  virtual bool MakeCurrent(NativeContext context) = 0;
  // Whether the contexts are desktop OpenGL ones, which read a shader text
  // without a #version line as desktop GLSL, not as OpenGL ES's.
  virtual bool DesktopGl() const = 0;

  // A fence after the work the current context has submitted, or null where
  // the platform has none: such work counts as done at once.
  virtual Fence InsertFence() { return nullptr; }
  // Waits up to `timeoutNs` (0: only looks) for the fence; true once the
  // GPU has done the work before it (or the fence is unusable).
  virtual bool WaitFence(Fence /*fence*/, int64_t /*timeoutNs*/) { return true; }
  virtual void DestroyFence(Fence /*fence*/) {}
};

}  // namespace pphost
