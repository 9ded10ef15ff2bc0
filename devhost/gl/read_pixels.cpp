#include "devhost/gl/read_pixels.h"

#include <cstring>
#include <vector>

#include "devhost/gl/saved_gl_state.h"

namespace pphost {

PresentedImage ReadFramebuffer(GLuint framebuffer, int32_t bufferHeight, const PP_Rect& rect, bool opaque) {
  const int32_t width = rect.size.width;
  const int32_t height = rect.size.height;
  PresentedImage image;
  image.width = width;
  image.height = height;
  if (image.Empty()) return image;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height));
  {
    const SavedFramebuffer savedFramebuffer;
    const GLint alignment = GlInteger(GL_PACK_ALIGNMENT);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(rect.point.x, bufferHeight - rect.point.y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                 bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  }
  image.rgba.resize(bottomUp.size());
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* from = bottomUp.data() + static_cast<size_t>(height - 1 - row) * rowBytes;
    std::memcpy(image.rgba.data() + static_cast<size_t>(row) * rowBytes, from, rowBytes);
  }
  if (opaque) {
    for (size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 255;
  }
  return image;
}

}  // namespace pphost
