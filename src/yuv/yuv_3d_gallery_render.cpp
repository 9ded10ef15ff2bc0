#include "yuv/yuv_3d_gallery_render.h"

#include "common/log_instance.h"
#include "common/rate_limiter.h"
#include "embed/protocol.h"
#include "host/gles2/gles2_binding.h"
#include "yuv/gl_context.h"
#include "yuv/gl_program.h"
#include "yuv/gl_texture.h"
#include "yuv/shader_texts.h"

namespace TALLWICK_PP_RENDER {

using namespace TALLWICK_GLES2;  // NOLINT(google-build-using-namespace): the gl* entry points
using TALLWICK_LOG::kLevelError;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kLevelWarning;
using TALLWICK_LOG::LogAt;

namespace {

constexpr int32_t kFormatNv12 = 2;
constexpr int32_t kAlphaBits = 8;

TALLWICK_COMMON::RateLimiter& ResizeFailureLimiter() {
  static TALLWICK_COMMON::RateLimiter limiter(TALLWICK_COMMON::kLogRateLimitMs);
  return limiter;
}

void DrawTriangles(const float* positions, const float* texCoordsY, const float* texCoordsUV) {
  glVertexAttribPointer(kAttribPosition, 2, GL_FLOAT, GL_FALSE, 0, positions);
  glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, 0, texCoordsY);
  glVertexAttribPointer(kAttribTexCoordUV, 2, GL_FLOAT, GL_FALSE, 0, texCoordsUV);
  glDrawArrays(GL_TRIANGLES, 0, 6);
}

}  // namespace

YUV3DGalleryRender::YUV3DGalleryRender(pp::Instance* instance, double dpr) : IYUVRender(instance), m_dpr(dpr) {
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} YUV3DGalleryRender constructor", m_sid);
}

// GL objects go with the context.
YUV3DGalleryRender::~YUV3DGalleryRender() {
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} YUV3DGalleryRender destructor", m_sid);
}

int32_t YUV3DGalleryRender::InitGLContext(int32_t width, int32_t height, bool enableHighPerformanceGPU) {
  if (!glInitializePPAPI(&ModuleBrowserInterface)) {
    LogAt(kLevelError, "[YUV3DGalleryRender] uuid:{} glInitializePPAPI error!!!", m_sid);
    return kErrorInitPpapi;
  }
  const ContextAttributes attributes =
      MakeContextAttributes(kAlphaBits, ScaleByDpr(width, m_dpr), ScaleByDpr(height, m_dpr), enableHighPerformanceGPU);
  m_context = pp::Graphics3D(*m_instance, attributes.data());
  if (!m_instance->BindGraphics(m_context.pp_resource())) {
    LogAt(kLevelError, "[YUV3DGalleryRender] uuid:{} unable to bind 3d context ---> error", m_sid);
    return kErrorBindGraphics;
  }
  MakeCurrent();
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} InitGLContext done", m_sid);
  const GLubyte* version = glGetString(GL_VERSION);
  if (version != nullptr) {
    LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} GL_VERSION:{}", m_sid, reinterpret_cast<const char*>(version));
  } else {
    LogAt(kLevelWarning, "[YUV3DGalleryRender] uuid:{} glGetString return NULL", m_sid);
  }
  m_redSupported = IsGLRedSupported();
  const int32_t result = InitShader();
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} InitShader, result = {}", m_sid, result);
  return result;
}

int32_t YUV3DGalleryRender::InitShader() {
  ShaderProgram built;
  const int32_t result = BuildShaderProgram(kGalleryVertexShaderText, kGalleryFragmentShaderText, &built);
  m_program = built.program;
  if (result != kErrorNone) return result;
  glDeleteShader(built.vertexShader);
  glDeleteShader(built.fragmentShader);
  glUseProgram(m_program);
  m_locIsBackground = glGetUniformLocation(m_program, "is_bkcolor");
  m_locBackgroundData = glGetUniformLocation(m_program, "bkcolor_data");
  m_locIsMirror = glGetUniformLocation(m_program, "is_mirror");
  return kErrorNone;
}

int32_t YUV3DGalleryRender::HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU,
                                             bool enablePPAPIRedExt) {
  const PP_Rect rect = view.GetRect();
  const int32_t width = ScaleByDpr(rect.size.width, m_dpr);
  const int32_t height = ScaleByDpr(rect.size.height, m_dpr);
  if (m_context.is_null()) {
    LogAt(kLevelInfo,
          "[YUV3DGalleryRender] uuid:{} HandleChangeView - context null, so init gl, newWidth: {}, newHeight: {}",
          m_sid, width, height);
    const int32_t result = InitGLContext(rect.size.width, rect.size.height, enableHighPerformanceGPU);
    if (result != kErrorNone) {
      LogAt(kLevelError, "[YUV3DGalleryRender] uuid:{} InitGL error - err: {}", m_sid, result);
      return result;
    }
  } else {
    MakeCurrent();
    const int32_t result = m_context.ResizeBuffers(width, height);
    if (result < 0) {
      if (ResizeFailureLimiter().Allow()) {
        LogAt(kLevelWarning,
              "[YUV3DGalleryRender] uuid:{} ResizeBuffers - unable to resize buffer: result: {}, newWidth {}, "
              "newHeight {}",
              m_sid, result, width, height);
      }
      return kErrorResizeBuffer;
    }
  }
  m_useRed = enablePPAPIRedExt && m_redSupported;
  glViewport(0, 0, width, height);
  ClearToBackground();
  return kErrorNone;
}

int32_t YUV3DGalleryRender::InitYUVRender(const TileColor& backgroundColor, int32_t width, int32_t height,
                                          bool enableHighPerformanceGPU, bool enablePPAPIRedExt) {
  if (m_context.is_null()) {
    LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} InitYUVRender, but gl context not inited when init texture", m_sid);
    const int32_t result = InitGLContext(width, height, enableHighPerformanceGPU);
    if (result != kErrorNone) return result;
  }
  m_useRed = enablePPAPIRedExt && m_redSupported;
  MakeCurrent();
  m_locTexY = glGetUniformLocation(m_program, "tex_y");
  m_locTexU = glGetUniformLocation(m_program, "tex_u");
  m_locTexV = glGetUniformLocation(m_program, "tex_v");
  m_locIsNv12 = glGetUniformLocation(m_program, "is_nv12");
  const int32_t result = InitTextures();
  if (result != kErrorNone) return result;
  m_backgroundColor = backgroundColor;
  ClearToBackground();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  return kErrorNone;
}

int32_t YUV3DGalleryRender::InitTextures() {
  if (!m_textures.Recreate()) {
    LogAt(kLevelError, "[YUV3DGalleryRender] uuid:{} InitTextures failed - y: {}, u: {}, v: {}", m_sid, m_textures.y,
          m_textures.u, m_textures.v);
    return kErrorInitTexture;
  }
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} InitTextures done - y: {}, u: {}, v: {}", m_sid, m_textures.y,
        m_textures.u, m_textures.v);
  return kErrorNone;
}

void YUV3DGalleryRender::ClearBKColor(const pp::CompletionCallback& callback) {
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} ClearBKColor", m_sid);
  MakeCurrent();
  ClearToBackground();
  Swap(callback);
}

void YUV3DGalleryRender::DrawItems(bool needClear, const std::vector<GalleryDrawItem>& items,
                                   const pp::CompletionCallback& callback) {
  MakeCurrent();
  if (needClear) {
    LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} clear screen", m_sid);
    ClearToBackground();
  }
  for (const GalleryDrawItem& item : items) {
    DrawTile(item, true);
  }
  Swap(callback);
}

void YUV3DGalleryRender::DrawTile(const GalleryDrawItem& item, bool fillBackground) {
  glUniform1i(m_locIsBackground, 1);
  const TileColor& color = item.backgroundColor;
  glUniform4f(m_locBackgroundData, color[0], color[1], color[2], color[3]);
  UploadPlanes(item.frame);
  glEnableVertexAttribArray(kAttribPosition);
  glEnableVertexAttribArray(kAttribTexCoord);
  glEnableVertexAttribArray(kAttribTexCoordUV);
  if (fillBackground) {
    // With "is_bkcolor" on this paints the whole tile in its colour.
    DrawTriangles(item.tilePositions.data(), item.texCoordsY.data(), item.texCoordsUV.data());
  }
  glUniform1i(m_locIsMirror, item.mirror ? 1 : 0);
  glUniform1i(m_locIsBackground, 0);
  DrawTriangles(item.positions.data(), item.texCoordsY.data(), item.texCoordsUV.data());
}

void YUV3DGalleryRender::UploadPlanes(const VideoFrame& frame) {
  const GLenum format = m_useRed ? GL_RED : GL_LUMINANCE;
  const int32_t chromaRows = frame.height >> 1;
  UploadPlane(GL_TEXTURE0, m_textures.y, format, frame.planS0, frame.height, frame.plan0);
  glUniform1i(m_locTexY, 0);
  if (frame.format == kFormatNv12) {
    glUniform1i(m_locIsNv12, 1);
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

void YUV3DGalleryRender::ClearToBackground() {
  glClearColor(m_backgroundColor[0], m_backgroundColor[1], m_backgroundColor[2], m_backgroundColor[3]);
  glClear(GL_COLOR_BUFFER_BIT);
}

void YUV3DGalleryRender::MakeCurrent() { glSetCurrentContextPPAPI(m_context.pp_resource()); }

int32_t YUV3DGalleryRender::Swap(const pp::CompletionCallback& callback) {
  MakeCurrent();
  return m_context.SwapBuffers(callback);
}

}  // namespace TALLWICK_PP_RENDER
