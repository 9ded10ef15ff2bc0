#pragma once

#include <memory>

#include "devhost/gl/context_3d.h"

namespace pphost {

// A 3D context with no pixels behind it, for a host whose GL calls are
// answered from a record (glcalls/gl_call_log.h): it is made, resized,
// swapped and lost as a real one is, and shows nothing.
class AnsweredContext : public Context3D {
 public:
  using Context3D::Context3D;

  bool MakeCurrent() override { return !lost_; }
  bool Lost() const override { return lost_; }
  void Lose() override;
  bool StageSwap() override;
  void ShowStaged() override { shown_ = staged_; }
  PresentedImage ReadShown(const PP_Rect& /*rect*/) override { return PresentedImage{}; }
  int32_t ShownWidth() const override { return shown_.width; }
  int32_t ShownHeight() const override { return shown_.height; }

 private:
  struct Size {
    int32_t width = 0;
    int32_t height = 0;
  };

  bool ResizeBuffer(int32_t /*width*/, int32_t /*height*/) override { return true; }

  bool lost_ = false;
  Size staged_;
  Size shown_;
};

class AnsweredContextMaker : public Context3DMaker {
 public:
  std::shared_ptr<Context3D> Make(PP_Instance instance, const Context3DAttributes& attributes,
                                  Context3D* /*share*/) override {
    return std::make_shared<AnsweredContext>(instance, attributes);
  }
};

}  // namespace pphost
