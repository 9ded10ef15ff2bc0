#pragma once

#include <cstdint>

#include "devhost/presented_image.h"

namespace pphost::serve {

// The device pixels an element covers in its tab: its view's size times the
// device scale; 0 x 0 until the tab has sent a view.
struct ViewPixels {
  int32_t width = 0;
  int32_t height = 0;
};

// The picture a tab needs of `image` to fill an element of `view`: `image`
// itself when it has no more pixels than the view on either axis (or no view
// is known), otherwise `image` scaled down (box filter) to at most the view
// on each axis, written into `scratch`. The tab stretches what it gets over
// the element, so the picture on screen is the same, at a fraction of the
// bytes to encode, send and decode.
const PresentedImage& FitToView(const PresentedImage& image, ViewPixels view, PresentedImage& scratch);

}  // namespace pphost::serve
