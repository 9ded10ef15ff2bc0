#include "devhost/page/page_compose.h"

#include <algorithm>

namespace pphost {

namespace {

// The part of a rectangle that lies on the canvas, in canvas pixels.
struct Span {
  int64_t begin;
  int64_t end;

  bool Empty() const { return end <= begin; }
};

Span Clip(int64_t origin, int64_t length, int64_t limit) {
  return Span{std::clamp<int64_t>(origin, 0, limit), std::clamp<int64_t>(origin + length, 0, limit)};
}

// The source pixel whose centre lies nearest under the centre of
// destination pixel `offset` of `length`, when `source` pixels span it.
int32_t NearestSource(int64_t offset, int64_t length, int32_t source) {
  return static_cast<int32_t>(((2 * offset + 1) * source) / (2 * length));
}

uint8_t Over(uint8_t top, uint8_t below, uint32_t alpha) {
  return static_cast<uint8_t>((top * alpha + below * (255 - alpha) + 127) / 255);
}

void Blend(uint8_t* canvas, const uint8_t* pixel) {
  const uint32_t alpha = pixel[3];
  for (int c = 0; c < 3; ++c) canvas[c] = Over(pixel[c], canvas[c], alpha);
}

PresentedImage Filled(PageSize size, Rgb background) {
  PresentedImage picture;
  picture.width = static_cast<int32_t>(size.width);
  picture.height = static_cast<int32_t>(size.height);
  picture.rgba.resize(static_cast<size_t>(size.width * size.height) * 4);
  for (size_t i = 0; i < picture.rgba.size(); i += 4) {
    picture.rgba[i] = background.r;
    picture.rgba[i + 1] = background.g;
    picture.rgba[i + 2] = background.b;
    picture.rgba[i + 3] = 255;
  }
  return picture;
}

// False when no pixel of the layer lands on the canvas.
bool Draw(PresentedImage& canvas, const PageLayer& layer) {
  const PP_Rect& rect = layer.rect;
  const Span xs = Clip(rect.point.x, rect.size.width, canvas.width);
  const Span ys = Clip(rect.point.y, rect.size.height, canvas.height);
  if (xs.Empty() || ys.Empty()) return false;
  const PresentedImage& image = *layer.image;
  for (int64_t y = ys.begin; y < ys.end; ++y) {
    const int32_t sourceY = NearestSource(y - rect.point.y, rect.size.height, image.height);
    uint8_t* row = canvas.rgba.data() + static_cast<size_t>(y * canvas.width) * 4;
    for (int64_t x = xs.begin; x < xs.end; ++x) {
      const int32_t sourceX = NearestSource(x - rect.point.x, rect.size.width, image.width);
      Blend(row + static_cast<size_t>(x) * 4, image.At(sourceX, sourceY));
    }
  }
  return true;
}

}  // namespace

PageSize PageCanvas(const std::vector<PageLayer>& layers) {
  PageSize size;
  for (const PageLayer& layer : layers) {
    const int64_t right = int64_t{layer.rect.point.x} + layer.rect.size.width;
    const int64_t bottom = int64_t{layer.rect.point.y} + layer.rect.size.height;
    if (layer.rect.size.width <= 0 || layer.rect.size.height <= 0 || right <= 0 || bottom <= 0) continue;
    size.width = std::max(size.width, right);
    size.height = std::max(size.height, bottom);
  }
  return size;
}

PageComposition ComposePage(const std::vector<PageLayer>& layers, PageSize canvas, Rgb background) {
  PageComposition page{Filled(canvas, background), {}};
  for (size_t i = 0; i < layers.size(); ++i) {
    if (Draw(page.picture, layers[i])) page.drawn.push_back(i);
  }
  return page;
}

}  // namespace pphost
