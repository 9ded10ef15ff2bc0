#pragma once

#include <EGL/egl.h>

#include <string>

#include "devhost/gl/gl_display.h"

namespace pphost {

// The EGL display every 3D context of the host lives on: an EGL device with
// a real GPU when there is one, else Mesa's surfaceless platform. Its
// contexts are OpenGL ES 2 (or later) ones. Opened on first use; when EGL
// cannot start, Open() stays false and Why() says why (also on standard
// error, once).
class EglDisplay : public GlDisplay {
 public:
  EglDisplay() = default;
  ~EglDisplay() override;
  EglDisplay(const EglDisplay&) = delete;
  EglDisplay& operator=(const EglDisplay&) = delete;

  bool Open() override;
  const std::string& Why() const { return why_; }

  NativeContext CreateContext(NativeContext share) override;
  void DestroyContext(NativeContext context) override;
  bool MakeCurrent(NativeContext context) override;
  bool DesktopGl() const override { return false; }
  // EGL 1.5 fence syncs (none on an older display).
  Fence InsertFence() override;
  bool WaitFence(Fence fence, int64_t timeoutNs) override;
  void DestroyFence(Fence fence) override;

 private:
  bool Initialize(EGLDisplay display);
  bool InitializeSurfaceless();
  void Close();

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLConfig config_ = nullptr;
  EGLContext current_ = EGL_NO_CONTEXT;
  bool fences_ = false;  // EGL 1.5 or later
  bool tried_ = false;
  std::string why_;
};

}  // namespace pphost
