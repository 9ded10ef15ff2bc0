#include "devhost/gl/gl_context.h"

#include <memory>

namespace pphost {

namespace {

DrawingBufferFormat FormatOf(const Context3DAttributes& attributes) {
  return DrawingBufferFormat{attributes.alphaSize > 0, attributes.depthSize > 0, attributes.stencilSize > 0};
}

}  // namespace

GlContext::GlContext(GlDisplay& display, PP_Instance instance, const Context3DAttributes& attributes, bool strictEs2)
    : Context3D(instance, attributes), display_(display), strictEs2_(strictEs2), buffer_(FormatOf(attributes)) {}

GlContext::~GlContext() { Destroy(); }

bool GlContext::Start(const GlContext* share) {
  context_ = display_.CreateContext(share != nullptr ? share->context_ : nullptr);
  if (context_ == nullptr) return false;
  const Context3DAttributes& asked = Attributes();
  if (!display_.MakeCurrent(context_) || !buffer_.Create(asked.width, asked.height)) {
    Destroy();
    return false;
  }
  // As a window surface would on first use: the viewport covers the buffer.
  glViewport(0, 0, asked.width, asked.height);
  return true;
}

bool GlContext::MakeCurrent() { return !Lost() && display_.MakeCurrent(context_); }

void GlContext::Lose() {
  if (Lost()) return;
  Destroy();
  RaiseError(kGlContextLost);
}

void GlContext::Destroy() {
  if (Lost()) return;
  DropFence();
  if (display_.MakeCurrent(context_)) {
    presented_.Delete();
    buffer_.Delete();
  } else {
    presented_.Abandon();
    buffer_.Abandon();
  }
  display_.DestroyContext(context_);
  context_ = nullptr;
}

bool GlContext::StageSwap() {
  if (!MakeCurrent()) return false;
  presented_.Stage(buffer_.Framebuffer(), buffer_.Width(), buffer_.Height());
  DropFence();
  stagedFence_ = display_.InsertFence();
  // The fence signals only once the commands before it reach the GPU: a
  // context that draws nothing after its swap would otherwise keep it
  // unsignalled, and the swap pending, for as long as no other context
  // becomes current (which flushes this one).
  glFlush();
  return true;
}

bool GlContext::StagedDone(int64_t timeoutNs) {
  if (stagedFence_ == nullptr) return true;
  if (!display_.WaitFence(stagedFence_, timeoutNs)) return false;
  DropFence();
  return true;
}

void GlContext::DropFence() {
  if (stagedFence_ == nullptr) return;
  display_.DestroyFence(stagedFence_);
  stagedFence_ = nullptr;
}

PresentedImage GlContext::ReadShown(const PP_Rect& rect) {
  if (!MakeCurrent()) return PresentedImage{};
  return presented_.ReadShown(buffer_.Opaque(), rect);
}

std::shared_ptr<Context3D> GlContextMaker::Make(PP_Instance instance, const Context3DAttributes& attributes,
                                                Context3D* share) {
  if (!display_->Open()) return nullptr;
  auto context = std::make_shared<GlContext>(*display_, instance, attributes, strictEs2_);
  if (!context->Start(dynamic_cast<GlContext*>(share))) return nullptr;
  return context;
}

}  // namespace pphost
