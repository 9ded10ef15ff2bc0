#pragma once

#include <EGL/egl.h>

#include <string>

namespace pphost {

// The EGL display every 3D context of the host lives on: an EGL device with
// a real GPU when there is one, else Mesa's surfaceless platform. Opened on
// first use; when EGL cannot start, Open() stays false and Why() says why
// (also on standard error, once).
class GlDisplay {
 public:
  GlDisplay() = default;
  ~GlDisplay();
  GlDisplay(const GlDisplay&) = delete;
  GlDisplay& operator=(const GlDisplay&) = delete;

  // True when the display is ready (opening it on the first call).
  bool Open();
  const std::string& Why() const { return why_; }

  // An OpenGL ES 2 (or later) context sharing objects with `share` (may be
  // EGL_NO_CONTEXT); EGL_NO_CONTEXT on failure.
  EGLContext CreateContext(EGLContext share);
  void DestroyContext(EGLContext context);
  // Makes `context` current on this thread unless it already is.
  bool MakeCurrent(EGLContext context);

 private:
  bool Initialize(EGLDisplay display);
  bool InitializeSurfaceless();
  void Close();

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLConfig config_ = nullptr;
  EGLContext current_ = EGL_NO_CONTEXT;
  bool tried_ = false;
  std::string why_;
};

}  // namespace pphost
