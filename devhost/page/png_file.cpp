#include "devhost/page/png_file.h"

#include <png.h>

namespace pphost {

std::string WritePng(const std::string& path, const PresentedImage& image) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGBA;
  if (png_image_write_to_file(&png, path.c_str(), 0, image.rgba.data(), 0, nullptr) != 0) return {};
  std::string why = png.message[0] != '\0' ? png.message : "unknown failure";
  png_image_free(&png);
  return "cannot write " + path + ": " + why;
}

}  // namespace pphost
