#include "devhost/serve/picture_fit.h"

#include <libyuv/scale_argb.h>

#include <algorithm>

namespace pphost::serve {

const PresentedImage& FitToView(const PresentedImage& image, ViewPixels view, PresentedImage& scratch) {
  if (view.width <= 0 || view.height <= 0) return image;
  const int32_t width = std::min(image.width, view.width);
  const int32_t height = std::min(image.height, view.height);
  if (width == image.width && height == image.height) return image;
  scratch.width = width;
  scratch.height = height;
  scratch.rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  // Four bytes a pixel whatever their order: the ARGB scaler serves RGBA.
  libyuv::ARGBScale(image.rgba.data(), image.width * 4, image.width, image.height, scratch.rgba.data(), width * 4,
                    width, height, libyuv::kFilterBox);
  return scratch;
}

}  // namespace pphost::serve
