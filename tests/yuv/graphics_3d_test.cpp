#include "host/graphics_3d.h"

#include <gtest/gtest.h>

#include "host/browser_interfaces.h"
#include "host/gles2/gles2_binding.h"
#include "yuv/fake_gl_browser.h"

namespace {

using yuv_test::FakeBrowser;
using yuv_test::FakeBrowserTest;

using Graphics3DTest = FakeBrowserTest;

TEST_F(Graphics3DTest, WithoutTheInterfaceResizeAndSwapGiveNoInterface) {
  browser_.config.offerGraphics3D = false;
  ASSERT_TRUE(pp::LoadBrowserInterfaces(&FakeBrowser::GetInterface, 1));
  const int32_t attribs[] = {PP_GRAPHICS3DATTRIB_NONE};
  pp::Graphics3D context(instance_, attribs);
  EXPECT_TRUE(context.is_null());
  EXPECT_EQ(context.ResizeBuffers(10, 10), PP_ERROR_NOINTERFACE);
  int32_t result = 1;
  const pp::CompletionCallback callback([](void* out, int32_t r) { *static_cast<int32_t*>(out) = r; }, &result);
  EXPECT_EQ(context.SwapBuffers(callback), PP_ERROR_NOINTERFACE);
  // Not run from inside the call, but queued on the main thread.
  EXPECT_EQ(result, 1);
  ASSERT_EQ(browser_.mainThreadTasks.size(), 1U);
  PP_RunCompletionCallback(&browser_.mainThreadTasks[0], PP_ERROR_NOINTERFACE);
  EXPECT_EQ(result, PP_ERROR_NOINTERFACE);
}

TEST_F(Graphics3DTest, GlCallsGoToTheCurrentContextAndAreNoOpsBeforeInitialisation) {
  using namespace TALLWICK_GLES2;  // NOLINT(google-build-using-namespace)
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(glGetString(GL_VERSION), nullptr);
  GLuint name = 99;
  glGenTextures(1, &name);
  EXPECT_EQ(name, 0U);
  EXPECT_TRUE(browser_.calls.empty());

  browser_.config.offerGles2 = false;
  EXPECT_FALSE(glInitializePPAPI(&FakeBrowser::GetInterface));
  browser_.config.offerGles2 = true;
  ASSERT_TRUE(glInitializePPAPI(&FakeBrowser::GetInterface));
  EXPECT_EQ(GetGLES2Interfaces().instancedArrays, nullptr);  // optional, absent
  glSetCurrentContextPPAPI(42);
  EXPECT_EQ(glGetCurrentContextPPAPI(), 42);
  glClear(GL_COLOR_BUFFER_BIT);
  ASSERT_EQ(browser_.calls.size(), 1U);
  EXPECT_EQ(browser_.calls[0].args, (std::vector<int64_t>{42, GL_COLOR_BUFFER_BIT}));
}

}  // namespace
