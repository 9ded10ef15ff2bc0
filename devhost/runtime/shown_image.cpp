#include "devhost/runtime/shown_image.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pphost {

namespace {

PP_Rect Clip(const PP_Rect& rect, int32_t width, int32_t height) {
  const int64_t left = std::clamp<int64_t>(rect.point.x, 0, width);
  const int64_t top = std::clamp<int64_t>(rect.point.y, 0, height);
  const int64_t right = std::clamp<int64_t>(int64_t{rect.point.x} + std::max(rect.size.width, 0), left, width);
  const int64_t bottom = std::clamp<int64_t>(int64_t{rect.point.y} + std::max(rect.size.height, 0), top, height);
  return PP_MakeRectFromXYWH(static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right - left),
                             static_cast<int32_t>(bottom - top));
}

PresentedImage Crop(const PresentedImage& image, const PP_Rect& rect) {
  PresentedImage part;
  part.width = rect.size.width;
  part.height = rect.size.height;
  if (part.Empty() || image.rgba.empty()) return part;
  const size_t rowBytes = static_cast<size_t>(part.width) * 4;
  part.rgba.resize(rowBytes * static_cast<size_t>(part.height));
  for (int32_t row = 0; row < part.height; ++row) {
    std::memcpy(part.rgba.data() + static_cast<size_t>(row) * rowBytes, image.At(rect.point.x, rect.point.y + row),
                rowBytes);
  }
  return part;
}

}  // namespace

void ShownImage::Show(const void* source, int32_t width, int32_t height, Reader read) {
  source_ = source;
  width_ = width;
  height_ = height;
  read_ = std::move(read);
  image_.reset();
}

void ShownImage::Keep() {
  Image();
  source_ = nullptr;
  read_ = nullptr;
}

const PresentedImage& ShownImage::Image() const {
  if (!image_) image_ = read_ ? read_(Whole()) : PresentedImage{width_, height_, {}};
  return *image_;
}

PresentedImage ShownImage::Region(const PP_Rect& rect) const {
  const PP_Rect clipped = Clip(rect, width_, height_);
  if (image_ || !read_) return Crop(Image(), clipped);
  return read_(clipped);
}

}  // namespace pphost
