#include "frame_plugin.h"

#include "host/module.h"
#include "host/module_entry_points.h"
#include "yuv/yuv_3d_render.h"

namespace tallwick_fuzz {

namespace {

using TALLWICK_PP_RENDER::VideoFrame;

class FrameInstance;
FrameInstance* g_instance = nullptr;

bool SameShape(const VideoFrame& a, const VideoFrame& b) {
  return a.width == b.width && a.height == b.height && a.rotation == b.rotation && a.flip == b.flip;
}

class FrameInstance : public pp::Instance {
 public:
  explicit FrameInstance(PP_Instance handle) : pp::Instance(handle), render_(this, 1.0) {
    render_.SetSid("fuzz");
    g_instance = this;
  }
  ~FrameInstance() override {
    if (g_instance == this) g_instance = nullptr;
  }

  using pp::Instance::DidChangeView;
  void DidChangeView(const pp::View& view) override { render_.HandleChangeView(view, false, true); }

  bool Draw(const VideoFrame& frame) {
    if (!ready_ || !SameShape(frame, shown_)) {
      ready_ = render_.InitYUVRender(frame, false, true) == 0;
      shown_ = frame;
    }
    return ready_ && render_.RenderFrame(frame, pp::CompletionCallback()) >= 0;
  }

 private:
  TALLWICK_PP_RENDER::YUV3DRender render_;
  VideoFrame shown_;
  bool ready_ = false;
};

class FrameModule : public pp::Module {
 public:
  pp::Instance* CreateInstance(PP_Instance instance) override { return new FrameInstance(instance); }
};

int32_t Initialize(PP_Module module, PPB_GetInterface getBrowserInterface) {
  return pp::StartModule(new FrameModule(), module, getBrowserInterface);
}

}  // namespace

pphost::EntryPoints FramePluginEntryPoints() {
  return {&Initialize, &pp::GetStartedModuleInterface, &pp::ShutdownStartedModule};
}

bool DrawWithPlugin(const VideoFrame& frame) { return g_instance != nullptr && g_instance->Draw(frame); }

}  // namespace tallwick_fuzz
