#include "devhost/gl/gl_context.h"

#include <GLES2/gl2ext.h>

namespace pphost {

namespace {

DrawingBufferFormat FormatOf(const ContextAttributes& attributes) {
  return DrawingBufferFormat{attributes.alphaSize > 0, attributes.depthSize > 0, attributes.stencilSize > 0};
}

}  // namespace

GlContext::GlContext(GlDisplay& display, PP_Instance instance, const ContextAttributes& attributes, bool strictEs2)
    : display_(display),
      instance_(instance),
      attributes_(attributes),
      strictEs2_(strictEs2),
      buffer_(FormatOf(attributes)) {}

GlContext::~GlContext() { Destroy(); }

bool GlContext::Start(const GlContext* share) {
  context_ = display_.CreateContext(share != nullptr ? share->context_ : EGL_NO_CONTEXT);
  if (context_ == EGL_NO_CONTEXT) return false;
  if (!display_.MakeCurrent(context_) || !buffer_.Create(attributes_.width, attributes_.height)) {
    Destroy();
    return false;
  }
  // As a window surface would on first use: the viewport covers the buffer.
  glViewport(0, 0, attributes_.width, attributes_.height);
  return true;
}

bool GlContext::MakeCurrent() { return !Lost() && display_.MakeCurrent(context_); }

void GlContext::Lose() {
  if (Lost()) return;
  Destroy();
  pendingError_ = GL_CONTEXT_LOST_KHR;
}

void GlContext::Destroy() {
  if (Lost()) return;
  if (display_.MakeCurrent(context_)) {
    presented_.Delete();
    buffer_.Delete();
  } else {
    presented_.Abandon();
    buffer_.Abandon();
  }
  display_.DestroyContext(context_);
  context_ = EGL_NO_CONTEXT;
}

int32_t GlContext::Resize(int32_t width, int32_t height) {
  if (Lost()) return PP_ERROR_CONTEXT_LOST;
  if (width < 0 || height < 0 || width > kMaxDrawingBufferSide || height > kMaxDrawingBufferSide) {
    return PP_ERROR_BADARGUMENT;
  }
  if (!MakeCurrent()) return PP_ERROR_CONTEXT_LOST;
  if (!buffer_.Resize(width, height)) return PP_ERROR_NOMEMORY;
  attributes_.width = width;
  attributes_.height = height;
  return PP_OK;
}

bool GlContext::StageSwap() {
  if (!MakeCurrent()) return false;
  presented_.Stage(buffer_.Framebuffer(), buffer_.Width(), buffer_.Height());
  return true;
}

PresentedImage GlContext::ReadShown(const PP_Rect& rect) {
  if (!MakeCurrent()) return PresentedImage{};
  return presented_.ReadShown(buffer_.Opaque(), rect);
}

void GlContext::RaiseError(GLenum error) {
  if (pendingError_ == GL_NO_ERROR) pendingError_ = error;
}

GLenum GlContext::TakeError() {
  const GLenum error = pendingError_;
  pendingError_ = GL_NO_ERROR;
  return error;
}

}  // namespace pphost
