#include "yuv/yuv_3d_gallery_render.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/log_instance.h"
#include "embed/protocol.h"
#include "frame/frame_layout.h"
#include "host/gles2/gl2_api.h"
#include "yuv/fake_gl_browser.h"
#include "yuv/strided_frame.h"
#include "yuv/yuv_3d_render.h"

namespace {

using tallwick::frame::kFormatI420;
using tallwick::frame::kFormatNV12;
using TALLWICK_LOG::kLevelInfo;
using TALLWICK_LOG::kLevelWarning;
using TALLWICK_PP_RENDER::GalleryDrawItem;
using TALLWICK_PP_RENDER::kErrorBindGraphics;
using TALLWICK_PP_RENDER::kErrorCompileShader;
using TALLWICK_PP_RENDER::kErrorInitPpapi;
using TALLWICK_PP_RENDER::kErrorInitTexture;
using TALLWICK_PP_RENDER::kErrorResizeBuffer;
using TALLWICK_PP_RENDER::MakeGalleryDrawItem;
using TALLWICK_PP_RENDER::TilePlacement;
using TALLWICK_PP_RENDER::VideoFrame;
using TALLWICK_PP_RENDER::YUV3DGalleryRender;
using TALLWICK_PP_RENDER::YUV3DRender;
using ::testing::ElementsAre;
using yuv_test::FakeBrowserTest;
using yuv_test::StridedFrame;

class YUV3DGalleryRenderTest : public FakeBrowserTest {
 protected:
  static GalleryDrawItem Item(int format, int height, bool mirror) {
    const VideoFrame frame = StridedFrame(320, height, format, 320, format == kFormatNV12 ? 320 : 160);
    TilePlacement tile;
    tile.width = 100;
    tile.height = 100;
    tile.isMirror = mirror;
    tile.backgroundColor = {0.25F, 0.5F, 0.75F, 1.0F};
    return MakeGalleryDrawItem(tile, frame, 200, 200);
  }
};

TEST_F(YUV3DGalleryRenderTest, ContextHasAlphaAndTheViewSizeTimesDprWhicheverMakesIt) {
  {
    YUV3DGalleryRender render(&instance_, 2.0);
    ASSERT_EQ(ChangeViewTo(render, 640, 360), 0);
    EXPECT_EQ(CreatedAttrib(0x3021), 8);
    EXPECT_EQ(CreatedAttrib(0x3057), 1280);
    EXPECT_EQ(CreatedAttrib(0x3056), 720);
    EXPECT_EQ(browser_.Calls("Viewport").back().args, (std::vector<int64_t>{101, 0, 0, 1280, 720}));
  }
  YUV3DGalleryRender render(&instance_, 2.0);
  ASSERT_EQ(render.InitYUVRender({0, 0, 0, 1}, 640, 360, true, false), 0);
  EXPECT_EQ(CreatedAttrib(0x3057), 1280);
  EXPECT_EQ(CreatedAttrib(0x3056), 720);
  EXPECT_EQ(CreatedAttrib(0x11000), 0x11002);
  EXPECT_EQ(logs_.Matching("InitShader, result = 0").size(), 2U);
  // The gallery program lets its shader objects go after linking.
  EXPECT_EQ(browser_.Count("DeleteShader"), 4U);
}

TEST_F(YUV3DGalleryRenderTest, ZeroDprMakesAnEmptyBuffer) {
  YUV3DGalleryRender render(&instance_, 0.0);
  ASSERT_EQ(ChangeViewTo(render, 640, 360), 0);
  EXPECT_EQ(CreatedAttrib(0x3057), 0);
  EXPECT_EQ(CreatedAttrib(0x3056), 0);
}

TEST_F(YUV3DGalleryRenderTest, FailuresGiveTheirCodes) {
  browser_.config.offerGles2 = false;
  YUV3DGalleryRender noGl(&instance_, 1.0);
  EXPECT_EQ(noGl.InitYUVRender({}, 10, 10, false, false), kErrorInitPpapi);
  EXPECT_EQ(logs_.Matching("glInitializePPAPI error!!!").size(), 1U);

  browser_.config.offerGles2 = true;
  browser_.config.refuseBind = true;
  YUV3DGalleryRender unbound(&instance_, 1.0);
  EXPECT_EQ(ChangeViewTo(unbound, 10, 10), kErrorBindGraphics);
  EXPECT_EQ(logs_.Matching("unable to bind 3d context ---> error").size(), 1U);
  EXPECT_EQ(logs_.Matching("InitGL error - err: 17").size(), 1U);

  browser_.config.refuseBind = false;
  browser_.config.failShaderType = GL_FRAGMENT_SHADER;
  YUV3DGalleryRender badShader(&instance_, 1.0);
  EXPECT_EQ(badShader.InitYUVRender({}, 10, 10, false, false), kErrorCompileShader);
  EXPECT_EQ(logs_.Matching("InitShader, result = 15").size(), 1U);

  browser_.config.failShaderType = 0;
  browser_.config.zeroTextureNames = true;
  YUV3DGalleryRender noTextures(&instance_, 1.0);
  EXPECT_EQ(noTextures.InitYUVRender({}, 10, 10, false, false), kErrorInitTexture);

  browser_.config.zeroTextureNames = false;
  browser_.config.resizeResult = -2;
  EXPECT_EQ(ChangeView(noTextures), kErrorResizeBuffer);
  EXPECT_EQ(logs_.Matching("ResizeBuffers - unable to resize buffer: result: -2, newWidth 10, newHeight 10").size(),
            1U);
}

TEST_F(YUV3DGalleryRenderTest, AViewChangeClearsToTheBackgroundWithoutPresenting) {
  YUV3DGalleryRender render(&instance_, 1.0);
  browser_.config.viewRect = {{0, 0}, {200, 200}};
  ASSERT_EQ(render.InitYUVRender({0.5F, 0, 0, 1}, 200, 200, false, false), 0);
  browser_.calls.clear();
  ASSERT_EQ(ChangeView(render), 0);
  ASSERT_EQ(browser_.Count("ClearColor"), 1U);
  EXPECT_THAT(browser_.Calls("ClearColor")[0].floats, ElementsAre(0.5F, 0, 0, 1));
  EXPECT_EQ(browser_.Count("Clear"), 1U);
  EXPECT_EQ(browser_.Count("SwapBuffers"), 0U);
}

// The single-stream renderer's resize line is info, the gallery's a warning,
// and a line of one kind does not hold back the other kind's.
TEST_F(YUV3DGalleryRenderTest, ResizeFailureLinesKeepTheirLevelAndLimiterPerRendererKind) {
  YUV3DRender single(&instance_, 1.0);
  YUV3DGalleryRender gallery(&instance_, 1.0);
  ASSERT_EQ(ChangeViewTo(single, 10, 10), 0);
  ASSERT_EQ(ChangeView(gallery), 0);
  browser_.config.resizeResult = -1;
  EXPECT_EQ(ChangeView(single), kErrorResizeBuffer);
  EXPECT_EQ(ChangeView(gallery), kErrorResizeBuffer);
  std::vector<std::pair<int, std::string>> lines;
  for (const auto& line : logs_.Lines()) {
    if (line.text.find("ResizeBuffers - unable to resize buffer") != std::string::npos) {
      lines.emplace_back(line.level, line.text.substr(0, line.text.find(' ')));
    }
  }
  EXPECT_THAT(lines, ElementsAre(std::make_pair(int{kLevelInfo}, std::string("[YUV3DRender]")),
                                 std::make_pair(int{kLevelWarning}, std::string("[YUV3DGalleryRender]"))));
}

TEST_F(YUV3DGalleryRenderTest, DrawsEachTileAsBackgroundThenPictureAndSwapsOnce) {
  YUV3DGalleryRender render(&instance_, 1.0);
  ASSERT_EQ(render.InitYUVRender({0, 0, 0, 1}, 200, 200, false, false), 0);
  browser_.calls.clear();
  render.DrawItems(true, {Item(kFormatI420, 100, false), Item(kFormatNV12, 101, true)}, pp::CompletionCallback());
  EXPECT_EQ(browser_.Count("Clear"), 1U);
  EXPECT_EQ(browser_.Count("DrawArrays"), 4U);
  EXPECT_EQ(browser_.Count("SwapBuffers"), 1U);
  // Second tile: NV12 of odd height, chroma as luminance-alpha, half rows.
  const auto uploads = browser_.Calls("TexImage2D");
  ASSERT_EQ(uploads.size(), 5U);
  EXPECT_THAT(uploads[4].args,
              ElementsAre(101, GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, 160, 50, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE));
  // The tile colour and the mirror flag of each tile.
  const auto colours = browser_.Calls("Uniform4f");
  ASSERT_EQ(colours.size(), 2U);
  EXPECT_THAT(colours[0].floats, ElementsAre(0.25F, 0.5F, 0.75F, 1.0F));
  std::vector<int64_t> mirrors;
  for (const auto& call : browser_.Calls("Uniform1i")) {
    if (call.args[1] == 16) mirrors.push_back(call.args[2]);  // "is_mirror"
  }
  EXPECT_THAT(mirrors, ElementsAre(0, 1));
}

TEST_F(YUV3DGalleryRenderTest, ClearBKColorClearsToTheBackgroundAndSwaps) {
  YUV3DGalleryRender render(&instance_, 1.0);
  ASSERT_EQ(render.InitYUVRender({0.5F, 0, 0, 1}, 200, 200, false, false), 0);
  browser_.calls.clear();
  render.ClearBKColor(pp::CompletionCallback());
  EXPECT_THAT(browser_.Calls("ClearColor").at(0).floats, ElementsAre(0.5F, 0, 0, 1));
  EXPECT_EQ(browser_.Count("SwapBuffers"), 1U);
  // The interface operations other than the view change do nothing.
  browser_.calls.clear();
  EXPECT_EQ(render.ClearBuffer(pp::CompletionCallback()), 0);
  EXPECT_TRUE(browser_.calls.empty());
}

}  // namespace
