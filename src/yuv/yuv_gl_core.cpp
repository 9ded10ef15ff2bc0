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
    : m_instance(instance), m_sid(sid), m_dpr(dpr), m_style(style), m_programBuilt(std::move(programBuilt)) {}

int32_t YuvGlCore::ScaleToBuffer(int32_t viewExtent) const { return ScaleByDpr(viewExtent, m_dpr); }

int32_t YuvGlCore::CreateContext(int32_t width, int32_t height, bool enableHighPerformanceGPU) {
  if (!glInitializePPAPI(&pp::ModuleBrowserInterface)) {
    m_style.report->InitPpapiFailed(*m_sid, width, height);
    return kErrorInitPpapi;
  }
  const Graphics3DAttributes attributes =
      MakeGraphics3DAttributes(m_style.alphaBits, width, height, enableHighPerformanceGPU);
  m_context = pp::Graphics3D(*m_instance, attributes.data());
  if (!m_instance->BindGraphics(m_context.pp_resource())) {
    m_style.report->BindFailed(*m_sid);
    return kErrorBindGraphics;
  }
  MakeCurrent();
  LogAt(kLevelInfo, "[{}] {}:{} InitGLContext done", m_style.className, m_style.idKey, *m_sid);
  LogGlVersion();
  SetUpUploads();
  m_redSupported = IsGLRedSupported();
  const int32_t result = BuildProgram();
  if (m_programBuilt) m_programBuilt(result);
  return result;
}

// Both renderers write this line with "uuid:".
void YuvGlCore::LogGlVersion() {
  const GLubyte* version = glGetString(GL_VERSION);
  if (version != nullptr) {
    LogAt(kLevelInfo, "[{}] uuid:{} GL_VERSION:{}", m_style.className, *m_sid, reinterpret_cast<const char*>(version));
  } else {
    LogAt(kLevelWarning, "[{}] uuid:{} glGetString return NULL", m_style.className, *m_sid);
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
  m_maxTextureSize = maxTextureSize;
}

int32_t YuvGlCore::BuildProgram() {
  ShaderProgram built;
  const int32_t result = BuildShaderProgram(m_style.vertexShaderText, m_style.fragmentShaderText, &built);
  m_program = built.program;
  if (result != kErrorNone) return result;
  if (!m_style.keepShaderObjects) {
    glDeleteShader(built.vertexShader);
    glDeleteShader(built.fragmentShader);
  }
  glUseProgram(m_program);
  return kErrorNone;
}

int32_t YuvGlCore::ChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) {
  const PP_Rect rect = view.GetRect();
  const int32_t width = ScaleToBuffer(rect.size.width);
  const int32_t height = ScaleToBuffer(rect.size.height);
  if (m_context.is_null()) {
    m_style.report->ContextForView(*m_sid, width, height);
    const int32_t result = CreateContext(width, height, enableHighPerformanceGPU);
    if (result != kErrorNone) {
      LogAt(kLevelError, "[{}] {}:{} InitGL error - err: {}", m_style.className, m_style.idKey, *m_sid, result);
      return result;
    }
  } else {
    MakeCurrent();
    const int32_t result = m_context.ResizeBuffers(width, height);
    if (result < 0) {
      m_style.report->ResizeFailed(*m_sid, result, width, height);
      return kErrorResizeBuffer;
    }
  }
  m_useRed = enablePPAPIRedExt && m_redSupported;
  glViewport(0, 0, width, height);
  return kErrorNone;
}

int32_t YuvGlCore::PrepareUploads(int32_t width, int32_t height, bool enableHighPerformanceGPU,
                                  bool enablePPAPIRedExt) {
  if (m_context.is_null()) {
    m_style.report->ContextForTextures(*m_sid, width, height);
    const int32_t result = CreateContext(width, height, enableHighPerformanceGPU);
    if (result != kErrorNone) return result;
  }
  m_useRed = enablePPAPIRedExt && m_redSupported;
  MakeCurrent();
  m_locTexY = glGetUniformLocation(m_program, "tex_y");
  m_locTexU = glGetUniformLocation(m_program, "tex_u");
  m_locTexV = glGetUniformLocation(m_program, "tex_v");
  m_locIsNv12 = glGetUniformLocation(m_program, "is_nv12");
  return kErrorNone;
}

int32_t YuvGlCore::RecreateTextures() {
  if (!m_textures.Recreate()) {
    LogAt(kLevelError, "[{}] {}:{} InitTextures failed - y: {}, u: {}, v: {}", m_style.className, m_style.idKey, *m_sid,
          m_textures.y, m_textures.u, m_textures.v);
    return kErrorInitTexture;
  }
  LogAt(kLevelInfo, "[{}] {}:{} InitTextures done - y: {}, u: {}, v: {}", m_style.className, m_style.idKey, *m_sid,
        m_textures.y, m_textures.u, m_textures.v);
  return kErrorNone;
}

bool YuvGlCore::FitsTextures(const VideoFrame& frame) const {
  return CheckVideoFrameTextures(frame, m_maxTextureSize, *m_sid) == kVideoFrameOk;
}

bool YuvGlCore::UploadPlanes(const VideoFrame& frame) {
  // A plane a texture cannot hold would leave the textures as they were:
  // with another frame's, or in a gallery another stream's, picture.
  if (!FitsTextures(frame)) return false;
  const GLenum format = m_useRed ? GL_RED : GL_LUMINANCE;
  const int32_t chromaRows = frame.height >> 1;
  UploadPlane(GL_TEXTURE0, m_textures.y, format, frame.planS0, frame.height, frame.plan0);
  glUniform1i(m_locTexY, 0);
  if (frame.format == tallwick::frame::kFormatNV12) {
    glUniform1i(m_locIsNv12, 1);
    // Interleaved Cb/Cr: one two-channel texel per chroma pair.
    UploadPlane(GL_TEXTURE1, m_textures.u, GL_LUMINANCE_ALPHA, frame.planS1 >> 1, chromaRows, frame.plan1);
    glUniform1i(m_locTexU, 1);
    return true;
  }
  glUniform1i(m_locIsNv12, 0);
  UploadPlane(GL_TEXTURE1, m_textures.u, format, frame.planS1, chromaRows, frame.plan1);
  glUniform1i(m_locTexU, 1);
  UploadPlane(GL_TEXTURE2, m_textures.v, format, frame.planS2, chromaRows, frame.plan2);
  glUniform1i(m_locTexV, 2);
  return true;
}

void YuvGlCore::Clear(const std::array<float, 4>& rgba) {
  glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
  glClear(GL_COLOR_BUFFER_BIT);
}

void YuvGlCore::MakeCurrent() { glSetCurrentContextPPAPI(m_context.pp_resource()); }

int32_t YuvGlCore::Swap(const pp::CompletionCallback& done) {
  MakeCurrent();
  return m_context.SwapBuffers(done);
}

}  // namespace TALLWICK_PP_RENDER
