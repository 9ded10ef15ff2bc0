#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/instance.h"
#include "host/module.h"
#include "host/ppapi/pp_types.h"
#include "host/view.h"
#include "support/log_capture.h"

namespace yuv_test {

// One call the module made into the browser's GL or 3D-context tables.
struct RecordedCall {
  std::string name;
  std::vector<int64_t> args;  // integer arguments in order (context excluded)
  std::vector<float> floats;  // float arguments, or the 12 floats an attribute pointer addressed
};

// What the fake browser offers and how it answers.
struct FakeBrowserConfig {
  bool offerGles2 = true;
  bool offerGraphics3D = true;
  bool refuseBind = false;
  bool refuseRed = false;       // a GL_RED upload raises GL_INVALID_ENUM
  uint32_t failShaderType = 0;  // shaders of this type fail to compile
  bool failLink = false;
  bool zeroTextureNames = false;  // GenTextures hands out 0
  bool noVersionString = false;
  int32_t resizeResult = 0;
  int32_t maxTextureSize = 4096;  // GL_MAX_TEXTURE_SIZE
  PP_Rect viewRect = {{0, 0}, {0, 0}};
};

// A browser in a test: the Pepper core, instance, view, 3D-context and
// GLES2 tables, recording every GL call. One per process at a time.
class FakeBrowser {
 public:
  static FakeBrowser& Get();

  void Reset();
  FakeBrowserConfig config;
  std::vector<RecordedCall> calls;
  std::vector<std::vector<int32_t>> createdAttribs;  // attribute list of each context creation
  std::vector<PP_CompletionCallback> pendingSwaps;
  std::vector<PP_CompletionCallback> mainThreadTasks;
  double nowSeconds = 1.0e9;
  // Bookkeeping of the fake GL.
  std::map<uint32_t, uint32_t> shaderTypes;
  uint32_t nextName = 1;
  uint32_t pendingError = 0;

  std::vector<RecordedCall> Calls(const std::string& name) const;
  size_t Count(const std::string& name) const { return Calls(name).size(); }
  // Completes every pending swap with `result`.
  void CompleteSwaps(int32_t result);

  static const void* GetInterface(const char* name);
};

// Fixture: a started module bound to the fake browser, its log lines
// captured, and one plug-in instance to draw into.
class FakeBrowserTest : public ::testing::Test {
 protected:
  static constexpr PP_Instance kInstance = 7;
  static constexpr PP_Resource kView = 55;

  FakeBrowserTest();
  ~FakeBrowserTest() override;

  // Makes the view width x height and hands it to `render` (either renderer).
  template <class Render>
  int32_t ChangeViewTo(Render& render, int32_t width, int32_t height, bool highPerformance = false) {
    browser_.config.viewRect = {{0, 0}, {width, height}};
    return ChangeView(render, highPerformance);
  }
  // Hands the view as it is to `render` again.
  template <class Render>
  int32_t ChangeView(Render& render, bool highPerformance = false) {
    return render.HandleChangeView(pp::View(kView), highPerformance, false);
  }
  // The value of `name` in the attribute list of the last context creation.
  int32_t CreatedAttrib(int32_t name) const;

  FakeBrowser& browser_;
  tallwick::test::LogCapture logs_;
  pp::Instance instance_{kInstance};

 private:
  class TestModule : public pp::Module {
   public:
    pp::Instance* CreateInstance(PP_Instance /*instance*/) override { return nullptr; }
  };
  TestModule module_;
};

}  // namespace yuv_test
