#include "bare_gl/bare_gl_context.h"

#include <EGL/eglext.h>
#include <GLES2/gl2ext.h>

#include <array>

namespace tallwick_bench {

namespace {

EGLDisplay SurfacelessDisplay() {
  const char* extensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (extensions == nullptr || std::string(extensions).find("EGL_MESA_platform_surfaceless") == std::string::npos) {
    return EGL_NO_DISPLAY;
  }
  return eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// The same choice as the host's: any configuration that renders OpenGL ES 2,
// or none (the context never gets a surface).
EGLConfig EsConfig(EGLDisplay display) {
  const std::array<EGLint, 5> wanted = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_SURFACE_TYPE, EGL_DONT_CARE,
                                        EGL_NONE};
  EGLConfig config = nullptr;
  EGLint found = 0;
  if (eglChooseConfig(display, wanted.data(), &config, 1, &found) != EGL_TRUE || found < 1) return EGL_NO_CONFIG_KHR;
  return config;
}

}  // namespace

// The display stays initialised: terminating it would unload Mesa's driver
// under the host, which opens the same display again.
BareGlContext::~BareGlContext() {
  if (context_ == EGL_NO_CONTEXT) return;
  if (framebuffer_ != 0) glDeleteFramebuffers(1, &framebuffer_);
  if (colour_ != 0) glDeleteRenderbuffers(1, &colour_);
  if (shown_ != 0) glDeleteTextures(1, &shown_);
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(display_, context_);
}

bool BareGlContext::Start(int32_t width, int32_t height, std::string* error) {
  return CreateContext(error) && CreateTarget(width, height, error);
}

bool BareGlContext::CreateContext(std::string* error) {
  display_ = SurfacelessDisplay();
  if (display_ == EGL_NO_DISPLAY || eglInitialize(display_, nullptr, nullptr) != EGL_TRUE) {
    *error = "no surfaceless EGL display";
    return false;
  }
  const std::array<EGLint, 3> attributes = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
  eglBindAPI(EGL_OPENGL_ES_API);
  context_ = eglCreateContext(display_, EsConfig(display_), EGL_NO_CONTEXT, attributes.data());
  if (context_ == EGL_NO_CONTEXT || eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_) != EGL_TRUE) {
    *error = "cannot make an OpenGL ES 2 context current without a surface";
    return false;
  }
  return true;
}

bool BareGlContext::CreateTarget(int32_t width, int32_t height, std::string* error) {
  glGenRenderbuffers(1, &colour_);
  glBindRenderbuffer(GL_RENDERBUFFER, colour_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8_OES, width, height);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    *error = "the framebuffer is not complete";
    return false;
  }
  glViewport(0, 0, width, height);
  width_ = width;
  height_ = height;
  return true;
}

void BareGlContext::CopyAsHostSwaps() {
  if (shown_ == 0) {
    glGenTextures(1, &shown_);
    glBindTexture(GL_TEXTURE_2D, shown_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, width_, height_, 0);
  } else {
    glBindTexture(GL_TEXTURE_2D, shown_);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width_, height_);
  }
  glFlush();
}

}  // namespace tallwick_bench
