#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// One element on the page: its picture and where the page shows it (page
// pixels). A picture of another size is scaled to the rectangle.
struct PageLayer {
  const PresentedImage* image;  // not empty
  PP_Rect rect;
};

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
};

struct PageSize {
  int64_t width = 0;
  int64_t height = 0;

  bool Empty() const { return width <= 0 || height <= 0; }
};

struct PageComposition {
  PresentedImage picture;     // opaque, canvas-sized
  std::vector<size_t> drawn;  // indices of the layers that showed a pixel, in drawing order
};

// The canvas the layers need: from (0, 0) to the furthest right and bottom
// edge of their rectangles. Empty when no rectangle reaches into it.
PageSize PageCanvas(const std::vector<PageLayer>& layers);

// Draws the layers in order (later on top) over `background` on a canvas of
// `canvas` size (not empty), each scaled to its rectangle by the nearest
// pixel and composited by its alpha; whatever falls outside the canvas is
// cut off.
PageComposition ComposePage(const std::vector<PageLayer>& layers, PageSize canvas, Rgb background);

}  // namespace pphost
