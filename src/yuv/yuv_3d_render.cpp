#include "yuv/yuv_3d_render.h"

#include <array>

#include "common/log_instance.h"
#include "common/rate_limiter.h"
#include "embed/protocol.h"
#include "host/gles2/gles2_binding.h"
#include "yuv/gl_program.h"
#include "yuv/shader_texts.h"
#include "yuv/tex_coord.h"

namespace TALLWICK_PP_RENDER {

using namespace TALLWICK_GLES2;  // NOLINT(google-build-using-namespace): the gl* entry points
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::LogAt;

namespace {

// The unit square as two triangles; (0,0) is the view's top-left corner.
constexpr std::array<float, 12> kPositions = {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1};

// Transparent black: what ClearBuffer shows and what each frame is drawn over.
constexpr std::array<float, 4> kClearColor = {0.0F, 0.0F, 0.0F, 0.0F};

// The GL core's findings, in this renderer's words.
class SingleStreamReport final : public YuvGlReport {
 public:
  void InitPpapiFailed(const std::string& sid, int32_t width, int32_t height) const override {
    LogAt(TALLWICK_LOG::kLevelError, "[YUV3DRender] sid:{} glInitializePPAPI error - width: {}, height: {}", sid, width,
          height);
  }
  void BindFailed(const std::string& sid) const override {
    LogAt(TALLWICK_LOG::kLevelError, "[YUV3DRender] sid:{} unable to bind 3d context", sid);
  }
  void ContextForView(const std::string& sid, int32_t width, int32_t height) const override {
    LogAt(kLevelInfo,
          "[YUV3DRender] sid:{} HandleChangeView - context null, so init gl, newWidth: {}, newHeight: {}, id: {}", sid,
          width, height, sid);
  }
  void ContextForTextures(const std::string& sid, int32_t width, int32_t height) const override {
    LogAt(kLevelInfo, "[YUV3DRender] sid:{} gl context not inited when init texture, init gl - width: {}, height: {}",
          sid, width, height);
  }
  void ResizeFailed(const std::string& sid, int32_t result, int32_t width, int32_t height) const override {
    static TALLWICK_LOG::LimitedLine line;
    line.Log(
        kLevelInfo,
        "[YUV3DRender] sid:{} ResizeBuffers - unable to resize buffer: result: {}, newWidth {}, newHeight {}, id: {}",
        sid, result, width, height, sid);
  }
};

// Lines "[YUV3DRender] sid:...", an opaque context (0 alpha bits), and the
// shader objects kept attached to the program. Made on first use, so that it
// never reads the shader texts before they are set.
const YuvGlStyle& SingleStreamStyle() {
  static const SingleStreamReport kReport;
  static const YuvGlStyle kStyle{"YUV3DRender", "sid", 0, kVertexShaderText, kFragmentShaderText, true, &kReport};
  return kStyle;
}

// Visible part of a plane row: the picture width over the stride, minus two
// texels so that linear filtering never reaches the padding.
float TexWindow(int32_t width, int32_t stride) {
  return static_cast<float>(width) / static_cast<float>(stride) - 2.0F / static_cast<float>(width);
}

}  // namespace

YUV3DRender::YUV3DRender(pp::Instance* instance, double devicePixelRatio)
    : IYUVRender(instance),
      gl_(instance, &sid, devicePixelRatio, SingleStreamStyle()),
      texCoordY{0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1},
      texCoordUV{0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1} {
  LogAt(kLevelInfo, "[YUV3DRender] sid:{} YUV3DRender constructor", sid);
}

// Textures and program go with the context.
YUV3DRender::~YUV3DRender() { LogAt(kLevelInfo, "[YUV3DRender] sid:{} YUV3DRender destructor", sid); }

int32_t YUV3DRender::InitYUVRender(const VideoFrame& frame, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) {
  const int32_t result = gl_.PrepareUploads(frame.width, frame.height, enableHighPerformanceGPU, enablePPAPIRedExt);
  if (result != kErrorNone) return result;
  GenTexCoords(frame);
  SetUpVertexAttributes();
  return gl_.RecreateTextures();
}

void YUV3DRender::GenTexCoords(const VideoFrame& frame) {
  const float xY = TexWindow(frame.width, frame.planS0);
  GenTexCoord(xY, 1.0F, texCoordY);
  LogAt(kLevelInfo, "[YUV3DRender] sid:{} GenTexCoordWidth(y channel) - xCoord: {}, id: {}", sid, xY, sid);
  const float xUV = TexWindow(frame.width / 2, frame.planS1);
  GenTexCoord(xUV, 1.0F, texCoordUV);
  LogAt(kLevelInfo, "[YUV3DRender] sid:{} GenTexCoordWidth(uv channel) - xCoord: {}, id: {}", sid, xUV, sid);
}

void YUV3DRender::SetUpVertexAttributes() {
  glEnableVertexAttribArray(kAttribPosition);
  glEnableVertexAttribArray(kAttribTexCoord);
  glEnableVertexAttribArray(kAttribTexCoordUV);
  glVertexAttribPointer(kAttribPosition, 2, GL_FLOAT, GL_FALSE, 0, kPositions.data());
  glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, 0, texCoordY.data());
  glVertexAttribPointer(kAttribTexCoordUV, 2, GL_FLOAT, GL_FALSE, 0, texCoordUV.data());
}

int32_t YUV3DRender::ClearBuffer(const pp::CompletionCallback& done) {
  if (!gl_.HasContext()) {
    pp::CompletionCallback unused = done;
    unused.Run(PP_ERROR_ABORTED);  // nothing will present: release it
    return kErrorNotInited;
  }
  gl_.MakeCurrent();
  YuvGlCore::Clear(kClearColor);
  gl_.Swap(done);
  return kErrorNone;
}

int32_t YUV3DRender::RenderFrame(const VideoFrame& frame, const pp::CompletionCallback& done) {
  gl_.MakeCurrent();
  YuvGlCore::Clear(kClearColor);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  // A frame no texture can hold shows as the clear colour, never as the
  // textures' earlier content.
  if (gl_.UploadPlanes(frame)) glDrawArrays(GL_TRIANGLES, 0, 6);
  return gl_.Swap(done);
}

int32_t YUV3DRender::HandleChangeView(const pp::View& view, bool enableHighPerformanceGPU, bool enablePPAPIRedExt) {
  return gl_.ChangeView(view, enableHighPerformanceGPU, enablePPAPIRedExt);
}

}  // namespace TALLWICK_PP_RENDER
