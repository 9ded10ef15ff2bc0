#include "devhost/gl/read_pixels.h"

#include <cstring>
#include <vector>

#include "devhost/gl/saved_gl_state.h"

namespace pphost {

namespace {

// GL reads rows from the bottom; the picture's rows go from the top.
void FlipRows(uint8_t* pixels, size_t rowBytes, int32_t height) {
  std::vector<uint8_t> row(rowBytes);
  for (int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    uint8_t* upper = pixels + static_cast<size_t>(top) * rowBytes;
    uint8_t* lower = pixels + static_cast<size_t>(bottom) * rowBytes;
    std::memcpy(row.data(), upper, rowBytes);
    std::memcpy(upper, lower, rowBytes);
    std::memcpy(lower, row.data(), rowBytes);
  }
}

}  // namespace

PresentedImage ReadFramebuffer(GLuint framebuffer, int32_t bufferHeight, const PP_Rect& rect, bool opaque) {
  const int32_t width = rect.size.width;
  const int32_t height = rect.size.height;
  PresentedImage image;
  image.width = width;
  image.height = height;
  if (image.Empty()) return image;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  // One buffer, flipped in place: a present read back for a watch comes
  // often, and a second picture-sized buffer doubled its cost.
  image.rgba.resize(rowBytes * static_cast<size_t>(height));
  {
    const SavedFramebuffer savedFramebuffer;
    const GLint alignment = GlInteger(GL_PACK_ALIGNMENT);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(rect.point.x, bufferHeight - rect.point.y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  }
  FlipRows(image.rgba.data(), rowBytes, height);
  if (opaque) {
    for (size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 255;
  }
  return image;
}

}  // namespace pphost
