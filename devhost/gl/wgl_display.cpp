#include "devhost/gl/wgl_display.h"

#include <cstdio>
#include <string>

#include "devhost/gl/extension_list.h"

namespace pphost {

namespace {

constexpr wchar_t kWindowClass[] = L"pphost-gl";

std::string Win32Error(const char* call) {
  return std::string(call) + " failed with error " + std::to_string(GetLastError());
}

HGLRC ContextOf(GlDisplay::NativeContext context) { return static_cast<HGLRC>(context); }

const char* GlText(GLenum name) {
  const auto* text = reinterpret_cast<const char*>(glGetString(name));
  return text != nullptr ? text : "?";
}

}  // namespace

WglDisplay::~WglDisplay() { Close(); }

bool WglDisplay::Open() {
  if (tried_) return open_;
  tried_ = true;
  open_ = Initialize();
  if (!open_) {
    std::fprintf(stderr, "pphost: no 3D contexts: %s\n", why_.c_str());
    Close();
  }
  return open_;
}

// The window is never shown: the contexts draw into framebuffer objects.
// Its pixel format is what every context made on it gets.
bool WglDisplay::Initialize() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    why_ = Win32Error("RegisterClassExW");
    return false;
  }
  window_ = CreateWindowExW(0, kWindowClass, L"pphost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                            16, 16, nullptr, nullptr, instance, nullptr);
  if (window_ == nullptr) {
    // Wine's answer when it has no X display.
    why_ = Win32Error("CreateWindowExW") + " (under Wine: DISPLAY must name an X server with GLX)";
    return false;
  }
  deviceContext_ = GetDC(window_);
  PIXELFORMATDESCRIPTOR format{};
  format.nSize = sizeof(format);
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 24;
  format.cAlphaBits = 8;
  format.iLayerType = PFD_MAIN_PLANE;
  const int chosen = ChoosePixelFormat(deviceContext_, &format);
  if (chosen == 0) {
    why_ = Win32Error("ChoosePixelFormat");
    return false;
  }
  if (SetPixelFormat(deviceContext_, chosen, &format) == FALSE) {
    why_ = Win32Error("SetPixelFormat");
    return false;
  }
  loader_ = wglCreateContext(deviceContext_);
  if (loader_ == nullptr) {
    why_ = Win32Error("wglCreateContext");
    return false;
  }
  if (!MakeCurrent(loader_)) {
    why_ = Win32Error("wglMakeCurrent");
    return false;
  }
  return CheckDriver();
}

// OpenGL 2.0 or later with OpenGL ES 2.0's calls and shading language
// (GL_ARB_ES2_compatibility), and every function the host calls.
bool WglDisplay::CheckDriver() {
  int major = 0;
  int minor = 0;
  const std::string driver = std::string("OpenGL ") + GlText(GL_VERSION) + " on " + GlText(GL_RENDERER);
  if (std::sscanf(GlText(GL_VERSION), "%d.%d", &major, &minor) != 2 || major < 2) {
    why_ = driver + " is older than OpenGL 2.0";
    return false;
  }
  if (!HasExtension(GlText(GL_EXTENSIONS), "GL_ARB_ES2_compatibility")) {
    why_ = driver + " has no GL_ARB_ES2_compatibility";
    return false;
  }
  std::string missing;
  if (!LoadGlFunctions(missing)) {
    why_ = driver + " has no " + missing;
    return false;
  }
  return true;
}

void WglDisplay::Close() {
  if (current_ != nullptr) {
    wglMakeCurrent(nullptr, nullptr);
    current_ = nullptr;
  }
  if (loader_ != nullptr) wglDeleteContext(loader_);
  loader_ = nullptr;
  if (deviceContext_ != nullptr) ReleaseDC(window_, deviceContext_);
  deviceContext_ = nullptr;
  if (window_ != nullptr) DestroyWindow(window_);
  window_ = nullptr;
  open_ = false;
}

// A new context shares the objects of `share` before it has any of its own,
// as wglShareLists requires.
GlDisplay::NativeContext WglDisplay::CreateContext(NativeContext share) {
  if (!Open()) return nullptr;
  const HGLRC context = wglCreateContext(deviceContext_);
  if (context == nullptr) return nullptr;
  if (share != nullptr && wglShareLists(ContextOf(share), context) == FALSE) {
    wglDeleteContext(context);
    return nullptr;
  }
  return context;
}

void WglDisplay::DestroyContext(NativeContext context) {
  if (context == nullptr) return;
  if (current_ == context) {
    wglMakeCurrent(nullptr, nullptr);
    current_ = nullptr;
  }
  wglDeleteContext(ContextOf(context));
}

bool WglDisplay::MakeCurrent(NativeContext context) {
  if (deviceContext_ == nullptr || context == nullptr) return false;
  if (context == current_) return true;
  if (wglMakeCurrent(deviceContext_, ContextOf(context)) == FALSE) return false;
  current_ = ContextOf(context);
  return true;
}

}  // namespace pphost
