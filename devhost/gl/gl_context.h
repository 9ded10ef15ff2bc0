#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "devhost/gl/context_3d.h"
#include "devhost/gl/drawing_buffer.h"
#include "devhost/gl/gl_api.h"
#include "devhost/gl/gl_display.h"
#include "devhost/gl/presented_surface.h"
#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// A 3D context drawn with GL: a native context (EGL, WGL: the display's),
// its drawing buffer, which stands in for the window's framebuffer 0, and
// the presented side a swap copies it to. A lost context has no native
// context left.
class GlContext : public Context3D {
 public:
  GlContext(GlDisplay& display, PP_Instance instance, const Context3DAttributes& attributes, bool strictEs2);
  ~GlContext() override;

  // Creates the native context (sharing with `share` when given) and the
  // drawing buffer. False, with nothing left behind, on failure.
  bool Start(const GlContext* share);

  bool MakeCurrent() override;
  bool Lost() const override { return context_ == nullptr; }
  void Lose() override;
  // The drawing buffer's content is copied on the GPU to the staged side and
  // submitted, with a fence behind it.
  bool StageSwap() override;
  bool StagedDone(int64_t timeoutNs) override;
  void ShowStaged() override { presented_.Show(); }
  PresentedImage ReadShown(const PP_Rect& rect) override;
  int32_t ShownWidth() const override { return presented_.ShownWidth(); }
  int32_t ShownHeight() const override { return presented_.ShownHeight(); }

  // The framebuffer that plays framebuffer 0.
  GLuint DefaultFramebuffer() const { return buffer_.Framebuffer(); }
  bool StrictEs2() const { return strictEs2_; }
  // Whether this is a desktop OpenGL context (gl_display.h).
  bool DesktopGl() const { return display_.DesktopGl(); }

 private:
  bool ResizeBuffer(int32_t width, int32_t height) override { return buffer_.Resize(width, height); }
  void Destroy();
  void DropFence();

  GlDisplay& display_;
  bool strictEs2_;
  GlDisplay::NativeContext context_ = nullptr;
  DrawingBuffer buffer_;
  PresentedSurface presented_;
  GlDisplay::Fence stagedFence_ = nullptr;  // behind the last staged swap, until it is done
};

// The contexts of a host with GL: all on one display, opened on first use.
class GlContextMaker : public Context3DMaker {
 public:
  GlContextMaker(std::unique_ptr<GlDisplay> display, bool strictEs2)
      : display_(std::move(display)), strictEs2_(strictEs2) {}
  std::shared_ptr<Context3D> Make(PP_Instance instance, const Context3DAttributes& attributes,
                                  Context3D* share) override;

 private:
  std::unique_ptr<GlDisplay> display_;  // first: the contexts need it to go away
  bool strictEs2_;
};

}  // namespace pphost
