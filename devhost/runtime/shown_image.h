#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// What an instance shows: the picture of its bound context's last completed
// swap. The picture stays where the context keeps it (on the GPU) and is
// read to the CPU on first use, whole or a rectangle of it; its size is
// known without reading it.
class ShownImage {
 public:
  // Reads a rectangle of the picture (rows from the top, on the picture).
  using Reader = std::function<PresentedImage(const PP_Rect&)>;

  // A picture of `width` x `height` that `read` fetches; `source` names who
  // keeps it, for From().
  void Show(const void* source, int32_t width, int32_t height, Reader read);
  // Reads the picture now and lets go of its source: the source is about to
  // change or lose it.
  void Keep();

  bool From(const void* source) const { return source != nullptr && source_ == source; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  // The whole picture, read on the first call after each Show.
  const PresentedImage& Image() const;
  // `rect` clipped to the picture, read on its own unless the whole picture
  // has been read already.
  PresentedImage Region(const PP_Rect& rect) const;

 private:
  PP_Rect Whole() const { return PP_MakeRectFromXYWH(0, 0, width_, height_); }

  const void* source_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  Reader read_;
  mutable std::optional<PresentedImage> image_;
};

}  // namespace pphost
