#pragma once

#include <memory>
#include <utility>

#include "devhost/gl/answered_context.h"
#include "host/ppapi/ppb_opengles2.h"

namespace pphost {

// A 3D context with no pixels and no GL behind it, whose GL calls the host
// answers at once (browser/pixel_free_opengles2.cpp): for a host that runs
// the module far more often than it looks at what was drawn. It keeps the
// little state those answers need.
class PixelFreeContext : public AnsweredContext {
 public:
  using AnsweredContext::AnsweredContext;

  GLint unpackAlignment = 4;
  // Names handed out by glGen* and glCreate*, never 0.
  GLuint NextName() { return ++lastName_; }

 private:
  GLuint lastName_ = 0;
};

// Makes real contexts with `real`, or pixel-free ones while `pixelFree` is
// set (Host::SetPixelFree). A pixel-free context shares nothing, and a real
// one shares only with another real one.
class SwitchingContextMaker : public Context3DMaker {
 public:
  SwitchingContextMaker(std::unique_ptr<Context3DMaker> real, const bool& pixelFree)
      : real_(std::move(real)), pixelFree_(pixelFree) {}

  std::shared_ptr<Context3D> Make(PP_Instance instance, const Context3DAttributes& attributes,
                                  Context3D* share) override;

 private:
  std::unique_ptr<Context3DMaker> real_;
  const bool& pixelFree_;
};

}  // namespace pphost
