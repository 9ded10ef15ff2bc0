#pragma once

#include <cstdint>
#include <string>

#include "embed/protocol.h"
#include "frame/video_frame.h"
#include "host/completion_callback.h"
#include "host/instance.h"
#include "host/view.h"

namespace TALLWICK_PP_RENDER {

// A renderer draws parsed frames into its plug-in element. Every operation
// returns kErrorNone or one of the error codes of embed/protocol.h.
//
// Each render role owns exactly one renderer and calls it on the main thread
// only; the renderer borrows the instance and owns whatever it draws with
// (the GPU renderers: a 3D context, and through it their program and
// textures). Several elements' renderers share the thread, so an operation
// makes its own context current before it draws; none relies on a context
// left current by an earlier call. The role writes the sid right after
// construction.
class IYUVRender {
 public:
  explicit IYUVRender(pp::Instance* instance) : m_instance(instance) {}
  virtual ~IYUVRender() = default;

  IYUVRender(const IYUVRender&) = delete;
  IYUVRender& operator=(const IYUVRender&) = delete;

  // Prepares what depends on the frame geometry, creating the context first
  // when there is none.
  virtual int32_t InitYUVRender(const VideoFrame& frame, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) = 0;
  // Fills the view with transparent black and presents it. `done` runs once:
  // when the presentation completed, or at once with PP_ERROR_ABORTED when
  // there is nothing to present. (The gallery renderer ignores this call and
  // never runs `done`.)
  virtual int32_t ClearBuffer(const pp::CompletionCallback& done) = 0;
  // Uploads, draws and presents one frame; `done` runs when the presentation
  // completed (a swap the host refuses at once still runs it, later on the
  // main thread, with the host's error).
  virtual int32_t RenderFrame(const VideoFrame& frame, const pp::CompletionCallback& done) = 0;
  // The element's size or scale changed: resize the drawing buffer, creating
  // the context when there is none.
  virtual int32_t HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) = 0;

  // The largest texture side the renderer's context takes (its
  // GL_MAX_TEXTURE_SIZE); 0 while it has no context.
  virtual int32_t MaxTextureSize() const { return 0; }

  // Names the stream (or gallery) in log lines.
  void SetSid(const std::string& name) { sid = name; }
  const std::string& GetSid() const { return sid; }

 protected:
  pp::Instance* m_instance;  // not owned
  std::string sid;
};

// A view change offered to a role's renderer, which exists only from
// "INIT" on: false when there is one and it could not take the view.
inline bool RendererTookView(IYUVRender* renderer, const pp::View& view, bool enableHighPerformanceGPU,
                             bool enablePPAPIRedExt) {
  return renderer == nullptr ||
         renderer->HandleChangeView(view, enableHighPerformanceGPU, enablePPAPIRedExt) == kErrorNone;
}

}  // namespace TALLWICK_PP_RENDER
