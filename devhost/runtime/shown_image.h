#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "devhost/presented_image.h"

namespace pphost {

// What an instance shows: the picture of its bound context's last completed
// swap. The picture stays where the context keeps it (on the GPU) and is
// read to the CPU on first use; its size is known without reading it.
class ShownImage {
 public:
  using Reader = std::function<PresentedImage()>;

  // A picture of `width` x `height` that `read` fetches; `source` names who
  // keeps it, for From().
  void Show(const void* source, int32_t width, int32_t height, Reader read) {
    source_ = source;
    width_ = width;
    height_ = height;
    read_ = std::move(read);
    image_.reset();
  }
  // Reads the picture now and lets go of its source: the source is about to
  // change or lose it.
  void Keep() {
    Image();
    source_ = nullptr;
    read_ = nullptr;
  }

  bool From(const void* source) const { return source != nullptr && source_ == source; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  // The picture, read on the first call after each Show.
  const PresentedImage& Image() const {
    if (!image_) image_ = read_ ? read_() : PresentedImage{width_, height_, {}};
    return *image_;
  }

 private:
  const void* source_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  Reader read_;
  mutable std::optional<PresentedImage> image_;
};

}  // namespace pphost
