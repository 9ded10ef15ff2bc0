#include "yuv/yuv_3d_render.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "embed/protocol.h"
#include "frame/frame_layout.h"
#include "host/gles2/gl2_api.h"
#include "yuv/fake_gl_browser.h"
#include "yuv/strided_frame.h"

namespace {

using tallwick::frame::kFormatI420;
using tallwick::frame::kFormatNV12;
using TALLWICK_PP_RENDER::kErrorBindGraphics;
using TALLWICK_PP_RENDER::kErrorCompileShader;
using TALLWICK_PP_RENDER::kErrorInitPpapi;
using TALLWICK_PP_RENDER::kErrorInitTexture;
using TALLWICK_PP_RENDER::kErrorLinkShader;
using TALLWICK_PP_RENDER::kErrorNotInited;
using TALLWICK_PP_RENDER::kErrorResizeBuffer;
using TALLWICK_PP_RENDER::YUV3DRender;
using ::testing::ElementsAre;
using ::testing::FloatNear;
using ::testing::Pointwise;
using yuv_test::FakeBrowserTest;
using yuv_test::RecordedCall;
using yuv_test::StridedFrame;

class YUV3DRenderTest : public FakeBrowserTest {
 protected:
  std::vector<RecordedCall> Uploads() const { return browser_.Calls("TexImage2D"); }
  std::vector<float> AttribPointer(int64_t index) const {
    std::vector<float> last;
    for (const auto& call : browser_.Calls("VertexAttribPointer")) {
      if (call.args[1] == index) last = call.floats;
    }
    return last;
  }
};

TEST_F(YUV3DRenderTest, CreatesAnOpaqueLowPowerContextAtTheViewSizeTimesDpr) {
  YUV3DRender render(&instance_, 1.5);
  ASSERT_EQ(ChangeViewTo(render, 101, 51), 0);
  ASSERT_EQ(browser_.createdAttribs.size(), 1U);
  EXPECT_THAT(browser_.createdAttribs[0], ElementsAre(0x3021, 0, 0x3022, 8, 0x3023, 8, 0x3024, 8, 0x3025, 0, 0x3026, 0,
                                                      0x3031, 0, 0x3032, 0, 0x3057, 151, 0x3056, 76, 0x11000, 0x11001));
  EXPECT_EQ(browser_.Calls("Viewport").back().args, (std::vector<int64_t>{101, 0, 0, 151, 76}));
  // A later view change resizes the same context.
  ASSERT_EQ(ChangeView(render), 0);
  EXPECT_EQ(browser_.createdAttribs.size(), 1U);
  EXPECT_EQ(browser_.Calls("ResizeBuffers").back().args, (std::vector<int64_t>{101, 151, 76}));
}

TEST_F(YUV3DRenderTest, HighPerformanceGpuIsAskedFor) {
  YUV3DRender render(&instance_, 1.0);
  ASSERT_EQ(ChangeViewTo(render, 10, 10, true), 0);
  EXPECT_EQ(CreatedAttrib(0x11000), 0x11002);
}

TEST_F(YUV3DRenderTest, WithoutGles2TheContextIsRefusedWithInitPpapi) {
  browser_.config.offerGles2 = false;
  YUV3DRender render(&instance_, 1.0);
  EXPECT_EQ(ChangeViewTo(render, 10, 10), kErrorInitPpapi);
  EXPECT_TRUE(browser_.createdAttribs.empty());
  EXPECT_EQ(logs_.Matching("glInitializePPAPI error - width: 10, height: 10").size(), 1U);
  EXPECT_EQ(logs_.Matching("InitGL error - err: 18").size(), 1U);
}

TEST_F(YUV3DRenderTest, RefusedBindingGivesBindGraphicsAndDrawsNothing) {
  browser_.config.refuseBind = true;
  YUV3DRender render(&instance_, 1.0);
  EXPECT_EQ(render.InitYUVRender(StridedFrame(64, 48, kFormatI420, 64, 32), false, false), kErrorBindGraphics);
  EXPECT_EQ(CreatedAttrib(0x3057), 64);  // the frame's own size before any view
  EXPECT_EQ(logs_.Matching("unable to bind 3d context").size(), 1U);
  EXPECT_EQ(browser_.Count("CreateShader"), 0U);
}

TEST_F(YUV3DRenderTest, FailingVertexShaderGivesCompileShaderWithoutProgramOrFragmentShader) {
  browser_.config.failShaderType = GL_VERTEX_SHADER;
  YUV3DRender render(&instance_, 1.0);
  EXPECT_EQ(ChangeViewTo(render, 10, 10), kErrorCompileShader);
  ASSERT_EQ(browser_.Count("CreateShader"), 1U);
  EXPECT_EQ(browser_.Calls("CreateShader")[0].args[1], GL_VERTEX_SHADER);
  EXPECT_EQ(browser_.Count("CreateProgram"), 0U);
  // One source string, no length array.
  EXPECT_EQ(browser_.Calls("ShaderSource")[0].args[2], 1);
  EXPECT_EQ(browser_.Calls("ShaderSource")[0].args[3], 0);
  EXPECT_EQ(logs_.Matching("CompileShaderError - log: 0:1: syntax error ").size(), 1U);
}

TEST_F(YUV3DRenderTest, FailingLinkGivesLinkShader) {
  browser_.config.failLink = true;
  YUV3DRender render(&instance_, 1.0);
  EXPECT_EQ(ChangeViewTo(render, 10, 10), kErrorLinkShader);
  EXPECT_EQ(browser_.Count("UseProgram"), 0U);
  EXPECT_EQ(logs_.Matching("LinkProgramError - log: link says no ").size(), 1U);
}

TEST_F(YUV3DRenderTest, ProgramBindsTheFixedAttributeLocationsBeforeLinking) {
  YUV3DRender render(&instance_, 1.0);
  ASSERT_EQ(ChangeViewTo(render, 10, 10), 0);
  std::vector<int64_t> locations;
  for (const auto& call : browser_.Calls("BindAttribLocation")) locations.push_back(call.args[2]);
  EXPECT_THAT(locations, ElementsAre(3, 4, 5));
  EXPECT_EQ(browser_.Count("DeleteShader"), 0U);  // the shader objects stay attached
  EXPECT_EQ(logs_.Matching("GL_VERSION:OpenGL ES 2.0 (fake)").size(), 1U);
}

TEST_F(YUV3DRenderTest, ClearBufferBeforeAContextGivesNotInited) {
  YUV3DRender render(&instance_, 1.0);
  EXPECT_EQ(render.ClearBuffer(pp::CompletionCallback()), kErrorNotInited);
  EXPECT_TRUE(browser_.calls.empty());
}

TEST_F(YUV3DRenderTest, RefusedResizeGivesResizeBufferAndLogsOncePerFiveSeconds) {
  YUV3DRender render(&instance_, 1.0);
  ASSERT_EQ(ChangeViewTo(render, 320, 240), 0);
  browser_.config.resizeResult = -1;
  EXPECT_EQ(ChangeView(render), kErrorResizeBuffer);
  EXPECT_EQ(ChangeView(render), kErrorResizeBuffer);
  const char* line = "ResizeBuffers - unable to resize buffer: result: -1, newWidth 320, newHeight 240, id: ";
  EXPECT_EQ(logs_.Matching(line).size(), 1U);
  // The limiter is shared by every renderer of the module.
  YUV3DRender other(&instance_, 1.0);
  ASSERT_EQ(ChangeView(other), 0);  // first view: creates its context
  EXPECT_EQ(ChangeView(other), kErrorResizeBuffer);
  EXPECT_EQ(logs_.Matching(line).size(), 1U);
  browser_.nowSeconds += 5.0;
  EXPECT_EQ(ChangeView(render), kErrorResizeBuffer);
  EXPECT_EQ(logs_.Matching(line).size(), 2U);
}

TEST_F(YUV3DRenderTest, StrideTrimsTheTextureWindow) {
  YUV3DRender render(&instance_, 1.0);
  ASSERT_EQ(render.InitYUVRender(StridedFrame(640, 360, kFormatI420, 704, 352), false, false), 0);
  const float xY = 640.0F / 704 - 2.0F / 640;
  const float xUV = 320.0F / 352 - 2.0F / 320;
  EXPECT_NEAR(xY, 0.9059659F, 1e-6F);
  EXPECT_NEAR(xUV, 0.9028409F, 1e-6F);
  EXPECT_THAT(AttribPointer(4), Pointwise(FloatNear(1e-6F), std::vector<float>{0, 0, xY, 0, 0, 1, 0, 1, xY, 0, xY, 1}));
  EXPECT_THAT(AttribPointer(5),
              Pointwise(FloatNear(1e-6F), std::vector<float>{0, 0, xUV, 0, 0, 1, 0, 1, xUV, 0, xUV, 1}));
  EXPECT_THAT(AttribPointer(3), ElementsAre(0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1));
  // Stride equal to width still trims two texels.
  browser_.calls.clear();
  ASSERT_EQ(render.InitYUVRender(StridedFrame(640, 360, kFormatI420, 640, 320), false, false), 0);
  EXPECT_NEAR(AttribPointer(4)[2], 1 - 2.0F / 640, 1e-6F);
  EXPECT_EQ(browser_.Count("DeleteTextures"), 3U);  // the first three textures made way
}

TEST_F(YUV3DRenderTest, ZeroTextureNameGivesInitTexture) {
  browser_.config.zeroTextureNames = true;
  YUV3DRender render(&instance_, 1.0);
  EXPECT_EQ(render.InitYUVRender(StridedFrame(64, 48, kFormatI420, 64, 32), false, false), kErrorInitTexture);
  EXPECT_EQ(logs_.Matching("InitTextures failed - y: 0, u: 0, v: 0").size(), 1U);
}

TEST_F(YUV3DRenderTest, I420UploadsThreePlanesAtStrideWidth) {
  YUV3DRender render(&instance_, 1.0);
  ASSERT_EQ(render.InitYUVRender(StridedFrame(640, 361, kFormatI420, 704, 352), false, true), 0);
  browser_.calls.clear();
  bool done = false;
  const pp::CompletionCallback callback([](void* flag, int32_t) { *static_cast<bool*>(flag) = true; }, &done);
  EXPECT_EQ(render.RenderFrame(StridedFrame(640, 361, kFormatI420, 704, 352), callback), PP_OK_COMPLETIONPENDING);
  const auto uploads = Uploads();
  ASSERT_EQ(uploads.size(), 3U);
  // The host accepts GL_RED and the page enabled it.
  EXPECT_EQ(uploads[0].args,
            (std::vector<int64_t>{101, GL_TEXTURE_2D, 0, GL_RED, 704, 361, 0, GL_RED, GL_UNSIGNED_BYTE}));
  EXPECT_EQ(uploads[1].args[4], 352);
  EXPECT_EQ(uploads[1].args[5], 180);
  EXPECT_EQ(uploads[2].args[5], 180);
  EXPECT_EQ(browser_.Count("DrawArrays"), 1U);
  EXPECT_FALSE(done);
  browser_.CompleteSwaps(0);
  EXPECT_TRUE(done);
}

TEST_F(YUV3DRenderTest, RefusedRedFallsBackToLuminance) {
  browser_.config.refuseRed = true;
  YUV3DRender render(&instance_, 1.0);
  ASSERT_EQ(render.InitYUVRender(StridedFrame(64, 48, kFormatI420, 64, 32), false, true), 0);
  EXPECT_EQ(logs_.Matching("GL_RED is not supported, err:0x000500").size(), 1U);
  browser_.calls.clear();
  render.RenderFrame(StridedFrame(64, 48, kFormatI420, 64, 32), pp::CompletionCallback());
  for (const auto& upload : Uploads()) {
    EXPECT_EQ(upload.args[3], GL_LUMINANCE);
    EXPECT_EQ(upload.args[7], GL_LUMINANCE);
  }
}

TEST_F(YUV3DRenderTest, Nv12OfOddHeightUploadsHalfRowsOfLuminanceAlpha) {
  YUV3DRender render(&instance_, 1.0);
  ASSERT_EQ(render.InitYUVRender(StridedFrame(640, 481, kFormatNV12, 640, 640), false, true), 0);
  browser_.calls.clear();
  render.RenderFrame(StridedFrame(640, 481, kFormatNV12, 640, 640), pp::CompletionCallback());
  const auto uploads = Uploads();
  ASSERT_EQ(uploads.size(), 2U);
  EXPECT_EQ(uploads[0].args[5], 481);
  EXPECT_EQ(uploads[1].args, (std::vector<int64_t>{101, GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, 320, 240, 0,
                                                   GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE}));
  const auto uniforms = browser_.Calls("Uniform1i");
  EXPECT_THAT(uniforms[1].args, ElementsAre(101, 13, 1));  // is_nv12 = 1
}

}  // namespace
