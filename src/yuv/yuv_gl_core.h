#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "frame/video_frame.h"
#include "host/completion_callback.h"
#include "host/gles2/gl2_api.h"
#include "host/graphics_3d.h"
#include "host/instance.h"
#include "host/view.h"
#include "yuv/gl_texture.h"

namespace TALLWICK_PP_RENDER {

// The core's findings that each renderer words in a log line of its own
// (level, wording, and a rate limit for a line that may repeat). Each takes
// the renderer's sid.
class YuvGlReport {
 public:
  virtual ~YuvGlReport() = default;

  // glInitializePPAPI failed before a context of width x height was made.
  virtual void InitPpapiFailed(const std::string& sid, int32_t width, int32_t height) const = 0;
  // The new context could not be bound to the element.
  virtual void BindFailed(const std::string& sid) const = 0;
  // A view change found no context: one of width x height is made now.
  virtual void ContextForView(const std::string& sid, int32_t width, int32_t height) const = 0;
  // Texture set-up found no context: one of width x height is made now.
  virtual void ContextForTextures(const std::string& sid, int32_t width, int32_t height) const = 0;
  // The host refused to resize the drawing buffer to width x height.
  virtual void ResizeFailed(const std::string& sid, int32_t result, int32_t width, int32_t height) const = 0;
};

// What sets one GPU renderer's use of the core apart: its context's alpha,
// its shader texts, how the core's own log lines name it, and the report
// that words the rest.
struct YuvGlStyle {
  const char* className;  // "YUV3DRender": the core's lines start "[className] idKey:sid"
  const char* idKey;      // "sid" or "uuid"
  int32_t alphaBits;
  const char* vertexShaderText;
  const char* fragmentShaderText;
  bool keepShaderObjects;     // false: the shaders are deleted once the program is linked
  const YuvGlReport* report;  // not owned; lives as long as the style
};

// The GL core of a YUV renderer, used by composition: the element's 3D
// context, one program, the three plane textures and their uniforms, and the
// steps both renderers take alike (context creation, view changes, texture
// set-up, plane upload, making current, presenting).
//
// Owns the context and through it the program and textures (they go with the
// context; only RecreateTextures deletes the textures it replaces); borrows the instance and the
// renderer's sid. Called by its renderer on the main thread only. Several
// elements' renderers share the thread and the binding's one current-context
// slot: CreateContext, ChangeView, PrepareUploads, MakeCurrent and Swap make
// this context current; RecreateTextures, UploadPlanes and Clear work on the
// context the caller made current. The context, once made, is never made
// again: later view changes only resize it.
class YuvGlCore {
 public:
  // `programBuilt` runs after every program build, with its result (0 or the
  // compile or link code), while the new program is current on success.
  YuvGlCore(pp::Instance* instance, const std::string* sid, double dpr, const YuvGlStyle& style,
            std::function<void(int32_t)> programBuilt = {});

  bool HasContext() const { return !context_.is_null(); }
  GLuint Program() const { return program_; }
  // A view extent scaled to device pixels by the renderer's dpr.
  int32_t ScaleToBuffer(int32_t viewExtent) const;

  // Makes a context with a width x height drawing buffer, binds it to the
  // element, probes GL_RED and builds and uses the program. 0, or the code of
  // the step that failed (what was built stays).
  int32_t CreateContext(int32_t width, int32_t height, bool enableHighPerformanceGPU);
  // The element's view changed: creates the context at the view's size in
  // device pixels when there is none, or resizes it; on success sets the GL_RED
  // choice and the viewport. 0, or the failing step's code.
  int32_t ChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt);
  // Before textures are set up: creates a context of width x height when
  // there is none, sets the GL_RED choice, makes the context current and looks
  // up the samplers and "is_nv12". 0, or the context's failure code.
  int32_t PrepareUploads(int32_t width, int32_t height, bool enableHighPerformanceGPU, bool enablePPAPIRedExt);
  // Deletes the plane textures there are and makes three new ones. 0, or
  // kErrorInitTexture when the GL gave no name for one of them.
  int32_t RecreateTextures();

  // The context's GL_MAX_TEXTURE_SIZE, asked once when it was made; 0
  // without a context.
  int32_t MaxTextureSize() const { return maxTextureSize_; }
  // Every plane texture of `frame` fits MaxTextureSize (true while unknown).
  bool FitsTextures(const VideoFrame& frame) const;
  // Uploads the frame's planes as whole textures at their row stride (NV12:
  // the interleaved chroma as one luminance-alpha texture) and points the
  // samplers and "is_nv12" at them. False, and nothing uploaded, for a frame
  // whose planes do not fit the textures.
  bool UploadPlanes(const VideoFrame& frame);
  // Clears the colour buffer to `rgba`.
  static void Clear(const std::array<float, 4>& rgba);
  void MakeCurrent();
  // Makes the context current and presents it. `done` runs once: when the
  // swap completes, or, when the host refuses the swap at once, later on the
  // main thread with the host's error. The host's result.
  int32_t Swap(const pp::CompletionCallback& done);

 private:
  int32_t BuildProgram();
  void SetUpUploads();
  void LogGlVersion();

  pp::Instance* m_instance;  // not owned
  const std::string* sid_;   // the renderer's, not owned
  double dpr_;
  const YuvGlStyle& style_;
  std::function<void(int32_t)> programBuilt_;
  pp::Graphics3D context_;
  GLuint program_ = 0;
  PlaneTextures textures_;
  GLint locTexY_ = 0;
  GLint locTexU_ = 0;
  GLint locTexV_ = 0;
  GLint locIsNv12_ = 0;
  bool useRed_ = false;
  bool redSupported_ = false;
  int32_t maxTextureSize_ = 0;
};

}  // namespace TALLWICK_PP_RENDER
