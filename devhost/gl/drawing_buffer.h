#pragma once

#include <cstdint>

#include "devhost/gl/gl_api.h"

namespace pphost {

struct DrawingBufferFormat {
  bool alpha = true;
  bool depth = false;
  bool stencil = false;
};

// What a window surface would be, without a window: a framebuffer object
// with an RGBA8 colour renderbuffer (and depth/stencil when asked) that the
// context uses as its framebuffer 0. Every call needs the owning context
// current; each leaves the module's GL state as it found it.
class DrawingBuffer {
 public:
  explicit DrawingBuffer(DrawingBufferFormat format) : format_(format) {}

  // Creates the objects at width x height, cleared, and binds the
  // framebuffer. False when the framebuffer is not complete.
  bool Create(int32_t width, int32_t height);
  // New storage of that size, cleared to transparent black.
  bool Resize(int32_t width, int32_t height);
  // Forgets the objects without deleting them (their context is gone).
  void Abandon() { framebuffer_ = colour_ = depthStencil_ = 0; }
  void Delete();

  GLuint Framebuffer() const { return framebuffer_; }
  bool Opaque() const { return !format_.alpha; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

 private:
  void AllocateStorage();
  bool Complete() const;
  void Clear();

  DrawingBufferFormat format_;
  GLuint framebuffer_ = 0;
  GLuint colour_ = 0;
  GLuint depthStencil_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

}  // namespace pphost
