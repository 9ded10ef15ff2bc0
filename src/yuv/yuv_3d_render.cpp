#include "yuv/yuv_3d_render.h"

#include <array>

#include "common/log_instance.h"
#include "common/rate_limiter.h"
#include "embed/protocol.h"
#include "host/gles2/gles2_binding.h"
#include "yuv/gl_context.h"
#include "yuv/gl_program.h"
#include "yuv/gl_texture.h"
#include "yuv/shader_texts.h"
#include "yuv/tex_coord.h"

namespace TALLWICK_PP_RENDER {

using namespace TALLWICK_GLES2;  // NOLINT(google-build-using-namespace): the gl* entry points
using TALLWICK_LOG::kLevelError;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kLevelWarning;
using TALLWICK_LOG::LogAt;

namespace {

constexpr int32_t kFormatNv12 = 2;

// The unit square as two triangles; (0,0) is the view's top-left corner.
constexpr std::array<float, 12> kPositions = {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1};

// One limiter for every single-stream renderer of the module.
TALLWICK_COMMON::RateLimiter& ResizeFailureLimiter() {
  static TALLWICK_COMMON::RateLimiter limiter(TALLWICK_COMMON::kLogRateLimitMs);
  return limiter;
}

// Visible part of a plane row: the picture width over the stride, minus two
// texels so that linear filtering never reaches the padding.
float TexWindow(int32_t width, int32_t stride) {
  return static_cast<float>(width) / static_cast<float>(stride) - 2.0F / static_cast<float>(width);
}

}  // namespace

YUV3DRender::YUV3DRender(pp::Instance* instance, double devicePixelRatio)
    : IYUVRender(instance),
      m_texCoordY{0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1},
      m_texCoordUV{0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1},
      m_devicePixelRatio(devicePixelRatio) {
  LogAt(kLevelInfo, "[YUV3DRender] sid:{} YUV3DRender constructor", m_sid);
}

// Textures and program go with the context.
YUV3DRender::~YUV3DRender() { LogAt(kLevelInfo, "[YUV3DRender] sid:{} YUV3DRender destructor", m_sid); }

int32_t YUV3DRender::InitGLContext(int32_t width, int32_t height, bool enableHighPerformanceGPU) {
  if (!glInitializePPAPI(&ModuleBrowserInterface)) {
    LogAt(kLevelError, "[YUV3DRender] sid:{} glInitializePPAPI error - width: {}, height: {}", m_sid, width, height);
    return kErrorInitPpapi;
  }
  const ContextAttributes attributes = MakeContextAttributes(0, width, height, enableHighPerformanceGPU);
  m_context = pp::Graphics3D(*m_instance, attributes.data());
  if (!m_instance->BindGraphics(m_context.pp_resource())) {
    LogAt(kLevelError, "[YUV3DRender] sid:{} unable to bind 3d context", m_sid);
    return kErrorBindGraphics;
  }
  MakeCurrent();
  LogAt(kLevelInfo, "[YUV3DRender] sid:{} InitGLContext done", m_sid);
  const GLubyte* version = glGetString(GL_VERSION);
  if (version != nullptr) {
    LogAt(kLevelInfo, "[YUV3DRender] uuid:{} GL_VERSION:{}", m_sid, reinterpret_cast<const char*>(version));
  } else {
    LogAt(kLevelWarning, "[YUV3DRender] uuid:{} glGetString return NULL", m_sid);
  }
  m_redSupported = IsGLRedSupported();
  return InitShader();
}

int32_t YUV3DRender::InitShader() {
  ShaderProgram built;
  const int32_t result = BuildShaderProgram(kVertexShaderText, kFragmentShaderText, &built);
  m_program = built.program;
  if (result != kErrorNone) return result;
  glUseProgram(m_program);
  return kErrorNone;
}

int32_t YUV3DRender::InitYUVRender(const VideoFrame& frame, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) {
  if (m_context.is_null()) {
    LogAt(kLevelInfo, "[YUV3DRender] sid:{} gl context not inited when init texture, init gl - width: {}, height: {}",
          m_sid, frame.width, frame.height);
    const int32_t result = InitGLContext(frame.width, frame.height, enableHighPerformanceGPU);
    if (result != kErrorNone) return result;
  }
  m_useRedTextures = enablePPAPIRedExt && m_redSupported;
  MakeCurrent();
  m_locTexY = glGetUniformLocation(m_program, "tex_y");
  m_locTexU = glGetUniformLocation(m_program, "tex_u");
  m_locTexV = glGetUniformLocation(m_program, "tex_v");
  m_locIsNv12 = glGetUniformLocation(m_program, "is_nv12");
  GenTexCoords(frame);
  SetUpVertexAttributes();
  return InitTextures();
}

void YUV3DRender::GenTexCoords(const VideoFrame& frame) {
  const float xY = TexWindow(frame.width, frame.planS0);
  GenTexCoord(xY, 1.0F, m_texCoordY);
  LogAt(kLevelInfo, "[YUV3DRender] sid:{} GenTexCoordWidth(y channel) - xCoord: {}, id: {}", m_sid, xY, m_sid);
  const float xUV = TexWindow(frame.width / 2, frame.planS1);
  GenTexCoord(xUV, 1.0F, m_texCoordUV);
  LogAt(kLevelInfo, "[YUV3DRender] sid:{} GenTexCoordWidth(uv channel) - xCoord: {}, id: {}", m_sid, xUV, m_sid);
}

void YUV3DRender::SetUpVertexAttributes() {
  glEnableVertexAttribArray(kAttribPosition);
  glEnableVertexAttribArray(kAttribTexCoord);
  glEnableVertexAttribArray(kAttribTexCoordUV);
  glVertexAttribPointer(kAttribPosition, 2, GL_FLOAT, GL_FALSE, 0, kPositions.data());
  glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, 0, m_texCoordY.data());
  glVertexAttribPointer(kAttribTexCoordUV, 2, GL_FLOAT, GL_FALSE, 0, m_texCoordUV.data());
}

int32_t YUV3DRender::InitTextures() {
  if (!m_textures.Recreate()) {
    LogAt(kLevelError, "[YUV3DRender] sid:{} InitTextures failed - y: {}, u: {}, v: {}", m_sid, m_textures.y,
          m_textures.u, m_textures.v);
    return kErrorInitTexture;
  }
  LogAt(kLevelInfo, "[YUV3DRender] sid:{} InitTextures done - y: {}, u: {}, v: {}", m_sid, m_textures.y, m_textures.u,
        m_textures.v);
  return kErrorNone;
}

int32_t YUV3DRender::ClearBuffer(const pp::CompletionCallback& done) {
  if (m_context.is_null()) {
    pp::CompletionCallback unused = done;
    unused.Run(PP_ERROR_ABORTED);  // nothing will present: release it
    return kErrorNotInited;
  }
  MakeCurrent();
  glClearColor(0.0F, 0.0F, 0.0F, 0.0F);
  glClear(GL_COLOR_BUFFER_BIT);
  Swap(done);
  return kErrorNone;
}

int32_t YUV3DRender::RenderFrame(const VideoFrame& frame, const pp::CompletionCallback& done) {
  MakeCurrent();
  glClearColor(0.0F, 0.0F, 0.0F, 0.0F);
  glClear(GL_COLOR_BUFFER_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  UploadPlanes(frame);
  glDrawArrays(GL_TRIANGLES, 0, 6);
  return Swap(done);
}

void YUV3DRender::UploadPlanes(const VideoFrame& frame) {
  const GLenum format = m_useRedTextures ? GL_RED : GL_LUMINANCE;
  const int32_t chromaRows = frame.height >> 1;
  UploadPlane(GL_TEXTURE0, m_textures.y, format, frame.planS0, frame.height, frame.plan0);
  glUniform1i(m_locTexY, 0);
  if (frame.format == kFormatNv12) {
    glUniform1i(m_locIsNv12, 1);
    // Interleaved Cb/Cr: one two-channel texel per chroma pair.
    UploadPlane(GL_TEXTURE1, m_textures.u, GL_LUMINANCE_ALPHA, frame.planS1 >> 1, chromaRows, frame.plan1);
    glUniform1i(m_locTexU, 1);
    return;
  }
  glUniform1i(m_locIsNv12, 0);
  UploadPlane(GL_TEXTURE1, m_textures.u, format, frame.planS1, chromaRows, frame.plan1);
  glUniform1i(m_locTexU, 1);
  UploadPlane(GL_TEXTURE2, m_textures.v, format, frame.planS2, chromaRows, frame.plan2);
  glUniform1i(m_locTexV, 2);
}

int32_t YUV3DRender::HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) {
  const PP_Rect rect = view.GetRect();
  const int32_t width = ScaleByDpr(rect.size.width, m_devicePixelRatio);
  const int32_t height = ScaleByDpr(rect.size.height, m_devicePixelRatio);
  if (m_context.is_null()) {
    LogAt(kLevelInfo,
          "[YUV3DRender] sid:{} HandleChangeView - context null, so init gl, newWidth: {}, newHeight: {}, id: {}",
          m_sid, width, height, m_sid);
    const int32_t result = InitGLContext(width, height, enableHighPerformanceGPU);
    if (result != kErrorNone) {
      LogAt(kLevelError, "[YUV3DRender] sid:{} InitGL error - err: {}", m_sid, result);
      return result;
    }
  } else {
    MakeCurrent();
    const int32_t result = m_context.ResizeBuffers(width, height);
    if (result < 0) {
      if (ResizeFailureLimiter().Allow()) {
        LogAt(kLevelInfo,
              "[YUV3DRender] sid:{} ResizeBuffers - unable to resize buffer: result: {}, newWidth {}, newHeight {}, "
              "id: {}",
              m_sid, result, width, height, m_sid);
      }
      return kErrorResizeBuffer;
    }
  }
  m_useRedTextures = enablePPAPIRedExt && m_redSupported;
  glViewport(0, 0, width, height);
  return kErrorNone;
}

void YUV3DRender::MakeCurrent() { glSetCurrentContextPPAPI(m_context.pp_resource()); }

int32_t YUV3DRender::Swap(const pp::CompletionCallback& done) {
  MakeCurrent();
  return m_context.SwapBuffers(done);
}

}  // namespace TALLWICK_PP_RENDER
