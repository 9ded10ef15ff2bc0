#include "yuv/colour_bar_plugin.h"

#include <array>
#include <memory>

#include "frame/frame_layout.h"
#include "host/instance.h"
#include "yuv/instance_plugin.h"
#include "yuv/strided_frame.h"
#include "yuv/yuv_3d_render.h"

namespace yuv_test {

namespace {

struct Yuv {
  uint8_t y, u, v;
};
// White, yellow, cyan, green, magenta, red, blue, black.
constexpr std::array<Yuv, 8> kBars = {{{180, 128, 128},
                                       {162, 44, 142},
                                       {131, 156, 44},
                                       {112, 72, 58},
                                       {84, 184, 198},
                                       {65, 100, 212},
                                       {35, 212, 114},
                                       {16, 128, 128}}};
constexpr Yuv kPadding = {235, 16, 240};

const ColourBarFrame* g_frame = nullptr;

Yuv At(int32_t x, int32_t width) { return x < width ? kBars[static_cast<size_t>(x * 8 / width)] : kPadding; }

class BarInstance : public pp::Instance {
 public:
  explicit BarInstance(PP_Instance handle) : pp::Instance(handle), render_(this, 1.0) { render_.SetSid("bars"); }

  using pp::Instance::DidChangeView;
  void DidChangeView(const pp::View& view) override { render_.HandleChangeView(view, false, true); }

  void HandleMessage(const pp::Var& /*message*/) override {
    if (g_frame == nullptr) return;
    const TALLWICK_PP_RENDER::VideoFrame frame = ToVideoFrame(*g_frame);
    // Textures are set up once per frame geometry, as the render role does.
    if (shown_ != g_frame) {
      if (render_.InitYUVRender(frame, false, true) != 0) return;
      shown_ = g_frame;
    }
    render_.RenderFrame(frame, pp::CompletionCallback());
  }

 private:
  TALLWICK_PP_RENDER::YUV3DRender render_;
  const ColourBarFrame* shown_ = nullptr;
};

}  // namespace

ColourBarFrame MakeColourBars(int32_t width, int32_t height, int32_t padding, int32_t format) {
  ColourBarFrame f;
  f.width = width;
  f.height = height;
  f.format = format;
  f.strideY = width + padding;
  f.strideUV = format == tallwick::frame::kFormatNV12 ? f.strideY : f.strideY / 2;
  const auto rows = static_cast<size_t>(height);
  f.y.resize(static_cast<size_t>(f.strideY) * rows);
  f.u.resize(static_cast<size_t>(f.strideUV) * rows / 2);
  f.v.resize(format == tallwick::frame::kFormatNV12 ? 0 : f.u.size());
  for (size_t row = 0; row < rows; ++row) {
    for (int32_t x = 0; x < f.strideY; ++x) f.y[row * f.strideY + x] = At(x, width).y;
  }
  for (size_t row = 0; row < rows / 2; ++row) {
    for (int32_t cx = 0; cx < f.strideY / 2; ++cx) {
      const Yuv c = At(cx * 2, width);
      if (format == tallwick::frame::kFormatNV12) {
        const size_t pair = row * f.strideUV + 2 * static_cast<size_t>(cx);
        f.u[pair] = c.u;
        f.u[pair + 1] = c.v;
      } else {
        f.u[row * f.strideUV + cx] = c.u;
        f.v[row * f.strideUV + cx] = c.v;
      }
    }
  }
  return f;
}

TALLWICK_PP_RENDER::VideoFrame ToVideoFrame(const ColourBarFrame& frame) {
  TALLWICK_PP_RENDER::VideoFrame video =
      StridedFrame(frame.width, frame.height, frame.format, frame.strideY, frame.strideUV);
  video.plan0 = frame.y.data();
  video.plan1 = frame.u.data();
  video.plan2 = frame.v.data();
  return video;
}

pphost::EntryPoints ColourBarPluginEntryPoints() { return InstancePluginEntryPoints<BarInstance>(); }

void SetFrame(const ColourBarFrame* frame) { g_frame = frame; }

}  // namespace yuv_test
