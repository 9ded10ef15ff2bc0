#include "yuv/yuv_3d_gallery_render.h"

#include "common/log_instance.h"
#include "common/rate_limiter.h"
#include "embed/protocol.h"
#include "host/gles2/gles2_binding.h"
#include "yuv/gl_program.h"
#include "yuv/shader_texts.h"

namespace TALLWICK_PP_RENDER {

using namespace TALLWICK_GLES2;  // NOLINT(google-build-using-namespace): the gl* entry points
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kLevelWarning;
using TALLWICK_LOG::LogAt;

namespace {

// The GL core's findings, in this renderer's words.
class GalleryReport final : public YuvGlReport {
 public:
  void InitPpapiFailed(const std::string& sid, int32_t /*width*/, int32_t /*height*/) const override {
    LogAt(TALLWICK_LOG::kLevelError, "[YUV3DGalleryRender] uuid:{} glInitializePPAPI error!!!", sid);
  }
  void BindFailed(const std::string& sid) const override {
    LogAt(TALLWICK_LOG::kLevelError, "[YUV3DGalleryRender] uuid:{} unable to bind 3d context ---> error", sid);
  }
  void ContextForView(const std::string& sid, int32_t width, int32_t height) const override {
    LogAt(kLevelInfo,
          "[YUV3DGalleryRender] uuid:{} HandleChangeView - context null, so init gl, newWidth: {}, newHeight: {}", sid,
          width, height);
  }
  void ContextForTextures(const std::string& sid, int32_t /*width*/, int32_t /*height*/) const override {
    LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} InitYUVRender, but gl context not inited when init texture", sid);
  }
  void ResizeFailed(const std::string& sid, int32_t result, int32_t width, int32_t height) const override {
    static TALLWICK_LOG::LimitedLine line;
    line.Log(
        kLevelWarning,
        "[YUV3DGalleryRender] uuid:{} ResizeBuffers - unable to resize buffer: result: {}, newWidth {}, newHeight {}",
        sid, result, width, height);
  }
};

// Lines "[YUV3DGalleryRender] uuid:...", a context with 8 alpha bits, and the
// shader objects let go once the program is linked. Made on first use, so
// that it never reads the shader texts before they are set.
const YuvGlStyle& GalleryStyle() {
  static const GalleryReport kReport;
  static const YuvGlStyle kStyle{"YUV3DGalleryRender",       "uuid", 8,       kGalleryVertexShaderText,
                                 kGalleryFragmentShaderText, false,  &kReport};
  return kStyle;
}

void DrawTriangles(const float* positions, const float* texCoordsY, const float* texCoordsUV) {
  glVertexAttribPointer(kAttribPosition, 2, GL_FLOAT, GL_FALSE, 0, positions);
  glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, 0, texCoordsY);
  glVertexAttribPointer(kAttribTexCoordUV, 2, GL_FLOAT, GL_FALSE, 0, texCoordsUV);
  glDrawArrays(GL_TRIANGLES, 0, 6);
}

}  // namespace

YUV3DGalleryRender::YUV3DGalleryRender(pp::Instance* instance, double dpr)
    : IYUVRender(instance), gl_(instance, &sid, dpr, GalleryStyle(), [this](int32_t result) { ProgramBuilt(result); }) {
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} YUV3DGalleryRender constructor", sid);
}

// GL objects go with the context.
YUV3DGalleryRender::~YUV3DGalleryRender() {
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} YUV3DGalleryRender destructor", sid);
}

// The tile uniforms belong to the gallery program; the line closes every
// program build, failed or not.
void YUV3DGalleryRender::ProgramBuilt(int32_t result) {
  if (result == kErrorNone) {
    const GLuint program = gl_.Program();
    locIsBackground_ = glGetUniformLocation(program, "is_bkcolor");
    locBackgroundData_ = glGetUniformLocation(program, "bkcolor_data");
    locIsMirror_ = glGetUniformLocation(program, "is_mirror");
  }
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} InitShader, result = {}", sid, result);
}

int32_t YUV3DGalleryRender::HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU,
                                             bool enablePPAPIRedExt) {
  const int32_t result = gl_.ChangeView(view, enableHighPerformanceGPU, enablePPAPIRedExt);
  if (result != kErrorNone) return result;
  YuvGlCore::Clear(backgroundColor);
  return kErrorNone;
}

int32_t YUV3DGalleryRender::InitYUVRender(const TileColor& background, int32_t width, int32_t height,
                                          bool enableHighPerformanceGPU, bool enablePPAPIRedExt) {
  int32_t result = gl_.PrepareUploads(gl_.ScaleToBuffer(width), gl_.ScaleToBuffer(height), enableHighPerformanceGPU,
                                      enablePPAPIRedExt);
  if (result != kErrorNone) return result;
  result = gl_.RecreateTextures();
  if (result != kErrorNone) return result;
  backgroundColor = background;
  YuvGlCore::Clear(backgroundColor);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  return kErrorNone;
}

void YUV3DGalleryRender::ClearBKColor(const pp::CompletionCallback& callback) {
  LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} ClearBKColor", sid);
  gl_.MakeCurrent();
  YuvGlCore::Clear(backgroundColor);
  gl_.Swap(callback);
}

void YUV3DGalleryRender::DrawItems(bool needClear, const std::vector<GalleryDrawItem>& items,
                                   const pp::CompletionCallback& callback) {
  gl_.MakeCurrent();
  if (needClear) {
    LogAt(kLevelInfo, "[YUV3DGalleryRender] uuid:{} clear screen", sid);
    YuvGlCore::Clear(backgroundColor);
  }
  for (const GalleryDrawItem& item : items) {
    DrawTile(item, true);
  }
  gl_.Swap(callback);
}

void YUV3DGalleryRender::DrawTile(const GalleryDrawItem& item, bool fillBackground) {
  glUniform1i(locIsBackground_, 1);
  const TileColor& color = item.backgroundColor;
  glUniform4f(locBackgroundData_, color[0], color[1], color[2], color[3]);
  // A frame no texture can hold leaves the textures with the tile drawn
  // before: such a tile shows its background only.
  const bool uploaded = gl_.UploadPlanes(item.frame);
  glEnableVertexAttribArray(kAttribPosition);
  glEnableVertexAttribArray(kAttribTexCoord);
  glEnableVertexAttribArray(kAttribTexCoordUV);
  if (fillBackground || !uploaded) {
    // With "is_bkcolor" on this paints the whole tile in its colour.
    DrawTriangles(item.tilePositions.data(), item.texCoordsY.data(), item.texCoordsUV.data());
  }
  if (!uploaded) return;
  glUniform1i(locIsMirror_, item.mirror ? 1 : 0);
  glUniform1i(locIsBackground_, 0);
  DrawTriangles(item.positions.data(), item.texCoordsY.data(), item.texCoordsUV.data());
}

}  // namespace TALLWICK_PP_RENDER
