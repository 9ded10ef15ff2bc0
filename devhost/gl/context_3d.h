#pragma once

// What PPB_Graphics3D needs of a 3D context, whatever draws it: EGL and
// OpenGL ES (gl_context.h), or nothing at all when the GL calls are answered
// from a record (answered_context.h). The browser side works on this
// interface only; a back end makes the contexts (Context3DMaker).
#include <cstdint>
#include <memory>

#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// The largest drawing buffer side the host hands out.
constexpr int32_t kMaxDrawingBufferSide = 16384;

// GL's error values the host raises itself.
constexpr uint32_t kGlNoError = 0;
constexpr uint32_t kGlInvalidEnum = 0x0500;
constexpr uint32_t kGlContextLost = 0x0507;

// What the module asked for when it made the context.
struct Context3DAttributes {
  int32_t width = 0;
  int32_t height = 0;
  int32_t alphaSize = 8;
  int32_t depthSize = 0;
  int32_t stencilSize = 0;
  int32_t gpuPreference = 0;
};

// One PPB_Graphics3D resource. A lost context keeps its attributes; every GL
// call on it does nothing.
class Context3D {
 public:
  Context3D(PP_Instance instance, const Context3DAttributes& attributes)
      : instance_(instance), attributes_(attributes) {}
  virtual ~Context3D() = default;
  Context3D(const Context3D&) = delete;
  Context3D& operator=(const Context3D&) = delete;

  // Makes the context current for a GL call; false when it is lost.
  virtual bool MakeCurrent() = 0;
  virtual bool Lost() const = 0;
  // Lets the context go; the next GetError answers GL_CONTEXT_LOST.
  virtual void Lose() = 0;

  // PP_OK, PP_ERROR_BADARGUMENT, PP_ERROR_NOMEMORY or PP_ERROR_CONTEXT_LOST.
  int32_t Resize(int32_t width, int32_t height);
  // A swap: the drawing buffer's content is staged for showing; false when
  // the context is lost.
  virtual bool StageSwap() = 0;
  // Whether the GPU has done the work of the last staged swap, waiting up to
  // `timeoutNs` for it (0: only looks). A back end that draws nothing, or
  // cannot tell, answers true.
  virtual bool StagedDone(int64_t /*timeoutNs*/) { return true; }
  // The swap completed: what it staged is now shown.
  virtual void ShowStaged() = 0;
  // `rect` of the shown picture (rows from the top, on the picture), read
  // back to the CPU; empty when the context is lost or has no pixels.
  virtual PresentedImage ReadShown(const PP_Rect& rect) = 0;
  virtual int32_t ShownWidth() const = 0;
  virtual int32_t ShownHeight() const = 0;

  const Context3DAttributes& Attributes() const { return attributes_; }
  PP_Instance Instance() const { return instance_; }

  // An error the host raised itself, answered by GetError before GL's own.
  void RaiseError(uint32_t error) {
    if (pendingError_ == kGlNoError) pendingError_ = error;
  }
  uint32_t TakeError() {
    const uint32_t error = pendingError_;
    pendingError_ = kGlNoError;
    return error;
  }

  bool swapPending = false;

 private:
  // The back end's part of Resize, with a size already checked: false when
  // the buffer cannot be had.
  virtual bool ResizeBuffer(int32_t width, int32_t height) = 0;

  PP_Instance instance_;
  Context3DAttributes attributes_;
  uint32_t pendingError_ = kGlNoError;
};

// Makes the host's 3D contexts.
class Context3DMaker {
 public:
  virtual ~Context3DMaker() = default;
  // A context of `instance` sharing objects with `share` (null for none);
  // null when none can be made.
  virtual std::shared_ptr<Context3D> Make(PP_Instance instance, const Context3DAttributes& attributes,
                                          Context3D* share) = 0;
};

}  // namespace pphost
