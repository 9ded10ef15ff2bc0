#include "devhost/serve/frame_encoder.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace pphost::serve {
namespace {

// libjpeg reports fatal errors through a callback that must not return.
[[noreturn]] void ThrowJpegError(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, text);
  throw std::runtime_error(std::string("jpeg: ") + text);
}

// Owns what jpeg_mem_dest allocates and the compressor itself.
struct JpegCompression {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;  // NOLINT(google-runtime-int): libjpeg's own type

  JpegCompression() {
    info.err = jpeg_std_error(&errors);
    errors.error_exit = ThrowJpegError;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
  }
  ~JpegCompression() {
    jpeg_destroy_compress(&info);
    std::free(buffer);  // NOLINT(cppcoreguidelines-no-malloc): libjpeg allocates it with malloc
  }
  JpegCompression(const JpegCompression&) = delete;
  JpegCompression& operator=(const JpegCompression&) = delete;
};

}  // namespace

FrameEncoder::FrameEncoder(FrameEncoding encoding, int jpegQuality) : encoding_(encoding), quality_(jpegQuality) {}

void FrameEncoder::Encode(const PresentedImage& image, std::vector<uint8_t>& out) {
  if (encoding_ == FrameEncoding::kJpeg) {
    EncodeJpeg(image, out);
  } else {
    out.insert(out.end(), image.rgba.begin(), image.rgba.end());
  }
}

void FrameEncoder::EncodeJpeg(const PresentedImage& image, std::vector<uint8_t>& out) {
  JpegCompression jpeg;
  jpeg.info.image_width = static_cast<JDIMENSION>(image.width);
  jpeg.info.image_height = static_cast<JDIMENSION>(image.height);
  jpeg.info.input_components = 4;
  jpeg.info.in_color_space = JCS_EXT_RGBA;  // libjpeg-turbo reads the alpha byte past
  jpeg_set_defaults(&jpeg.info);
  jpeg_set_quality(&jpeg.info, quality_, TRUE);
  jpeg.info.dct_method = JDCT_ISLOW;
  jpeg_start_compress(&jpeg.info, TRUE);
  const size_t stride = static_cast<size_t>(image.width) * 4;
  while (jpeg.info.next_scanline < jpeg.info.image_height) {
    // libjpeg's row type is not const; it only reads the row.
    auto* row = const_cast<JSAMPLE*>(image.rgba.data() + jpeg.info.next_scanline * stride);  // NOLINT
    jpeg_write_scanlines(&jpeg.info, &row, 1);
  }
  jpeg_finish_compress(&jpeg.info);
  out.insert(out.end(), jpeg.buffer, jpeg.buffer + jpeg.size);
}

}  // namespace pphost::serve
