#include "yuv/yuv_gl_core.h"

#include <utility>

#include "common/log_instance.h"
#include "common/saturating.h"
#include "embed/protocol.h"
#include "frame/frame_bounds.h"
#include "frame/frame_layout.h"
#include "host/gles2/gles2_binding.h"
#include "host/module.h"
#include "yuv/gl_program.h"
#include "yuv/graphics_3d_attributes.h"

namespace TALLWICK_PP_RENDER {

using namespace TALLWICK_GLES2;  // NOLINT(google-build-using-namespace): the gl* entry points
using TALLWICK_LOG::kLevelError;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kLevelWarning;
using TALLWICK_LOG::LogAt;

namespace {

// A view extent in device pixels: `extent` x `dpr`, truncated toward zero and
// saturated (the page's dpr may be any number).
int32_t ScaleByDpr(int32_t extent, double dpr) { return tallwick::TruncateToInt32(static_cast<double>(extent) * dpr); }

}  // namespace

YuvGlCore::YuvGlCore(pp::Instance* instance, const std::string* sid, double dpr, const YuvGlStyle& style,
                     std::function<void(int32_t)> programBuilt)
    : m_instance(instance), sid_(sid), dpr_(dpr), style_(style), programBuilt_(std::move(programBuilt)) {}

int32_t YuvGlCore::ScaleToBuffer(int32_t viewExtent) const { return ScaleByDpr(viewExtent, dpr_); }

int32_t YuvGlCore::CreateContext(int32_t width, int32_t height, bool enableHighPerformanceGPU) {
  if (!glInitializePPAPI(&pp::ModuleBrowserInterface)) {
    style_.report->InitPpapiFailed(*sid_, width, height);
    return kErrorInitPpapi;
  }
  const Graphics3DAttributes attributes =
      MakeGraphics3DAttributes(style_.alphaBits, width, height, enableHighPerformanceGPU);
  context_ = pp::Graphics3D(*m_instance, attributes.data());
  if (!m_instance->BindGraphics(context_.pp_resource())) {
    style_.report->BindFailed(*sid_);
    return kErrorBindGraphics;
  }
  MakeCurrent();
  LogAt(kLevelInfo, "[{}] {}:{} InitGLContext done", style_.className, style_.idKey, *sid_);
  LogGlVersion();
  SetUpUploads();
  redSupported_ = IsGLRedSupported();
  const int32_t result = BuildProgram();
  if (programBuilt_) programBuilt_(result);
  return result;
}

// Both renderers write this line with "uuid:".
void YuvGlCore::LogGlVersion() {
  const GLubyte* version = glGetString(GL_VERSION);
  if (version != nullptr) {
    LogAt(kLevelInfo, "[{}] uuid:{} GL_VERSION:{}", style_.className, *sid_, reinterpret_cast<const char*>(version));
  } else {
    LogAt(kLevelWarning, "[{}] uuid:{} glGetString return NULL", style_.className, *sid_);
  }
}

// Plane rows are packed at their stride, whatever it is: an odd stride must
// never be read with the default 4-byte row alignment (the picture would
// shear, and the last rows would be read past the plane). The texture limit
// is asked once, for the frames' checks.
void YuvGlCore::SetUpUploads() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLint maxTextureSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
  maxTextureSize_ = maxTextureSize;
}

int32_t YuvGlCore::BuildProgram() {
  ShaderProgram built;
  const int32_t result = BuildShaderProgram(style_.vertexShaderText, style_.fragmentShaderText, &built);
  program_ = built.program;
  if (result != kErrorNone) return result;
  if (!style_.keepShaderObjects) {
    glDeleteShader(built.vertexShader);
    glDeleteShader(built.fragmentShader);
  }
  glUseProgram(program_);
  return kErrorNone;
}

int32_t YuvGlCore::ChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) {
  const PP_Rect rect = view.GetRect();
  const int32_t width = ScaleToBuffer(rect.size.width);
  const int32_t height = ScaleToBuffer(rect.size.height);
  if (context_.is_null()) {
    style_.report->ContextForView(*sid_, width, height);
    const int32_t result = CreateContext(width, height, enableHighPerformanceGPU);
    if (result != kErrorNone) {
      LogAt(kLevelError, "[{}] {}:{} InitGL error - err: {}", style_.className, style_.idKey, *sid_, result);
      return result;
    }
  } else {
    MakeCurrent();
    const int32_t result = context_.ResizeBuffers(width, height);
    if (result < 0) {
      style_.report->ResizeFailed(*sid_, result, width, height);
      return kErrorResizeBuffer;
    }
  }
  useRed_ = enablePPAPIRedExt && redSupported_;
  glViewport(0, 0, width, height);
  return kErrorNone;
}

int32_t YuvGlCore::PrepareUploads(int32_t width, int32_t height, bool enableHighPerformanceGPU,
                                  bool enablePPAPIRedExt) {
  if (context_.is_null()) {
    style_.report->ContextForTextures(*sid_, width, height);
    const int32_t result = CreateContext(width, height, enableHighPerformanceGPU);
    if (result != kErrorNone) return result;
  }
  useRed_ = enablePPAPIRedExt && redSupported_;
  MakeCurrent();
  locTexY_ = glGetUniformLocation(program_, "tex_y");
  locTexU_ = glGetUniformLocation(program_, "tex_u");
  locTexV_ = glGetUniformLocation(program_, "tex_v");
  locIsNv12_ = glGetUniformLocation(program_, "is_nv12");
  return kErrorNone;
}

int32_t YuvGlCore::RecreateTextures() {
  if (!textures_.Recreate()) {
    LogAt(kLevelError, "[{}] {}:{} InitTextures failed - y: {}, u: {}, v: {}", style_.className, style_.idKey, *sid_,
          textures_.y, textures_.u, textures_.v);
    return kErrorInitTexture;
  }
  LogAt(kLevelInfo, "[{}] {}:{} InitTextures done - y: {}, u: {}, v: {}", style_.className, style_.idKey, *sid_,
        textures_.y, textures_.u, textures_.v);
  return kErrorNone;
}

bool YuvGlCore::FitsTextures(const VideoFrame& frame) const {
  return CheckVideoFrameTextures(frame, maxTextureSize_, *sid_) == kVideoFrameOk;
}

bool YuvGlCore::UploadPlanes(const VideoFrame& frame) {
  // A plane a texture cannot hold would leave the textures as they were:
  // with another frame's, or in a gallery another stream's, picture.
  if (!FitsTextures(frame)) return false;
  const GLenum format = useRed_ ? GL_RED : GL_LUMINANCE;
  const int32_t chromaRows = frame.height >> 1;
  UploadPlane(GL_TEXTURE0, textures_.y, format, frame.planS0, frame.height, frame.plan0);
  glUniform1i(locTexY_, 0);
  if (frame.format == tallwick::frame::kFormatNV12) {
    glUniform1i(locIsNv12_, 1);
    // Interleaved Cb/Cr: one two-channel texel per chroma pair.
    UploadPlane(GL_TEXTURE1, textures_.u, GL_LUMINANCE_ALPHA, frame.planS1 >> 1, chromaRows, frame.plan1);
    glUniform1i(locTexU_, 1);
    return true;
  }
  glUniform1i(locIsNv12_, 0);
  UploadPlane(GL_TEXTURE1, textures_.u, format, frame.planS1, chromaRows, frame.plan1);
  glUniform1i(locTexU_, 1);
  UploadPlane(GL_TEXTURE2, textures_.v, format, frame.planS2, chromaRows, frame.plan2);
  glUniform1i(locTexV_, 2);
  return true;
}

void YuvGlCore::Clear(const std::array<float, 4>& rgba) {
  glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
  glClear(GL_COLOR_BUFFER_BIT);
}

void YuvGlCore::MakeCurrent() { glSetCurrentContextPPAPI(context_.pp_resource()); }

int32_t YuvGlCore::Swap(const pp::CompletionCallback& done) {
  MakeCurrent();
  return context_.SwapBuffers(done);
}

}  // namespace TALLWICK_PP_RENDER
