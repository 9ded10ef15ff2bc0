#pragma once

#include <cstdint>

#include "yuv/i_yuv_render.h"
#include "yuv/tex_coord.h"
#include "yuv/yuv_gl_core.h"

namespace TALLWICK_PP_RENDER {

// The single-stream GPU renderer: one 3D context bound to the element (alpha
// 0), one program and three plane textures, held by its GL core. Each frame's
// planes are uploaded at their full stride and stretched over the whole view;
// the texture window hides the bytes between picture width and stride.
//
// Owned by the single-stream render role, which calls it on the main thread
// only; it borrows the instance. Every operation makes this renderer's
// context current before its first GL call (several elements share the
// thread), and leaves it current. The context is made by the first
// HandleChangeView or InitYUVRender and only resized afterwards.
// Callbacks: `done` of ClearBuffer and RenderFrame goes to the host's swap
// and runs once, when the presentation completes (a swap the host refuses at
// once runs it later on the main thread with the host's error). ClearBuffer
// without a context runs `done` at once with PP_ERROR_ABORTED, so that its
// holder is released, and returns kErrorNotInited. RenderFrame presumes
// InitYUVRender succeeded; it does not test the context.
class YUV3DRender : public IYUVRender {
 public:
  YUV3DRender(pp::Instance* instance, double devicePixelRatio);
  ~YUV3DRender() override;

  // Creates the context at the frame's size when there is none, then sets
  // the texture windows for the frame's strides and remakes the textures.
  int32_t InitYUVRender(const VideoFrame& frame, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) override;
  int32_t ClearBuffer(const pp::CompletionCallback& done) override;
  // The swap's own result (PP_OK_COMPLETIONPENDING when it is under way).
  int32_t RenderFrame(const VideoFrame& frame, const pp::CompletionCallback& done) override;
  int32_t HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) override;
  int32_t MaxTextureSize() const override { return gl_.MaxTextureSize(); }

 private:
  void GenTexCoords(const VideoFrame& frame);
  void SetUpVertexAttributes();

  YuvGlCore gl_;
  // Rewritten in place only: the attribute pointers address their storage.
  TexCoords texCoordY;
  TexCoords texCoordUV;
};

}  // namespace TALLWICK_PP_RENDER
