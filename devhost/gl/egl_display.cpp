#include "devhost/gl/egl_display.h"

#include <EGL/eglext.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "devhost/gl/extension_list.h"

namespace pphost {

namespace {

// The first enumerated EGL device that is a real GPU (not Mesa's software
// device), or EGL_NO_DISPLAY.
EGLDisplay HardwareDeviceDisplay() {
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (!HasExtension(clientExtensions, "EGL_EXT_device_enumeration") ||
      !HasExtension(clientExtensions, "EGL_EXT_platform_device")) {
    return EGL_NO_DISPLAY;
  }
  const auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
  const auto queryString =
      reinterpret_cast<PFNEGLQUERYDEVICESTRINGEXTPROC>(eglGetProcAddress("eglQueryDeviceStringEXT"));
  if (queryDevices == nullptr || queryString == nullptr) return EGL_NO_DISPLAY;
  std::array<EGLDeviceEXT, 8> devices{};
  EGLint count = 0;
  if (queryDevices(static_cast<EGLint>(devices.size()), devices.data(), &count) != EGL_TRUE) return EGL_NO_DISPLAY;
  for (EGLint i = 0; i < count; ++i) {
    if (HasExtension(queryString(devices[i], EGL_EXTENSIONS), "EGL_MESA_device_software")) continue;
    return eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
  }
  return EGL_NO_DISPLAY;
}

std::string Hex(EGLint code) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "0x%04x", static_cast<unsigned>(code));
  return text.data();
}

}  // namespace

EglDisplay::~EglDisplay() { Close(); }

bool EglDisplay::Open() {
  if (tried_) return display_ != EGL_NO_DISPLAY;
  tried_ = true;
  if (Initialize(HardwareDeviceDisplay()) || InitializeSurfaceless()) return true;
  std::fprintf(stderr, "pphost: no 3D contexts: %s\n", why_.c_str());
  return false;
}

bool EglDisplay::InitializeSurfaceless() {
  if (!HasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), "EGL_MESA_platform_surfaceless")) {
    why_ = "EGL offers neither a GPU device nor Mesa's surfaceless platform";
    return false;
  }
  return Initialize(eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr));
}

bool EglDisplay::Initialize(EGLDisplay display) {
  if (display == EGL_NO_DISPLAY) return false;
  EGLint major = 0;
  EGLint minor = 0;
  if (eglInitialize(display, &major, &minor) != EGL_TRUE) {
    why_ = "eglInitialize failed with " + Hex(eglGetError());
    return false;
  }
  // No window surface: the context must be usable with none.
  if (!HasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context") ||
      eglBindAPI(EGL_OPENGL_ES_API) != EGL_TRUE) {
    why_ = "the EGL display cannot make OpenGL ES contexts current without a surface";
    eglTerminate(display);
    return false;
  }
  const std::array<EGLint, 5> wanted = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES2_BIT, EGL_SURFACE_TYPE, EGL_DONT_CARE,
                                        EGL_NONE};
  EGLint found = 0;
  if (eglChooseConfig(display, wanted.data(), &config_, 1, &found) != EGL_TRUE || found < 1) {
    config_ = EGL_NO_CONFIG_KHR;
  }
  display_ = display;
  fences_ = major > 1 || (major == 1 && minor >= 5);
  return true;
}

// The display itself stays initialised for the rest of the process: EGL
// hands the next host the same one, and terminating it would unload Mesa's
// driver, which leaves allocations behind that no one can free.
void EglDisplay::Close() {
  if (display_ == EGL_NO_DISPLAY) return;
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  current_ = EGL_NO_CONTEXT;
  eglReleaseThread();
  display_ = EGL_NO_DISPLAY;
}

GlDisplay::NativeContext EglDisplay::CreateContext(NativeContext share) {
  if (!Open()) return EGL_NO_CONTEXT;
  const std::array<EGLint, 3> attributes = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
  eglBindAPI(EGL_OPENGL_ES_API);
  return eglCreateContext(display_, config_, share, attributes.data());
}

void EglDisplay::DestroyContext(NativeContext context) {
  if (display_ == EGL_NO_DISPLAY || context == EGL_NO_CONTEXT) return;
  if (current_ == context) {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    current_ = EGL_NO_CONTEXT;
  }
  eglDestroyContext(display_, context);
}

GlDisplay::Fence EglDisplay::InsertFence() {
  if (!fences_ || current_ == EGL_NO_CONTEXT) return nullptr;
  EGLSync sync = eglCreateSync(display_, EGL_SYNC_FENCE, nullptr);
  return sync != EGL_NO_SYNC ? sync : nullptr;
}

bool EglDisplay::WaitFence(Fence fence, int64_t timeoutNs) {
  if (fence == nullptr || display_ == EGL_NO_DISPLAY) return true;
  const EGLint result = eglClientWaitSync(display_, fence, 0, static_cast<EGLTime>(std::max<int64_t>(timeoutNs, 0)));
  return result != EGL_TIMEOUT_EXPIRED;  // signalled, or an error: nothing left to wait for
}

void EglDisplay::DestroyFence(Fence fence) {
  if (fence != nullptr && display_ != EGL_NO_DISPLAY) eglDestroySync(display_, fence);
}

bool EglDisplay::MakeCurrent(NativeContext context) {
  if (display_ == EGL_NO_DISPLAY || context == EGL_NO_CONTEXT) return false;
  if (context == current_) return true;
  if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) return false;
  current_ = context;
  return true;
}

}  // namespace pphost
