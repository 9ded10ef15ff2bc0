#pragma once

#include <string>

#include "devhost/gl/gl_api.h"
#include "devhost/gl/gl_display.h"

namespace pphost {

// The 3D contexts of the Windows host on WGL: desktop OpenGL contexts (a
// compatibility profile, which takes OpenGL ES 2.0's calls and, through
// GL_ARB_ES2_compatibility, its shader texts) on one hidden window, whose
// device context they all share; they draw into their drawing buffers only.
// Under Wine, WGL is the X server's GLX, so a display must be set. Opened on
// first use, which also loads the GL functions past OpenGL 1.1
// (gl_loaded_functions.h); when that fails, Open() stays false and Why()
// says why (also on standard error, once).
class WglDisplay : public GlDisplay {
 public:
  WglDisplay() = default;
  ~WglDisplay() override;
  WglDisplay(const WglDisplay&) = delete;
  WglDisplay& operator=(const WglDisplay&) = delete;

  bool Open() override;
  const std::string& Why() const { return why_; }

  NativeContext CreateContext(NativeContext share) override;
  void DestroyContext(NativeContext context) override;
  bool MakeCurrent(NativeContext context) override;
  bool DesktopGl() const override { return true; }

 private:
  bool Initialize();
  bool CheckDriver();
  void Close();

  HWND window_ = nullptr;
  HDC deviceContext_ = nullptr;
  // The context the functions were loaded with, kept so that the driver
  // stays loaded for as long as they may be called.
  HGLRC loader_ = nullptr;
  HGLRC current_ = nullptr;
  bool tried_ = false;
  bool open_ = false;
  std::string why_;
};

}  // namespace pphost
